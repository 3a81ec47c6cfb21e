#include "Graphics/RenderContext.h"

#include <cmath>

#include "Graphics/GL.h"

namespace Gfx {

Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[col * 4 + k];
      r.m[col * 4 + row] = sum;
    }
  return r;
}

Mat4 Inverse(const Mat4& a) {
  // Gauss-Jordan elimination with partial pivoting on [a | I], in double for the far plane's sake.
  double w[4][8];
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      w[row][col] = a.m[col * 4 + row];
      w[row][col + 4] = row == col ? 1.0 : 0.0;
    }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 4; ++row)
      if (std::fabs(w[row][col]) > std::fabs(w[pivot][col])) pivot = row;
    if (std::fabs(w[pivot][col]) < 1e-12) return Mat4{};
    for (int k = 0; k < 8; ++k) std::swap(w[col][k], w[pivot][k]);
    const double scale = 1.0 / w[col][col];
    for (int k = 0; k < 8; ++k) w[col][k] *= scale;
    for (int row = 0; row < 4; ++row) {
      if (row == col) continue;
      const double f = w[row][col];
      for (int k = 0; k < 8; ++k) w[row][k] -= f * w[col][k];
    }
  }
  Mat4 r;
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) r.m[col * 4 + row] = static_cast<float>(w[row][col + 4]);
  return r;
}

void RenderContext::SizeQueues(int count) { m_RenderQueues.assign(count > 0 ? static_cast<size_t>(count) : 0u, {}); }

void RenderContext::Queue(int material, Visual* visual) {
  if (material >= 0 && static_cast<size_t>(material) < m_RenderQueues.size())
    m_RenderQueues[static_cast<size_t>(material)].push_back(visual);
}

const std::vector<Visual*>& RenderContext::QueueOf(int material) const {
  static const std::vector<Visual*> kNone;
  if (material < 0 || static_cast<size_t>(material) >= m_RenderQueues.size()) return kNone;
  return m_RenderQueues[static_cast<size_t>(material)];
}

void RenderContext::ClearQueues() {
  for (std::vector<Visual*>& queue : m_RenderQueues) queue.clear();
}

void RenderContext::CaptureMatrices() {
  glGetFloatv(GL_MODELVIEW_MATRIX, m_View.m);
  glGetFloatv(GL_PROJECTION_MATRIX, m_Projection.m);
  m_Frustum.FromMatrices(m_Projection.m, m_View.m);
}

void RenderContext::SetLighting(const Util::Vec3& above, const Util::Vec3& below, const Util::Vec3& hue, float scale) {
  // The sky above and the bounce below are the two ends of a gradient along world up: their mean
  // is the constant term and half their difference the term along y. The hue tints light arriving
  // sideways, a little, so that shapes turning away from the camera shift colour.
  m_Harmonics[0] = (above + below) * (0.5f * scale);
  m_Harmonics[1] = hue * (0.1f * scale);
  m_Harmonics[2] = (above - below) * (0.5f * scale);
  m_Harmonics[3] = hue * (0.05f * scale);
  m_Harmonics[4] = Util::Vec3{};
  m_Harmonics[5] = Util::Vec3{};
}

}  // namespace Gfx
