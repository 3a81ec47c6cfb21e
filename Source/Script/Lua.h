// The scripting subsystem's private view of Lua: the Lua headers, the reader of a script
// function's arguments, and the pushers of the values scripts get back. Only Source/Script
// includes this; the rest of the engine never sees Lua.
//
// Debian's Lua is built as C: a failing check leaves the function with longjmp and skips the
// destructors of C++ objects on the way. Every function called from Lua therefore reads and
// checks all of its arguments into plain values first, and only then builds strings, vectors or
// messages; after that it raises no error.
#pragma once

#include <lua.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>

#include "Messaging/Messages.h"
#include "Script/ScriptValue.h"
#include "Util/Vec3.h"

namespace Game {
class Entity;
}

namespace Spt {

// The arguments of a script function. Scripts' arguments are read from the end: a function of
// n arguments uses the last n values it is given, so surplus leading values are ignored, and
// argument i (1 to n) is the i-th of those last n. Missing ones (fewer than n values) read as
// "no value": a check of one raises the standard argument error, a truth test gives false.
// Functions read their arguments from the last to the first.
class Args {
 public:
  // `floor` is how many values at the bottom of the stack are not arguments (a method's own
  // object, which stays there during the call): they are never read as arguments.
  Args(lua_State* L, int count, int floor = 0);

  // Any number, as the script gave it (the scripts' own data may be anything).
  double Number(int i) const;
  // A number the engine acts on (positions, angles, colours, times, limits): NaN and the
  // infinities, also one a float cannot hold, raise an argument error instead of reaching a
  // system that would keep it for ever.
  float Float(int i) const;
  int32_t Integer(int i) const;
  // An integer from low to high; another raises the standard argument error.
  int32_t IntegerIn(int i, int32_t low, int32_t high) const;
  const char* String(int i) const;
  bool Bool(int i) const;
  bool IsNumber(int i) const;
  bool IsBool(int i) const;
  // A Game::Entity userdata; anything else raises the type error naming Game::Entity.
  Game::Entity* Entity(int i) const;
  // The stack index of a table argument.
  int Table(int i) const;
  // Arguments i, i + 1 and i + 2 as x, y and z, read z first.
  Util::Vec3 Vector(int i) const;

 private:
  int Index(int i) const { return m_Base + i; }
  bool Present(int i) const { return Index(i) > m_Floor; }
  [[noreturn]] void Fail(int i, const char* message) const;
  [[noreturn]] void FailType(int i, const char* expected) const;

  lua_State* m_L;
  int m_Base;
  int m_Floor;
};

// Posts (delivered at the next delivery) or sends (delivered before the call returns) a message
// of class M built from the fields; returns 0, the number of results of a function that ends so.
// The message is built only after every argument has been read, so a failed check leaves nothing
// half made behind.
template <class M, class... Fields>
int Post(Fields&&... fields) {
  Msg::MailMan::Instance().Post(new M(std::forward<Fields>(fields)...));
  return 0;
}

template <class M, class... Fields>
int Send(Fields&&... fields) {
  Msg::Send(new M(std::forward<Fields>(fields)...));
  return 0;
}

// The kinds of argument a function that only carries its arguments into a message reads, each
// with the number of script values it takes.
struct F32 {
  using Type = float;
  static constexpr int kWidth = 1;
  static Type Read(const Args& a, int i) { return a.Float(i); }
};
struct F64 {
  using Type = double;
  static constexpr int kWidth = 1;
  static Type Read(const Args& a, int i) { return a.Number(i); }
};
struct I32 {
  using Type = int32_t;
  static constexpr int kWidth = 1;
  static Type Read(const Args& a, int i) { return a.Integer(i); }
};
struct Str {
  using Type = const char*;
  static constexpr int kWidth = 1;
  static Type Read(const Args& a, int i) { return a.String(i); }
};
struct Flag {
  using Type = bool;
  static constexpr int kWidth = 1;
  static Type Read(const Args& a, int i) { return a.Bool(i); }
};
struct Ent {
  using Type = Game::Entity*;
  static constexpr int kWidth = 1;
  static Type Read(const Args& a, int i) { return a.Entity(i); }
};
struct V3 {  // x, y, z
  using Type = Util::Vec3;
  static constexpr int kWidth = 3;
  static Type Read(const Args& a, int i) { return a.Vector(i); }
};
struct V4 {  // four numbers
  using Type = Msg::Vec4;
  static constexpr int kWidth = 4;
  static Type Read(const Args& a, int i) {
    Type v;
    v.w = a.Float(i + 3);
    v.z = a.Float(i + 2);
    v.y = a.Float(i + 1);
    v.x = a.Float(i);
    return v;
  }
};

// The script values of a list of kinds, read from the last kind to the first into plain values.
template <class... Kinds>
struct Arguments {
  static constexpr size_t kKinds = sizeof...(Kinds);
  static constexpr int kCount = (0 + ... + Kinds::kWidth);
  using Values = std::tuple<typename Kinds::Type...>;

  static Values Read(lua_State* L) { return Read(Args(L, kCount), std::make_index_sequence<kKinds>{}); }

 private:
  // The argument number each kind starts at.
  static constexpr std::array<int, kKinds> First() {
    std::array<int, kKinds> first{};
    [[maybe_unused]] int at = 1;
    [[maybe_unused]] size_t i = 0;
    ((first[i++] = at, at += Kinds::kWidth), ...);
    return first;
  }

  template <size_t... I>
  static Values Read([[maybe_unused]] const Args& a, std::index_sequence<I...>) {
    [[maybe_unused]] constexpr std::array<int, kKinds> first = First();
    Values values;
    ((std::get<kKinds - 1 - I>(values) =
          std::tuple_element_t<kKinds - 1 - I, std::tuple<Kinds...>>::Read(a, first[kKinds - 1 - I])),
     ...);
    return values;
  }
};

// A function that posts (or sends) a message of class M whose fields are its arguments, in order.
template <class M, class... Kinds>
int PostOf(lua_State* L) {
  const typename Arguments<Kinds...>::Values values = Arguments<Kinds...>::Read(L);
  return std::apply([](const auto&... fields) { return Post<M>(fields...); }, values);
}

template <class M, class... Kinds>
int SendOf(lua_State* L) {
  const typename Arguments<Kinds...>::Values values = Arguments<Kinds...>::Read(L);
  return std::apply([](const auto&... fields) { return Send<M>(fields...); }, values);
}

// A new table with fields x, y, z.
void PushVector(lua_State* L, const Util::Vec3& v);
// A new table with fields x and z (the two axes of an input range).
void PushXZ(lua_State* L, float x, float z);
// The entity's userdata, not owned by Lua; nil for null.
void PushEntity(lua_State* L, Game::Entity* entity);

// The function tables, each registered under its global name (Global, Editor).
void RegisterGlobalFunctions(lua_State* L);
void RegisterEditorFunctions(lua_State* L);
// The class bindings of Game::Entity and Game::Player.
void BindEntityClass(lua_State* L);
void BindPlayerClass(lua_State* L);
void PushPlayer(lua_State* L);
// Runs a chunk of text in a state and takes every result out of it; false with the error's text
// when it does not compile or fails. Nothing is left on the stack.
bool Evaluate(lua_State* L, const char* text, std::vector<ScriptValue>& results, std::string& error);
// Makes a removed entity's userdata harmless: it no longer points at the entity, and using it
// raises a script error. Raises nothing itself.
void ForgetEntity(lua_State* L, Game::Entity* entity);

}  // namespace Spt
