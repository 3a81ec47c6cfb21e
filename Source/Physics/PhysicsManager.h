// PhysicsManager: steps the physics components of the active grid cells once per frame.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Phy {

class PhysicsManager : public Util::Singleton<PhysicsManager> {
 public:
  void Update();

 private:
  friend class Util::Singleton<PhysicsManager>;
  PhysicsManager() : Singleton(true) {}
};

}  // namespace Phy
