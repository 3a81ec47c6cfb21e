// AABB: an axis-aligned box in world space, given by its minimum and maximum corners.
//
// Every entity carries one as its bounds, which the spatial grid files it by; the physics
// components keep it equal to their hull's bounds. For now it is the plain box the entity needs;
// the collision shapes build on it.
#pragma once

#include "Util/Vec3.h"

namespace Phy {

class AABB {
 public:
  AABB() = default;
  AABB(const Util::Vec3& min, const Util::Vec3& max) : m_Min(min), m_Max(max) {}

  const Util::Vec3& Min() const { return m_Min; }
  const Util::Vec3& Max() const { return m_Max; }
  // Moves both corners by d.
  void Translate(const Util::Vec3& d) {
    m_Min += d;
    m_Max += d;
  }

  Util::Vec3 m_Min;
  Util::Vec3 m_Max;
};

}  // namespace Phy
