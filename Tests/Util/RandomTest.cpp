#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "Util/Random.h"

namespace {

std::vector<uint32_t> Draws(uint32_t seed) {
  Util::Random::Instance().Seed(seed);
  std::vector<uint32_t> draws;
  for (int i = 0; i < 8; ++i) draws.push_back(Util::Random::Instance().Next());
  draws.push_back(static_cast<uint32_t>(std::rand()));  // the scripts' math.random draws here
  return draws;
}

}  // namespace

TEST(Random, OneSeedGivesOneSequenceOfTheEngineAndOfTheCLibrary) {
  const std::vector<uint32_t> first = Draws(42);
  EXPECT_EQ(Draws(42), first);
  EXPECT_NE(Draws(43), first);
  EXPECT_EQ(Util::Random::Instance().CurrentSeed(), 43u);
}

TEST(Random, DrawsStayInTheirRangesAndReachBothEnds) {
  Util::Random& random = Util::Random::Instance();
  random.Seed(7);
  bool low = false;
  bool high = false;
  for (int i = 0; i < 2000; ++i) {
    const int32_t n = random.Between(-3, 3);
    ASSERT_GE(n, -3);
    ASSERT_LE(n, 3);
    low = low || n == -3;
    high = high || n == 3;
    const float u = random.Unit();
    ASSERT_GE(u, 0.0f);
    ASSERT_LT(u, 1.0f);
  }
  EXPECT_TRUE(low && high);
  EXPECT_EQ(random.Between(5, 5), 5);
  EXPECT_EQ(random.Between(5, -5), 5);
  // The whole range is a span of 2^32, one more than 32 bits hold.
  EXPECT_NE(random.Between(INT32_MIN, INT32_MAX), random.Between(INT32_MIN, INT32_MAX));
}
