// Drawing particles: their quads built on the CPU every frame and handed to GL from memory.
// Private to the graphics folder. Main thread, GL context current for drawing.
//
// Particles are camera-facing textured quads built on the CPU, not point sprites: GLSL 1.10 has
// no gl_PointCoord, points are clipped whole as soon as their centre leaves the view (they pop at
// the screen's edges), and their size is capped in pixels. Four vertices per particle cost little:
// 4,096 fireflies are 16,384 vertices a frame (see Bench/effects.cpp).
#pragma once

#include <cstdint>
#include <vector>

#include "Graphics/RenderContext.h"
#include "Util/Vec3.h"

namespace Gfx {

class ParticleParams;

struct ParticleVertex {
  float m_Position[3];
  float m_Uv[2];
  float m_Color[4];
};

// Four corners per live particle in front of the camera, square to it (the view's axes in world
// space), `size` across, coloured by `tint` with the alpha of the particle's remaining life. A
// particle whose quad would reach the near plane (`near` in front of the eye) is left out: it
// fills the view at best, and a corner at the eye's own depth has no place on the screen.
void BuildParticleQuads(const ParticleParams& particles, const Mat4& view, float near, float size, const float tint[4],
                        std::vector<ParticleVertex>& out);
// The quads in world space under the current matrices; texture unit 0 takes the corners' uv.
void DrawParticleQuads(const std::vector<ParticleVertex>& quads);

}  // namespace Gfx
