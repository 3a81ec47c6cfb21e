#include "Script/ScriptValue.h"

#include <cstring>

#include "Script/Lua.h"

namespace Spt {
namespace {

// Deep enough for vectors in tables of tables; a table that holds itself stops here too.
constexpr int kDepth = 4;
// A table as large as the globals would make a report nobody reads.
constexpr size_t kEntries = 1000;

// Reads without calling a metamethod or raising an error: raw traversal only.
ScriptValue Read(lua_State* L, int index, int depth) {
  ScriptValue value;
  switch (lua_type(L, index)) {
    case LUA_TNIL:
      break;
    case LUA_TBOOLEAN:
      value.kind = ScriptValue::Kind::Boolean;
      value.boolean = lua_toboolean(L, index) != 0;
      break;
    case LUA_TNUMBER:
      value.kind = ScriptValue::Kind::Number;
      value.number = lua_tonumber(L, index);
      break;
    case LUA_TSTRING: {
      size_t length = 0;
      const char* text = lua_tolstring(L, index, &length);
      value.kind = ScriptValue::Kind::String;
      value.text.assign(text, length);
      break;
    }
    case LUA_TTABLE:
      if (depth >= kDepth || !lua_checkstack(L, 3)) {
        value.kind = ScriptValue::Kind::Other;
        value.text = "table";
        break;
      }
      value.kind = ScriptValue::Kind::Table;
      if (index < 0) index = lua_gettop(L) + index + 1;
      lua_pushnil(L);
      while (lua_next(L, index) != 0) {
        if (value.keys.size() < kEntries) {
          value.keys.push_back(Read(L, -2, depth + 1));
          value.values.push_back(Read(L, -1, depth + 1));
        }
        lua_pop(L, 1);
      }
      break;
    default:
      value.kind = ScriptValue::Kind::Other;
      value.text = luaL_typename(L, index);
      break;
  }
  return value;
}

}  // namespace

const ScriptValue* ScriptValue::Field(const char* name) const {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].kind == Kind::String && keys[i].text == name) return &values[i];
  }
  return nullptr;
}

bool Evaluate(lua_State* L, const char* text, std::vector<ScriptValue>& results, std::string& error) {
  results.clear();
  error.clear();
  const int top = lua_gettop(L);
  const bool ok = luaL_loadstring(L, text) == 0 && lua_pcall(L, 0, LUA_MULTRET, 0) == 0;
  if (ok) {
    for (int i = top + 1; i <= lua_gettop(L); ++i) results.push_back(Read(L, i, 0));
  } else {
    const char* message = lua_tostring(L, -1);
    error = message ? message : "(error object is not a string)";
  }
  lua_settop(L, top);
  return ok;
}

}  // namespace Spt
