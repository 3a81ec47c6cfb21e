// Grid: the spatial lattice that decides which entities are simulated and how often their scripts run.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Util {

class Grid : public Util::Singleton<Grid> {
 public:
  void Update();
  void Shutdown();

 private:
  friend class Util::Singleton<Grid>;
  Grid() : Singleton(true) {}
};

}  // namespace Util
