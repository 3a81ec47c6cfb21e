// GlobalStateData: the game's progress, areas, seasons and popups.
// Not built yet beyond its entry points, the camera as last reported (the five vectors the
// camera posts each frame, cameraGetInfoMsg kinds 0 to 4: eye, target, third, up, side), which
// the scripts' camera getters read, and the firefly combo the sound engine posts each frame.
#pragma once

#include <cstdint>
#include <vector>

#include "Messaging/MailBox.h"
#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Game {

class GlobalStateData : public Util::Singleton<GlobalStateData>, public Msg::MailBox {
 public:
  static constexpr int32_t kCameraVectors = 5;

  void Init();
  void Update();
  void Shutdown();
  void DeleteOwned();

  // The camera vector of that kind (0 to 4) as last reported; zero before any report.
  const Util::Vec3& CameraVector(int32_t kind) const;

  // The game state's hold on the camera, read by the camera's Update: its filter of the camera's
  // target goal, and this frame's forces from repulsors and magnets, which push the eye. The goal
  // unchanged and no forces until the game state has them.
  Util::Vec3 FilterCameraTarget(const Util::Vec3& targetGoal) const { return targetGoal; }
  const std::vector<Util::Vec3>& CameraForces() const { return m_CameraForces; }

  // The firefly combo as the sound engine last reported it (soundFFComboMsg).
  int32_t FireflyCombo() const { return m_FireflyCombo; }
  // The lanterns lit so far, which decide how many kinds new fireflies come in; none until the
  // game state counts them.
  int32_t LanternCount() const { return m_LanternCount; }

  void Receive(const Util::Handle<Msg::cameraGetInfoMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundFFComboMsg>& message) override;

 private:
  friend class Util::Singleton<GlobalStateData>;
  GlobalStateData() : Singleton(true) {}

  Util::Vec3 m_Camera[kCameraVectors];
  std::vector<Util::Vec3> m_CameraForces;
  int32_t m_FireflyCombo = 0;
  int32_t m_LanternCount = 0;
};

}  // namespace Game
