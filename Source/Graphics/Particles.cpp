#include "Graphics/Particles.h"

#include <algorithm>

#include "Core/Clock.h"
#include "Messaging/MailMan.h"
#include "Messaging/Messages.h"
#include "Util/Random.h"

namespace Gfx {
namespace {

// How far a new particle of each family starts from its previous position, per unit of
// (random(1000) - 500): its first step.
constexpr float kCometSpread = 0.0001f;
constexpr float kFlashSpread = 0.0007f;
constexpr float kPollenSpread = 0.007f;

// Milliseconds of the frame; ages and steps of the timed kinds follow it.
float FrameMs() { return static_cast<float>(Clock::Instance().FrameTime()); }

uint32_t AgeStep(float ms) { return ms > 0.0f ? static_cast<uint32_t>(ms) : 0u; }

Util::Vec3 Scatter(float a, float b, float c, float factor) { return Util::Vec3{a, b, c} * factor; }

}  // namespace

uint32_t RandomBelow(uint32_t a) { return a ? Util::Random::Instance().Next() % a : 0u; }

void ParticleParams::Init(uint32_t capacity) {
  m_Capacity = capacity;
  m_Previous.assign(capacity, Util::Vec3{});
  m_Current.assign(capacity, Util::Vec3{});
  m_Ages.assign(capacity, 0u);
  m_Count = 0;
}

void ParticleParams::Emit(uint32_t count, const Util::Vec3& at) {
  for (uint32_t i = Grow(count); i < m_Count; ++i) {
    m_Previous[i] = m_Current[i] = at;
    m_Ages[i] = 0;
  }
}

float ParticleParams::Life(uint32_t slot) const {
  if (slot >= m_Count || m_MaxAge == 0) return 0.0f;
  return 1.0f - std::min(1.0f, static_cast<float>(m_Ages[slot]) / static_cast<float>(m_MaxAge));
}

bool ParticleParams::Validate() const {
  return m_Count <= m_Capacity && m_Previous.size() == m_Capacity && m_Current.size() == m_Capacity &&
         m_Ages.size() == m_Capacity;
}

uint32_t ParticleParams::Grow(uint32_t n) {
  const uint32_t first = m_Count;
  m_Count = m_Capacity - m_Count < n ? m_Capacity : m_Count + n;
  return first;
}

void ParticleParams::Kill(uint32_t slot) {
  const uint32_t last = --m_Count;
  m_Previous[slot] = m_Previous[last];
  m_Current[slot] = m_Current[last];
  m_Ages[slot] = m_Ages[last];
}

void ParticleParams::ScatterStart(uint32_t slot, const Util::Vec3& at, float factor) {
  const float a = static_cast<float>(RandomBelow(1000)) - 500.0f;
  const float b = static_cast<float>(RandomBelow(1000)) - 500.0f;
  const float c = static_cast<float>(RandomBelow(1000)) - 500.0f;
  m_Previous[slot] = at;
  m_Current[slot] = at + Scatter(a, b, c, factor);
  m_Ages[slot] = 0;
}

// ---- Comet ---------------------------------------------------------------------------------------

// The new positions are written over the previous ones, which then become current. A particle
// that dies takes the last live one into its slot, and that one is stepped in its place at once:
// left unstepped, the swap would hand it its old previous position as current and turn it round.

bool CometParticles::Update(const Util::Vec3& emitter) {
  for (uint32_t i = 0; i < m_Count;) {
    if (++m_Ages[i] > m_MaxAge) {
      Kill(i);
      continue;
    }
    m_Previous[i] = m_Current[i] + (m_Current[i] - m_Previous[i]) * 0.99f;
    ++i;
  }
  SwapPositions();
  Emit(10, emitter);
  return true;
}

void CometParticles::Init(uint32_t capacity) {
  ParticleParams::Init(capacity);
  Emit(100, m_Emitter);
}

void CometParticles::Emit(uint32_t count, const Util::Vec3& at) {
  for (uint32_t i = Grow(count); i < m_Count; ++i) ScatterStart(i, at, kCometSpread);
}

// ---- Smoke ---------------------------------------------------------------------------------------

bool SmokeParticles::Update(const Util::Vec3& emitter) {
  for (uint32_t i = 0; i < m_Count;) {
    if (++m_Ages[i] > m_MaxAge) {
      Kill(i);
      continue;
    }
    const Util::Vec3& c = m_Current[i];
    m_Previous[i] = {c.x + (emitter.x - c.x) * 0.05f, c.y + 0.1f, c.z + (emitter.z - c.z) * 0.05f};
    ++i;
  }
  SwapPositions();
  Emit(3, emitter);
  return true;
}

void SmokeParticles::Init(uint32_t capacity) {
  ParticleParams::Init(capacity);
  m_Size = 0.3f;
  Emit(10, m_Emitter);
}

void SmokeParticles::Emit(uint32_t count, const Util::Vec3& at) {
  for (uint32_t i = Grow(count); i < m_Count; ++i) ScatterStart(i, at, kCometSpread);
}

// ---- Flash ---------------------------------------------------------------------------------------

bool FlashParticles::Update(const Util::Vec3& emitter) {
  if (m_Count == 0 && m_Armed) Emit(kBurst, emitter);
  const bool shining = m_Count > 0;
  for (uint32_t i = 0; i < m_Count;) {
    if (++m_Ages[i] > m_MaxAge) {
      Kill(i);
      continue;
    }
    m_Previous[i] = m_Current[i] + (m_Current[i] - m_Previous[i]) * 0.8f;
    ++i;
  }
  SwapPositions();
  if (shining && m_Count == 0) m_Armed = false;
  // The flash lights its surroundings while its sparks live; a spent flash gives no light.
  if (shining)
    Msg::MailMan::Instance().Post(new Msg::graphicsLightMsg(Msg::Vec4{emitter.x, emitter.y, emitter.z, kLightRadius},
                                                            Msg::Vec4{0.863f, 0.859f, 0.663f, 1.0f}));
  return true;
}

void FlashParticles::Init(uint32_t capacity) {
  ParticleParams::Init(capacity);
  m_Armed = true;
}

void FlashParticles::Emit(uint32_t count, const Util::Vec3& at) {
  for (uint32_t i = Grow(count); i < m_Count; ++i) ScatterStart(i, at, kFlashSpread);
}

// ---- Highlander ----------------------------------------------------------------------------------

bool HighlanderParticle::Update(const Util::Vec3& emitter) {
  for (uint32_t i = 0; i < m_Count; ++i) m_Previous[i] = m_Current[i] = emitter;
  return true;
}

void HighlanderParticle::Init(uint32_t capacity) {
  ParticleParams::Init(capacity);
  Emit(1, m_Emitter);
}

void HighlanderParticle::Emit(uint32_t count, const Util::Vec3& at) {
  // There is only ever the one.
  ParticleParams::Emit(m_Count == 0 ? std::min(count, 1u) : 0u, at);
}

// ---- Pollen --------------------------------------------------------------------------------------

bool PollenParticle::Update(const Util::Vec3& emitter) {
  const float ms = FrameMs();
  const float step = ms * 0.001f;
  const Util::Vec3 drift{0.2f, -0.1f, 0.0f};
  for (uint32_t i = 0; i < m_Count;) {
    m_Ages[i] += AgeStep(ms);
    // Judged where the particle was an update ago: one emitted at the emitter has just left it
    // (by up to 3.5 on each axis) and must still count as there.
    if (Util::LengthSquared(m_Previous[i] - emitter) < kReachSquared) m_Ages[i] = m_MaxAge;
    if (m_Ages[i] >= m_MaxAge) {
      Kill(i);
      continue;
    }
    m_Previous[i] = m_Current[i] + ((m_Current[i] - m_Previous[i]) * 0.95f + drift) * step;
    ++i;
  }
  SwapPositions();
  return true;
}

void PollenParticle::Init(uint32_t capacity) { ParticleParams::Init(capacity); }

void PollenParticle::Emit(uint32_t count, const Util::Vec3& at) {
  for (uint32_t i = Grow(count); i < m_Count; ++i) ScatterStart(i, at, kPollenSpread);
}

// ---- Rain ----------------------------------------------------------------------------------------

bool RainParticle::Update(const Util::Vec3& emitter) {
  const float ms = FrameMs();
  const float step = ms * 0.001f;
  const Util::Vec3 fall{3.2f, -5.5f, 0.0f};
  for (uint32_t i = 0; i < m_Count; ++i) {
    m_Ages[i] += AgeStep(ms);
    if (m_Ages[i] > m_MaxAge)
      Respawn(i, emitter);
    else
      m_Previous[i] = m_Current[i] + ((m_Current[i] - m_Previous[i]) + fall) * step;
  }
  SwapPositions();
  return true;
}

// Written before the swap: the new current position goes where the previous one is.
void RainParticle::Respawn(uint32_t slot, const Util::Vec3& emitter) {
  const auto around = [] { return static_cast<float>(RandomBelow(192)) - 96.0f; };
  const float x = around(), y = around(), z = around();
  const Util::Vec3 current = emitter + Util::Vec3{x, y, z};
  const float dx = static_cast<float>(RandomBelow(100)) - 50.0f;
  const float dy = static_cast<float>(RandomBelow(1000)) - 1000.0f;
  const float dz = static_cast<float>(RandomBelow(100)) - 50.0f;
  m_Previous[slot] = current;
  m_Current[slot] = current + Util::Vec3{dx, dy, dz} * 0.007f;
  m_Ages[slot] = RandomBelow(5000);
}

void RainParticle::Init(uint32_t capacity) { ParticleParams::Init(capacity); }

void RainParticle::Emit(uint32_t count, const Util::Vec3& at) {
  for (uint32_t i = Grow(count); i < m_Count; ++i) ScatterStart(i, at, kPollenSpread);
}

void RainParticlesPacked::Init(uint32_t capacity) {
  RainParticle::Init(capacity);
  Emit(capacity, m_Emitter);
  for (uint32_t i = 0; i < m_Count; ++i) m_Ages[i] = m_MaxAge + 1;
}

// ---- By name -------------------------------------------------------------------------------------

std::unique_ptr<ParticleParams> MakeParticleParams(const std::string& type) {
  if (type == "Comet") return std::make_unique<CometParticles>();
  if (type == "Flash") return std::make_unique<FlashParticles>();
  if (type == "Highlander") return std::make_unique<HighlanderParticle>();
  if (type == "Pollen") return std::make_unique<PollenParticle>();
  if (type == "Smoke") return std::make_unique<SmokeParticles>();
  if (type == "Rain") return std::make_unique<RainParticlesPacked>();
  return nullptr;
}

}  // namespace Gfx
