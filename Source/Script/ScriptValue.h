// ScriptValue: a Lua value taken out of the game's state, for tools that look into the running
// game (the play-test runner) without touching Lua themselves. Numbers, strings and booleans come
// out as they are; tables come out with their entries (vectors as tables with x, y, z), nested up
// to a few levels; anything else (functions, entities, coroutines) as its type name.
#pragma once

#include <string>
#include <vector>

namespace Spt {

struct ScriptValue {
  enum class Kind { Nil, Boolean, Number, String, Table, Other };

  Kind kind = Kind::Nil;
  bool boolean = false;
  double number = 0.0;
  std::string text;  // the string; the type name of an Other
  // A table's entries, in Lua's traversal order: keys[i] holds values[i].
  std::vector<ScriptValue> keys;
  std::vector<ScriptValue> values;

  // The entry under a string key, or null.
  const ScriptValue* Field(const char* name) const;
};

}  // namespace Spt
