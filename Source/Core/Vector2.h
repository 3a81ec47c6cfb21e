// Two floats, x then y: the value of an analogue input range, or a window size given as floats.
#pragma once

namespace Core {

struct Vector2 {
  float x = 0.0f;
  float y = 0.0f;
};

}  // namespace Core
