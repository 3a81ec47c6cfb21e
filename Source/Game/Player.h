// Player: Dodod, the lantern, the arm, the scarf and the lantern pole.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Game {

class Player : public Util::Singleton<Player> {
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
