#include <unistd.h>

#include "Game/EntityTesting.h"

using Game::Entity;
using Testing::ComponentLog;
using Testing::Numbered;
using Testing::RecordingPhysComp;
using Util::Vec3;
using Vecs = std::vector<Vec3>;

namespace {

class EntityTransform : public Testing::EntityTest {
 protected:
  // An entity with a recording body (a hull if asked), which the entity owns.
  RecordingPhysComp* WithBody(Entity& entity, bool hull = false) {
    auto* physics = new RecordingPhysComp(&entity, hull);
    entity.SetPhysics(physics);
    return physics;
  }
};

}  // namespace

// Runs in a fresh copy of the test program, where no entity has been made yet.
TEST(EntityIds, TheFirstEntityOfARunIsNumberTwoAndTheNextOneThree) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Entity* first = new Entity();
        _exit(first->GetID() * 10 + (new Entity(nullptr))->GetID());
      },
      testing::ExitedWithCode(23), "");
}

TEST_F(EntityTransform, IdsCountEveryEntityNamesAreTheBaseThenTheIdAndABareEntityHoldsNothing) {
  const std::string path = WriteEntity("vine", Testing::Definition("Vine"));
  Entity a(path.c_str());
  Entity bare;
  Entity b(path.c_str());
  EXPECT_EQ(bare.GetID(), a.GetID() + 1);  // bare ones count too
  EXPECT_EQ(b.GetID(), a.GetID() + 2);
  EXPECT_EQ(a.GetName(), Numbered("Vine", a));
  b.Rename("OldVine");
  EXPECT_EQ(b.GetName(), Numbered("OldVine", b));
  b.Rename(nullptr);
  EXPECT_EQ(b.GetName(), Numbered("", b));

  EXPECT_STREQ(bare.GetName(), "");  // not null
  EXPECT_EQ((std::vector<const void*>{bare.GetVisual(), bare.GetPhysics(), bare.GetScript(), bare.GetSound()}),
            std::vector<const void*>(4, nullptr));
  EXPECT_FALSE(bare.ScriptFlag());
  EXPECT_EQ(bare.GetRotationMatrix(), Util::Mat3{{}});  // all zero
  EXPECT_EQ(Testing::Transform(bare), Vecs(4));
  // One built from a file starts upright at unit scale.
  EXPECT_EQ(a.GetRotationMatrix(), Util::Mat3::Identity());
  EXPECT_EQ(a.GetScale(), (Vec3{1, 1, 1}));
}

TEST_F(EntityTransform, ComponentsGoWithTheEntityVisualPhysicsScriptSoundInThatOrder) {
  auto* entity = new Entity();
  entity->SetSound(new Testing::RecordingSound());
  entity->SetScript(new Testing::RecordingScript("a.lua", entity, true));
  WithBody(*entity);
  entity->SetVisual(new Testing::RecordingVisual(entity));
  EXPECT_TRUE(entity->ScriptFlag());

  // A second visual replaces the first, which goes at once; the same one again is kept.
  auto* second = new Testing::RecordingVisual(entity);
  entity->SetVisual(second);
  entity->SetVisual(second);
  EXPECT_EQ(ComponentLog(), std::vector<std::string>{"~visual"});
  EXPECT_EQ(entity->GetVisual(), second);

  ComponentLog().clear();
  delete entity;
  EXPECT_EQ(ComponentLog(), (std::vector<std::string>{"~visual", "~physics", "~script", "~sound"}));
}

TEST_F(EntityTransform, ScaleTurnsTheHullByTheRatioOfXAloneForAllAxes) {
  Entity entity(WriteEntity("plain", Testing::Definition("Plain")).c_str());
  RecordingPhysComp* physics = WithBody(entity, true);
  // y and z alone give the ratio 1; from a scale of x = 0 there is no ratio to scale by.
  for (const Vec3& scale : Vecs{{2, 1, 1}, {2, 5, 7}, {1, 5, 7}, {0, 1, 1}, {3, 1, 1}}) entity.SetScale(scale);
  EXPECT_EQ(physics->m_Ratios, (std::vector<float>{2.0f, 1.0f, 0.5f, 0.0f}));
  EXPECT_EQ(entity.GetScale(), (Vec3{3, 1, 1}));

  Entity bare;  // no physics: the scale is simply stored
  bare.SetScale({4, 4, 4});
  EXPECT_EQ(bare.GetScale(), (Vec3{4, 4, 4}));
}

TEST_F(EntityTransform, SettersStoreTheirValueAndTellTheBodyAndThePositionCarriesTheBoundsAndAnyHull) {
  Entity entity;
  entity.SetVelocity({1, 2, 3});  // no body yet
  entity.SetBounds(Phy::AABB({-1, -1, -1}, {1, 1, 1}));
  RecordingPhysComp* physics = WithBody(entity);
  entity.SetVelocity({4, 5, 6});
  entity.SetRotation({1, 2, 3});     // no hull: nothing to turn
  entity.SetPosition({10, 20, 30});  // nor to translate
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{9, 19, 29}));
  physics->m_Hull = true;
  entity.SetRotation({10, 20, 30});
  EXPECT_EQ(entity.GetRotationMatrix(), Util::Mat3::FromEulerDegrees({10, 20, 30}));
  entity.SetPosition({15, 20, 25});
  EXPECT_EQ(entity.GetBounds().Max(), (Vec3{16, 21, 26}));
  entity.SetPositionOnly({0, 0, 0});  // the bounds alone follow
  const Util::Mat3 m = Util::Mat3::FromEulerDegrees({0, 90, 0});
  entity.SetRotationMatrix(m);  // zeroes the angles, tells the body nothing

  EXPECT_EQ(ComponentLog(), (std::vector<std::string>{"velocity", "rotate", "translate"}));
  EXPECT_EQ(physics->m_Velocities, Vecs{(Vec3{4, 5, 6})});
  EXPECT_EQ(physics->m_Rotations, Vecs{(Vec3{10, 20, 30})});
  EXPECT_EQ(physics->m_Translations, Vecs{(Vec3{5, 0, -5})});
  EXPECT_EQ(Testing::Transform(entity), (Vecs{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {4, 5, 6}}));
  EXPECT_EQ(entity.GetRotationMatrix(), m);
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{-1, -1, -1}));
}

// Cells are 128 units wide and x = 0 lies on a boundary; the grid's own tests follow the re-filing.
TEST_F(EntityTransform, CrossingACellBoundaryRefilesOnceWhileAGridExistsAndPositionOnlyNever) {
  Entity entity;
  entity.SetBounds(Phy::AABB({10, 10, 10}, {20, 20, 20}));
  entity.SetPosition({200, 0, 0});  // across, but there is no grid yet
  entity.SetPositionOnly({0, 0, 0});
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{10, 10, 10}));
  Util::Grid::Instance().Add(&entity, false);
  entity.SetPosition({50, 50, 50});  // bounds 60..70: the same cell
  EXPECT_EQ(entity.GridMoves(), 0u);
  entity.SetPosition({-50, 60, 60});  // -40..-30: two cell columns in one step, one re-filing
  entity.SetPositionOnly({500, 60, 60});
  EXPECT_EQ(entity.GridMoves(), 1u);
  Util::Grid::Instance().Remove(&entity);
}
