// OBB: an oriented box, a collision shape (type 1): one corner and the three full edges that
// leave it, mutually perpendicular.
//
// Its particles are its corners P0 = corner, P1 = +e1, P2 = +e1+e2, P3 = +e2, P4 = +e3,
// P5 = +e1+e3, P6 = +e1+e2+e3, P7 = +e2+e3. Reading them back relaxes the 18 distance constraints
// (12 edges and 6 face diagonals) ten times towards the box's own shape, then adopts P0 and the
// edges to P1, P3 and P4. The box's own shape is the one it was given (built, scaled, placed or
// transformed), not the one it last adopted: what a relaxation leaves unfinished is not learnt as
// the new shape, so a box keeps its size however often it is struck.
#pragma once

#include "Physics/AABB.h"

namespace Phy {

class OBB : public Collidable {
 public:
  static constexpr int32_t kParticles = 8;

  OBB(const Util::Vec3& corner, const Util::Vec3& e1, const Util::Vec3& e2, const Util::Vec3& e3)
      : m_Corner(corner), m_Edges{e1, e2, e3} {
    KeepShape();
  }
  // From a definition's keys: an upright box of these full extents, turned by theta (radians)
  // about its second edge and then by phi about its third, centred on `center`.
  static OBB FromExtents(float width, float height, float depth, float theta, float phi, const Util::Vec3& center);
  // The same box as an OBB.
  static OBB FromAABB(const AABB& box);

  const Util::Vec3& Corner() const { return m_Corner; }
  const Util::Vec3& Edge(int i) const { return m_Edges[i]; }
  // P0 .. P7 as above.
  void Corners(Util::Vec3 out[kParticles]) const;

  Collidable* Clone() const override { return new OBB(*this); }
  bool CopyFrom(const Collidable& other) override { return Copy(*this, other); }
  int32_t GetType() const override { return kTypeOBB; }
  AABB GetBounds() const override;
  Util::Vec3 GetCenter() const override;
  int32_t GetParticleCount() const override { return kParticles; }
  void WriteParticles(Util::Vec3* points) const override { Corners(points); }
  void ReadParticles(Util::Vec3* points, const uint8_t* held = nullptr) override;
  void PushOut(const Util::Vec3& from, Util::Vec3& point) const override;
  void PushToNearestFace(Util::Vec3& point) const override;
  bool SegmentEnters(const Util::Vec3& from, const Util::Vec3& to, float& t) const override;
  void Translate(const Util::Vec3& d) override { m_Corner += d; }
  void Scale(float factor) override;
  void Place(const Util::Vec3& center, const Util::Vec3& degrees) override;
  void Transform(const Util::Mat3& m) override;
  void RotateAboutAxis(int axis, float radians) override;
  void ApplyAxisRotation(int axis, const Util::Mat3& m) override;
  void Turn(const Util::Mat3& rotation, const Util::Vec3& pivot) override;
  bool ContainsPoint(const Util::Vec3& p) const override;
  bool Collides(const Collidable& other) const override { return other.CollidesWithOBB(*this); }
  bool CollidesWithHeightMap(const HeightMap& other) const override;
  bool CollidesWithOBB(const OBB& other) const override;
  bool CollidesWithAABB(const AABB& other) const override;
  bool CollidesWithSphere(const Sphere& other) const override;
  bool CollidesWithSet(const CollidableSet& other) const override;
  void Write(Util::BinaryStream& stream) const override;
  bool Validate() const override;

 private:
  // True when the 8 points all lie on one side outside this box's extent along one of its edges.
  bool SeparatesByEdge(const Util::Vec3 points[kParticles]) const;

  // The current edges' squared lengths become the shape relaxation restores.
  void KeepShape();

  Util::Vec3 m_Corner;
  Util::Vec3 m_Edges[3];
  float m_Rest[3];  // the squared edge lengths of the box's own shape
};

}  // namespace Phy
