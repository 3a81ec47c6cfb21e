// The values materials read from systems that own them elsewhere: the current season's grass
// colours and the interface text fade (the game state), and the colour vines are drawn in. Every
// material input that comes from another system is read here and only here; until that system
// supplies its value, each answers the defined default given beside it.
#pragma once

#include "Util/Vec3.h"

namespace Gfx {

// Summer: the grass texture's grey detail times the scale plus the bias gives moss green.
Util::Vec3 GrassColorScale();
Util::Vec3 GrassColorBias();
// The interface text's colour and fade: warm white, fully shown.
Util::Vec3 TextFadeColor();
// From living green (amount 0) to the brown of an old vine (amount 1).
Util::Vec3 VineColor(float amount);

}  // namespace Gfx
