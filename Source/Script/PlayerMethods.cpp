// The methods of the Game::Player userdata (the global Player), in the order of the class's
// method list: the carried entities, and the light count, firefly distance and particle-system
// time with the player's constants.
#include "Game/Player.h"
#include "Script/Binding.h"

namespace Spt {
namespace {

using Game::Player;

int Number(lua_State* L, double value) { return lua_pushnumber(L, value), 1; }
float Value(lua_State* L) { return Args(L, 1, 1).Float(1); }

int GetMyPointer(Player& self, lua_State* L) { return Binding<Player>::Push(L, &self, false), 1; }
int gDodod(Player& self, lua_State* L) { return PushEntity(L, self.GetDodod()), 1; }
int gLantern(Player& self, lua_State* L) { return PushEntity(L, self.GetLantern()), 1; }
int gFallDist(Player&, lua_State* L) { return Number(L, Player::kFallDistance); }
int gLightCount(Player& self, lua_State* L) { return Number(L, self.LightCount()); }
int sLightCount(Player& self, lua_State* L) { return self.SetLightCount(Value(L)), 0; }
int AddToLightCount(Player& self, lua_State* L) { return self.AddToLightCount(Value(L)), 0; }
int gMaxLight(Player&, lua_State* L) { return Number(L, Player::kMaxLight); }
int gMinLight(Player&, lua_State* L) { return Number(L, Player::kMinLight); }
int gFFDist(Player& self, lua_State* L) { return Number(L, self.FireflyDistance()); }
int sFFDist(Player& self, lua_State* L) { return self.SetFireflyDistance(Value(L)), 0; }
int AddToFFDist(Player& self, lua_State* L) {
  const float amount = Value(L);
  return self.SetFireflyDistance(self.FireflyDistance() + amount), 0;
}
int gPSTime(Player& self, lua_State* L) { return Number(L, self.ParticleSystemTime()); }
int sPSTime(Player& self, lua_State* L) { return self.SetParticleSystemTime(Value(L)), 0; }
int AddToPSTime(Player& self, lua_State* L) {
  const float amount = Value(L);
  return self.SetParticleSystemTime(self.ParticleSystemTime() + amount), 0;
}

}  // namespace

// There is one player: constructing one from a script gives that one, which the engine owns.
Player* ClassInfo<Player>::Construct(bool& luaOwns) {
  luaOwns = false;
  return &Player::Instance();
}

const Method<Player> ClassInfo<Player>::kMethods[] = {
    {"GetMyPointer", GetMyPointer},
    {"gDodod", gDodod},
    {"gLantern", gLantern},
    {"gFallDist", gFallDist},
    {"gLightCount", gLightCount},
    {"sLightCount", sLightCount},
    {"AddToLightCount", AddToLightCount},
    {"gMaxLight", gMaxLight},
    {"gMinLight", gMinLight},
    {"gFFDist", gFFDist},
    {"sFFDist", sFFDist},
    {"AddToFFDist", AddToFFDist},
    {"gPSTime", gPSTime},
    {"sPSTime", sPSTime},
    {"AddToPSTime", AddToPSTime},
    {nullptr, nullptr},
};

void BindPlayerClass(lua_State* L) { Binding<Player>::Register(L); }

void PushPlayer(lua_State* L) { Binding<Player>::Push(L, &Player::Instance(), false); }

}  // namespace Spt
