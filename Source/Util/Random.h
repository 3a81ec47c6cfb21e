// Random: the engine's one source of chance. Every system that wants random numbers (particle
// bursts, firefly flight, ...) draws from this generator and from no other, so that one seed
// fixes every choice the game makes: the play-test runner seeds it from the play script, and the
// same play script then gives the same frames on every run and machine.
//
// The generator is SplitMix64 (a 64-bit counter run through a mixing function): small, fast and
// the same everywhere, unlike the standard library's distributions. Seeding it also seeds the C
// library's generator, which the scripts' math.random draws from. Created on first use and
// destroyed at program exit; main thread only.
#pragma once

#include <cstdint>

#include "Util/Singleton.h"

namespace Util {

class Random : public Singleton<Random> {
 public:
  static constexpr uint32_t kDefaultSeed = 1;

  // Starts the sequence again from a seed (the C library's generator too).
  void Seed(uint32_t seed);
  uint32_t CurrentSeed() const { return m_Seed; }

  uint32_t Next();  // 32 random bits
  float Unit();     // 0 inclusive to 1 exclusive
  float Range(float low, float high);
  // An integer from low to high, both included; low when high is below it.
  int32_t Between(int32_t low, int32_t high);

 private:
  friend class Singleton<Random>;
  Random();

  uint32_t m_Seed = kDefaultSeed;
  uint64_t m_State = 0;
};

}  // namespace Util
