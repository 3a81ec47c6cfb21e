// The PHY_ methods of Game::Entity userdata (rows of the entity class's method list): the
// entity's physics component seen from a script. Each reads its arguments from the end; without
// a physics component a setter does nothing and a getter gives nil.
#pragma once

#include "Script/Lua.h"

namespace Spt {

int PHY_Has(Game::Entity& self, lua_State* L);
// t, wanted: when wanted, t.collisions becomes a new table of the entities the body touched in
// the last physics step, from 1 in list order.
int PHY_Refresh(Game::Entity& self, lua_State* L);
// x, y, z each.
int PHY_SetAccel(Game::Entity& self, lua_State* L);
int PHY_SetAccelOnce(Game::Entity& self, lua_State* L);
int PHY_AddAccel(Game::Entity& self, lua_State* L);
int PHY_AddAccelOnce(Game::Entity& self, lua_State* L);
// Adds the force × inverse mass to the one-step acceleration, as PHY_AddForceOnce does.
int PHY_SetForce(Game::Entity& self, lua_State* L);
int PHY_SetForceOnce(Game::Entity& self, lua_State* L);
int PHY_AddForce(Game::Entity& self, lua_State* L);
int PHY_AddForceOnce(Game::Entity& self, lua_State* L);
int PHY_GetAccel(Game::Entity& self, lua_State* L);
int PHY_GetAccelOnce(Game::Entity& self, lua_State* L);

}  // namespace Spt
