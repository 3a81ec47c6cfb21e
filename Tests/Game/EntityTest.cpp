#include <unistd.h>

#include "Game/EntityTesting.h"

using Game::Entity;
using Testing::ComponentLog;
using Testing::RecordingPhysComp;
using Util::Vec3;

namespace {

class EntityTransform : public Testing::EntityTest {};

}  // namespace

// Runs in a fresh copy of the test program, where no entity has been made yet.
TEST(EntityIds, TheFirstEntityOfARunIsNumberTwoAndTheNextOneThree) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Entity* first = new Entity();
        Entity* second = new Entity(nullptr);
        _exit(first->GetID() * 10 + second->GetID());
      },
      testing::ExitedWithCode(23), "");
}

TEST_F(EntityTransform, EntitiesFromOneFileGetConsecutiveIdsAndNamesThatDifferOnlyInTheirNumber) {
  const std::string path = WriteEntity("vine", Testing::Definition("Vine"));
  Entity a(path.c_str());
  Entity bare;
  Entity b(path.c_str());
  EXPECT_EQ(bare.GetID(), a.GetID() + 1);  // bare ones count too
  EXPECT_EQ(b.GetID(), a.GetID() + 2);
  EXPECT_EQ(std::string(a.GetName()), "Vine" + std::to_string(a.GetID()));
  EXPECT_EQ(std::string(b.GetName()), "Vine" + std::to_string(b.GetID()));
  b.Rename("OldVine");
  EXPECT_EQ(std::string(b.GetName()), "OldVine" + std::to_string(b.GetID()));
  b.Rename(nullptr);
  EXPECT_EQ(std::string(b.GetName()), std::to_string(b.GetID()));
}

TEST_F(EntityTransform, ABareEntityHasAnEmptyNameNoComponentsAndAllZeroTransform) {
  Entity bare;
  ASSERT_NE(bare.GetName(), nullptr);
  EXPECT_STREQ(bare.GetName(), "");
  EXPECT_EQ(bare.GetVisual(), nullptr);
  EXPECT_EQ(bare.GetPhysics(), nullptr);
  EXPECT_EQ(bare.GetScript(), nullptr);
  EXPECT_EQ(bare.GetSound(), nullptr);
  EXPECT_FALSE(bare.ScriptFlag());
  EXPECT_TRUE(bare.Touched().empty());
  Util::Mat3 zero;
  for (auto& row : zero.m)
    for (float& v : row) v = 0.0f;
  EXPECT_EQ(bare.GetRotationMatrix(), zero);
  EXPECT_EQ(bare.GetScale(), Vec3{});
  EXPECT_EQ(bare.GetPosition(), Vec3{});
  EXPECT_EQ(bare.GetVelocity(), Vec3{});

  // One built from a file starts upright at unit scale.
  Entity built(WriteEntity("plain", Testing::Definition("Plain")).c_str());
  EXPECT_EQ(built.GetRotationMatrix(), Util::Mat3::Identity());
  EXPECT_EQ(built.GetScale(), (Vec3{1, 1, 1}));
}

TEST_F(EntityTransform, ComponentsGoWithTheEntityVisualPhysicsScriptSoundInThatOrder) {
  const size_t visuals = Util::AutoList<Gfx::Visual>::Count();
  const size_t scripts = Util::AutoList<Spt::Script>::Count();
  auto* entity = new Entity();
  entity->SetSound(new Testing::RecordingSound());
  entity->SetScript(new Testing::RecordingScript("a.lua", entity, true));
  entity->SetPhysics(new RecordingPhysComp(entity, false));
  entity->SetVisual(new Testing::RecordingVisual(entity));
  EXPECT_TRUE(entity->ScriptFlag());
  EXPECT_EQ(entity->GetScript()->Owner(), entity);
  EXPECT_EQ(Util::AutoList<Gfx::Visual>::Count(), visuals + 1);

  // A second visual replaces the first, which goes at once.
  auto* second = new Testing::RecordingVisual(entity);
  entity->SetVisual(second);
  EXPECT_EQ(ComponentLog(), std::vector<std::string>{"~visual"});
  EXPECT_EQ(entity->GetVisual(), second);
  entity->SetVisual(second);  // the same one again is kept
  EXPECT_EQ(ComponentLog().size(), 1u);

  ComponentLog().clear();
  delete entity;
  EXPECT_EQ(ComponentLog(), (std::vector<std::string>{"~visual", "~physics", "~script", "~sound"}));
  EXPECT_EQ(Util::AutoList<Gfx::Visual>::Count(), visuals);
  EXPECT_EQ(Util::AutoList<Spt::Script>::Count(), scripts);
}

TEST_F(EntityTransform, ScaleTurnsTheHullByTheRatioOfXAloneForAllAxes) {
  Entity entity(WriteEntity("plain", Testing::Definition("Plain")).c_str());
  auto* physics = new RecordingPhysComp(&entity, true);
  entity.SetPhysics(physics);
  entity.SetScale({2, 1, 1});
  entity.SetScale({2, 5, 7});  // y and z alone: ratio 1, the hull keeps its size
  entity.SetScale({1, 5, 7});
  EXPECT_EQ(physics->m_Ratios, (std::vector<float>{2.0f, 1.0f, 0.5f}));
  EXPECT_EQ(entity.GetScale(), (Vec3{1, 5, 7}));

  // From a scale of x = 0 there is no ratio to scale by.
  entity.SetScale({0, 1, 1});
  entity.SetScale({3, 1, 1});
  EXPECT_EQ(physics->m_Ratios.size(), 4u);
  EXPECT_EQ(entity.GetScale(), (Vec3{3, 1, 1}));

  Entity bare;  // no physics: the scale is simply stored
  bare.SetScale({4, 4, 4});
  EXPECT_EQ(bare.GetScale(), (Vec3{4, 4, 4}));
}

TEST_F(EntityTransform, RotationAnglesRebuildTheMatrixAndAMatrixSetDirectlyZeroesTheAngles) {
  Entity entity;
  auto* physics = new RecordingPhysComp(&entity, false);
  entity.SetPhysics(physics);
  entity.SetRotation({10, 20, 30});
  EXPECT_EQ(entity.GetRotation(), (Vec3{10, 20, 30}));
  EXPECT_EQ(entity.GetRotationMatrix(), Util::Mat3::FromEulerDegrees({10, 20, 30}));
  EXPECT_EQ(physics->m_Rotations, std::vector<Vec3>{(Vec3{10, 20, 30})});  // with or without a hull

  const Util::Mat3 m = Util::Mat3::FromEulerDegrees({0, 90, 0});
  entity.SetRotationMatrix(m);
  EXPECT_EQ(entity.GetRotation(), Vec3{});
  EXPECT_EQ(entity.GetRotationMatrix(), m);
  EXPECT_EQ(physics->m_Rotations.size(), 1u);
}

TEST_F(EntityTransform, VelocityAndBoundsAreStoredAndTheBodyGetsTheVelocity) {
  Entity entity;
  entity.SetVelocity({1, 2, 3});
  auto* physics = new RecordingPhysComp(&entity, false);
  entity.SetPhysics(physics);
  entity.SetVelocity({4, 5, 6});
  EXPECT_EQ(entity.GetVelocity(), (Vec3{4, 5, 6}));
  EXPECT_EQ(physics->m_Velocities, std::vector<Vec3>{(Vec3{4, 5, 6})});
  entity.SetBounds(Phy::AABB({-1, -2, -3}, {4, 5, 6}));
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{-1, -2, -3}));
  EXPECT_EQ(entity.GetBounds().Max(), (Vec3{4, 5, 6}));
  entity.Touched().push_back(&entity);
  EXPECT_EQ(entity.Touched().size(), 1u);
}

TEST_F(EntityTransform, PositionCarriesTheBoundsAndAHullButPositionOnlyTheBoundsAlone) {
  Entity entity;
  entity.SetBounds(Phy::AABB({-1, -1, -1}, {1, 1, 1}));
  auto* physics = new RecordingPhysComp(&entity, false);
  entity.SetPhysics(physics);
  entity.SetPosition({10, 20, 30});  // no hull: nothing to translate
  EXPECT_TRUE(physics->m_Translations.empty());
  EXPECT_EQ(entity.GetPosition(), (Vec3{10, 20, 30}));
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{9, 19, 29}));

  physics->m_Hull = true;
  entity.SetPosition({15, 20, 25});
  EXPECT_EQ(physics->m_Translations, std::vector<Vec3>{(Vec3{5, 0, -5})});
  EXPECT_EQ(entity.GetBounds().Max(), (Vec3{16, 21, 26}));

  entity.SetPositionOnly({0, 0, 0});
  EXPECT_EQ(physics->m_Translations.size(), 1u);
  EXPECT_EQ(entity.GetPosition(), Vec3{});
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{-1, -1, -1}));
  EXPECT_EQ(entity.GetBounds().Max(), (Vec3{1, 1, 1}));
}

// Cells are 128 units wide; x = 0 lies on a cell boundary (the lattice starts at x = -1024).
TEST_F(EntityTransform, MovingWithinACellLeavesTheGridAloneAndAcrossABoundaryRefilesOnce) {
  Entity entity;
  entity.SetBounds(Phy::AABB({10, 10, 10}, {20, 20, 20}));
  entity.SetPosition({200, 0, 0});  // across, but there is no grid yet
  EXPECT_EQ(entity.GridMoves(), 0u);
  entity.SetPositionOnly({0, 0, 0});
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{10, 10, 10}));

  Util::Grid::Instance().Add(&entity, false);
  entity.SetPosition({50, 50, 50});  // bounds 60..70: same cell
  EXPECT_EQ(entity.GridMoves(), 0u);
  entity.SetPosition({115, 50, 50});  // bounds 125..135: the maximum corner passes 128
  EXPECT_EQ(entity.GridMoves(), 1u);
  entity.SetPosition({150, 50, 50});  // 160..170: now the minimum corner has changed cell
  EXPECT_EQ(entity.GridMoves(), 2u);
  entity.SetPosition({160, 60, 60});  // 170..180, still the same cells
  EXPECT_EQ(entity.GridMoves(), 2u);
  entity.SetPosition({-50, 60, 60});  // -40..-30: from cell column 9 to 7 in one step, one re-filing
  EXPECT_EQ(entity.GridMoves(), 3u);
  entity.SetPositionOnly({500, 60, 60});  // never re-files
  EXPECT_EQ(entity.GridMoves(), 3u);
  Util::Grid::Instance().Remove(&entity);
}
