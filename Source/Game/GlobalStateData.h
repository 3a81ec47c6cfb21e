// GlobalStateData: the game's progress, areas, seasons and popups.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include <vector>

#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Game {

class GlobalStateData : public Util::Singleton<GlobalStateData> {
 public:
  void Init();
  void Update();
  void Shutdown();
  void DeleteOwned();

  // The game state's hold on the camera, read by the camera's Update: its filter of the camera's
  // target goal, and this frame's forces from repulsors and magnets, which push the eye. The goal
  // unchanged and no forces until the game state has them.
  Util::Vec3 FilterCameraTarget(const Util::Vec3& targetGoal) const { return targetGoal; }
  const std::vector<Util::Vec3>& CameraForces() const { return m_CameraForces; }

 private:
  friend class Util::Singleton<GlobalStateData>;
  GlobalStateData() : Singleton(true) {}

  std::vector<Util::Vec3> m_CameraForces;
};

}  // namespace Game
