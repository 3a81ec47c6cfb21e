// Collidable: the abstract collision shape. Hulls are trees of shapes: Sphere, AABB, OBB,
// HeightMap, and CollidableSet, a composite that owns its children.
//
// Every shape answers the same questions: does it overlap another shape (a boolean test chosen by
// double dispatch on both types: Collides calls the other shape's CollidesWith... for this shape's
// type), does it contain a point, where does a point inside it leave it, where are its centre and
// bounds, and how does it move, scale and turn. Every test is strict: touching is not overlapping.
// Tests produce no contact data; the physics response works with points (a hull's particles) that
// it pushes out of the other hull. A solid movable OBB is also simulated as its 8 corners, its
// particles, which it writes out and reads back (WriteParticles, ReadParticles).
//
// Shapes are plain heap objects; a set deletes its children. Main thread only.
#pragma once

#include <cstdint>

#include "Util/Vec3.h"

namespace Util {
class BinaryStream;
}

namespace Phy {

class AABB;
class OBB;
class Sphere;
class CollidableSet;
class HeightMap;

// The type codes of GetType, which are also the codes of the binary hull records.
enum ShapeType : int32_t { kTypeAABB = 0, kTypeOBB = 1, kTypeSphere = 2, kTypeSet = 3, kTypeHeightMap = 4 };

class Collidable {
 public:
  virtual ~Collidable() = default;

  virtual Collidable* Clone() const = 0;
  // Takes the other shape's state when it is a shape of the same kind and build (a set: with
  // children that can take theirs); false, and nothing changed, otherwise.
  virtual bool CopyFrom(const Collidable& other) = 0;
  virtual int32_t GetType() const = 0;
  virtual AABB GetBounds() const = 0;
  // A set's children; other shapes have none and give themselves for any index.
  virtual Collidable* GetChild(int32_t index);
  virtual int32_t GetChildCount() const { return 0; }
  // A set takes the shape over and returns true; other shapes leave it to the caller.
  virtual bool Add(Collidable* shape);
  virtual void RemoveChild(int32_t) {}
  virtual void RemoveAll() {}
  virtual bool IsSet() const { return false; }

  virtual Util::Vec3 GetCenter() const = 0;
  virtual int32_t GetParticleCount() const { return 0; }
  // The shape's particles into points[0 .. GetParticleCount()), and back: reading lets the shape
  // take its form from the points (an OBB first relaxes them towards its rest shape, in place).
  // Particles marked in `held` (one flag each, when given) rest against something: relaxation
  // moves the others rather than them.
  virtual void WriteParticles(Util::Vec3*) const {}
  virtual void ReadParticles(Util::Vec3*, const uint8_t* held = nullptr) { (void)held; }

  // Moves a point that lies inside to the surface: out of the way it came when `from` (where it
  // was a step before) is outside, else to the nearest surface point.
  virtual void PushOut(const Util::Vec3& from, Util::Vec3& point) const = 0;
  virtual void PushToNearestFace(Util::Vec3& point) const = 0;
  // The segment from `from` to `to` passes through the shape's interior; `t` receives where it
  // enters, from 0 at `from` to 1 at `to` (0 when `from` is inside).
  virtual bool SegmentEnters(const Util::Vec3& from, const Util::Vec3& to, float& t) const = 0;

  virtual void Translate(const Util::Vec3& delta) = 0;
  // Uniform scale about the shape's own centre; a set scales each child about its own.
  virtual void Scale(float factor) = 0;
  // Sphere: the centre; OBB: unit edges turned by the angles (degrees, the shared Euler routine),
  // centred on the point; a set forwards it.
  virtual void Place(const Util::Vec3&, const Util::Vec3&) {}
  // OBB: each edge multiplied by the matrix; others ignore it.
  virtual void Transform(const Util::Mat3&) {}
  // OBB: turns about its own edge `axis` (0, 1, 2) by radians, or by a given matrix, keeping its
  // centre; others ignore it.
  virtual void RotateAboutAxis(int, float) {}
  virtual void ApplyAxisRotation(int, const Util::Mat3&) {}
  // Turns the shape by the matrix about a pivot (the owner's position): an entity's rotation.
  // Boxes and spheres carry their centres round; an AABB stays axis-aligned; a height map stays.
  virtual void Turn(const Util::Mat3& rotation, const Util::Vec3& pivot) = 0;

  // The bounds' corners and extents.
  float MinX() const;
  float MinY() const;
  float MinZ() const;
  float MaxX() const;
  float MaxY() const;
  float MaxZ() const;
  float Width() const { return MaxX() - MinX(); }
  float Height() const { return MaxY() - MinY(); }
  float Depth() const { return MaxZ() - MinZ(); }
  // AABB and HeightMap: the extent on that axis (0 x, 1 y, 2 z) changes about the centre.
  virtual void SetExtent(int, float) {}
  void SetWidth(float value) { SetExtent(0, value); }
  void SetHeight(float value) { SetExtent(1, value); }
  void SetDepth(float value) { SetExtent(2, value); }

  virtual bool ContainsPoint(const Util::Vec3& point) const = 0;
  virtual bool Collides(const Collidable& other) const = 0;
  virtual bool CollidesWithHeightMap(const HeightMap& other) const = 0;
  virtual bool CollidesWithOBB(const OBB& other) const = 0;
  virtual bool CollidesWithAABB(const AABB& other) const = 0;
  virtual bool CollidesWithSphere(const Sphere& other) const = 0;
  virtual bool CollidesWithSet(const CollidableSet& other) const = 0;

  // The shape's binary record: its type code, then its data (HullIO.h reads it back).
  virtual void Write(Util::BinaryStream& stream) const = 0;
  // True when the shape's own invariants hold (finite values, ordered corners, counts that add up).
  virtual bool Validate() const = 0;
};

// CopyFrom of a shape that is its own kind's whole state.
template <class T>
bool Copy(T& to, const Collidable& from) {
  if (from.GetType() != to.GetType()) return false;
  to = static_cast<const T&>(from);
  return true;
}

}  // namespace Phy
