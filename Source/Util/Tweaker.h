// Tweaker: the registry of tweakable values.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Util {

class Tweaker : public Util::Singleton<Tweaker> {
 public:
  void Clear();

 private:
  friend class Util::Singleton<Tweaker>;
  Tweaker() : Singleton(true) {}
};

}  // namespace Util
