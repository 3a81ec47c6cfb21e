#include <cfloat>

#include "Physics/CollidableSet.h"
#include "Physics/PhysicsTesting.h"
#include "Physics/Sphere.h"
#include "Script/ScriptTesting.h"

using Testing::Cube;
using Testing::Ground;
using Util::Vec3;

namespace {

class PhysicsStep : public Testing::PhysicsWorld {
 protected:
  float Bottom(const Game::Entity* e) const { return e->GetPhysics()->Hull()->GetBounds().Min().y; }
};

}  // namespace

// Dropped at any speed the game reaches, square or tilted, in short frames and long ones, a box
// lands on the ground and a second one onto it; both settle, and then stay exactly where they
// are, the first on the surface, at their own size.
TEST_F(PhysicsStep, BoxesDroppedOnGroundComeToRestOnItAndStay) {
  for (float speed : {0.0f, 5.0f, 30.0f, 100.0f})
    for (double ms : {17.0, 33.0, 60.0})
      for (float tilt : {0.0f, 35.0f}) {
        Body(Ground(50), {}, 0.0f, {});
        Game::Entity* box = Body(Cube({}, 1), {0.3f, 60, 35.2f});
        box->SetRotation({tilt, 0, tilt / 2});
        box->SetVelocity({0, -speed, 0});
        Frames(300, ms);
        const Vec3 below = box->GetPosition();
        Game::Entity* next = Body(Cube({}, 1), {below.x + 0.1f, below.y + 3, below.z - 0.1f});
        next->SetVelocity({0, -speed, 0});
        Frames(300, ms);
        const Vec3 rested[] = {box->GetPosition(), next->GetPosition()};
        const Vec3 hull = box->GetPhysics()->Hull()->GetBounds().Min();
        Frames(1000, ms);
        const std::string at = std::to_string(speed) + " " + std::to_string(ms) + " " + std::to_string(tilt);
        EXPECT_EQ(box->GetPosition(), rested[0]) << at;
        EXPECT_EQ(next->GetPosition(), rested[1]) << at;
        EXPECT_EQ(box->GetPhysics()->Hull()->GetBounds().Min(), hull) << at;
        EXPECT_GT(Bottom(box), 49.85f) << at;
        EXPECT_LT(Bottom(box), 50.05f) << at;
        EXPECT_GT(Bottom(next), 49.85f) << at;
        EXPECT_TRUE(box->GetPhysics()->Validate() && next->GetPhysics()->Validate()) << at;
        for (Game::Entity* e : m_Entities) delete e;
        m_Entities.clear();
      }
}

// However fast, a box meets a slab far thinner than itself, or than its travel in one step, and
// stays on it.
TEST_F(PhysicsStep, NothingPassesThroughAThinHull) {
  for (float speed : {10.0f, 60.0f, 400.0f})
    for (Phy::Collidable* slab :
         {static_cast<Phy::Collidable*>(new Phy::AABB({-5, -0.005f, -5}, {5, 0.005f, 5})),
          static_cast<Phy::Collidable*>(new Phy::OBB(Phy::OBB::FromExtents(10, 0.01f, 10, 0, 0.15f, {})))}) {
      Body(slab, {0, 50, 30}, 0.0f, {});
      Game::Entity* box = Body(Cube({}, 1), {0.5f, 60, 30.5f});
      box->SetVelocity({0, -speed, 0});
      Frames(300, 60);
      EXPECT_GT(Bottom(box), 49.5f) << speed << " " << slab->GetType();
      EXPECT_LT(box->GetPosition().y, 51.5f) << speed << " " << slab->GetType();
      for (Game::Entity* e : m_Entities) delete e;
      m_Entities.clear();
    }
}

TEST_F(PhysicsStep, AnImmovableBodyNeverMovesAndAGhostPassesThroughReportingItsContacts) {
  Testing::Catch<Msg::collisionMsg> contacts;
  Game::Entity* wall = Body(Cube({}, 2), {0, 50, 30}, 0.0f, {0, -10, 0});
  wall->SetVelocity({3, 0, 0});
  Game::Entity* ghost = Body(Cube({}, 1), {-4, 50, 30}, 1.0f, {}, true);
  ghost->SetVelocity({4, 0, 0});
  const Phy::AABB wallHull = wall->GetPhysics()->Hull()->GetBounds();
  bool touched = false;
  for (int frame = 0; frame < 60; ++frame) {
    Frames(1);
    touched = touched || (ghost->Touched() == std::vector<Game::Entity*>{wall} &&
                          wall->Touched() == std::vector<Game::Entity*>{ghost});
  }
  Msg::MailMan::Instance().Deliver();
  EXPECT_EQ(wall->GetPosition(), (Vec3{0, 50, 30}));
  EXPECT_EQ(wall->GetPhysics()->Hull()->GetBounds().Max(), wallHull.Max());
  EXPECT_NEAR(ghost->GetPosition().x, -4 + 4 * 60 * 0.033f, 1e-4f);  // through, at its own pace
  EXPECT_TRUE(touched);
  ASSERT_GT(contacts.Count(), 10u);
  EXPECT_EQ(contacts.Last().m_First.Get(), wall);  // the body of the cell first, then the mover
  EXPECT_EQ(contacts.Last().m_Second.Get(), ghost);
  // A touched list never outlives the entity it names.
  ghost->SetVelocity({-4, 0, 0});
  Frames(30);
  ASSERT_EQ(ghost->Touched(), std::vector<Game::Entity*>{wall});
  delete wall;
  m_Entities.erase(m_Entities.begin());
  EXPECT_TRUE(ghost->Touched().empty());
}

TEST_F(PhysicsStep, AFrameOf200MillisecondsAdvancesPhysicsBy60) {
  auto* point = new Game::Entity();
  point->SetPhysics(new Phy::PhysComp(point));
  point->SetVelocity({10, 0, 0});
  point->SetPositionOnly({0, 50, 50});
  Util::Grid::Instance().Add(point, false);
  m_Entities.push_back(point);
  Frames(1, 200);
  EXPECT_FLOAT_EQ(Physics().StepLength(), 0.06f);
  EXPECT_FLOAT_EQ(point->GetPosition().x, 0.6f);
  Frames(1, 0);  // a frame of no time moves nothing
  EXPECT_FLOAT_EQ(point->GetPosition().x, 0.6f);
}

// Boxes falling onto the ground and onto each other, twice from the same start: the same
// positions to the last bit; and each box filed in the grid where its bounds now are.
TEST_F(PhysicsStep, TheSameSceneRunsTheSameAndMovedBodiesAreRefiled) {
  std::vector<Vec3> runs[2];
  for (std::vector<Vec3>& run : runs) {
    Body(Ground(120), {}, 0.0f, {});
    for (int i = 0; i < 6; ++i)
      Body(Cube({}, 1.5f), {0.4f * i - 1, 130.0f + 1.7f * i, 34 + 0.3f * i})->SetRotation({9.0f * i, 0, 0});
    Frames(150);
    EXPECT_TRUE(Util::Grid::Instance().Validate());
    for (Game::Entity* e : m_Entities) {
      run.push_back(e->GetPosition());
      EXPECT_EQ(Util::Grid::Instance().CellEntities(Util::Grid::CellIndex(e->GetBounds().Min())).count(e), 1u);
      delete e;
    }
    m_Entities.clear();
  }
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_LT(runs[0][1].y, 125.0f);  // fallen across the cell boundary at 128
}

TEST_F(PhysicsStep, CheckCollisionFindsPointsInsideHulls) {
  Body(new Phy::Sphere({}, 2), {0, 50, 30}, 0.0f, {});
  EXPECT_TRUE(Physics().CheckCollision({0, 51, 30}));
  EXPECT_FALSE(Physics().CheckCollision({0, 52, 30}));  // on the surface
  EXPECT_FALSE(Physics().CheckCollision({0, 150, 30}));
}
