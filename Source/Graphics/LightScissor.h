// The window rectangle a point light can touch: the screen bounds of its sphere, so that the lit
// pass draws each light only over the pixels within its radius. A light adds nothing past its
// radius, so cutting the rest changes no pixel and saves the fill: many small lights (4,096
// fireflies) over a large surface cost their own area each, not the surface's.
#pragma once

#include "Graphics/RenderContext.h"
#include "Util/Vec3.h"

namespace Gfx {

enum class LightReach {
  Outside,  // the sphere lies wholly behind the eye or off the viewport: nothing to draw
  Rect,     // the sphere lies within `rect` (x, y, width, height in window pixels)
  Whole,    // the sphere reaches the near plane (or the projection is not a perspective)
};

// The light at `eye` (eye space) with `radius` under the projection, `near` its near distance,
// in the viewport (x, y, width, height).
LightReach LightRect(const Mat4& projection, const Util::Vec3& eye, float radius, float near, const int viewport[4],
                     int rect[4]);

}  // namespace Gfx
