// Particle systems: point sets for comet trails, smoke, flashes, pollen, rain and fireflies.
//
// A ParticleParams holds the particles and the rules of one effect kind; a VisualParticleSystem
// owns one, updates it once per frame at its owner's position (the emitter) and draws it with its
// material. Particles move by position integration: each keeps its current and previous position,
// and its velocity is their difference; after an update the two arrays swap roles. Live particles
// fill slots 0 to Count() - 1; a particle older than the maximum age dies and the last live one
// takes its slot (order is not kept). Ages count updates or milliseconds, as the kind says.
//
// Chance comes from Util::Random only (random(a) below is its next number modulo a), frame times
// from the Clock, so a seeded run repeats exactly. Flash systems post graphicsLightMsg while they
// shine; fireflies (Fireflies.h) post their lights and their collection. Main thread only.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "Util/Vec3.h"

namespace Gfx {

class ParticleParams {
 public:
  explicit ParticleParams(uint32_t maxAge, float size) : m_MaxAge(maxAge), m_Size(size) {}
  virtual ~ParticleParams() = default;
  ParticleParams(const ParticleParams&) = delete;
  ParticleParams& operator=(const ParticleParams&) = delete;

  // One step of every live particle, with the emitter where the system stands now. True.
  virtual bool Update(const Util::Vec3& emitter) = 0;
  // Room for `capacity` particles, all zero and none live, then the kind's first emission at the
  // place last given to SetEmitter (the origin if none).
  virtual void Init(uint32_t capacity);
  void SetEmitter(const Util::Vec3& at) { m_Emitter = at; }
  // Up to `count` new particles (never past the capacity), each given its start state at `at`.
  virtual void Emit(uint32_t count, const Util::Vec3& at);

  uint32_t Count() const { return m_Count; }
  uint32_t Capacity() const { return m_Capacity; }
  uint32_t MaxAge() const { return m_MaxAge; }
  // Edge of a particle's quad in world units.
  float Size() const { return m_Size; }
  const Util::Vec3* Positions() const { return m_Current.data(); }
  const Util::Vec3* PreviousPositions() const { return m_Previous.data(); }
  const uint32_t* Ages() const { return m_Ages.data(); }
  // How much of its life a particle has left, 1 when new and 0 at the maximum age.
  float Life(uint32_t slot) const;

  // Arrays sized to the capacity, the count within it.
  bool Validate() const;

 protected:
  // The live count grows by up to n; returns the first new slot.
  uint32_t Grow(uint32_t n);
  // The last live particle moves into the slot; one fewer live.
  virtual void Kill(uint32_t slot);
  void SwapPositions() { m_Previous.swap(m_Current); }
  // The comet family's start: previous at `at`, current offset by (random(1000) - 500) × factor.
  void ScatterStart(uint32_t slot, const Util::Vec3& at, float factor);

  std::vector<Util::Vec3> m_Previous;
  std::vector<Util::Vec3> m_Current;
  std::vector<uint32_t> m_Ages;
  uint32_t m_Count = 0;
  uint32_t m_Capacity = 0;
  uint32_t m_MaxAge;
  float m_Size;
  Util::Vec3 m_Emitter;
};

// random(a): the engine generator's next number modulo a.
uint32_t RandomBelow(uint32_t a);

// The kinds. Ages of Comet, Smoke and Flash count updates; Pollen and Rain count milliseconds.

// A trail: particles keep 99 % of their speed; ten new ones every update, a hundred at Init.
class CometParticles : public ParticleParams {
 public:
  explicit CometParticles(uint32_t maxAge = 45) : ParticleParams(maxAge, 0.25f) {}
  bool Update(const Util::Vec3& emitter) override;
  void Init(uint32_t capacity) override;
  void Emit(uint32_t count, const Util::Vec3& at) override;
};

// Rises while drawn back over the emitter; three new every update, ten at Init.
class SmokeParticles : public ParticleParams {
 public:
  explicit SmokeParticles(uint32_t maxAge = 60) : ParticleParams(maxAge, 0.3f) {}
  bool Update(const Util::Vec3& emitter) override;
  void Init(uint32_t capacity) override;
  void Emit(uint32_t count, const Util::Vec3& at) override;
};

// A burst of a hundred when armed and empty, with its light while it shines; once the last spark
// dies the system disarms and stays dark until armed again.
class FlashParticles : public ParticleParams {
 public:
  static constexpr uint32_t kBurst = 100;
  static constexpr float kLightRadius = 12.0f;

  explicit FlashParticles(uint32_t maxAge = 30) : ParticleParams(maxAge, 0.2f) {}
  bool Update(const Util::Vec3& emitter) override;
  void Init(uint32_t capacity) override;
  void Emit(uint32_t count, const Util::Vec3& at) override;
  void Arm() { m_Armed = true; }
  bool Armed() const { return m_Armed; }

 private:
  bool m_Armed = true;
};

// One particle that stays at the emitter and never ages.
class HighlanderParticle : public ParticleParams {
 public:
  HighlanderParticle() : ParticleParams(std::numeric_limits<uint32_t>::max(), 1.0f) {}
  bool Update(const Util::Vec3& emitter) override;
  void Init(uint32_t capacity) override;
  void Emit(uint32_t count, const Util::Vec3& at) override;
};

// Drifts slowly down-wind and dies on reaching the emitter (within √8 of it, where it was an update
// ago).
class PollenParticle : public ParticleParams {
 public:
  static constexpr float kReachSquared = 8.0f;

  explicit PollenParticle(uint32_t maxAge = 10000) : ParticleParams(maxAge, 0.15f) {}
  bool Update(const Util::Vec3& emitter) override;
  void Init(uint32_t capacity) override;
  void Emit(uint32_t count, const Util::Vec3& at) override;
};

// Falls aslant; a drop past its age starts again somewhere in the box of ±96 round the emitter.
class RainParticle : public ParticleParams {
 public:
  explicit RainParticle(uint32_t maxAge = 10000) : ParticleParams(maxAge, 0.12f) {}
  bool Update(const Util::Vec3& emitter) override;
  void Init(uint32_t capacity) override;
  void Emit(uint32_t count, const Util::Vec3& at) override;

 protected:
  void Respawn(uint32_t slot, const Util::Vec3& emitter);
};

// Rain with every slot filled from the start: Init fills the capacity with drops due to start
// again, so the first update spreads them through the box (drops never die, they only restart).
class RainParticlesPacked : public RainParticle {
 public:
  static constexpr uint32_t kCapacity = 4096;
  RainParticlesPacked() : RainParticle(10000) {}
  void Init(uint32_t capacity) override;
};

// The system of a kind named in a definition file: "Comet", "Flash", "Highlander", "Pollen", and
// beyond those "Smoke" and "Rain" (packed rain); null for any other name.
std::unique_ptr<ParticleParams> MakeParticleParams(const std::string& type);

}  // namespace Gfx
