// The grid's per-frame update (active cells, the entity sets and the three tiers) with 1,000 and
// 10,000 entities spread over the lattice, each with a visual and a script and every second one
// with a body, one in twenty running its script every frame. The camera flies across the lattice,
// one cell-width every 16 frames. Its anchor: one bare pass over the entities that looks up the
// cell of each one's bounds in the camera's block, what a frame costs per entity when every entity
// is looked at. Printed: the update per entity at 10,000 over that at 1,000 (flat is 1), and each
// over the anchor. Also the re-filing of entities that move across cells, and the filing of the
// notices of newly made entities.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "Game/Entity.h"
#include "Graphics/Visual.h"
#include "Messaging/Messages.h"
#include "Physics/PhysComp.h"
#include "Ratio.h"
#include "Script/Script.h"
#include "Util/Grid.h"

namespace {

using Util::Vec3;

std::vector<Game::Entity*> Populate(int count) {
  std::mt19937 random(42);
  std::uniform_real_distribution<float> x(-1024, 512), yz(0, 1536), size(1, 24);
  std::vector<Game::Entity*> entities;
  for (int i = 0; i < count; ++i) {
    auto* entity = new Game::Entity();
    const float s = size(random);
    entity->SetBounds({{-s, -s, -s}, {s, s, s}});
    entity->SetPositionOnly({x(random), yz(random), yz(random)});
    entity->SetVisual(new Gfx::Visual(entity));
    entity->SetScript(new Spt::Script("bench.lua", entity, i % 20 == 0));
    if (i % 2 == 0) entity->SetPhysics(new Phy::PhysComp(entity));
    entities.push_back(entity);
  }
  return entities;
}

void TearDown(std::vector<Game::Entity*>& entities) {
  Util::Grid::Instance().Shutdown();
  Util::Grid::Destroy();
  for (Game::Entity* entity : entities) delete entity;
}

void Camera(int frame) {
  const float t = static_cast<float>(frame % 1536) * 8.0f;
  Msg::Send(new Msg::cameraGetInfoMsg(0, Vec3{-1024 + t, 200 + 0.5f * t, 1536 - t}));
}

void GridUpdate(benchmark::State& state) {
  std::vector<Game::Entity*> entities = Populate(static_cast<int>(state.range(0)));
  Util::Grid& grid = Util::Grid::Instance();  // files the entities alive
  int frame = 0;
  size_t tierScripts = 0;
  for (auto _ : state) {
    Camera(frame++);
    grid.Update(nullptr);
    tierScripts += grid.TierScripts(0).size() + grid.TierScripts(1).size();
  }
  benchmark::DoNotOptimize(tierScripts);
  state.counters["near+far scripts"] = static_cast<double>(tierScripts) / static_cast<double>(frame);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  TearDown(entities);
}

void BareClassification(benchmark::State& state) {
  std::vector<Game::Entity*> entities = Populate(static_cast<int>(state.range(0)));
  std::vector<uint8_t> block(Util::Grid::kCellCount, 0);
  for (uint32_t x = 4; x < 8; ++x)
    for (uint32_t y = 4; y < 8; ++y)
      for (uint32_t z = 4; z < 8; ++z) block[x + 12 * (y + 12 * z)] = 1;
  size_t inBlock = 0;
  for (auto _ : state)
    for (Game::Entity* entity : entities) inBlock += block[Util::Grid::CellIndex(entity->GetBounds().Min())];
  benchmark::DoNotOptimize(inBlock);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  for (Game::Entity* entity : entities) delete entity;
}

// Every entity steps 10 units along x per frame, so about one in twelve crosses a cell border.
void GridMoves(benchmark::State& state) {
  std::vector<Game::Entity*> entities = Populate(static_cast<int>(state.range(0)));
  Util::Grid::Instance();
  float step = 10.0f;
  for (auto _ : state) {
    for (Game::Entity* entity : entities) entity->SetPosition(entity->GetPosition() + Vec3{step, 0, 0});
    step = -step;
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  TearDown(entities);
}

// Entities made while the grid lives are filed when their notices arrive; each notice first makes
// sure its entity still lives. Measured: all notices of a level of that many entities.
void GridAddNotices(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Util::Grid::Instance();
    std::vector<Game::Entity*> entities = Populate(static_cast<int>(state.range(0)));
    state.ResumeTiming();
    for (Game::Entity* entity : entities) Msg::Send(new Msg::eManAddedMsg(entity, entity->ScriptFlag()));
    state.PauseTiming();
    TearDown(entities);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(GridUpdate)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BareClassification)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(GridMoves)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(GridAddNotices)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCH_MAIN_WITH_RATIOS({"GridUpdate/10000", "GridUpdate/1000"}, {"GridUpdate/1000", "BareClassification/1000"},
                       {"GridUpdate/10000", "BareClassification/10000"})
