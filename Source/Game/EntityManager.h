// EntityManager: owns every entity built from a definition file.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Game {

class EntityManager : public Util::Singleton<EntityManager> {
 public:
  void Shutdown();

 private:
  friend class Util::Singleton<EntityManager>;
  EntityManager() : Singleton(true) {}
};

}  // namespace Game
