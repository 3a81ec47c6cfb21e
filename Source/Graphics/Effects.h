// Effects: what the graphics facade drives for the game's effect systems, which the particle and
// waterfall systems fill in: the three firefly particle systems (the burst when a firefly is
// caught, the lantern's rain and the trail of fireflies following the lantern, all three made the
// first time something needs them) and the waterfalls.
//
// The facade owns one Effects, from Init to Shutdown, and hands it the messages of its table that
// concern them; nothing here draws yet, so each operation only keeps what the systems will start
// from. Main thread only.
#pragma once

#include <cstdint>

#include "Util/Vec3.h"

namespace Gfx {

class Effects {
 public:
  // The capacity of each firefly system and the particles a caught firefly bursts into.
  static constexpr uint32_t kCapacity = 4096;
  static constexpr uint32_t kBurst = 100;

  // gameFireflySpawnMsg: kinds 1 to 4 add `count` fireflies of that kind to the trail with the
  // two vectors as their spawn data; any other kind has the trail emit one particle at `first`.
  void SpawnFireflies(const Util::Vec3& first, const Util::Vec3& second, int32_t count, uint8_t kind);
  // gameLanternPositionMsg: every firefly system, made if missing, moves to the lantern.
  void MoveToLantern(const Util::Vec3& lantern);
  // gameFireflyCollidedMsg: the burst system, made if missing, emits kBurst particles there.
  void Burst(const Util::Vec3& at);
  // addWaterfallMsg: a waterfall through the four points.
  void AddWaterfall(const Util::Vec3 (&points)[4], int32_t segments, float value);

  // Where the systems stand; the lantern's position once it was given.
  const Util::Vec3& Lantern() const { return m_Lantern; }
  // The requests kept so far, for the systems that take them over.
  uint32_t PendingFireflies() const { return m_PendingFireflies; }
  uint32_t PendingBursts() const { return m_PendingBursts; }
  uint32_t PendingWaterfalls() const { return m_PendingWaterfalls; }

 private:
  Util::Vec3 m_Lantern;
  uint32_t m_PendingFireflies = 0;
  uint32_t m_PendingBursts = 0;
  uint32_t m_PendingWaterfalls = 0;
};

}  // namespace Gfx
