#include "Script/Lua.h"

#include <cmath>

#include "Game/Entity.h"
#include "Script/Binding.h"

namespace Spt {

Args::Args(lua_State* L, int count, int floor) : m_L(L), m_Base(lua_gettop(L) - count), m_Floor(floor) {}

void Args::Fail(int i, const char* message) const {
  const int shown = Present(i) ? Index(i) : i + m_Floor;
  luaL_argerror(m_L, shown, message);
  __builtin_unreachable();  // the argument error leaves by longjmp
}

void Args::FailType(int i, const char* expected) const {
  const char* got = Present(i) ? luaL_typename(m_L, Index(i)) : "no value";
  Fail(i, lua_pushfstring(m_L, "%s expected, got %s", expected, got));
}

double Args::Number(int i) const {
  if (!IsNumber(i)) FailType(i, "number");
  return lua_tonumber(m_L, Index(i));
}

float Args::Float(int i) const {
  const double value = Number(i);
  const float narrowed = static_cast<float>(value);
  if (!std::isfinite(narrowed)) Fail(i, lua_pushfstring(m_L, "finite number expected, got %f", value));
  return narrowed;
}

int32_t Args::Integer(int i) const {
  if (!IsNumber(i)) FailType(i, "number");
  return static_cast<int32_t>(lua_tointeger(m_L, Index(i)));
}

int32_t Args::IntegerIn(int i, int32_t low, int32_t high) const {
  if (!IsNumber(i)) FailType(i, "number");
  const lua_Integer value = lua_tointeger(m_L, Index(i));
  if (value < low || value > high) Fail(i, lua_pushfstring(m_L, "out of range (%d to %d)", low, high));
  return static_cast<int32_t>(value);
}

const char* Args::String(int i) const {
  if (!Present(i) || !lua_isstring(m_L, Index(i))) FailType(i, "string");
  return lua_tostring(m_L, Index(i));
}

bool Args::Bool(int i) const { return Present(i) && lua_toboolean(m_L, Index(i)) != 0; }

bool Args::IsNumber(int i) const { return Present(i) && lua_isnumber(m_L, Index(i)) != 0; }

bool Args::IsBool(int i) const { return Present(i) && lua_isboolean(m_L, Index(i)); }

Game::Entity* Args::Entity(int i) const {
  const int shown = Present(i) ? Index(i) : i + m_Floor;
  return Binding<Game::Entity>::Check(m_L, Present(i) ? Index(i) : 0, shown);
}

int Args::Table(int i) const {
  if (!Present(i) || !lua_istable(m_L, Index(i))) FailType(i, "table");
  return Index(i);
}

Util::Vec3 Args::Vector(int i) const {
  Util::Vec3 v;
  v.z = Float(i + 2);
  v.y = Float(i + 1);
  v.x = Float(i);
  return v;
}

void PushVector(lua_State* L, const Util::Vec3& v) {
  lua_createtable(L, 0, 3);
  lua_pushnumber(L, v.x);
  lua_setfield(L, -2, "x");
  lua_pushnumber(L, v.y);
  lua_setfield(L, -2, "y");
  lua_pushnumber(L, v.z);
  lua_setfield(L, -2, "z");
}

void PushXZ(lua_State* L, float x, float z) {
  lua_createtable(L, 0, 2);
  lua_pushnumber(L, x);
  lua_setfield(L, -2, "x");
  lua_pushnumber(L, z);
  lua_setfield(L, -2, "z");
}

void PushEntity(lua_State* L, Game::Entity* entity) { Binding<Game::Entity>::Push(L, entity, false); }

void ForgetEntity(lua_State* L, Game::Entity* entity) { Binding<Game::Entity>::Forget(L, entity); }

}  // namespace Spt
