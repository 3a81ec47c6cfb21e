// Binding: how an engine class is seen from Lua, as a full userdata holding one pointer.
//
// Per class T (a specialisation of ClassInfo<T> gives its name, its method list and how a script
// constructs one):
//   - the method table is the global named after the class ("Game::Entity"); scripts may add
//     Lua functions to it;
//   - the class metatable lives in the registry under the class name; its __metatable is the
//     method table, so scripts never reach it, its __index the method table, __tostring gives
//     "Game::Entity (0x...)", and __gc deletes the object unless the engine owns it;
//   - calling the method table, or its field new, constructs an object owned by Lua;
//   - each method is a closure whose upvalue points at its row of the method list.
// The metatable's sub-table "userdata" (weak values) maps each object to its one userdata, so the
// same object is always the same userdata while Lua holds it; "do not trash" (weak keys) marks
// the userdata of objects the engine owns, which collection leaves alone.
#pragma once

#include <cstdio>

#include "Script/Lua.h"

namespace Game {
class Entity;
class Player;
}  // namespace Game

namespace Spt {

// One method: the object, and the Lua state with the object's own userdata still at index 1 (it
// keeps the object alive for the whole call, whatever the collector does meanwhile); the method
// reads its arguments above it. Returns the number of results pushed.
template <class T>
struct Method {
  const char* name;
  int (*call)(T& self, lua_State* L);
};

// Per bound class: its name, its method list (ended by a row with a null name), and how a script
// constructs one (and whether Lua then owns it).
template <class T>
struct ClassInfo;

template <>
struct ClassInfo<Game::Entity> {
  static constexpr const char* kName = "Game::Entity";
  static const Method<Game::Entity> kMethods[];
  static Game::Entity* Construct(bool& luaOwns);
};

template <>
struct ClassInfo<Game::Player> {
  static constexpr const char* kName = "Game::Player";
  static const Method<Game::Player> kMethods[];
  static Game::Player* Construct(bool& luaOwns);
};

template <class T>
class Binding {
 public:
  static void Register(lua_State* L) {
    lua_newtable(L);
    const int methods = lua_gettop(L);
    luaL_newmetatable(L, Name());
    const int meta = lua_gettop(L);

    lua_pushvalue(L, methods);
    lua_setfield(L, LUA_GLOBALSINDEX, Name());
    lua_pushvalue(L, methods);
    lua_setfield(L, meta, "__metatable");
    lua_pushvalue(L, methods);
    lua_setfield(L, meta, "__index");
    lua_pushcfunction(L, ToString);
    lua_setfield(L, meta, "__tostring");
    lua_pushcfunction(L, Collect);
    lua_setfield(L, meta, "__gc");

    lua_newtable(L);
    lua_pushcfunction(L, New);
    lua_setfield(L, -2, "__call");
    lua_setmetatable(L, methods);
    lua_pushcfunction(L, New);
    lua_setfield(L, methods, "new");

    for (const Method<T>* m = ClassInfo<T>::kMethods; m->name; ++m) {
      lua_pushstring(L, m->name);
      lua_pushlightuserdata(L, const_cast<Method<T>*>(m));
      lua_pushcclosure(L, Call, 1);
      lua_rawset(L, methods);
    }
    lua_settop(L, methods - 1);
  }

  // Pushes the object's userdata, or nil for null. The first push of an object makes its
  // userdata; when the engine owns the object (luaOwns false) collection will leave it alone.
  static void Push(lua_State* L, T* object, bool luaOwns) {
    if (!object) {
      lua_pushnil(L);
      return;
    }
    lua_getfield(L, LUA_REGISTRYINDEX, Name());
    if (lua_isnil(L, -1)) luaL_error(L, "%s missing metatable", Name());
    const int meta = lua_gettop(L);
    SubTable(L, meta, "userdata", "v");
    lua_pushlightuserdata(L, object);
    lua_rawget(L, -2);
    if (lua_isnil(L, -1)) {
      lua_pop(L, 1);
      T** box = static_cast<T**>(lua_newuserdata(L, sizeof(T*)));
      *box = object;
      lua_pushvalue(L, meta);
      lua_setmetatable(L, -2);
      lua_pushlightuserdata(L, object);
      lua_pushvalue(L, -2);
      lua_rawset(L, meta + 1);
      if (!luaOwns) {
        SubTable(L, meta, "do not trash", "k");
        lua_pushvalue(L, -2);
        lua_pushboolean(L, 1);
        lua_rawset(L, -3);
        lua_pop(L, 1);
      }
    }
    lua_replace(L, meta);
    lua_settop(L, meta);
  }

  // The object of the userdata at `index`; another value raises the type error naming the class,
  // shown as argument `shown`. The userdata of a removed object raises an error too.
  static T* Check(lua_State* L, int index, int shown) {
    T** box = static_cast<T**>(IsOurs(L, index) ? lua_touserdata(L, index) : nullptr);
    if (!box) {
      const char* got = index >= 1 ? luaL_typename(L, index) : "no value";
      luaL_argerror(L, shown, lua_pushfstring(L, "%s expected, got %s", Name(), got));
    }
    if (!*box) luaL_argerror(L, shown, lua_pushfstring(L, "%s expected, got a removed one", Name()));
    return *box;
  }

  // The object's userdata, if Lua holds one, points at nothing from now on. Raises nothing.
  static void Forget(lua_State* L, T* object) {
    lua_getfield(L, LUA_REGISTRYINDEX, Name());
    if (lua_istable(L, -1)) {
      lua_getfield(L, -1, "userdata");
      if (lua_istable(L, -1)) {
        lua_pushlightuserdata(L, object);
        lua_rawget(L, -2);
        if (T** box = static_cast<T**>(lua_touserdata(L, -1))) *box = nullptr;
        lua_pop(L, 1);
        lua_pushlightuserdata(L, object);
        lua_pushnil(L);
        lua_rawset(L, -3);
      }
      lua_pop(L, 1);
    }
    lua_pop(L, 1);
  }

 private:
  static const char* Name() { return ClassInfo<T>::kName; }

  static bool IsOurs(lua_State* L, int index) {
    if (index < 1 || !lua_isuserdata(L, index) || lua_islightuserdata(L, index) || !lua_getmetatable(L, index))
      return false;
    lua_getfield(L, LUA_REGISTRYINDEX, Name());
    const bool ours = lua_rawequal(L, -1, -2) != 0;
    lua_pop(L, 2);
    return ours;
  }

  // Pushes meta[name], made (with the given weak mode) when absent.
  static void SubTable(lua_State* L, int meta, const char* name, const char* mode) {
    lua_getfield(L, meta, name);
    if (lua_istable(L, -1)) return;
    lua_pop(L, 1);
    lua_newtable(L);
    lua_newtable(L);
    lua_pushstring(L, mode);
    lua_setfield(L, -2, "__mode");
    lua_setmetatable(L, -2);
    lua_pushvalue(L, -1);
    lua_setfield(L, meta, name);
  }

  static int Call(lua_State* L) {
    T* self = Check(L, 1, 1);
    const auto* method = static_cast<const Method<T>*>(lua_touserdata(L, lua_upvalueindex(1)));
    return method->call(*self, L);
  }

  static int New(lua_State* L) {
    if (lua_gettop(L) >= 1) lua_remove(L, 1);
    bool luaOwns = true;
    T* object = ClassInfo<T>::Construct(luaOwns);
    Push(L, object, luaOwns);
    return 1;
  }

  static int ToString(lua_State* L) {
    T** box = static_cast<T**>(luaL_checkudata(L, 1, Name()));
    char pointer[32];
    std::snprintf(pointer, sizeof pointer, "%p", static_cast<void*>(*box));
    lua_pushfstring(L, "%s (%s)", Name(), pointer);
    return 1;
  }

  // Runs inside the collector, where an error would end the program: it raises none.
  static int Collect(lua_State* L) {
    T** box = static_cast<T**>(lua_touserdata(L, 1));
    if (!box || !*box || !lua_getmetatable(L, 1)) return 0;
    lua_getfield(L, -1, "do not trash");
    bool engineOwned = false;
    if (lua_istable(L, -1)) {
      lua_pushvalue(L, 1);
      lua_rawget(L, -2);
      engineOwned = lua_toboolean(L, -1) != 0;
    }
    if (!engineOwned) {
      T* doomed = *box;
      *box = nullptr;
      delete doomed;
    }
    return 0;
  }
};

}  // namespace Spt
