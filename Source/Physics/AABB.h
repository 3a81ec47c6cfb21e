// AABB: an axis-aligned box given by its minimum and maximum corners, a collision shape (type 0).
//
// Every entity also carries one as its bounds, by which the spatial grid files it; physics keeps
// an entity's bounds equal to its hull's. A box cannot turn: an entity's rotation carries its
// centre round and leaves its extents as they are.
#pragma once

#include "Physics/Collidable.h"

namespace Phy {

class AABB : public Collidable {
 public:
  AABB() = default;
  AABB(const Util::Vec3& min, const Util::Vec3& max) : m_Min(min), m_Max(max) {}

  const Util::Vec3& Min() const { return m_Min; }
  const Util::Vec3& Max() const { return m_Max; }
  // The smallest box holding both.
  AABB Union(const AABB& other) const;
  // Strict overlap of the two boxes: touching boxes do not overlap.
  bool Overlaps(const AABB& other) const;
  void Translate(const Util::Vec3& d) override {
    m_Min += d;
    m_Max += d;
  }

  Collidable* Clone() const override { return new AABB(*this); }
  bool CopyFrom(const Collidable& other) override { return Copy(*this, other); }
  int32_t GetType() const override { return kTypeAABB; }
  AABB GetBounds() const override { return *this; }
  Util::Vec3 GetCenter() const override { return (m_Min + m_Max) * 0.5f; }
  void PushOut(const Util::Vec3& from, Util::Vec3& point) const override;
  void PushToNearestFace(Util::Vec3& point) const override;
  bool SegmentEnters(const Util::Vec3& from, const Util::Vec3& to, float& t) const override;
  void Scale(float factor) override;
  void Turn(const Util::Mat3& rotation, const Util::Vec3& pivot) override;
  void SetExtent(int axis, float value) override;
  bool ContainsPoint(const Util::Vec3& p) const override;
  bool Collides(const Collidable& other) const override { return other.CollidesWithAABB(*this); }
  bool CollidesWithHeightMap(const HeightMap& other) const override;
  bool CollidesWithOBB(const OBB& other) const override;
  bool CollidesWithAABB(const AABB& other) const override { return Overlaps(other); }
  bool CollidesWithSphere(const Sphere& other) const override;
  bool CollidesWithSet(const CollidableSet& other) const override;
  void Write(Util::BinaryStream& stream) const override;
  bool Validate() const override;

  Util::Vec3 m_Min;
  Util::Vec3 m_Max;
};

}  // namespace Phy
