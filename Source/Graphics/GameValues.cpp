#include "Graphics/GameValues.h"

#include <algorithm>

namespace Gfx {

Util::Vec3 GrassColorScale() { return {0.34f, 0.52f, 0.25f}; }

Util::Vec3 GrassColorBias() { return {0.03f, 0.04f, 0.02f}; }

Util::Vec3 TextFadeColor() { return {0.98f, 0.96f, 0.90f}; }

Util::Vec3 VineColor(float amount) {
  const float t = std::clamp(amount, 0.0f, 1.0f);
  const Util::Vec3 living{0.35f, 0.60f, 0.28f};
  const Util::Vec3 old{0.36f, 0.26f, 0.16f};
  return living + (old - living) * t;
}

}  // namespace Gfx
