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
#include "Util/BoundingHierarchy.h"

using Game::Entity;
using Util::Grid;
using Util::Vec3;

namespace {

int32_t Cell(int x, int y, int z) { return x + 12 * (y + 12 * z); }

Vec3 Centre(int x, int y, int z) { return {x * 128.0f - 960.0f, y * 128.0f + 64.0f, z * 128.0f + 64.0f}; }

void SendCamera(const Vec3& position) { Msg::Send(new Msg::cameraGetInfoMsg(0, position)); }

class GridTest : public testing::Test {
 protected:
  void SetUp() override { Grid::Instance(); }
  void TearDown() override {
    if (Grid::Exists()) {
      EXPECT_TRUE(grid().Validate());
      grid().Shutdown();
      Grid::Destroy();
    }
    for (Entity* entity : m_Entities) delete entity;
  }

  // An entity with the given bounds, deleted at the end; `full`: with a visual, a body and a script.
  Entity* Make(const Vec3& min, const Vec3& max, bool full = false, bool flag = false) {
    auto* entity = new Entity();
    entity->SetBounds({min, max});
    if (full) {
      entity->SetVisual(new Gfx::Visual(entity));
      entity->SetPhysics(new Phy::PhysComp(entity));
      entity->SetScript(new Spt::Script("test.lua", entity, flag));
    }
    m_Entities.push_back(entity);
    return entity;
  }
  Entity* MakeAt(int x, int y, int z, bool flag) {
    return Make(Centre(x, y, z) - Vec3{1, 1, 1}, Centre(x, y, z) + Vec3{1, 1, 1}, true, flag);
  }
  Grid& grid() { return Grid::Instance(); }

  std::vector<Entity*> m_Entities;
};

}  // namespace

TEST_F(GridTest, PointsOnCellBordersAndFarOutsideTheLatticeOrNotNumbersFallInTheRightCell) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    Vec3 point;
    int32_t cell;
  } cases[] = {
      {{-896, 128, 0}, Cell(1, 1, 0)},         {{-896.5f, 127.9f, -0.5f}, Cell(0, 0, 0)},
      {{512, -1e30f, 1e30f}, Cell(11, 0, 11)}, {{nan, inf, -inf}, Cell(0, 11, 0)},
      {{inf, nan, nan}, Cell(11, 0, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(Grid::CellIndex(c.point), static_cast<uint32_t>(c.cell)) << c.point.x;
}

// Cells and tiers against counting from the definitions alone, while entities move, lose and gain
// components, leave and come back between frames; Validate checks that each tier holds the
// components of its entities.
TEST_F(GridTest, ActiveSetsAndTiersMatchABruteForceCountForRandomCameras) {
  std::mt19937 random(1234);
  std::uniform_real_distribution<float> x(-1300, 800), yz(-300, 1800), size(0, 300);
  for (int i = 0; i < 400; ++i) {
    const Vec3 min{x(random), yz(random), yz(random)};
    Entity* entity = Make(min, min + Vec3{size(random), size(random), size(random)});
    if (i % 2) entity->SetScript(new Spt::Script("test.lua", entity, false));
    if (i % 3) entity->SetPhysics(new Phy::PhysComp(entity));
    grid().Add(entity, i % 7 == 0);
  }
  auto axisCell = [](double v, double offset) {
    return static_cast<int>(std::clamp(std::floor(v + offset), 0.0, 1535.0)) / 128;
  };
  auto baseCell = [](double v, double offset) {
    return static_cast<int>(std::clamp(std::floor(v + offset) - 64.0, 0.0, 1407.0)) / 128;
  };
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(trial);
    const Vec3 camera{x(random), yz(random), yz(random)};
    const Vec3 player{x(random), yz(random), yz(random)};
    const bool withPlayer = trial % 2 == 1;
    for (int i = 0; i < 10; ++i) {
      Entity* moved = m_Entities[random() % m_Entities.size()];
      moved->SetPosition({x(random), yz(random), yz(random)});
      moved->SetVisual(i % 2 ? new Gfx::Visual(moved) : nullptr);
      if (i == 0) moved->SetPhysics(moved->GetPhysics() ? nullptr : new Phy::PhysComp(moved));
      if (i == 1) grid().Remove(moved);
      if (i == 1 && trial % 3) grid().Add(moved, trial % 2);
    }
    SendCamera(camera);
    Msg::Send(new Msg::cameraGetInfoMsg(1, Vec3{0, 0, 0}));  // not the position
    grid().Update(withPlayer ? &player : nullptr);
    ASSERT_TRUE(grid().Validate());

    const int base[3] = {baseCell(camera.x, 1024), baseCell(camera.y, 0), baseCell(camera.z, 0)};
    Grid::Cells nearCells, farCells;
    for (int32_t cell = 0; cell < 1728; ++cell) {
      const int d[3] = {cell % 12 - base[0], cell / 12 % 12 - base[1], cell / 144 - base[2]};
      auto within = [&d](int lo, int hi) { return std::all_of(d, d + 3, [&](int v) { return v >= lo && v <= hi; }); };
      if (within(0, 1))
        nearCells.insert(cell);
      else if (within(-1, 2))
        farCells.insert(cell);
    }
    if (withPlayer) nearCells.insert(Cell(axisCell(player.x, 1024), axisCell(player.y, 0), axisCell(player.z, 0)));
    ASSERT_EQ(grid().NearCells(), nearCells);
    ASSERT_EQ(grid().FarCells(), farCells);

    Grid::Entities nearEntities = grid().AlwaysEntities(), farEntities, rest;
    for (Entity* entity : m_Entities) {
      if (!grid().Holds(entity)) continue;
      const Vec3 &lo = entity->GetBounds().Min(), &hi = entity->GetBounds().Max();
      bool inNear = false, inFar = false;
      for (int cz = axisCell(lo.z, 0); cz <= axisCell(hi.z, 0); ++cz)
        for (int cy = axisCell(lo.y, 0); cy <= axisCell(hi.y, 0); ++cy)
          for (int cx = axisCell(lo.x, 1024); cx <= axisCell(hi.x, 1024); ++cx) {
            inNear = inNear || nearCells.count(Cell(cx, cy, cz));
            inFar = inFar || farCells.count(Cell(cx, cy, cz));
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
  Entity* entity = MakeAt(3, 3, 3, true);
  Msg::Send(new Msg::eManAddedMsg(entity, true));
  EXPECT_EQ(grid().AlwaysEntities(), Grid::Entities{entity});
  // Removal notices name the entity by ID.
  Msg::Send(new Msg::eManRemovedMsg("Other", entity->GetID() + 1000));
  EXPECT_TRUE(grid().Holds(entity));
  Msg::Send(new Msg::eManRemovedMsg(entity->GetName(), entity->GetID()));
  EXPECT_FALSE(grid().Holds(entity));

  // A notice that arrives after its entity is gone files nothing, even when the pool has given
  // its block to another entity since.
  auto* gone = new Entity();
  auto* late = new Msg::eManAddedMsg(gone, false);
  delete gone;
  Entity* successor = Make({0, 0, 0}, {1, 1, 1});
  Msg::Send(late);
  EXPECT_FALSE(grid().Holds(successor));
  EXPECT_EQ(grid().Count(), 0u);

  grid().Add(nullptr, true);
  EXPECT_EQ(recorder.Heads(),
            std::vector<std::string>{Testing::AssertRecorder::Head(
                "entity != nullptr", "Trying to add a NULL entity to the grid", "..\\..\\Source\\Util\\util_grid")});
  EXPECT_EQ(grid().Count(), 0u);
}

TEST_F(GridTest, ACreatedGridFilesTheEntitiesAlreadyAliveWithTheirScriptFlags) {
  grid().Shutdown();
  Grid::Destroy();
  Entity* scripted = MakeAt(1, 2, 3, true);
  Entity* passive = MakeAt(4, 5, 6, false);
  Entity* bare = Make(Centre(7, 8, 9), Centre(7, 8, 9));
  EXPECT_EQ(grid().AlwaysEntities(), (Grid::Entities{scripted}));
  EXPECT_EQ(grid().PassiveEntities(), (Grid::Entities{passive, bare}));
  EXPECT_EQ(grid().CellEntities(Cell(7, 8, 9)), Grid::Entities{bare});
  // Their notices, delivered after, change nothing, not even the flag.
  Msg::Send(new Msg::eManAddedMsg(passive, true));
  EXPECT_EQ(grid().AlwaysEntities(), (Grid::Entities{scripted}));
}

TEST_F(GridTest, AnEntityDeletedOutsideTheManagerLeavesTheGridWithItsComponents) {
  Entity* doomed = MakeAt(5, 0, 5, true);
  grid().Add(doomed, true);
  SendCamera(Centre(5, 0, 5));
  grid().Update(nullptr);
  ASSERT_EQ(grid().TierScripts(0).count(doomed->GetScript()), 1u);
  m_Entities.erase(std::find(m_Entities.begin(), m_Entities.end(), doomed));
  delete doomed;  // as Lua's collector deletes an entity a script constructed
  EXPECT_EQ(grid().Count(), 0u);
  EXPECT_TRUE(grid().TierScripts(0).empty());
  EXPECT_TRUE(grid().TierPhysics(1).empty());
  EXPECT_TRUE(grid().CellEntities(Cell(5, 0, 5)).empty());
}

TEST(BoundingHierarchy, ARootBoundsItsChildrenNoneBoundingNothingIsOneDeeperThanTheDeepestAndNeedsOne) {
  std::vector<std::unique_ptr<Util::BoundingElement>> inner, outer;
  inner.push_back(std::make_unique<Util::BoundingNone>());
  inner.push_back(std::make_unique<Util::BoundingLeaf>(Util::BoundingBox{{-5, 0, 0.5f}, {-4, 1, 1}}));
  outer.push_back(std::make_unique<Util::BoundingLeaf>(Util::BoundingBox{{0, 2, 0}, {1, 3, 9}}));
  outer.push_back(std::make_unique<Util::BoundingRoot>(std::move(inner)));
  const Util::BoundingRoot root(std::move(outer));
  EXPECT_EQ(root.Depth(), 2);
  EXPECT_EQ(root.Children()[1]->Box().m_Min, (Vec3{-5, 0, 0.5f}));  // none bounds nothing
  EXPECT_EQ(root.Box().m_Min, (Vec3{-5, 0, 0}));
  EXPECT_EQ(root.Box().m_Max, (Vec3{1, 3, 9}));
  Testing::AssertRecorder recorder;
  EXPECT_EQ(Util::BoundingRoot({}).Depth(), 1);
  EXPECT_EQ(recorder.Heads(),
            std::vector<std::string>{Testing::AssertRecorder::Head(
                "numChildren > 0", "BVRoot: initialization with 0 children", "..\\..\\Source\\Util\\util_grid")});
}
