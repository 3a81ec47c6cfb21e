#include "Physics/Sphere.h"

#include <cmath>

#include "Physics/CollidableSet.h"
#include "Physics/Geometry.h"
#include "Physics/HeightMap.h"
#include "Physics/OBB.h"
#include "Util/BinaryStream.h"

namespace Phy {

using Util::Vec3;

AABB Sphere::GetBounds() const {
  const Vec3 r{m_Radius, m_Radius, m_Radius};
  return AABB(m_Center - r, m_Center + r);
}

bool Sphere::ContainsPoint(const Vec3& p) const { return Util::LengthSquared(p - m_Center) < m_Radius * m_Radius; }

bool Sphere::SegmentEnters(const Vec3& from, const Vec3& to, float& t) const {
  const Vec3 d = to - from;
  const Vec3 m = from - m_Center;
  const float a = Util::Dot(d, d);
  const float c = Util::Dot(m, m) - m_Radius * m_Radius;
  if (a == 0.0f) {
    t = 0.0f;
    return c < 0.0f;
  }
  const float b = Util::Dot(m, d);
  const float disc = b * b - a * c;
  if (disc <= 0.0f) return false;  // the line misses or only grazes
  const float root = std::sqrt(disc);
  const float enter = (-b - root) / a;
  const float leave = (-b + root) / a;
  if (leave <= 0.0f || enter >= 1.0f) return false;
  t = enter > 0.0f ? enter : 0.0f;
  return true;
}

void Sphere::PushOut(const Vec3& from, Vec3& point) const {
  if (ContainsPoint(from)) {
    PushToNearestFace(point);
    return;
  }
  float t = 0.0f;
  if (SegmentEnters(from, point, t)) point = from + (point - from) * t;
}

void Sphere::PushToNearestFace(Vec3& point) const {
  const Vec3 out = point - m_Center;
  const float length = Util::Length(out);
  // From the very centre every way out is as short: straight up.
  point = length > 0.0f ? m_Center + out * (m_Radius / length) : m_Center + Vec3{0.0f, m_Radius, 0.0f};
}

void Sphere::Turn(const Util::Mat3& rotation, const Vec3& pivot) { m_Center = pivot + rotation * (m_Center - pivot); }

bool Sphere::CollidesWithSphere(const Sphere& other) const {
  const float reach = m_Radius + other.m_Radius;
  return Util::LengthSquared(m_Center - other.m_Center) < reach * reach;
}

bool Sphere::CollidesWithAABB(const AABB& box) const {
  float distance = 0.0f;
  for (int axis = 0; axis < 3; ++axis) {
    const float c = Geometry::At(m_Center, axis);
    const float low = Geometry::At(box.m_Min, axis), high = Geometry::At(box.m_Max, axis);
    if (c < low) distance += (low - c) * (low - c);
    if (c > high) distance += (c - high) * (c - high);
  }
  return distance < m_Radius * m_Radius;
}

bool Sphere::CollidesWithOBB(const OBB& box) const {
  const Vec3 d = m_Center - box.Corner();
  float distance = 0.0f;
  for (int i = 0; i < 3; ++i) {
    const Vec3& e = box.Edge(i);
    const float length = Util::Dot(e, e);
    const float t = Util::Dot(d, e);
    if (t < 0.0f) distance += t * t / length;
    if (t > length) distance += (t - length) * (t - length) / length;
  }
  return distance < m_Radius * m_Radius;
}

bool Sphere::CollidesWithHeightMap(const HeightMap& other) const { return other.CollidesWithSphere(*this); }
bool Sphere::CollidesWithSet(const CollidableSet& other) const { return other.CollidesWithSphere(*this); }

void Sphere::Write(Util::BinaryStream& stream) const {
  stream.Write(static_cast<int32_t>(kTypeSphere));
  stream.Write(m_Center);
  stream.Write(m_Radius);
}

bool Sphere::Validate() const { return Geometry::Finite(m_Center) && std::isfinite(m_Radius) && m_Radius > 0.0f; }

}  // namespace Phy
