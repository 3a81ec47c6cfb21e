// Effects: the game's effect systems that the graphics facade drives by message: the three firefly
// particle systems and the waterfalls.
//
// The firefly systems, each made the first time a message needs it and living until the facade's
// Shutdown, all owner-less visuals standing at the lantern's position:
// - the burst (PollenParticle, "gFireflyGetParticle"): a caught firefly bursts into kBurst sparks
//   that drift off and die on reaching the lantern;
// - the lantern's motes (RainParticlesPacked, "gFireflyGetParticle"): a box of slowly falling glints
//   round the lantern;
// - the trail (FireflyParticles, "gFireflyParticle"): the fireflies circling islands and flying to
//   the lantern, which light the scene (their graphicsLightVecMsg) and are caught there.
// Each has kCapacity particles. The waterfalls go to the WaterfallManager, which this creates on
// the first one and destroys with itself.
//
// Reads the game state's lantern count for the kinds of new fireflies. Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "Util/Vec3.h"

namespace Gfx {

class FireflyParticles;
class VisualParticleSystem;

class Effects {
 public:
  // The capacity of each firefly system and the particles a caught firefly bursts into.
  static constexpr uint32_t kCapacity = 4096;
  static constexpr uint32_t kBurst = 100;

  Effects();
  ~Effects();
  Effects(const Effects&) = delete;
  Effects& operator=(const Effects&) = delete;

  // gameFireflySpawnMsg: kinds 1 to 4 add `count` fireflies of that kind to the trail with the
  // two vectors as their spawn data; any other kind has the trail emit one particle at `first`.
  void SpawnFireflies(const Util::Vec3& first, const Util::Vec3& second, int32_t count, uint8_t kind);
  // gameLanternPositionMsg: every firefly system, made if missing, moves to the lantern.
  void MoveToLantern(const Util::Vec3& lantern);
  // gameFireflyCollidedMsg: the burst system, made if missing, emits kBurst particles there.
  void Burst(const Util::Vec3& at);
  // addWaterfallMsg: a waterfall through the four points (the value is not used).
  void AddWaterfall(const Util::Vec3 (&points)[4], int32_t segments, float value);

  // Where the systems stand; the lantern's position once it was given.
  const Util::Vec3& Lantern() const { return m_Lantern; }
  // The systems; null until first needed.
  VisualParticleSystem* BurstSystem() const { return m_Burst.get(); }
  VisualParticleSystem* LanternSystem() const { return m_Motes.get(); }
  VisualParticleSystem* TrailSystem() const { return m_Trail.get(); }
  FireflyParticles* Fireflies() const;

 private:
  VisualParticleSystem& MakeBurst();
  VisualParticleSystem& MakeMotes();
  VisualParticleSystem& MakeTrail();

  Util::Vec3 m_Lantern;
  std::unique_ptr<VisualParticleSystem> m_Burst;
  std::unique_ptr<VisualParticleSystem> m_Motes;
  std::unique_ptr<VisualParticleSystem> m_Trail;
};

}  // namespace Gfx
