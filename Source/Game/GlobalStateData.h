// GlobalStateData: the game's progress, areas, seasons and popups.
// Not built yet beyond its entry points and the camera as last reported: the five vectors the
// camera posts each frame (cameraGetInfoMsg kinds 0 to 4: eye, target, third, up, side), which
// the scripts' camera getters read.
#pragma once

#include <cstdint>

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

  void Receive(Util::Handle<Msg::cameraGetInfoMsg> message) override;

 private:
  friend class Util::Singleton<GlobalStateData>;
  GlobalStateData() : Singleton(true) {}

  Util::Vec3 m_Camera[kCameraVectors];
};

}  // namespace Game
