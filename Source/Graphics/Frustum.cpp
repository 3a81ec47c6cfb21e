#include "Graphics/Frustum.h"

#include <cmath>

namespace Gfx {

void Frustum::FromMatrices(const float projection[16], const float modelview[16]) {
  // clip = projection × modelview, column-major: element (row r, column c) at [c * 4 + r].
  float clip[16];
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * modelview[c * 4 + k];
      clip[c * 4 + r] = sum;
    }
  }
  auto row = [&](int r, int c) { return clip[c * 4 + r]; };
  // A point is inside where w ± x, w ± y and w ± z are not negative; outside is the plane's
  // positive side, so each plane is the negated sum or difference of the rows.
  const int rows[kPlanes] = {0, 0, 1, 1, 2, 2};
  const float signs[kPlanes] = {1, -1, 1, -1, 1, -1};
  for (int p = 0; p < kPlanes; ++p) {
    float plane[4];
    for (int c = 0; c < 4; ++c) plane[c] = -(row(3, c) + signs[p] * row(rows[p], c));
    SetPlane(p, plane[0], plane[1], plane[2], plane[3]);
  }
}

Frustum Frustum::InModelSpace(const Util::Vec3& position, float scale) const {
  // A model point q sits at position + scale × q; a × (position + scale × q) + d > 0 is the plane
  // (scale × a, a·position + d) in the model's coordinates.
  Frustum placed;
  for (int p = 0; p < kPlanes; ++p) {
    const float* plane = m_Planes[p];
    const Util::Vec3 normal{plane[0], plane[1], plane[2]};
    placed.SetPlane(p, normal.x * scale, normal.y * scale, normal.z * scale, Util::Dot(normal, position) + plane[3]);
  }
  return placed;
}

void Frustum::SetPlane(int plane, float a, float b, float c, float d) {
  const float length = std::sqrt(a * a + b * b + c * c);
  const float scale = length > 0.0f ? 1.0f / length : 1.0f;
  m_Planes[plane][0] = a * scale;
  m_Planes[plane][1] = b * scale;
  m_Planes[plane][2] = c * scale;
  m_Planes[plane][3] = d * scale;
}

float Frustum::Distance(int plane, const Util::Vec3& p) const {
  const float* q = m_Planes[plane];
  return q[0] * p.x + q[1] * p.y + q[2] * p.z + q[3];
}

bool Frustum::Contains(const Util::Vec3& p) const {
  for (int plane = 0; plane < kPlanes; ++plane) {
    if (Distance(plane, p) > 0.0f) return false;
  }
  return true;
}

Frustum::Side Frustum::TestBox(const Util::BoundingBox& box, uint8_t& lastPlane) {
  bool straddling = false;
  const int start = lastPlane < kPlanes ? lastPlane : 0;
  for (int i = 0; i < kPlanes; ++i) {
    const int plane = (start + i) % kPlanes;
    const float* q = m_Planes[plane];
    ++m_Statistics.m_PlaneTests;
    // The corner deepest inside the plane: if even that one is outside, the whole box is.
    const Util::Vec3 inner{q[0] <= 0.0f ? box.m_Max.x : box.m_Min.x, q[1] <= 0.0f ? box.m_Max.y : box.m_Min.y,
                           q[2] <= 0.0f ? box.m_Max.z : box.m_Min.z};
    if (Distance(plane, inner) > 0.0f) {
      ++m_Statistics.m_Rejected;
      lastPlane = static_cast<uint8_t>(plane);
      return Side::Outside;
    }
    const Util::Vec3 outer{q[0] <= 0.0f ? box.m_Min.x : box.m_Max.x, q[1] <= 0.0f ? box.m_Min.y : box.m_Max.y,
                           q[2] <= 0.0f ? box.m_Min.z : box.m_Max.z};
    if (Distance(plane, outer) > 0.0f) straddling = true;
  }
  return straddling ? Side::Straddling : Side::Inside;
}

}  // namespace Gfx
