#include "Graphics/EffectDrawing.h"

#include "Graphics/GL.h"
#include "Graphics/Particles.h"

namespace Gfx {

void BuildParticleQuads(const ParticleParams& particles, const Mat4& view, float near, float size, const float tint[4],
                        std::vector<ParticleVertex>& out) {
  const float* m = view.m;
  // The view's own axes in the world: the first two rows of its rotation; the third gives depth.
  const Util::Vec3 right{m[0], m[4], m[8]}, up{m[1], m[5], m[9]};
  const float half = 0.5f * size;
  const Util::Vec3 r = right * half, u = up * half;
  const Util::Vec3 corners[4] = {-r - u, r - u, r + u, u - r};
  constexpr float kUv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const float nearest = -(near + size);  // eye-space z of the deepest centre still left out
  const uint32_t count = particles.Count();
  const Util::Vec3* positions = particles.Positions();
  out.resize(4 * static_cast<size_t>(count));
  size_t quads = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const Util::Vec3& p = positions[i];
    if (m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] > nearest) continue;
    const float alpha = tint[3] * particles.Life(i);
    for (int c = 0; c < 4; ++c) {
      ParticleVertex& v = out[4 * quads + static_cast<size_t>(c)];
      const Util::Vec3 corner = p + corners[c];
      v.m_Position[0] = corner.x;
      v.m_Position[1] = corner.y;
      v.m_Position[2] = corner.z;
      v.m_Uv[0] = kUv[c][0];
      v.m_Uv[1] = kUv[c][1];
      v.m_Color[0] = tint[0];
      v.m_Color[1] = tint[1];
      v.m_Color[2] = tint[2];
      v.m_Color[3] = alpha;
    }
    ++quads;
  }
  out.resize(4 * quads);
}

void DrawParticleQuads(const std::vector<ParticleVertex>& quads) {
  if (quads.empty()) return;
  constexpr GLsizei kStride = sizeof(ParticleVertex);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, kStride, quads[0].m_Position);
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(4, GL_FLOAT, kStride, quads[0].m_Color);
  glClientActiveTexture(GL_TEXTURE0);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, kStride, quads[0].m_Uv);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads.size()));
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);  // the colour array leaves its last value current
}

}  // namespace Gfx
