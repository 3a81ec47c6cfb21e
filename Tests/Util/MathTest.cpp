// The small vector and matrix types, and the engine's one source of chance.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "Util/Random.h"
#include "Util/Vec3.h"

using Util::Mat3;
using Util::Vec3;

namespace {

void ExpectNear(const Vec3& a, const Vec3& b) {
  EXPECT_LT(Util::Length(a - b), 1e-5f) << a.x << " " << a.y << " " << a.z;
}

std::vector<uint32_t> Draws(uint32_t seed) {
  Util::Random::Instance().Seed(seed);
  std::vector<uint32_t> draws;
  for (int i = 0; i < 8; ++i) draws.push_back(Util::Random::Instance().Next());
  draws.push_back(static_cast<uint32_t>(std::rand()));  // the scripts' math.random draws here
  return draws;
}

}  // namespace

TEST(Vec3, CrossFollowsTheRightHandRuleAndNormalizingZeroGivesZeroNotNaN) {
  ExpectNear(Util::Cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
  ExpectNear(Util::Cross({0, 1, 0}, {0, 0, 1}), {1, 0, 0});
  ExpectNear(Util::Normalize({3, 0, 4}), {0.6f, 0, 0.8f});
  EXPECT_EQ(Util::Normalize({0, 0, 0}), (Vec3{0, 0, 0}));
}

// Each axis turns the right way round, and the turns come about x first, then y, then z.
TEST(Mat3, EulerAnglesTurnAboutXThenYThenZ) {
  EXPECT_EQ(Mat3::FromEulerDegrees({0, 0, 0}), Mat3::Identity());
  ExpectNear(Mat3::FromEulerDegrees({0, 0, 90}) * Vec3{1, 0, 0}, {0, 1, 0});
  ExpectNear(Mat3::FromEulerDegrees({90, 0, 0}) * Vec3{0, 1, 0}, {0, 0, 1});
  ExpectNear(Mat3::FromEulerDegrees({90, 90, 0}) * Vec3{0, 1, 0}, {1, 0, 0});
  ExpectNear(Mat3::FromEulerDegrees({0, 90, 90}) * Vec3{1, 0, 0}, {0, 0, -1});
}

TEST(Random, OneSeedGivesOneSequenceOfTheEngineAndOfTheCLibraryAndDrawsReachBothEndsOfTheirRanges) {
  const std::vector<uint32_t> first = Draws(42);
  EXPECT_EQ(Draws(42), first);
  EXPECT_NE(Draws(43), first);
  Util::Random& random = Util::Random::Instance();
  bool ends[2] = {false, false};
  for (int i = 0; i < 2000; ++i) {
    const int32_t n = random.Between(-3, 3);
    ASSERT_TRUE(n >= -3 && n <= 3) << n;
    ends[0] = ends[0] || n == -3;
    ends[1] = ends[1] || n == 3;
    const float u = random.Unit();
    ASSERT_TRUE(u >= 0.0f && u < 1.0f) << u;
  }
  EXPECT_TRUE(ends[0] && ends[1]);
  EXPECT_EQ(random.Between(5, -5), 5);
  // The whole range is a span of 2^32, one more than 32 bits hold.
  EXPECT_NE(random.Between(INT32_MIN, INT32_MAX), random.Between(INT32_MIN, INT32_MAX));
}
