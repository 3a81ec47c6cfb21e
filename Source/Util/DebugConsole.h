// DebugConsole: brings up the on-screen debug console and frame-rate display, two entities whose
// behaviour is in script. Init, during start-up, asks the entity manager for them by message; they
// appear at the first delivery, at the end of start-up, and belong to the manager from then on.
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
