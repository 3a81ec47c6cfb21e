#include "Physics/AABB.h"

#include <cmath>

#include "Physics/CollidableSet.h"
#include "Physics/Geometry.h"
#include "Physics/HeightMap.h"
#include "Physics/OBB.h"
#include "Physics/Sphere.h"
#include "Util/BinaryStream.h"

namespace Phy {

using Geometry::At;
using Util::Vec3;

AABB AABB::Union(const AABB& other) const {
  return AABB(Geometry::Min(m_Min, other.m_Min), Geometry::Max(m_Max, other.m_Max));
}

bool AABB::Overlaps(const AABB& o) const {
  return m_Max.x > o.m_Min.x && m_Min.x < o.m_Max.x && m_Max.y > o.m_Min.y && m_Min.y < o.m_Max.y &&
         m_Max.z > o.m_Min.z && m_Min.z < o.m_Max.z;
}

bool AABB::ContainsPoint(const Vec3& p) const {
  return p.x > m_Min.x && p.x < m_Max.x && p.y > m_Min.y && p.y < m_Max.y && p.z > m_Min.z && p.z < m_Max.z;
}

bool AABB::SegmentEnters(const Vec3& from, const Vec3& to, float& t) const {
  float enter = 0.0f, leave = 1.0f;
  const Vec3 delta = to - from;
  for (int axis = 0; axis < 3; ++axis)
    if (!Geometry::ClipSlab(At(from, axis), At(delta, axis), At(m_Min, axis), At(m_Max, axis), enter, leave))
      return false;
  t = enter;
  return true;
}

void AABB::PushOut(const Vec3& from, Vec3& point) const {
  if (ContainsPoint(from)) {
    PushToNearestFace(point);
    return;
  }
  float t = 0.0f;
  if (SegmentEnters(from, point, t)) point = from + (point - from) * t;
}

// Along the one axis whose nearer face is closest; ties go to the later axis.
void AABB::PushToNearestFace(Vec3& point) const {
  int best = 0;
  float bestDistance = 0.0f, bestFace = 0.0f;
  for (int axis = 0; axis < 3; ++axis) {
    const float middle = (At(m_Min, axis) + At(m_Max, axis)) * 0.5f;
    const float face = At(point, axis) >= middle ? At(m_Max, axis) : At(m_Min, axis);
    const float distance = std::fabs(face - At(point, axis));
    if (axis == 0 || distance <= bestDistance) {
      best = axis;
      bestDistance = distance;
      bestFace = face;
    }
  }
  At(point, best) = bestFace;
}

void AABB::Scale(float factor) {
  const Vec3 center = GetCenter();
  const Vec3 half = (m_Max - m_Min) * (0.5f * factor);
  m_Min = center - half;
  m_Max = center + half;
}

void AABB::Turn(const Util::Mat3& rotation, const Vec3& pivot) {
  const Vec3 center = GetCenter();
  Translate(pivot + rotation * (center - pivot) - center);
}

void AABB::SetExtent(int axis, float value) {
  const float change = (value - (At(m_Max, axis) - At(m_Min, axis))) * 0.5f;
  At(m_Min, axis) -= change;
  At(m_Max, axis) += change;
}

bool AABB::CollidesWithHeightMap(const HeightMap& other) const { return other.CollidesWithAABB(*this); }
bool AABB::CollidesWithOBB(const OBB& other) const { return other.CollidesWithAABB(*this); }
bool AABB::CollidesWithSphere(const Sphere& other) const { return other.CollidesWithAABB(*this); }
bool AABB::CollidesWithSet(const CollidableSet& other) const { return other.CollidesWithAABB(*this); }

void AABB::Write(Util::BinaryStream& stream) const {
  stream.Write(static_cast<int32_t>(kTypeAABB));
  stream.Write(m_Min);
  stream.Write(m_Max);
}

bool AABB::Validate() const {
  return Geometry::Finite(m_Min) && Geometry::Finite(m_Max) && m_Min.x <= m_Max.x && m_Min.y <= m_Max.y &&
         m_Min.z <= m_Max.z;
}

}  // namespace Phy
