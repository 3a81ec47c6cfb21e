// Small geometry shared by the shapes of this folder (not for other subsystems).
#pragma once

#include <cmath>
#include <utility>

#include "Util/Vec3.h"

namespace Phy {
namespace Geometry {

inline float& At(Util::Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
inline float At(const Util::Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

inline bool Finite(const Util::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

inline Util::Vec3 Min(const Util::Vec3& a, const Util::Vec3& b) {
  return {b.x < a.x ? b.x : a.x, b.y < a.y ? b.y : a.y, b.z < a.z ? b.z : a.z};
}
inline Util::Vec3 Max(const Util::Vec3& a, const Util::Vec3& b) {
  return {b.x > a.x ? b.x : a.x, b.y > a.y ? b.y : a.y, b.z > a.z ? b.z : a.z};
}

inline Util::Mat3 Transposed(const Util::Mat3& m) {
  Util::Mat3 t;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) t.m[i][j] = m.m[j][i];
  return t;
}

// The rotation by `radians` about the unit vector `u` (right-handed).
Util::Mat3 AxisAngle(const Util::Vec3& u, float radians);

// One slab of a segment test: the segment's coordinate on an axis runs from `start` by `delta`
// over t in [0, 1], and the interior is the open interval (low, high). Narrows [enter, leave];
// false when the segment cannot be inside on this axis.
inline bool ClipSlab(float start, float delta, float low, float high, float& enter, float& leave) {
  if (delta == 0.0f) return start > low && start < high;
  float t1 = (low - start) / delta;
  float t2 = (high - start) / delta;
  if (t1 > t2) std::swap(t1, t2);
  if (t1 > enter) enter = t1;
  if (t2 < leave) leave = t2;
  return enter < leave;
}

// Squared distance from p to the convex planar polygon of `count` vertices.
float DistanceSquaredToPolygon(const Util::Vec3& p, const Util::Vec3* vertices, int count);

// The interval of the points' projections on an axis.
inline void Project(const Util::Vec3* points, int count, const Util::Vec3& axis, float& low, float& high) {
  low = high = Util::Dot(points[0], axis);
  for (int i = 1; i < count; ++i) {
    const float s = Util::Dot(points[i], axis);
    low = s < low ? s : low;
    high = s > high ? s : high;
  }
}

}  // namespace Geometry
}  // namespace Phy
