#include "Script/EntityPhysicsMethods.h"

#include "Game/Entity.h"
#include "Physics/PhysComp.h"

namespace Spt {
namespace {

// A method's arguments: the entity itself is argument 1, and they are read from the end.
struct MethodArgs : Args {
  MethodArgs(lua_State* L, int count) : Args(L, count, 1) {}
};

// x, y, z handed to an operation of the body, when there is one.
template <void (Phy::PhysComp::*Apply)(const Util::Vec3&)>
int Vector(Game::Entity& self, lua_State* L) {
  const Util::Vec3 v = MethodArgs(L, 3).Vector(1);
  if (Phy::PhysComp* body = self.GetPhysics()) (body->*Apply)(v);
  return 0;
}

template <const Util::Vec3& (Phy::PhysComp::*Get)() const>
int Getter(Game::Entity& self, lua_State* L) {
  const Phy::PhysComp* body = self.GetPhysics();
  if (!body) return lua_pushnil(L), 1;
  return PushVector(L, (body->*Get)()), 1;
}

}  // namespace

int PHY_Has(Game::Entity& self, lua_State* L) { return lua_pushboolean(L, self.GetPhysics() != nullptr), 1; }

int PHY_Refresh(Game::Entity& self, lua_State* L) {
  MethodArgs a(L, 2);
  const bool wanted = a.Bool(2);
  const int t = a.Table(1);
  if (!wanted) return 0;
  lua_newtable(L);
  int index = 0;
  for (Game::Entity* touched : self.Touched()) {
    lua_pushinteger(L, ++index);
    PushEntity(L, touched);
    lua_settable(L, -3);
  }
  lua_setfield(L, t, "collisions");
  return 0;
}

int PHY_SetAccel(Game::Entity& self, lua_State* L) { return Vector<&Phy::PhysComp::SetAccel>(self, L); }
int PHY_SetAccelOnce(Game::Entity& self, lua_State* L) { return Vector<&Phy::PhysComp::SetAccelOnce>(self, L); }
int PHY_AddAccel(Game::Entity& self, lua_State* L) { return Vector<&Phy::PhysComp::AddAccel>(self, L); }
int PHY_AddAccelOnce(Game::Entity& self, lua_State* L) { return Vector<&Phy::PhysComp::AddAccelOnce>(self, L); }
int PHY_SetForce(Game::Entity& self, lua_State* L) { return Vector<&Phy::PhysComp::AddForceOnce>(self, L); }
int PHY_SetForceOnce(Game::Entity& self, lua_State* L) { return Vector<&Phy::PhysComp::AddForceOnce>(self, L); }
int PHY_AddForce(Game::Entity& self, lua_State* L) { return Vector<&Phy::PhysComp::AddForce>(self, L); }
int PHY_AddForceOnce(Game::Entity& self, lua_State* L) { return Vector<&Phy::PhysComp::AddForceOnce>(self, L); }
int PHY_GetAccel(Game::Entity& self, lua_State* L) { return Getter<&Phy::PhysComp::GetAccel>(self, L); }
int PHY_GetAccelOnce(Game::Entity& self, lua_State* L) { return Getter<&Phy::PhysComp::GetAccelOnce>(self, L); }

}  // namespace Spt
