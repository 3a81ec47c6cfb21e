#include "Util/Grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "Game/Entity.h"
#include "Graphics/Visual.h"
#include "Messaging/Messages.h"
#include "Physics/PhysComp.h"
#include "Script/Script.h"
#include "Support/AssertRecorder.h"

using Game::Entity;
using Util::Grid;
using Util::Vec3;
using CellSet = std::set<uint32_t>;

namespace {

constexpr int kN = 12;

uint32_t Cell(int x, int y, int z) { return static_cast<uint32_t>(x + kN * (y + kN * z)); }

// The centre of a cell in world coordinates.
Vec3 Centre(int x, int y, int z) { return {x * 128.0f - 1024.0f + 64.0f, y * 128.0f + 64.0f, z * 128.0f + 64.0f}; }

void SendCamera(const Vec3& position) { Msg::Send(new Msg::cameraGetInfoMsg(0, position)); }

// The components of the given entities, as a tier holds them.
template <class C>
std::set<C*> Of(std::initializer_list<Entity*> entities, C* (Entity::*component)() const) {
  std::set<C*> components;
  for (Entity* entity : entities) components.insert((entity->*component)());
  return components;
}

class GridTest : public testing::Test {
 protected:
  void SetUp() override { Grid::Instance(); }
  void TearDown() override {
    if (Grid::Exists()) {
      EXPECT_TRUE(Grid::Instance().Validate());
      Grid::Instance().Shutdown();
      Grid::Destroy();
    }
    for (Entity* entity : m_Entities) delete entity;
  }

  // A bare entity with the given bounds; the test deletes it at the end.
  Entity* Make(const Vec3& min, const Vec3& max) {
    auto* entity = new Entity();
    entity->SetBounds({min, max});
    m_Entities.push_back(entity);
    return entity;
  }
  // A small entity in the middle of a cell, with a visual, a body and a script.
  Entity* MakeFull(int x, int y, int z, bool flag = false) {
    const Vec3 c = Centre(x, y, z);
    Entity* entity = Make(c - Vec3{1, 1, 1}, c + Vec3{1, 1, 1});
    entity->SetVisual(new Gfx::Visual(entity));
    entity->SetPhysics(new Phy::PhysComp(entity));
    entity->SetScript(new Spt::Script("test.lua", entity, flag));
    return entity;
  }
  Grid& grid() { return Grid::Instance(); }

  // The cells whose entity lists hold the entity, and those whose body lists hold its body.
  CellSet CellsOf(Entity* entity) {
    CellSet cells;
    for (uint32_t cell = 0; cell < Grid::kCellCount; ++cell)
      if (grid().CellEntities(cell).count(entity)) cells.insert(cell);
    return cells;
  }
  CellSet CellsOfBody(Entity* entity) {
    CellSet cells;
    for (uint32_t cell = 0; cell < Grid::kCellCount; ++cell)
      if (grid().CellPhysics(cell).count(entity->GetPhysics())) cells.insert(cell);
    return cells;
  }

  std::vector<Entity*> m_Entities;
};

}  // namespace

TEST_F(GridTest, CellIndexHoldsEveryPointInsideTheLattice) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    Vec3 point;
    uint32_t cell;
  } cases[] = {
      {{-2000, 0, 0}, Cell(0, 0, 0)},  // column 0
      {{0, 5000, 0}, Cell(8, 11, 0)},  // row 11
      {{100, 200, 300}, Cell(8, 1, 2)},
      {{-1024, 0, 0}, Cell(0, 0, 0)},
      {{-896, 128, 0}, Cell(1, 1, 0)},
      {{-896.5f, 127.9f, -0.5f}, Cell(0, 0, 0)},
      {{511.9f, 1535.5f, 1536}, Cell(11, 11, 11)},
      {{512, -1e30f, 1e30f}, Cell(11, 0, 11)},
      // Coordinates that are not numbers or are infinite land in border cells, never out of range.
      {{nan, inf, -inf}, Cell(0, 11, 0)},
      {{inf, nan, nan}, Cell(11, 0, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(Grid::CellIndex(c.point), c.cell) << c.point.x << " " << c.point.y;
}

TEST_F(GridTest, AnEntitySpanningTwoCellsIsListedInBothAndRemovalClearsBoth) {
  Entity* entity = Make({-10, 10, 10}, {10, 20, 20});  // x 1014 and 1034: columns 7 and 8
  entity->SetPhysics(new Phy::PhysComp(entity));
  grid().Add(entity, false);
  ASSERT_TRUE(grid().Validate());
  EXPECT_EQ(CellsOf(entity), (CellSet{Cell(7, 0, 0), Cell(8, 0, 0)}));
  EXPECT_EQ(CellsOfBody(entity), (CellSet{Cell(7, 0, 0), Cell(8, 0, 0)}));
  EXPECT_EQ(grid().PassiveEntities(), Grid::Entities{entity});
  EXPECT_TRUE(grid().AlwaysEntities().empty());

  grid().Remove(entity);
  EXPECT_TRUE(CellsOf(entity).empty());
  EXPECT_TRUE(CellsOfBody(entity).empty());
  EXPECT_FALSE(grid().Holds(entity));
  EXPECT_TRUE(grid().PassiveEntities().empty());
  EXPECT_TRUE(grid().Validate());
  grid().Remove(entity);  // no longer held: nothing
  EXPECT_EQ(grid().Count(), 0u);

  // A box over 2 × 3 × 2 cells.
  Entity* big = Make(Centre(2, 3, 4), Centre(3, 5, 5));
  grid().Add(big, true);
  EXPECT_EQ(CellsOf(big).size(), 12u);
  EXPECT_EQ(CellsOf(big).count(Cell(3, 4, 5)), 1u);
  EXPECT_EQ(grid().AlwaysEntities(), Grid::Entities{big});
}

TEST_F(GridTest, MovingWithinACellChangesNothingAndAcrossCellsRefilesTheEntity) {
  Entity* entity = Make({-5, -5, -5}, {5, 5, 5});
  entity->SetPositionOnly(Centre(4, 4, 4));
  entity->SetPhysics(new Phy::PhysComp(entity));
  grid().Add(entity, false);

  entity->SetPosition(Centre(4, 4, 4) + Vec3{40, -40, 40});
  EXPECT_EQ(entity->GridMoves(), 0u);
  EXPECT_EQ(CellsOf(entity), CellSet{Cell(4, 4, 4)});
  // Over the border in x: for a while in both cells, then in the next one only.
  entity->SetPosition(Centre(4, 4, 4) + Vec3{62, 0, 0});
  EXPECT_EQ(entity->GridMoves(), 1u);
  EXPECT_EQ(CellsOf(entity), (CellSet{Cell(4, 4, 4), Cell(5, 4, 4)}));
  entity->SetPosition(Centre(5, 4, 4));
  EXPECT_EQ(CellsOf(entity), CellSet{Cell(5, 4, 4)});
  EXPECT_EQ(CellsOfBody(entity), CellSet{Cell(5, 4, 4)});
  EXPECT_TRUE(grid().Validate());
  // A long jump, and one out of the lattice into its border cell.
  entity->SetPosition(Centre(0, 9, 11));
  EXPECT_EQ(CellsOf(entity), CellSet{Cell(0, 9, 11)});
  entity->SetPosition({5000, -300, 700});
  EXPECT_EQ(CellsOf(entity), CellSet{Cell(11, 0, 5)});
  EXPECT_TRUE(grid().Validate());

  // An entity the grid does not hold is not filed by moving.
  Entity* stranger = Make({0, 0, 0}, {1, 1, 1});
  stranger->SetPosition(Centre(1, 1, 1));
  grid().Move(stranger);
  EXPECT_TRUE(CellsOf(stranger).empty());
  EXPECT_FALSE(grid().Holds(stranger));
}

TEST_F(GridTest, TheActiveBlockIsClippedAtTheLatticeCorners) {
  const struct {
    Vec3 camera;
    int base[3];  // the lower corner of the near block
    size_t far;
  } cases[] = {
      {{-1024, 0, 0}, {0, 0, 0}, 19},                   // the origin corner
      {{-5000, -5000, -5000}, {0, 0, 0}, 19},           // outside it
      {{512, 1536, 1536}, {10, 10, 10}, 19},            // the far corner
      {{-1024, 1536, 700}, {0, 10, 4}, 3 * 3 * 4 - 8},  // an edge: clipped on two axes
      {{0, 640, 640}, {7, 4, 4}, 56},                   // inside: the whole 4 × 4 × 4 block
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.camera.x);
    SendCamera(c.camera);
    Msg::Send(new Msg::cameraGetInfoMsg(1, Vec3{9999, 9999, 9999}));  // not the position
    EXPECT_EQ(grid().CameraPosition(), c.camera);
    grid().Update(nullptr);
    Grid::Cells block;
    for (int i = 0; i < 8; ++i)
      block.insert(static_cast<int32_t>(Cell(c.base[0] + (i & 1), c.base[1] + (i >> 1 & 1), c.base[2] + (i >> 2))));
    EXPECT_EQ(grid().NearCells(), block);
    EXPECT_EQ(grid().FarCells().size(), c.far);
    for (int32_t cell : grid().FarCells()) EXPECT_EQ(block.count(cell), 0u);
  }
  // With a character its cell joins the near set; without one the frame's update uses the
  // camera's block alone.
  const Vec3 player = Centre(9, 9, 9);
  grid().Update(&player);
  EXPECT_EQ(grid().NearCells().count(static_cast<int32_t>(Cell(9, 9, 9))), 1u);
  grid().Update();
  EXPECT_EQ(grid().NearCells().size(), 8u);
}

TEST_F(GridTest, TiersSortNearFarAndTheRestAndAlwaysEntitiesAreNear) {
  SendCamera(Centre(5, 5, 5) + Vec3{10, 10, 10});  // base cell (5, 5, 5)
  Entity* nearPassive = MakeFull(5, 5, 5);
  Entity* farPassive = MakeFull(7, 5, 5);
  Entity* distant = MakeFull(11, 0, 0);
  Entity* alwaysAway = MakeFull(0, 11, 0, true);
  Entity* alwaysFar = MakeFull(4, 4, 4, true);
  Entity* bare = Make(Centre(6, 6, 6), Centre(6, 6, 6));
  for (Entity* entity : m_Entities) grid().Add(entity, entity->ScriptFlag());
  grid().Update(nullptr);

  EXPECT_EQ(grid().NearEntities(), (Grid::Entities{nearPassive, alwaysAway, alwaysFar, bare}));
  EXPECT_EQ(grid().FarEntities(), (Grid::Entities{farPassive}));
  // Tier 0: near cells and the always set; tier 1: far cells (the near bodies too); tier 2: passive
  // entities outside the far cells, near ones included.
  EXPECT_EQ(grid().TierScripts(0), Of({nearPassive, alwaysAway, alwaysFar}, &Entity::GetScript));
  EXPECT_EQ(grid().TierScripts(1), Of({farPassive}, &Entity::GetScript));
  EXPECT_EQ(grid().TierScripts(2), Of({nearPassive, distant}, &Entity::GetScript));
  EXPECT_EQ(grid().TierVisuals(0), Of({nearPassive, alwaysAway, alwaysFar}, &Entity::GetVisual));
  EXPECT_EQ(grid().TierVisuals(1), Of({farPassive}, &Entity::GetVisual));
  EXPECT_EQ(grid().TierVisuals(2), Of({nearPassive, distant}, &Entity::GetVisual));
  EXPECT_EQ(grid().TierPhysics(0), Of({nearPassive, alwaysAway, alwaysFar}, &Entity::GetPhysics));
  EXPECT_EQ(grid().TierPhysics(1), Of({nearPassive, alwaysAway, alwaysFar, farPassive}, &Entity::GetPhysics));
  EXPECT_EQ(grid().TierPhysics(2), Of({nearPassive, distant}, &Entity::GetPhysics));

  // The camera moves away: the tiers are rebuilt from nothing.
  SendCamera(Centre(11, 0, 0));
  grid().Update(nullptr);
  EXPECT_EQ(grid().TierScripts(0), Of({distant, alwaysAway, alwaysFar}, &Entity::GetScript));
  EXPECT_TRUE(grid().TierScripts(1).empty());
  EXPECT_EQ(grid().TierScripts(2), Of({nearPassive, farPassive, distant}, &Entity::GetScript));

  // A removed entity's components leave this frame's tiers at once.
  grid().Remove(distant);
  for (int tier = 0; tier < Grid::kTiers; ++tier) {
    EXPECT_EQ(grid().TierScripts(tier).count(distant->GetScript()), 0u);
    EXPECT_EQ(grid().TierVisuals(tier).count(distant->GetVisual()), 0u);
    EXPECT_EQ(grid().TierPhysics(tier).count(distant->GetPhysics()), 0u);
  }
  EXPECT_EQ(grid().NearEntities().count(distant), 0u);
}

TEST_F(GridTest, ActiveSetsMatchABruteForceCountForRandomCameras) {
  std::mt19937 random(1234);
  std::uniform_real_distribution<float> x(-1300, 800), yz(-300, 1800), size(0, 300);
  for (int i = 0; i < 400; ++i) {
    const Vec3 min{x(random), yz(random), yz(random)};
    grid().Add(Make(min, min + Vec3{size(random), size(random), size(random)}), i % 7 == 0);
  }
  ASSERT_TRUE(grid().Validate());

  // A cell's coordinates on each axis, and the camera's base cell, straight from the definitions.
  auto axisCell = [](double v, double offset) {
    return static_cast<int>(std::clamp(std::floor(v + offset), 0.0, 1535.0)) / 128;
  };
  auto baseCell = [](double v, double offset) {
    return static_cast<int>(std::clamp(std::floor(v + offset) - 64.0, 0.0, 1407.0)) / 128;
  };
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(trial);
    const Vec3 camera{x(random), yz(random), yz(random)};
    const bool withPlayer = trial % 2 == 1;
    const Vec3 player{x(random), yz(random), yz(random)};
    SendCamera(camera);
    grid().Update(withPlayer ? &player : nullptr);

    const int base[3] = {baseCell(camera.x, 1024), baseCell(camera.y, 0), baseCell(camera.z, 0)};
    Grid::Cells nearCells, farCells;
    for (int cz = 0; cz < kN; ++cz)
      for (int cy = 0; cy < kN; ++cy)
        for (int cx = 0; cx < kN; ++cx) {
          const int d[3] = {cx - base[0], cy - base[1], cz - base[2]};
          bool inBlock = true, inNear = true;
          for (int a = 0; a < 3; ++a) {
            inBlock = inBlock && d[a] >= -1 && d[a] <= 2;
            inNear = inNear && d[a] >= 0 && d[a] <= 1;
          }
          if (inNear)
            nearCells.insert(static_cast<int32_t>(Cell(cx, cy, cz)));
          else if (inBlock)
            farCells.insert(static_cast<int32_t>(Cell(cx, cy, cz)));
        }
    if (withPlayer)
      nearCells.insert(
          static_cast<int32_t>(Cell(axisCell(player.x, 1024), axisCell(player.y, 0), axisCell(player.z, 0))));
    ASSERT_EQ(grid().NearCells(), nearCells);
    ASSERT_EQ(grid().FarCells(), farCells);

    Grid::Entities nearEntities = grid().AlwaysEntities(), farEntities, rest;
    for (Entity* entity : m_Entities) {
      const Vec3 &lo = entity->GetBounds().Min(), &hi = entity->GetBounds().Max();
      bool inNear = false, inFar = false;
      for (int cz = axisCell(lo.z, 0); cz <= axisCell(hi.z, 0); ++cz)
        for (int cy = axisCell(lo.y, 0); cy <= axisCell(hi.y, 0); ++cy)
          for (int cx = axisCell(lo.x, 1024); cx <= axisCell(hi.x, 1024); ++cx) {
            inNear = inNear || nearCells.count(static_cast<int32_t>(Cell(cx, cy, cz)));
            inFar = inFar || farCells.count(static_cast<int32_t>(Cell(cx, cy, cz)));
          }
      if (inNear) nearEntities.insert(entity);
      if (inFar && !nearEntities.count(entity)) farEntities.insert(entity);
      if (!inFar && grid().PassiveEntities().count(entity)) rest.insert(entity);
    }
    ASSERT_EQ(grid().NearEntities(), nearEntities);
    ASSERT_EQ(grid().FarEntities(), farEntities);
    ASSERT_EQ(grid().RestEntities(), rest);
  }
}

TEST_F(GridTest, NoticesOfAdditionAndRemovalFileAndUnfileEntities) {
  Testing::AssertRecorder recorder;
  Entity* entity = MakeFull(3, 3, 3, true);
  Msg::Send(new Msg::eManAddedMsg(entity, true));
  EXPECT_TRUE(grid().Holds(entity));
  // A second notice for an entity held changes nothing, not even its flag.
  Msg::Send(new Msg::eManAddedMsg(entity, false));
  EXPECT_EQ(grid().AlwaysEntities(), Grid::Entities{entity});
  EXPECT_TRUE(grid().PassiveEntities().empty());

  // Removal notices name the entity by ID; another ID removes nothing.
  Msg::Send(new Msg::eManRemovedMsg("Other", entity->GetID() + 1000));
  EXPECT_TRUE(grid().Holds(entity));
  Msg::Send(new Msg::eManRemovedMsg(entity->GetName(), entity->GetID()));
  EXPECT_FALSE(grid().Holds(entity));
  EXPECT_TRUE(CellsOf(entity).empty());
  EXPECT_TRUE(grid().Validate());

  // A notice that arrives after its entity is gone files nothing, however the entities around it
  // came and went.
  auto* gone = new Entity();
  auto* late = new Msg::eManAddedMsg(gone, false);
  delete gone;
  Msg::Send(late);
  EXPECT_EQ(grid().Count(), 0u);
  Entity* first = Make({0, 0, 0}, {1, 1, 1});
  auto* second = new Entity();
  auto* secondLate = new Msg::eManAddedMsg(second, false);
  Msg::Send(new Msg::eManAddedMsg(first, false));  // seen while `second` lived
  EXPECT_TRUE(grid().Holds(first));
  delete second;
  Msg::Send(secondLate);
  EXPECT_FALSE(grid().Holds(second));
  EXPECT_EQ(grid().Count(), 1u);

  EXPECT_EQ(recorder.Count(), 0u);
  grid().Add(nullptr, true);
  EXPECT_EQ(recorder.Heads(),
            std::vector<std::string>{Testing::AssertRecorder::Head(
                "entity != nullptr", "Trying to add a NULL entity to the grid", "..\\..\\Source\\Util\\util_grid")});
  EXPECT_EQ(grid().Count(), 1u);
}

TEST_F(GridTest, ACreatedGridFilesTheEntitiesAlreadyAliveWithTheirScriptFlags) {
  Grid::Instance().Shutdown();
  Grid::Destroy();
  Entity* scripted = MakeFull(1, 2, 3, true);
  Entity* passive = MakeFull(4, 5, 6, false);
  Entity* bare = Make(Centre(7, 8, 9), Centre(7, 8, 9));

  EXPECT_EQ(grid().Count(), 3u);
  EXPECT_EQ(grid().AlwaysEntities(), (Grid::Entities{scripted}));
  EXPECT_EQ(grid().PassiveEntities(), (Grid::Entities{passive, bare}));
  EXPECT_EQ(CellsOf(scripted), CellSet{Cell(1, 2, 3)});
  EXPECT_EQ(CellsOf(bare), CellSet{Cell(7, 8, 9)});
  EXPECT_TRUE(grid().Validate());
  // Their notices, delivered after, change nothing.
  Msg::Send(new Msg::eManAddedMsg(passive, true));
  EXPECT_EQ(grid().AlwaysEntities(), (Grid::Entities{scripted}));

  Msg::Send(new Msg::eManRemovedMsg("", scripted->GetID()));
  EXPECT_EQ(grid().Count(), 2u);

  grid().Shutdown();
  EXPECT_EQ(grid().Count(), 0u);
  EXPECT_TRUE(grid().AlwaysEntities().empty());
  EXPECT_TRUE(grid().PassiveEntities().empty());
  EXPECT_TRUE(CellsOf(bare).empty());
  EXPECT_TRUE(grid().Validate());
}

TEST_F(GridTest, AnEntityDeletedOutsideTheManagerLeavesTheGridWithItsComponents) {
  Grid::Instance().Shutdown();
  Grid::Destroy();
  Entity* doomed = MakeFull(5, 0, 5, true);
  grid().Update(nullptr);
  SendCamera(Centre(5, 0, 5));
  grid().Update(nullptr);
  ASSERT_EQ(grid().TierScripts(0).count(doomed->GetScript()), 1u);

  m_Entities.erase(std::find(m_Entities.begin(), m_Entities.end(), doomed));
  delete doomed;  // as Lua's collector deletes an entity a script constructed
  EXPECT_EQ(grid().Count(), 0u);
  EXPECT_TRUE(grid().TierScripts(0).empty());
  EXPECT_TRUE(grid().CellEntities(Cell(5, 0, 5)).empty());
  grid().Update(nullptr);
  EXPECT_TRUE(grid().Validate());
}
