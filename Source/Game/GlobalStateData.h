// GlobalStateData: the game's progress, areas, seasons and popups.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Game {

class GlobalStateData : public Util::Singleton<GlobalStateData> {
 public:
  void Init();
  void Update();
  void Shutdown();
  void DeleteOwned();

 private:
  friend class Util::Singleton<GlobalStateData>;
  GlobalStateData() : Singleton(true) {}
};

}  // namespace Game
