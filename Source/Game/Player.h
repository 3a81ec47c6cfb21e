// Player: Dodod, the lantern, the arm, the scarf and the lantern pole.
// Not built yet beyond its entry points, so that the engine's order is already fixed. Lives in a
// block of the pool of its size, like the entities it drives.
#pragma once

#include "Util/Allocator.h"
#include "Util/Singleton.h"

namespace Game {

class Player : public Util::Singleton<Player>, public Util::Pooled<Player> {
 public:
  void InitScarf();
  void InitLanternPole();
  void Update();
  void Shutdown();

 private:
  friend class Util::Singleton<Player>;
  Player() : Singleton(true) {}
};

}  // namespace Game
