// SoundEngine: music layers, positional and flat sound effects.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Snd {

class SoundEngine : public Util::Singleton<SoundEngine> {
 public:
  void Init();
  void Update();
  void Close();

 private:
  friend class Util::Singleton<SoundEngine>;
  SoundEngine() : Singleton(true) {}
};

}  // namespace Snd
