#include "Physics/Geometry.h"

#include <algorithm>

namespace Phy {
namespace Geometry {

using Util::Vec3;

Util::Mat3 AxisAngle(const Vec3& u, float radians) {
  const float c = std::cos(radians), s = std::sin(radians), k = 1.0f - c;
  Util::Mat3 m;
  m.m[0][0] = c + u.x * u.x * k;
  m.m[0][1] = u.x * u.y * k - u.z * s;
  m.m[0][2] = u.x * u.z * k + u.y * s;
  m.m[1][0] = u.y * u.x * k + u.z * s;
  m.m[1][1] = c + u.y * u.y * k;
  m.m[1][2] = u.y * u.z * k - u.x * s;
  m.m[2][0] = u.z * u.x * k - u.y * s;
  m.m[2][1] = u.z * u.y * k + u.x * s;
  m.m[2][2] = c + u.z * u.z * k;
  return m;
}

namespace {

float DistanceSquaredToSegment(const Vec3& p, const Vec3& a, const Vec3& b) {
  const Vec3 ab = b - a;
  const float length = Util::LengthSquared(ab);
  const float t = length > 0.0f ? std::clamp(Util::Dot(p - a, ab) / length, 0.0f, 1.0f) : 0.0f;
  return Util::LengthSquared(p - (a + ab * t));
}

}  // namespace

float DistanceSquaredToPolygon(const Vec3& p, const Vec3* vertices, int count) {
  const Vec3 normal = Util::Cross(vertices[1] - vertices[0], vertices[count - 1] - vertices[0]);
  const float area = Util::LengthSquared(normal);
  if (area > 0.0f) {
    // Inside when p lies on the same side of every edge, in the polygon's plane.
    bool positive = false, negative = false;
    for (int i = 0; i < count; ++i) {
      const Vec3& a = vertices[i];
      const Vec3& b = vertices[(i + 1) % count];
      const float side = Util::Dot(Util::Cross(b - a, p - a), normal);
      positive = positive || side > 0.0f;
      negative = negative || side < 0.0f;
    }
    if (!(positive && negative)) {
      const float height = Util::Dot(p - vertices[0], normal);
      return height * height / area;
    }
  }
  float best = DistanceSquaredToSegment(p, vertices[count - 1], vertices[0]);
  for (int i = 0; i + 1 < count; ++i) best = std::min(best, DistanceSquaredToSegment(p, vertices[i], vertices[i + 1]));
  return best;
}

}  // namespace Geometry
}  // namespace Phy
