// Sphere: a centre and a radius, a collision shape (type 2). Never carries particles, so a
// solid movable body whose hull is a sphere does not move.
#pragma once

#include "Physics/AABB.h"

namespace Phy {

class Sphere : public Collidable {
 public:
  Sphere(const Util::Vec3& center, float radius) : m_Center(center), m_Radius(radius) {}

  float Radius() const { return m_Radius; }

  Collidable* Clone() const override { return new Sphere(*this); }
  bool CopyFrom(const Collidable& other) override { return Copy(*this, other); }
  int32_t GetType() const override { return kTypeSphere; }
  AABB GetBounds() const override;
  Util::Vec3 GetCenter() const override { return m_Center; }
  void PushOut(const Util::Vec3& from, Util::Vec3& point) const override;
  void PushToNearestFace(Util::Vec3& point) const override;
  bool SegmentEnters(const Util::Vec3& from, const Util::Vec3& to, float& t) const override;
  void Translate(const Util::Vec3& d) override { m_Center += d; }
  void Scale(float factor) override { m_Radius *= factor; }
  void Place(const Util::Vec3& center, const Util::Vec3&) override { m_Center = center; }
  void Turn(const Util::Mat3& rotation, const Util::Vec3& pivot) override;
  bool ContainsPoint(const Util::Vec3& p) const override;
  bool Collides(const Collidable& other) const override { return other.CollidesWithSphere(*this); }
  bool CollidesWithHeightMap(const HeightMap& other) const override;
  bool CollidesWithOBB(const OBB& other) const override;
  bool CollidesWithAABB(const AABB& other) const override;
  bool CollidesWithSphere(const Sphere& other) const override;
  bool CollidesWithSet(const CollidableSet& other) const override;
  void Write(Util::BinaryStream& stream) const override;
  bool Validate() const override;

  Util::Vec3 m_Center;
  float m_Radius;
};

}  // namespace Phy
