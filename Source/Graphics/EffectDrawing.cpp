#include "Graphics/EffectDrawing.h"

#include "Graphics/GL.h"
#include "Graphics/Particles.h"

namespace Gfx {

void BuildParticleQuads(const ParticleParams& particles, const Util::Vec3& right, const Util::Vec3& up, float size,
                        const float tint[4], std::vector<ParticleVertex>& out) {
  const uint32_t count = particles.Count();
  out.resize(4 * static_cast<size_t>(count));
  const float half = 0.5f * size;
  const Util::Vec3 r = right * half, u = up * half;
  const Util::Vec3 corners[4] = {-r - u, r - u, r + u, u - r};
  constexpr float kUv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const Util::Vec3* positions = particles.Positions();
  for (uint32_t i = 0; i < count; ++i) {
    const float alpha = tint[3] * particles.Life(i);
    for (int c = 0; c < 4; ++c) {
      ParticleVertex& v = out[4 * static_cast<size_t>(i) + c];
      const Util::Vec3 p = positions[i] + corners[c];
      v.m_Position[0] = p.x;
      v.m_Position[1] = p.y;
      v.m_Position[2] = p.z;
      v.m_Uv[0] = kUv[c][0];
      v.m_Uv[1] = kUv[c][1];
      v.m_Color[0] = tint[0];
      v.m_Color[1] = tint[1];
      v.m_Color[2] = tint[2];
      v.m_Color[3] = alpha;
    }
  }
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
