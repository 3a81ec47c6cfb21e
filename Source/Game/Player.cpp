#include "Game/Player.h"

#include <algorithm>

#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Messaging/Messages.h"

namespace Game {
namespace {

// Where the two carried entities appear.
const Util::Vec3 kDododStart{0.0f, 5.0f, 0.0f};
const Util::Vec3 kLanternStart{35.003f, 0.0617981f, 20.997f};

}  // namespace

void Player::InitScarf() {}

void Player::InitLanternPole() {}

void Player::Update() {}

void Player::Shutdown() {}

const Util::Vec3* Player::DododPosition() const { return m_Dodod ? &m_Dodod->GetPosition() : nullptr; }

void Player::AddToLightCount(float amount) { m_LightCount = std::min(m_LightCount + amount, kMaxLight); }

void Player::Receive(const Util::Handle<Msg::eManAddDododMsg>& message) {
  m_Dodod = EntityManager::Instance().CreateEntity(message->m_File.Get());
  if (!m_Dodod) return;
  m_Dodod->SetPosition(kDododStart);
  Msg::MailMan::Instance().Post(new Msg::eManDododMsg(m_Dodod));
}

void Player::Receive(const Util::Handle<Msg::eManAddLanternMsg>& message) {
  m_Lantern = EntityManager::Instance().CreateEntity(message->m_File.Get());
  if (!m_Lantern) return;
  m_Lantern->SetPosition(kLanternStart);
  Msg::MailMan::Instance().Post(new Msg::eManLanternMsg(m_Lantern));
}

void Player::Receive(const Util::Handle<Msg::eManRemovedMsg>& message) {
  if (m_Dodod && m_Dodod->GetID() == message->m_Id) m_Dodod = nullptr;
  if (m_Lantern && m_Lantern->GetID() == message->m_Id) m_Lantern = nullptr;
}

}  // namespace Game
