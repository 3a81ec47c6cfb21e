// The methods of Game::Entity userdata, in the order of the class's method list: identity, the
// visual (VIS_, EntityVisualMethods.cpp), the shared transform (SHR_) and the script data exchange
// (SPT_). A method works on the entity it is
// called on and reads its arguments from the end, like every script function. Where the component
// a method needs is absent, a setter does nothing and a getter gives nil.
#include <string>

#include "Game/Entity.h"
#include "Script/Binding.h"
#include "Script/EntityPhysicsMethods.h"
#include "Script/EntityVisualMethods.h"
#include "Script/Script.h"

namespace Spt {
namespace {

using Game::Entity;

// A method's arguments, above the entity's own userdata at index 1.
struct MethodArgs : Args {
  MethodArgs(lua_State* L, int count) : Args(L, count, 1) {}
};

int GetMyPointer(Entity& self, lua_State* L) { return PushEntity(L, &self), 1; }

int Data(Entity&, lua_State* L) { return lua_newtable(L), 1; }

int GetID(Entity& self, lua_State* L) { return lua_pushinteger(L, self.GetID()), 1; }

int GetName(Entity& self, lua_State* L) { return lua_pushstring(L, self.GetName()), 1; }

int SHR_Has(Entity&, lua_State* L) { return lua_pushboolean(L, 1), 1; }

// t, pos, rot, scl, vel: each flag that is true sets that field of t to a new vector.
int SHR_Refresh(Entity& self, lua_State* L) {
  MethodArgs a(L, 5);
  const bool vel = a.Bool(5);
  const bool scl = a.Bool(4);
  const bool rot = a.Bool(3);
  const bool pos = a.Bool(2);
  const int t = a.Table(1);
  const struct {
    bool wanted;
    const char* field;
    const Util::Vec3& value;
  } fields[] = {{pos, "pos", self.GetPosition()},
                {rot, "rot", self.GetRotation()},
                {scl, "scl", self.GetScale()},
                {vel, "vel", self.GetVelocity()}};
  for (const auto& field : fields) {
    if (!field.wanted) continue;
    PushVector(L, field.value);
    lua_setfield(L, t, field.field);
  }
  return 0;
}

int SHR_sPosition(Entity& self, lua_State* L) { return self.SetPosition(MethodArgs(L, 3).Vector(1)), 0; }
int SHR_sVelocity(Entity& self, lua_State* L) { return self.SetVelocity(MethodArgs(L, 3).Vector(1)), 0; }
int SHR_sRotation(Entity& self, lua_State* L) { return self.SetRotation(MethodArgs(L, 3).Vector(1)), 0; }
int SHR_sScale(Entity& self, lua_State* L) { return self.SetScale(MethodArgs(L, 3).Vector(1)), 0; }

// Nine numbers, row by row: the angles become 0 and the hull is not turned.
int SHR_sRotationMatrix(Entity& self, lua_State* L) {
  MethodArgs a(L, 9);
  Util::Mat3 m;
  for (int i = 8; i >= 0; --i) m.m[i / 3][i % 3] = a.Float(i + 1);
  self.SetRotationMatrix(m);
  return 0;
}

int SHR_gPosition(Entity& self, lua_State* L) { return PushVector(L, self.GetPosition()), 1; }
int SHR_gVelocity(Entity& self, lua_State* L) { return PushVector(L, self.GetVelocity()), 1; }
int SHR_gRotation(Entity& self, lua_State* L) { return PushVector(L, self.GetRotation()), 1; }
int SHR_gScale(Entity& self, lua_State* L) { return PushVector(L, self.GetScale()), 1; }

int SPT_Has(Entity& self, lua_State* L) { return lua_pushboolean(L, self.GetScript() != nullptr), 1; }

// Each delivery sets t[name] for the entries in order (a later entry of a name wins) and then
// drops the transient ones. The loops look at the entry count afresh, as a table's metamethod may
// give the script new entries meanwhile.
int SPT_RefreshNumbers(Entity& self, lua_State* L) {
  const int t = MethodArgs(L, 1).Table(1);
  Script* script = self.GetScript();
  if (!script) return 0;
  for (size_t i = 0; i < script->NumberCount(); ++i) {
    const std::string& name = script->NumberName(i);
    lua_pushlstring(L, name.data(), name.size());
    lua_pushnumber(L, script->NumberValue(i));
    lua_settable(L, t);
  }
  script->DropTransientNumbers();
  return 0;
}

int SPT_RefreshStrings(Entity& self, lua_State* L) {
  const int t = MethodArgs(L, 1).Table(1);
  Script* script = self.GetScript();
  if (!script) return 0;
  for (size_t i = 0; i < script->StringCount(); ++i) {
    const std::string& name = script->StringName(i);
    const std::string& value = script->StringValue(i);
    lua_pushlstring(L, name.data(), name.size());
    lua_pushlstring(L, value.data(), value.size());
    lua_settable(L, t);
  }
  script->DropTransientStrings();
  return 0;
}

int SPT_RefreshEntities(Entity& self, lua_State* L) {
  const int t = MethodArgs(L, 1).Table(1);
  Script* script = self.GetScript();
  if (!script) return 0;
  for (size_t i = 0; i < script->EntityCount(); ++i) {
    const std::string& name = script->EntityName(i);
    lua_pushlstring(L, name.data(), name.size());
    PushEntity(L, script->EntityValue(i));
    lua_settable(L, t);
  }
  script->DropEntities();
  return 0;
}

// name, value: the entry goes to the script of the entity called on, in the way Give says.
template <class Kind, auto Give>
int SPT_Give(Entity& self, lua_State* L) {
  MethodArgs a(L, 2);
  const typename Kind::Type value = Kind::Read(a, 2);
  const char* name = a.String(1);
  if (Script* script = self.GetScript()) (script->*Give)(name, value);
  return 0;
}

// name, value, mark: the mark is the first character code of the string mark.
int SPT_GiveNumberEx(Entity& self, lua_State* L) {
  MethodArgs a(L, 3);
  const bool mark = a.String(3)[0] != '\0';
  const double value = a.Number(2);
  const char* name = a.String(1);
  if (Script* script = self.GetScript()) script->AddPersistentNumber(name, value, mark);
  return 0;
}

}  // namespace

// A bare entity: an ID and nothing else, owned by Lua and deleted when collected.
Entity* ClassInfo<Entity>::Construct(bool& luaOwns) {
  luaOwns = true;
  return new Entity();
}

const Method<Entity> ClassInfo<Entity>::kMethods[] = {
    {"GetMyPointer", GetMyPointer},
    {"Data", Data},
    {"GetID", GetID},
    {"GetName", GetName},
    {"PHY_Has", PHY_Has},
    {"PHY_Refresh", PHY_Refresh},
    {"PHY_SetAccel", PHY_SetAccel},
    {"PHY_SetAccelOnce", PHY_SetAccelOnce},
    {"PHY_AddAccel", PHY_AddAccel},
    {"PHY_AddAccelOnce", PHY_AddAccelOnce},
    {"PHY_SetForce", PHY_SetForce},
    {"PHY_SetForceOnce", PHY_SetForceOnce},
    {"PHY_AddForce", PHY_AddForce},
    {"PHY_AddForceOnce", PHY_AddForceOnce},
    {"PHY_GetAccel", PHY_GetAccel},
    {"PHY_GetAccelOnce", PHY_GetAccelOnce},
    {"VIS_Has", VIS_Has},
    {"VIS_SetText", VIS_SetText},
    {"VIS_SetTextSize", VIS_SetTextSize},
    {"VIS_GetText", VIS_GetText},
    {"VIS_SetLightColor", VIS_SetLightColor},
    {"VIS_GetLightColor", VIS_GetLightColor},
    {"VIS_SetLightRadius", VIS_SetLightRadius},
    {"VIS_GetLightRadius", VIS_GetLightRadius},
    {"VIS_sTexCoords", VIS_sTexCoords},
    {"VIS_sPosCoords", VIS_sPosCoords},
    {"VIS_sTextPos", VIS_sTextPos},
    {"SHR_Has", SHR_Has},
    {"SHR_Refresh", SHR_Refresh},
    {"SHR_sPosition", SHR_sPosition},
    {"SHR_sVelocity", SHR_sVelocity},
    {"SHR_sRotation", SHR_sRotation},
    {"SHR_sRotationMatrix", SHR_sRotationMatrix},
    {"SHR_sScale", SHR_sScale},
    {"SHR_gPosition", SHR_gPosition},
    {"SHR_gVelocity", SHR_gVelocity},
    {"SHR_gRotation", SHR_gRotation},
    {"SHR_gScale", SHR_gScale},
    {"SPT_Has", SPT_Has},
    {"SPT_RefreshNumbers", SPT_RefreshNumbers},
    {"SPT_RefreshStrings", SPT_RefreshStrings},
    {"SPT_RefreshEntities", SPT_RefreshEntities},
    {"SPT_GiveNumber", SPT_Give<F64, &Script::GiveNumber>},
    {"SPT_GiveString", SPT_Give<Str, &Script::GiveString>},
    {"SPT_GiveEntity", SPT_Give<Ent, &Script::GiveEntity>},
    {"SPT_AddNumber", SPT_Give<F64, &Script::AddNumber>},
    {"SPT_GiveNumberEx", SPT_GiveNumberEx},
    {"SPT_GiveStringEx", SPT_Give<Str, &Script::AddPersistentString>},
    {nullptr, nullptr},
};

void BindEntityClass(lua_State* L) { Binding<Entity>::Register(L); }

}  // namespace Spt
