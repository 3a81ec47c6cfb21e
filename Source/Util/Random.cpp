#include "Util/Random.h"

#include <cstdlib>

namespace Util {

Random::Random() : Singleton(false) { m_State = kDefaultSeed; }

void Random::Seed(uint32_t seed) {
  m_Seed = seed;
  m_State = seed;
  std::srand(seed);
}

uint32_t Random::Next() {
  m_State += 0x9E3779B97F4A7C15ull;
  uint64_t z = m_State;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<uint32_t>(z >> 32);
}

float Random::Unit() {
  // 24 bits: every value is a float exactly, and 1 is never reached.
  return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f);
}

float Random::Range(float low, float high) { return low + (high - low) * Unit(); }

int32_t Random::Between(int32_t low, int32_t high) {
  if (high <= low) return low;
  const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low) + 1;
  return static_cast<int32_t>(low + static_cast<int64_t>((span * Next()) >> 32));
}

}  // namespace Util
