#include <gtest/gtest.h>

#include "Game/Player.h"
#include "Support/AssertRecorder.h"
#include "Util/Allocator.h"

TEST(Player, LivesInABlockOfThePoolOfItsSize) {
  Testing::AssertRecorder recorder;
  const Util::AllocatorStats& stats = Util::Allocator<sizeof(Game::Player)>::Instance().Stats();
  const Util::AllocatorStats before = stats;
  Game::Player::Instance();
  EXPECT_EQ(stats.ObjectsInUse_, before.ObjectsInUse_ + 1);
  EXPECT_EQ(stats.Allocations_, before.Allocations_ + 1);
  Game::Player::Destroy();
  EXPECT_EQ(stats.ObjectsInUse_, before.ObjectsInUse_);
  EXPECT_EQ(recorder.Count(), 0u);
}
