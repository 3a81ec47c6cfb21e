// ScriptEngine: the Lua state, the start-up scripts and the per-frame resumption of entity scripts.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Spt {

class ScriptEngine : public Util::Singleton<ScriptEngine> {
 public:
  bool Init();
  void Update();
  bool Shutdown();
  void StartEntityScripts();

 private:
  friend class Util::Singleton<ScriptEngine>;
  ScriptEngine() : Singleton(true) {}
};

}  // namespace Spt
