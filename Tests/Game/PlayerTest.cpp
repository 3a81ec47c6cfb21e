#include <gtest/gtest.h>

#include "Game/Player.h"
#include "Support/AssertRecorder.h"
#include "Util/Allocator.h"

TEST(Player, LivesInABlockOfThePoolOfItsSize) {
  Testing::AssertRecorder recorder;
  const auto& pool = Util::Allocator<sizeof(Game::Player)>::Instance();
  const uint32_t inUse = pool.Stats().ObjectsInUse_;
  const uint32_t allocations = pool.Stats().Allocations_;
  Game::Player::Instance();
  EXPECT_EQ(pool.Stats().ObjectsInUse_, inUse + 1);
  EXPECT_EQ(pool.Stats().Allocations_, allocations + 1);
  Game::Player::Destroy();
  EXPECT_EQ(pool.Stats().ObjectsInUse_, inUse);
  EXPECT_EQ(recorder.Count(), 0u);
}
