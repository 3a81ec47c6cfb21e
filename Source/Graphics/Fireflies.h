// FireflyParticles: the fireflies of the graphics facade's trail system. Each firefly has a
// position (the particle's current position; the previous one is where it was an update ago), a
// target it circles, a velocity, an attracted flag and a kind.
//
// Attracted flag: 1 flies straight to the lantern; 0 and 2 are free, circling their target until
// the lantern comes within the player's firefly distance, when they turn attracted. A firefly that
// reaches the lantern (closer than 1) is collected: gameFireflyCollidedMsg is posted with its
// position and 1.0, and the last live firefly takes its slot (it is stepped next update).
//
// After every update a graphicsLightVecMsg carries a pointer to the positions, the five light
// values and the live count. The positions live as long as the system and are only written by
// Update, so they are still this update's when the message is delivered.
//
// Reads: the graphics facade's update flag (nothing moves while it is clear), the clock's frame
// time and the player's firefly distance. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Graphics/Particles.h"

namespace Gfx {

class FireflyParticles : public ParticleParams {
 public:
  static constexpr uint32_t kCapacity = 4096;
  static constexpr uint32_t kMaxAge = 10000;
  // Red, green, blue of each firefly's light, its special value (brightness) and its radius: the
  // colour record and the radius of the position record of each light the renderer adds.
  using Lights = std::array<float, 5>;
  static constexpr Lights kDefaultLights = {1.0f, 0.95f, 0.55f, 0.8f, 6.0f};

  FireflyParticles() : ParticleParams(kMaxAge, 1.2f) {}

  // One flight step toward targets and the lantern at `lantern`; true.
  bool Update(const Util::Vec3& lantern) override;
  void Init(uint32_t capacity) override;
  // Resting fireflies at `at`: their own target, no speed, free, kind 0.
  void Emit(uint32_t count, const Util::Vec3& at) override;

  // `count` fireflies of `kind` (1 to 4) with the spawn vectors `first` and `second`, each new one
  // given the kind byte (its slot) mod (min(lanterns / 5, 3) + 1). Kinds 2 and 3 circle `second`
  // at the radius first.x (3 flies to the lantern at once), 4 circles it in a ring, 1 starts at
  // `first` and flies to the lantern. Any other kind adds nothing.
  void AddFireflies(uint32_t count, int32_t kind, const Util::Vec3& first, const Util::Vec3& second,
                    int32_t lanternCount);

  const Util::Vec3& Target(uint32_t slot) const { return m_Targets[slot]; }
  const Util::Vec3& Velocity(uint32_t slot) const { return m_Velocities[slot]; }
  uint8_t Attracted(uint32_t slot) const { return m_Attracted[slot]; }
  uint8_t Kind(uint32_t slot) const { return m_Kinds[slot]; }
  const Lights& LightValues() const { return m_Lights; }
  void SetLightValues(const Lights& lights) { m_Lights = lights; }

  // The kind of the firefly collected last, by any system (2 for kinds above 3).
  static uint8_t LastCollectedKind() { return s_LastCollectedKind; }

  bool Validate() const;

 protected:
  void Kill(uint32_t slot) override;

 private:
  std::vector<Util::Vec3> m_Targets;
  std::vector<Util::Vec3> m_Velocities;
  std::vector<uint8_t> m_Attracted;
  std::vector<uint8_t> m_Kinds;
  Lights m_Lights = kDefaultLights;

  static uint8_t s_LastCollectedKind;
};

}  // namespace Gfx
