#include <gtest/gtest.h>

#include "Util/Vec3.h"

using Util::Mat3;
using Util::Vec3;

namespace {
void ExpectNear(const Vec3& a, const Vec3& b) {
  EXPECT_NEAR(a.x, b.x, 1e-5f);
  EXPECT_NEAR(a.y, b.y, 1e-5f);
  EXPECT_NEAR(a.z, b.z, 1e-5f);
}
}  // namespace

TEST(Vec3, CrossProductFollowsTheRightHandRule) {
  ExpectNear(Util::Cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
  ExpectNear(Util::Cross({0, 1, 0}, {0, 0, 1}), {1, 0, 0});
}

TEST(Vec3, NormalizingZeroGivesZeroNotNaN) {
  const Vec3 n = Util::Normalize({0, 0, 0});
  EXPECT_EQ(n, (Vec3{0, 0, 0}));
  ExpectNear(Util::Normalize({3, 0, 4}), {0.6f, 0, 0.8f});
}

TEST(Mat3, EulerAnglesTurnAboutXThenYThenZ) {
  // 90 degrees about z alone takes x to y.
  ExpectNear(Mat3::FromEulerDegrees({0, 0, 90}) * Vec3{1, 0, 0}, {0, 1, 0});
  // About x first: y goes to z; then about y by 90: z goes to x.
  ExpectNear(Mat3::FromEulerDegrees({90, 90, 0}) * Vec3{0, 1, 0}, {1, 0, 0});
  // The other order would have sent y elsewhere: (y about y stays y, then about x goes to z).
  ExpectNear((Mat3::FromEulerDegrees({90, 0, 0}) * Mat3::FromEulerDegrees({0, 90, 0})) * Vec3{0, 1, 0}, {0, 0, 1});
}

TEST(Mat3, ZeroAnglesGiveTheIdentityAndRotationsKeepLengths) {
  EXPECT_EQ(Mat3::FromEulerDegrees({0, 0, 0}), Mat3::Identity());
  const Vec3 v{1.5f, -2.0f, 0.25f};
  EXPECT_NEAR(Util::Length(Mat3::FromEulerDegrees({33, -71, 140}) * v), Util::Length(v), 1e-5f);
}
