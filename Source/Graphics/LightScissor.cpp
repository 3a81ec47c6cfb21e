#include "Graphics/LightScissor.h"

#include <algorithm>
#include <cmath>

namespace Gfx {

LightReach LightRect(const Mat4& projection, const Util::Vec3& eye, float radius, float near, const int viewport[4],
                     int rect[4]) {
  const float* m = projection.m;
  if (m[15] > 0.5f || !(radius > 0.0f)) return LightReach::Whole;  // orthographic: any depth is seen
  if (eye.z - radius > 0.0f) return LightReach::Outside;           // behind the eye
  if (eye.z + radius > -near) return LightReach::Whole;            // across the near plane
  // The corners of the box round the sphere, all in front of the near plane: their window
  // bounds hold the sphere's.
  float low[2] = {1e30f, 1e30f}, high[2] = {-1e30f, -1e30f};
  for (int corner = 0; corner < 8; ++corner) {
    const float x = eye.x + (corner & 1 ? radius : -radius);
    const float y = eye.y + (corner & 2 ? radius : -radius);
    const float z = eye.z + (corner & 4 ? radius : -radius);
    const float w = m[3] * x + m[7] * y + m[11] * z + m[15];
    const float ndc[2] = {(m[0] * x + m[4] * y + m[8] * z + m[12]) / w, (m[1] * x + m[5] * y + m[9] * z + m[13]) / w};
    for (int a = 0; a < 2; ++a) {
      low[a] = std::min(low[a], ndc[a]);
      high[a] = std::max(high[a], ndc[a]);
    }
  }
  if (low[0] > 1.0f || low[1] > 1.0f || high[0] < -1.0f || high[1] < -1.0f) return LightReach::Outside;
  int bounds[4];  // left, bottom, right, top
  for (int a = 0; a < 2; ++a) {
    const float size = static_cast<float>(viewport[2 + a]);
    bounds[a] = viewport[a] + static_cast<int>(std::floor((std::max(low[a], -1.0f) + 1.0f) * 0.5f * size));
    bounds[2 + a] = viewport[a] + static_cast<int>(std::ceil((std::min(high[a], 1.0f) + 1.0f) * 0.5f * size));
  }
  rect[0] = bounds[0];
  rect[1] = bounds[1];
  rect[2] = std::max(bounds[2] - bounds[0], 0);
  rect[3] = std::max(bounds[3] - bounds[1], 0);
  return rect[2] > 0 && rect[3] > 0 ? LightReach::Rect : LightReach::Outside;
}

}  // namespace Gfx
