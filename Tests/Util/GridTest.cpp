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

namespace {

constexpr int kN = 12;

uint32_t Cell(int x, int y, int z) { return static_cast<uint32_t>(x + kN * (y + kN * z)); }

// The centre of a cell in world coordinates.
Vec3 Centre(int x, int y, int z) { return {x * 128.0f - 1024.0f + 64.0f, y * 128.0f + 64.0f, z * 128.0f + 64.0f}; }

void SendCamera(const Vec3& position) { Msg::Send(new Msg::cameraGetInfoMsg(0, position)); }

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

  std::vector<Entity*> m_Entities;
};

template <class T>
bool Has(const std::set<T*>& set, T* item) {
  return set.count(item) != 0;
}

}  // namespace

TEST_F(GridTest, CellIndexHoldsEveryPointInsideTheLattice) {
  EXPECT_EQ(Grid::CellIndex({-2000, 0, 0}), Cell(0, 0, 0));  // column 0
  EXPECT_EQ(Grid::CellIndex({0, 5000, 0}), Cell(8, 11, 0));  // row 11
  EXPECT_EQ(Grid::CellIndex({100, 200, 300}), Cell(8, 1, 2));
  EXPECT_EQ(Grid::CellIndex({-1024, 0, 0}), Cell(0, 0, 0));
  EXPECT_EQ(Grid::CellIndex({-896, 128, 0}), Cell(1, 1, 0));
  EXPECT_EQ(Grid::CellIndex({-896.5f, 127.9f, -0.5f}), Cell(0, 0, 0));
  EXPECT_EQ(Grid::CellIndex({511.9f, 1535.5f, 1536}), Cell(11, 11, 11));
  EXPECT_EQ(Grid::CellIndex({512, -1e30f, 1e30f}), Cell(11, 0, 11));
  // Coordinates that are not numbers or are infinite land in border cells, never out of range.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(Grid::CellIndex({nan, inf, -inf}), Cell(0, 11, 0));
  EXPECT_EQ(Grid::CellIndex({inf, nan, nan}), Cell(11, 0, 0));
}

TEST_F(GridTest, AnEntitySpanningTwoCellsIsListedInBothAndRemovalClearsBoth) {
  Entity* entity = Make({-10, 10, 10}, {10, 20, 20});  // x 1014 and 1034: columns 7 and 8
  auto* body = new Phy::PhysComp(entity);
  entity->SetPhysics(body);
  grid().Add(entity, false);
  ASSERT_TRUE(grid().Validate());
  for (uint32_t cell = 0; cell < Grid::kCellCount; ++cell) {
    const bool inside = cell == Cell(7, 0, 0) || cell == Cell(8, 0, 0);
    EXPECT_EQ(Has(grid().CellEntities(cell), entity), inside) << cell;
    EXPECT_EQ(Has(grid().CellPhysics(cell), body), inside) << cell;
  }
  EXPECT_TRUE(Has(grid().PassiveEntities(), entity));
  EXPECT_FALSE(Has(grid().AlwaysEntities(), entity));

  grid().Remove(entity);
  EXPECT_TRUE(grid().CellEntities(Cell(7, 0, 0)).empty());
  EXPECT_TRUE(grid().CellEntities(Cell(8, 0, 0)).empty());
  EXPECT_TRUE(grid().CellPhysics(Cell(8, 0, 0)).empty());
  EXPECT_FALSE(grid().Holds(entity));
  EXPECT_TRUE(grid().PassiveEntities().empty());
  EXPECT_TRUE(grid().Validate());
  grid().Remove(entity);  // no longer held: nothing
  EXPECT_EQ(grid().Count(), 0u);

  // A box over 2 × 3 × 2 cells.
  Entity* big = Make(Centre(2, 3, 4), Centre(3, 5, 5));
  grid().Add(big, true);
  size_t cells = 0;
  for (uint32_t cell = 0; cell < Grid::kCellCount; ++cell) cells += Has(grid().CellEntities(cell), big);
  EXPECT_EQ(cells, 12u);
  EXPECT_TRUE(Has(grid().CellEntities(Cell(3, 4, 5)), big));
  EXPECT_TRUE(Has(grid().AlwaysEntities(), big));
}

TEST_F(GridTest, MovingWithinACellChangesNothingAndAcrossCellsRefilesTheEntity) {
  Entity* entity = Make({-5, -5, -5}, {5, 5, 5});
  entity->SetPositionOnly(Centre(4, 4, 4));
  auto* body = new Phy::PhysComp(entity);
  entity->SetPhysics(body);
  grid().Add(entity, false);

  entity->SetPosition(Centre(4, 4, 4) + Vec3{40, -40, 40});
  EXPECT_EQ(entity->GridMoves(), 0u);
  EXPECT_TRUE(Has(grid().CellEntities(Cell(4, 4, 4)), entity));

  // Over the border in x: for a while in both cells, then in the next one only.
  entity->SetPosition(Centre(4, 4, 4) + Vec3{62, 0, 0});
  EXPECT_EQ(entity->GridMoves(), 1u);
  EXPECT_TRUE(Has(grid().CellEntities(Cell(4, 4, 4)), entity));
  EXPECT_TRUE(Has(grid().CellEntities(Cell(5, 4, 4)), entity));
  entity->SetPosition(Centre(5, 4, 4));
  EXPECT_FALSE(Has(grid().CellEntities(Cell(4, 4, 4)), entity));
  EXPECT_TRUE(Has(grid().CellEntities(Cell(5, 4, 4)), entity));
  EXPECT_TRUE(Has(grid().CellPhysics(Cell(5, 4, 4)), body));
  EXPECT_FALSE(Has(grid().CellPhysics(Cell(4, 4, 4)), body));
  EXPECT_TRUE(grid().Validate());

  // A long jump, and one out of the lattice into its border cell.
  entity->SetPosition(Centre(0, 9, 11));
  EXPECT_EQ(grid().CellEntities(Cell(0, 9, 11)).count(entity), 1u);
  entity->SetPosition({5000, -300, 700});
  EXPECT_TRUE(Has(grid().CellEntities(Cell(11, 0, 5)), entity));
  EXPECT_TRUE(grid().Validate());

  // An entity the grid does not hold is not filed by moving.
  Entity* stranger = Make({0, 0, 0}, {1, 1, 1});
  stranger->SetPosition(Centre(1, 1, 1));
  grid().Move(stranger);
  EXPECT_FALSE(Has(grid().CellEntities(Cell(1, 1, 1)), stranger));
  EXPECT_FALSE(grid().Holds(stranger));
}

TEST_F(GridTest, TheActiveBlockIsClippedAtTheLatticeCorners) {
  struct Case {
    Vec3 camera;
    int base[3];  // the lower corner of the near block
    size_t near, far;
  };
  const Case cases[] = {
      {{-1024, 0, 0}, {0, 0, 0}, 8, 19},                   // the origin corner
      {{-5000, -5000, -5000}, {0, 0, 0}, 8, 19},           // outside it
      {{512, 1536, 1536}, {10, 10, 10}, 8, 19},            // the far corner
      {{-1024, 1536, 700}, {0, 10, 4}, 8, 3 * 3 * 4 - 8},  // an edge: clipped on two axes
      {{0, 640, 640}, {7, 4, 4}, 8, 56},                   // inside: the whole 4 × 4 × 4 block
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.camera.x);
    SendCamera(c.camera);
    Msg::Send(new Msg::cameraGetInfoMsg(1, Vec3{9999, 9999, 9999}));  // not the position
    EXPECT_EQ(grid().CameraPosition(), c.camera);
    grid().Update(nullptr);
    EXPECT_EQ(grid().NearCells().size(), c.near);
    EXPECT_EQ(grid().FarCells().size(), c.far);
    Grid::Cells block;
    for (int z = 0; z < 2; ++z)
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
          block.insert(static_cast<int32_t>(Cell(c.base[0] + x, c.base[1] + y, c.base[2] + z)));
    EXPECT_EQ(grid().NearCells(), block);
    for (int32_t cell : grid().FarCells()) EXPECT_EQ(grid().NearCells().count(cell), 0u);
  }
  // The player's cell joins the near set wherever it is.
  SendCamera({-1024, 0, 0});
  const Vec3 player = Centre(9, 9, 9);
  grid().Update(&player);
  EXPECT_EQ(grid().NearCells().size(), 9u);
  EXPECT_EQ(grid().NearCells().count(static_cast<int32_t>(Cell(9, 9, 9))), 1u);
  // Without a character the frame's update uses the camera's block alone.
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
  // Tier 0: near cells and the always set; tier 1: far cells; tier 2: passive entities outside the
  // far cells, near ones included.
  EXPECT_EQ(grid().TierScripts(0),
            (std::set<Spt::Script*>{nearPassive->GetScript(), alwaysAway->GetScript(), alwaysFar->GetScript()}));
  EXPECT_EQ(grid().TierScripts(1), (std::set<Spt::Script*>{farPassive->GetScript()}));
  EXPECT_EQ(grid().TierScripts(2), (std::set<Spt::Script*>{nearPassive->GetScript(), distant->GetScript()}));
  EXPECT_EQ(grid().TierVisuals(0),
            (std::set<Gfx::Visual*>{nearPassive->GetVisual(), alwaysAway->GetVisual(), alwaysFar->GetVisual()}));
  EXPECT_EQ(grid().TierVisuals(1), (std::set<Gfx::Visual*>{farPassive->GetVisual()}));
  EXPECT_EQ(grid().TierVisuals(2), (std::set<Gfx::Visual*>{nearPassive->GetVisual(), distant->GetVisual()}));
  const std::set<Phy::PhysComp*> nearBodies{nearPassive->GetPhysics(), alwaysAway->GetPhysics(),
                                            alwaysFar->GetPhysics()};
  EXPECT_EQ(grid().TierPhysics(0), nearBodies);
  std::set<Phy::PhysComp*> middleBodies = nearBodies;
  middleBodies.insert(farPassive->GetPhysics());
  EXPECT_EQ(grid().TierPhysics(1), middleBodies);  // the near bodies too
  EXPECT_EQ(grid().TierPhysics(2), (std::set<Phy::PhysComp*>{nearPassive->GetPhysics(), distant->GetPhysics()}));

  // The camera moves away: the tiers are rebuilt from nothing.
  SendCamera(Centre(11, 0, 0));
  grid().Update(nullptr);
  EXPECT_EQ(grid().TierScripts(0),
            (std::set<Spt::Script*>{distant->GetScript(), alwaysAway->GetScript(), alwaysFar->GetScript()}));
  EXPECT_TRUE(grid().TierScripts(1).empty());
  EXPECT_EQ(grid().TierScripts(2),
            (std::set<Spt::Script*>{nearPassive->GetScript(), farPassive->GetScript(), distant->GetScript()}));

  // A removed entity's components leave this frame's tiers at once.
  grid().Remove(distant);
  for (int tier = 0; tier < Grid::kTiers; ++tier) {
    EXPECT_FALSE(Has(grid().TierScripts(tier), distant->GetScript()));
    EXPECT_FALSE(Has(grid().TierVisuals(tier), distant->GetVisual()));
    EXPECT_FALSE(Has(grid().TierPhysics(tier), distant->GetPhysics()));
  }
  EXPECT_FALSE(Has(grid().NearEntities(), distant));
}

TEST_F(GridTest, ActiveSetsMatchABruteForceCountForRandomCameras) {
  std::mt19937 random(1234);
  std::uniform_real_distribution<float> x(-1300, 800), yz(-300, 1800), size(0, 300);
  for (int i = 0; i < 400; ++i) {
    const Vec3 min{x(random), yz(random), yz(random)};
    Entity* entity = Make(min, min + Vec3{size(random), size(random), size(random)});
    grid().Add(entity, i % 7 == 0);
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
    ASSERT_EQ(grid().NearCells(), nearCells) << trial;
    ASSERT_EQ(grid().FarCells(), farCells) << trial;

    Grid::Entities nearEntities = grid().AlwaysEntities(), farEntities, rest;
    for (Entity* entity : m_Entities) {
      const Vec3& lo = entity->GetBounds().Min();
      const Vec3& hi = entity->GetBounds().Max();
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
    ASSERT_EQ(grid().NearEntities(), nearEntities) << trial;
    ASSERT_EQ(grid().FarEntities(), farEntities) << trial;
    ASSERT_EQ(grid().RestEntities(), rest) << trial;
  }
}

TEST_F(GridTest, NoticesOfAdditionAndRemovalFileAndUnfileEntities) {
  Testing::AssertRecorder recorder;
  Entity* entity = MakeFull(3, 3, 3, true);
  Msg::Send(new Msg::eManAddedMsg(entity, true));
  EXPECT_TRUE(grid().Holds(entity));
  EXPECT_TRUE(Has(grid().AlwaysEntities(), entity));
  // A second notice for an entity held changes nothing, not even its flag.
  Msg::Send(new Msg::eManAddedMsg(entity, false));
  EXPECT_TRUE(Has(grid().AlwaysEntities(), entity));
  EXPECT_FALSE(Has(grid().PassiveEntities(), entity));

  // Removal notices name the entity by ID; another ID removes nothing.
  Msg::Send(new Msg::eManRemovedMsg("Other", entity->GetID() + 1000));
  EXPECT_TRUE(grid().Holds(entity));
  Msg::Send(new Msg::eManRemovedMsg(entity->GetName(), entity->GetID()));
  EXPECT_FALSE(grid().Holds(entity));
  EXPECT_TRUE(grid().CellEntities(Cell(3, 3, 3)).empty());
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
  Msg::Send(new Msg::eManAddedMsg(first, false));  // seen while `second` lived
  EXPECT_TRUE(grid().Holds(first));
  delete second;
  Msg::Send(new Msg::eManAddedMsg(second, false));
  EXPECT_FALSE(grid().Holds(second));
  EXPECT_EQ(grid().Count(), 1u);

  EXPECT_EQ(recorder.Count(), 0u);
  grid().Add(nullptr, true);
  ASSERT_EQ(recorder.Count(), 1u);
  EXPECT_TRUE(recorder.Saw("Trying to add a NULL entity to the grid"));
  EXPECT_NE(recorder.Texts()[0].find("File: ..\\..\\Source\\Util\\util_grid\n"), std::string::npos);
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
  EXPECT_TRUE(Has(grid().CellEntities(Cell(1, 2, 3)), scripted));
  EXPECT_TRUE(Has(grid().CellEntities(Cell(7, 8, 9)), bare));
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
  EXPECT_TRUE(grid().CellEntities(Cell(7, 8, 9)).empty());
  EXPECT_TRUE(grid().Validate());
}

TEST_F(GridTest, AnEntityDeletedOutsideTheManagerLeavesTheGridWithItsComponents) {
  Grid::Instance().Shutdown();
  Grid::Destroy();
  Entity* doomed = MakeFull(5, 0, 5, true);
  grid().Update(nullptr);
  SendCamera(Centre(5, 0, 5));
  grid().Update(nullptr);
  ASSERT_TRUE(Has(grid().TierScripts(0), doomed->GetScript()));

  m_Entities.erase(std::find(m_Entities.begin(), m_Entities.end(), doomed));
  delete doomed;  // as Lua's collector deletes an entity a script constructed
  EXPECT_EQ(grid().Count(), 0u);
  EXPECT_TRUE(grid().TierScripts(0).empty());
  EXPECT_TRUE(grid().CellEntities(Cell(5, 0, 5)).empty());
  grid().Update(nullptr);
  EXPECT_TRUE(grid().Validate());
}
