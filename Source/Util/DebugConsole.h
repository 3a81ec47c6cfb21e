// DebugConsole: brings up the on-screen debug console and frame-rate display.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Util {

class DebugConsole : public Util::Singleton<DebugConsole> {
 public:
  void Init();

 private:
  friend class Util::Singleton<DebugConsole>;
  DebugConsole() : Singleton(true) {}
};

}  // namespace Util
