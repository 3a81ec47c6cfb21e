// The VIS_ methods of Game::Entity userdata: the entity's visual seen from its script. Each works
// on the visual of the entity it is called on and reads its arguments from the end; where the
// entity has no visual, or not the kind the method needs (text, light, flat quad), a setter does
// nothing and a getter gives nil. Rows of the class's method list (EntityMethods.cpp).
#pragma once

#include "Script/Lua.h"

namespace Spt {

int VIS_Has(Game::Entity& self, lua_State* L);
int VIS_SetText(Game::Entity& self, lua_State* L);
int VIS_SetTextSize(Game::Entity& self, lua_State* L);
int VIS_GetText(Game::Entity& self, lua_State* L);
int VIS_SetLightColor(Game::Entity& self, lua_State* L);
int VIS_GetLightColor(Game::Entity& self, lua_State* L);
int VIS_SetLightRadius(Game::Entity& self, lua_State* L);
int VIS_GetLightRadius(Game::Entity& self, lua_State* L);
int VIS_sTexCoords(Game::Entity& self, lua_State* L);
int VIS_sPosCoords(Game::Entity& self, lua_State* L);
int VIS_sTextPos(Game::Entity& self, lua_State* L);

}  // namespace Spt
