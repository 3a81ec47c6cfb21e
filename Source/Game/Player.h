// Player: Dodod, the character the player steers, and what Dodod carries: the lantern, the
// lantern pole with its arms, and the scarf (the arms, pole and scarf come with their own work).
//
// Scripts create Dodod and the lantern by message (eManAddDododMsg, eManAddLanternMsg): the player
// has the entity manager build them, places them and announces them (eManDododMsg, eManLanternMsg).
// The entities belong to the entity manager; the player follows each only while it lives. The player also keeps the light count, the firefly distance and the
// particle-system time that the game's scripts read and change through the script class
// Game::Player (the global Player). Updated once per frame after the scripts. Lives in a block of
// the pool of its size, like the entities it drives. Main thread only.
#pragma once

#include "Game/EntityRef.h"
#include "Messaging/MailBox.h"
#include "Util/Allocator.h"
#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Game {

class Entity;

class Player : public Util::Singleton<Player>, public Util::Pooled<Player>, public Msg::MailBox {
 public:
  static constexpr float kFallDistance = -50.0f;
  static constexpr float kMaxLight = 255.0f;
  static constexpr float kMinLight = 100.0f;

  void InitScarf();
  void InitLanternPole();
  void Update();
  void Shutdown();

  // Null until its message has been delivered, and again once the entity is removed.
  Entity* GetDodod() const { return m_Dodod.Get(); }
  Entity* GetLantern() const { return m_Lantern.Get(); }

  float LightCount() const { return m_LightCount; }
  void SetLightCount(float value) { m_LightCount = value; }
  // Capped at the maximum light; nothing holds it above the minimum.
  void AddToLightCount(float amount);
  float FireflyDistance() const { return m_FireflyDistance; }
  void SetFireflyDistance(float value) { m_FireflyDistance = value; }
  float ParticleSystemTime() const { return m_ParticleSystemTime; }
  void SetParticleSystemTime(float value) { m_ParticleSystemTime = value; }

  // Where Dodod stands, for the grid's active cells; none while there is no character.
  const Util::Vec3* DododPosition() const;

  void Receive(const Util::Handle<Msg::eManAddDododMsg>& message) override;
  void Receive(const Util::Handle<Msg::eManAddLanternMsg>& message) override;

 private:
  friend class Util::Singleton<Player>;
  Player() : Singleton(true) {}

  // Followed only while each still lives, whatever ends it.
  EntityRef m_Dodod;
  EntityRef m_Lantern;
  float m_LightCount = 255.0f;
  float m_FireflyDistance = 10.0f;
  float m_ParticleSystemTime = 40.0f;
};

}  // namespace Game
