#include <gmock/gmock.h>

#include <cfloat>

#include "Physics/CollidableSet.h"
#include "Physics/PhysComp.h"
#include "Physics/PhysicsManager.h"
#include "Script/ScriptTesting.h"
#include "Support/Printed.h"

using Util::Vec3;

namespace {

// Entities with bodies from their definition files, with the scripting and physics systems up.
class EntityPhysics : public Testing::ScriptTest {
 protected:
  EntityPhysics() {
    Phy::PhysicsManager::Instance();
    Start();
  }
  ~EntityPhysics() override { Phy::PhysicsManager::Destroy(); }

  // A definition at (x, 50, 30) with the Physics element's contents; returns its path.
  std::string Body(const std::string& name, float x, const std::string& physics) {
    Write("Assets/Xml/entities/" + name + ".xml",
                 "<XMLRoot><Entity><string name=\"name\">" + name + "</string><Shared><Position><float name=\"x\">" +
                     std::to_string(x) + "</float><float name=\"y\">50</float><float name=\"z\">30</float>" +
                     "</Position></Shared></Entity><Physics>" + physics + "</Physics></XMLRoot>");
    return "../../Assets/Xml/entities/" + name + ".xml";
  }

  const std::string kCrate =
      "<float name=\"mass\">4</float><float name=\"elasticity\">0.25</float><Acceleration><float "
      "name=\"y\">-10</float></Acceleration><Hull><OBB><float name=\"width\">2</float><float name=\"height\">1</float>"
      "<float name=\"depth\">1</float><offset><float name=\"y\">0.5</float></offset></OBB><Set><Sphere><float "
      "name=\"r\">0.5</float></Sphere></Set></Hull>";
};

}  // namespace

TEST_F(EntityPhysics, ThePhysicsElementGivesTheBodyItsValuesAndAHullAtTheEntity) {
  Game::Entity* crate = Create(Body("Crate", 10, kCrate));
  const Phy::PhysComp& body = *crate->GetPhysics();
  EXPECT_EQ(body.Mass(), 4.0f);
  EXPECT_EQ(body.InverseMass(), 0.25f);
  EXPECT_EQ(body.Elasticity(), 0.25f);
  EXPECT_EQ(body.GetAccel(), (Vec3{0, -10, 0}));
  // Sets first, then the boxes: the nested set becomes the hull and the box joins it, about the
  // entity.
  auto& hull = const_cast<Phy::Collidable&>(*body.Hull());
  ASSERT_EQ(hull.GetChildCount(), 2);
  EXPECT_EQ(hull.GetChild(0)->GetType(), Phy::kTypeSphere);
  EXPECT_EQ(hull.GetChild(1)->GetCenter(), (Vec3{10, 50.5f, 30}));
  EXPECT_EQ(crate->GetBounds().Max(), (Vec3{11, 51, 30.5f}));
  EXPECT_EQ(body.HullOffset(), (Vec3{0, 0.25f, 0}));
  EXPECT_EQ(body.ParticleCount(), 8);
  // Of mass and inverse mass the later wins; an inverse mass of 0 is the largest mass.
  EXPECT_EQ(Create(Body("Rock", 0, "<float name=\"mass\">2</float><float name=\"inverse_mass\">0</float>"))
                ->GetPhysics()
                ->Mass(),
            FLT_MAX);

  // What is not a number, or no body can have, leaves the entity without a body, and says so.
  for (const char* bad : {"<float name=\"mass\">heavy</float>", "<float name=\"mass\">0</float>",
                          "<Hull><OBB><float name=\"width\">1</float></OBB></Hull>",
                          "<Hull><Set><Sphere><Center><float name=\"x\">nan</float></Center></Sphere></Set></Hull>"}) {
    Game::Entity* entity = nullptr;
    const std::string printed = Testing::Printed([&] { entity = Create(Body("Bad", 0, bad)); });
    EXPECT_EQ(entity->GetPhysics(), nullptr) << bad;
    EXPECT_THAT(printed, testing::HasSubstr("Bad.xml: Physics element refused")) << bad;
  }
}

TEST_F(EntityPhysics, ScriptsReachTheBodyThroughThePhysicsMethodsAndCheckCollision) {
  Util::Grid::Instance();
  Run("crate = Global.CreateEntity('" + Body("Crate", 10, kCrate) + "') other = Global.CreateEntity('" +
      Body("Other", 10.5f, kCrate) + "') plain = Global.CreateEntity('" + EntityFile("Plain") + "')");
  EXPECT_EQ(Run("crate:PHY_SetForce(2, 0, 0) crate:PHY_SetForce(2, 0, 0) return crate:PHY_GetAccelOnce().x"), "1");
  EXPECT_EQ(Run("crate:PHY_SetAccel(1, 2, 3) crate:PHY_AddAccel(1, 1, 1) crate:PHY_AddForce(4, 0, 0) "
                "crate:PHY_AddAccelOnce(0, 0, 7) local a = crate:PHY_GetAccel() "
                "return a.x .. ' ' .. a.y .. ' ' .. a.z .. ' ' .. crate:PHY_GetAccelOnce().z"),
            "3 3 4 7");
  EXPECT_EQ(Run("plain:PHY_SetAccel(1, 2, 3) return tostring(crate:PHY_Has()) .. tostring(plain:PHY_Has()) .. "
                "tostring(plain:PHY_GetAccel())"),
            "truefalsenil");

  // The two crates overlap: after a step each lists the other.
  Deliver();
  Util::Grid::Instance().Update(nullptr);
  Phy::PhysicsManager::Instance().Step(33);
  EXPECT_EQ(Run("local t = {} crate:PHY_Refresh(t, true) local u = {} crate:PHY_Refresh(u, false) "
                "return tostring(t.collisions[1] == other) .. #t.collisions .. tostring(u.collisions)"),
            "true1nil");
  EXPECT_EQ(Run("return tostring(Global.CheckCollision(10, 50.5, 30)) .. tostring(Global.CheckCollision(10, 80, 30))"),
            "truefalse");
}
