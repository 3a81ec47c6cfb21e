// The physics step over the active cells with 100, 1,000 and 5,000 unit boxes (mass 1, gravity
// 10) spread over the near cells around the camera: half resting on rolling height-map ground,
// half falling onto it from high up (those that come down are lifted again between steps). One
// step of a 33 ms frame per iteration; every box collides with the ground once it is down, so a
// collisionMsg is posted per resting box per step.
//
// The anchor: a bare loop integrating the same number of particles (eight a box) once, as the
// step does for each moving box before it looks at any collision.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "Game/Entity.h"
#include "Messaging/Messages.h"
#include "Physics/HeightMap.h"
#include "Physics/OBB.h"
#include "Physics/PhysComp.h"
#include "Physics/PhysicsManager.h"
#include "Util/Grid.h"

namespace {

using Util::Vec3;

constexpr int kSide = 120;  // ground samples along x and z, 2 units apart: x -120 to 119, z 4 to 243

Game::Entity* Make(Phy::Collidable* hull, const Vec3& position, float inverseMass, const Vec3& accel) {
  auto* entity = new Game::Entity();
  entity->SetPositionOnly(position);
  auto* body = new Phy::PhysComp(entity);
  body->SetInverseMass(inverseMass);
  body->SetAccel(accel);
  hull->Translate(position);
  body->AddHull(hull);
  entity->SetPhysics(body);
  return entity;
}

struct Scene {
  std::vector<Game::Entity*> entities;
  std::vector<Game::Entity*> falling;

  explicit Scene(int boxes) {
    std::vector<uint8_t> samples(kSide * kSide);
    for (int z = 0; z < kSide; ++z)
      for (int x = 0; x < kSide; ++x)
        samples[z * kSide + x] = static_cast<uint8_t>(100 + 40 * std::sin(x * 0.1f) * std::cos(z * 0.13f));
    entities.push_back(Make(new Phy::HeightMap(Phy::AABB({-120, 0, 4}, {-120 + 2 * kSide - 1, 51, 4 + 2 * kSide - 1}),
                                               0.2f, kSide, kSide, samples),
                            {}, 0.0f, {}));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(-110, 110), z(14, 234), high(200, 370);
    for (int i = 0; i < boxes; ++i) {
      const bool falls = i % 2 == 1;
      const Vec3 at{x(random), falls ? high(random) : 60.0f, z(random)};
      entities.push_back(Make(new Phy::OBB(Phy::OBB::FromExtents(1, 1, 1, 0, 0, {})), at, 1.0f, {0, -10, 0}));
      if (falls) falling.push_back(entities.back());
    }
    Util::Grid& grid = Util::Grid::Instance();  // files every entity alive
    grid.Update(nullptr);
    // The resting half settles on the ground first.
    for (int i = 0; i < 300; ++i) Step();
    Lift();
  }
  ~Scene() {
    Util::Grid::Instance().Shutdown();
    Util::Grid::Destroy();
    for (Game::Entity* entity : entities) delete entity;
    Phy::PhysicsManager::Destroy();
    Msg::MailMan::Instance().Shutdown();
    Msg::MailMan::Destroy();
  }

  void Step() {
    Phy::PhysicsManager::Instance().Step(33.0);
    Msg::MailMan::Instance().Deliver();
  }
  // Falling boxes that came down start again from high up.
  void Lift() {
    for (Game::Entity* box : falling)
      if (box->GetPosition().y < 150) {
        box->SetPosition({box->GetPosition().x, 360, box->GetPosition().z});
        box->SetVelocity({});
      }
  }
};

void PhysicsStep(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Phy::PhysicsManager::Instance().Step(33.0);
    state.PauseTiming();
    Msg::MailMan::Instance().Deliver();
    scene.Lift();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(PhysicsStep)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

// Eight particles a box, moved as the integration of a moving box moves them.
void BareParticleLoop(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0)) * 8;
  std::vector<Vec3> positions(count), velocities(count);
  const Vec3 a{0, -10, 0};
  const float dt = 0.033f;
  for (auto _ : state) {
    for (size_t i = 0; i < count; ++i) {
      velocities[i] += a * dt;
      velocities[i] *= 0.99f;
      positions[i] += velocities[i] * dt;
    }
    benchmark::DoNotOptimize(positions.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BareParticleLoop)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

}  // namespace
