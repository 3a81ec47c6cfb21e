#include "Game/GlobalStateData.h"

#include "Messaging/Messages.h"

namespace Game {

void GlobalStateData::Init() {}

void GlobalStateData::Update() {}

void GlobalStateData::Shutdown() {}

void GlobalStateData::DeleteOwned() {}

const Util::Vec3& GlobalStateData::CameraVector(int32_t kind) const {
  static const Util::Vec3 kNone{};
  return kind >= 0 && kind < kCameraVectors ? m_Camera[kind] : kNone;
}

void GlobalStateData::Receive(const Util::Handle<Msg::cameraGetInfoMsg>& message) {
  const int32_t kind = message->m_Kind;
  if (kind >= 0 && kind < kCameraVectors) m_Camera[kind] = message->m_Value;
}

void GlobalStateData::Receive(const Util::Handle<Msg::soundFFComboMsg>& message) { m_FireflyCombo = message->m_Combo; }

}  // namespace Game
