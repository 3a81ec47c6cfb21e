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

const Util::Vec3* Player::DododPosition() const {
  const Entity* dodod = m_Dodod.Get();
  return dodod ? &dodod->GetPosition() : nullptr;
}

void Player::AddToLightCount(float amount) { m_LightCount = std::min(m_LightCount + amount, kMaxLight); }

void Player::Receive(const Util::Handle<Msg::eManAddDododMsg>& message) {
  Entity* dodod = EntityManager::Instance().CreateEntity(message->m_File.Get());
  m_Dodod = dodod;
  if (!dodod) return;
  dodod->SetPosition(kDododStart);
  Msg::MailMan::Instance().Post(new Msg::eManDododMsg(dodod));
}

void Player::Receive(const Util::Handle<Msg::eManAddLanternMsg>& message) {
  Entity* lantern = EntityManager::Instance().CreateEntity(message->m_File.Get());
  m_Lantern = lantern;
  if (!lantern) return;
  lantern->SetPosition(kLanternStart);
  Msg::MailMan::Instance().Post(new Msg::eManLanternMsg(lantern));
}

}  // namespace Game
