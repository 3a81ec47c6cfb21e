#include "Graphics/Fireflies.h"

#include <algorithm>
#include <cmath>

#include "Core/Clock.h"
#include "Game/Player.h"
#include "Graphics/GraphicsFacade.h"
#include "Messaging/MailMan.h"
#include "Messaging/Messages.h"

namespace Gfx {
namespace {

constexpr float kEpsilon = 0.001f;
constexpr float kCollectSquared = 1.0f;
constexpr float kDefaultReach = 10.0f;

// An offset of random(100) - 50 times the factor.
float Jitter(float factor) { return (static_cast<float>(RandomBelow(100)) - 50.0f) * factor; }

// Away from zero by the margin: the ring's fireflies keep clear of its centre.
float Pushed(float value, float margin) { return value >= 0.0f ? value + margin : value - margin; }

// The horizontal tangent at `position` round `centre`, so that a firefly going along it circles.
Util::Vec3 Tangent(const Util::Vec3& centre, const Util::Vec3& position) {
  return {-(centre.z - position.z), 0.0f, centre.x - position.x};
}

}  // namespace

uint8_t FireflyParticles::s_LastCollectedKind = 0;

void FireflyParticles::Init(uint32_t capacity) {
  ParticleParams::Init(capacity);
  m_Targets.assign(capacity, Util::Vec3{});
  m_Velocities.assign(capacity, Util::Vec3{});
  m_Attracted.assign(capacity, 0);
  m_Kinds.assign(capacity, 0);
}

void FireflyParticles::Emit(uint32_t count, const Util::Vec3& at) {
  for (uint32_t i = Grow(count); i < m_Count; ++i) {
    m_Previous[i] = m_Current[i] = m_Targets[i] = at;
    m_Velocities[i] = Util::Vec3{};
    m_Attracted[i] = 0;
    m_Kinds[i] = 0;
    m_Ages[i] = 0;
  }
}

void FireflyParticles::AddFireflies(uint32_t count, int32_t kind, const Util::Vec3& first, const Util::Vec3& second,
                                    int32_t lanternCount) {
  if (kind < 1 || kind > 4) return;
  const uint32_t kinds = static_cast<uint32_t>(std::min(std::max(lanternCount, 0) / 5, 3)) + 1;
  const Util::Vec3& p = second;
  const float radius = first.x;
  for (uint32_t i = Grow(count); i < m_Count; ++i) {
    m_Kinds[i] = static_cast<uint8_t>(i % kinds);
    m_Targets[i] = p;
    m_Ages[i] = 0;
    if (kind == 1) {
      m_Current[i] = first;
      m_Velocities[i] = Tangent(p, first);
      m_Attracted[i] = 1;
    } else {
      Util::Vec3 offset;
      if (kind == 4) {
        offset = {Pushed(Jitter(0.005f), 0.75f), Jitter(0.006666667f), Pushed(Jitter(0.005f), 0.75f)};
      } else {
        const float x = Jitter(0.02f), y = Jitter(0.02f), z = Jitter(0.02f);
        offset = {x, y, z};
      }
      m_Current[i] = p + offset * radius;
      // A radius of 0 would give every firefly the centre and an endless speed: they rest there.
      m_Velocities[i] = radius != 0.0f ? Tangent(p, m_Current[i]) * (1.0f / radius) : Util::Vec3{};
      m_Attracted[i] = kind == 4 ? 2 : static_cast<uint8_t>(kind - 2);
    }
    m_Previous[i] = m_Current[i];
  }
}

bool FireflyParticles::Update(const Util::Vec3& lantern) {
  if (GraphicsFacade::Exists() && !GraphicsFacade::Instance().IsUpdating()) return true;
  const float k = static_cast<float>(Clock::Instance().FrameTime()) * 0.02f;
  const float reach = Game::Player::Exists() ? Game::Player::Instance().FireflyDistance() : kDefaultReach;
  const float reachSquared = reach * reach;
  for (uint32_t i = 0; i < m_Count; ++i) {
    Util::Vec3& position = m_Current[i];
    m_Previous[i] = position;
    if (m_Attracted[i] == 1) {
      m_Targets[i] = lantern;
      const Util::Vec3 d = lantern - position;
      const float distanceSquared = Util::LengthSquared(d);
      if (distanceSquared < kCollectSquared) {
        Msg::MailMan::Instance().Post(new Msg::gameFireflyCollidedMsg(position, 1.0f));
        s_LastCollectedKind = m_Kinds[i] > 3 ? 2 : m_Kinds[i];
        Kill(i);  // the firefly moved into this slot flies on next update
      } else {
        position += d * ((k * 1.01f) / std::sqrt(distanceSquared) + kEpsilon);
      }
      continue;
    }
    if (Util::LengthSquared(lantern - position) < reachSquared) m_Attracted[i] = 1;
    Util::Vec3& velocity = m_Velocities[i];
    position += velocity * k;
    const Util::Vec3 toTarget = m_Targets[i] - position;
    velocity += toTarget * (Util::LengthSquared(velocity) / (Util::LengthSquared(toTarget) + kEpsilon) * k);
  }
  Msg::MailMan::Instance().Post(
      new Msg::graphicsLightVecMsg(m_Current.data(), m_Lights, static_cast<int32_t>(m_Count)));
  return true;
}

void FireflyParticles::Kill(uint32_t slot) {
  const uint32_t last = m_Count - 1;
  m_Targets[slot] = m_Targets[last];
  m_Velocities[slot] = m_Velocities[last];
  m_Attracted[slot] = m_Attracted[last];
  m_Kinds[slot] = m_Kinds[last];
  ParticleParams::Kill(slot);
}

bool FireflyParticles::Validate() const {
  return ParticleParams::Validate() && m_Targets.size() == m_Capacity && m_Velocities.size() == m_Capacity &&
         m_Attracted.size() == m_Capacity && m_Kinds.size() == m_Capacity;
}

}  // namespace Gfx
