// What the physics tests share: a small world with the grid and the physics manager, bodies
// placed in the grid's near cells around the origin's camera, and shapes made in one line.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Game/Entity.h"
#include "Messaging/Messages.h"
#include "Physics/HeightMap.h"
#include "Physics/OBB.h"
#include "Physics/PhysComp.h"
#include "Physics/PhysicsManager.h"
#include "Support/AssertRecorder.h"
#include "Support/Systems.h"
#include "Util/ErrorLog.h"
#include "Util/Grid.h"

namespace Testing {

// A cube of the given side with its centre at c.
inline Phy::OBB* Cube(const Util::Vec3& c, float side) {
  return new Phy::OBB(Phy::OBB::FromExtents(side, side, side, 0.0f, 0.0f, c));
}

// Level ground at height `top` (samples 100, so 10 units thick above its base) spanning x from
// -16 to 15 and z from 20 to 51, with whatever holes are punched into `samples` afterwards.
inline Phy::HeightMap* Ground(float top, int size = 16, uint8_t value = 100) {
  const float scale = 0.1f;
  const float base = top - scale * value;
  return new Phy::HeightMap(Phy::AABB({-16, base, 20}, {-16 + 2.0f * size - 1, base + 25.5f, 20 + 2.0f * size - 1}),
                            scale, size, size, std::vector<uint8_t>(static_cast<size_t>(size * size), value));
}

class PhysicsWorld : public testing::Test {
 protected:
  PhysicsWorld() { Util::Grid::Instance().Update(nullptr); }
  ~PhysicsWorld() override {
    for (Game::Entity* entity : m_Entities) delete entity;
    ShutDown<Util::Grid, Msg::MailMan>();
    Phy::PhysicsManager::Destroy();
    Util::ErrorLog::Destroy();
  }

  // An entity at `position` whose body has the hull (given about the origin) and the values.
  Game::Entity* Body(Phy::Collidable* hull, const Util::Vec3& position, float inverseMass = 1.0f,
                     const Util::Vec3& accel = {0, -10, 0}, bool ghost = false) {
    auto* entity = new Game::Entity();
    entity->SetPositionOnly(position);
    auto* body = new Phy::PhysComp(entity);
    body->SetInverseMass(inverseMass);
    body->SetGhost(ghost);
    body->SetAccel(accel);
    hull->Translate(position);
    body->AddHull(hull);
    entity->SetPhysics(body);
    Util::Grid::Instance().Add(entity, false);
    m_Entities.push_back(entity);
    return entity;
  }

  Phy::PhysicsManager& Physics() { return Phy::PhysicsManager::Instance(); }
  void Frames(int count, double ms = 33.0) {
    for (int i = 0; i < count; ++i) {
      Util::Grid::Instance().Update(nullptr);
      Physics().Step(ms);
    }
  }

  std::vector<Game::Entity*> m_Entities;
  AssertRecorder m_Asserts;
};

}  // namespace Testing
