// Player: Dodod, the lantern, the arm, the scarf and the lantern pole.
// Not built yet beyond its entry points, so that the engine's order is already fixed. Lives in a
// block of the pool of its size, like the entities it drives.
#pragma once

#include "Util/Allocator.h"
#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Game {

class Player : public Util::Singleton<Player>, public Util::Pooled<Player> {
 public:
  void InitScarf();
  void InitLanternPole();
  void Update();
  void Shutdown();

  // Where Dodod stands, for the grid's active cells; none while there is no character.
  const Util::Vec3* DododPosition() const { return nullptr; }

 private:
  friend class Util::Singleton<Player>;
  Player() : Singleton(true) {}
};

}  // namespace Game
