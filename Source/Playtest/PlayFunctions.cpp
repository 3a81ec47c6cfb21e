// The functions of a play script, globals of its state. Each reads and checks all of its
// arguments first and raises its errors before it builds anything with a destructor: Lua's errors
// leave by longjmp.
//
//   Before the game starts:  seed(n)  record(file)
//   Any time:                frame_limit(n)  realtime([on])  captures(folder)
//   Waiting:                 wait([frames]) -> true, or false when the game ended meanwhile
//                            wait_until(condition [, frames]) -> whether it came to hold
//                            wait_end()  frame() -> n  running() -> bool
//   The game's state:        game(lua text) -> its results (vectors as tables)
//   Checks:                  expect(condition, text) -> condition
//   Keyboard and mouse:      key(code [, down])  tap(code)  mouse_move(dx, dy [, x, y])
//                            mouse_button(b [, down [, x, y]])  click(b)  wheel(notches)
//                            close_window()  push_quit()
//   Controller:              connect()  disconnect()  pad_button(name [, down])  pad_axis(name, v)
//   Frames:                  capture(name) -> file  compare(a, b [, tolerance [, share]])
//                            -> same, {largest, differing, share, same_size}
#include <lua.hpp>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Core/Window.h"
#include "Playtest/Image.h"
#include "Playtest/Runner.h"
#include "Script/ScriptEngine.h"

namespace Play {
namespace {

Runner& R(lua_State* L) { return *static_cast<Runner*>(lua_touserdata(L, lua_upvalueindex(1))); }

uint32_t CheckCount(lua_State* L, int arg, lua_Number low) {
  const lua_Number n = luaL_checknumber(L, arg);
  if (!(n >= low && n <= 4294967295.0) || n != std::floor(n)) luaL_argerror(L, arg, "a whole number expected");
  return static_cast<uint32_t>(n);
}

bool OptDown(lua_State* L, int arg) { return lua_isnoneornil(L, arg) || lua_toboolean(L, arg); }

// Functions that give the game input start the game first; after it ended they do nothing.
bool Startable(lua_State* L, const char* name) {
  if (!R(L).EnsureStarted() && !R(L).Ended()) luaL_error(L, "%s: the game could not start", name);
  return !R(L).Ended();
}

int Push(lua_State* L, const SDL_Event& event) {
  lua_pushboolean(L, R(L).Feed().Push(event));
  return 1;
}

int Seed(lua_State* L) {
  const uint32_t seed = CheckCount(L, 1, 0);
  if (R(L).Started()) return luaL_error(L, "seed: the game has started; set the seed before");
  R(L).SetSeed(seed);
  return 0;
}

int FrameLimit(lua_State* L) {
  R(L).SetFrameLimit(CheckCount(L, 1, 0));
  return 0;
}

int Realtime(lua_State* L) {
  R(L).SetPaced(OptDown(L, 1));
  return 0;
}

int Captures(lua_State* L) {
  const char* folder = luaL_checkstring(L, 1);
  R(L).SetCaptureFolder(folder);
  return 0;
}

int Record(lua_State* L) {
  const char* file = luaL_checkstring(L, 1);
  if (R(L).Started()) return luaL_error(L, "record: the game has started; record from the start");
  if (!R(L).Record(file)) return luaL_error(L, "record: cannot write %s", file);
  return 0;
}

int Wait(lua_State* L) {
  const uint32_t frames = lua_isnoneornil(L, 1) ? 1 : CheckCount(L, 1, 1);
  if (R(L).Ended()) return luaL_error(L, "wait: the game has ended");
  R(L).EnsureStarted();
  R(L).WaitFrames(frames);
  return lua_yield(L, 0);
}

int Frame(lua_State* L) {
  lua_pushnumber(L, R(L).CurrentFrame());
  return 1;
}

int Running(lua_State* L) {
  lua_pushboolean(L, R(L).GameRunning());
  return 1;
}

int Expect(lua_State* L) {
  const bool held = lua_toboolean(L, 1) != 0;
  const char* text = lua_isnoneornil(L, 2) ? "(a check without a text)" : luaL_checkstring(L, 2);
  R(L).Checks().Check(held, text, R(L).CurrentFrame());
  lua_settop(L, 1);
  return 1;
}

void PushValues(lua_State* L, const std::vector<Spt::ScriptValue>& values) {
  for (const Spt::ScriptValue& value : values) PushValue(L, value);
}

int Game(lua_State* L) {
  const char* text = luaL_checkstring(L, 1);
  if (!R(L).EnsureStarted()) return luaL_error(L, "game: the game could not start");
  if (!lua_checkstack(L, 64)) return luaL_error(L, "game: no room for results");
  char failure[512] = "";
  int count = 0;
  {
    // An expression gives its value, as in an interactive console; a statement runs as it is.
    std::string chunk = std::string("return ") + text;
    if (luaL_loadstring(L, chunk.c_str()) != 0) chunk = text;
    lua_pop(L, 1);
    std::vector<Spt::ScriptValue> results;
    std::string error;
    if (Spt::ScriptEngine::Instance().Evaluate(chunk.c_str(), results, error)) {
      if (results.size() > 60) results.resize(60);
      PushValues(L, results);
      count = static_cast<int>(results.size());
    } else {
      std::snprintf(failure, sizeof failure, "%s", error.c_str());
    }
  }
  if (failure[0] != '\0') return luaL_error(L, "game: %s", failure);
  return count;
}

int Key(lua_State* L) {
  const int code = static_cast<int>(luaL_checkinteger(L, 1));
  const bool down = OptDown(L, 2);
  SDL_Event event;
  if (!InputFeed::KeyEvent(code, down, event)) return luaL_argerror(L, 1, "no key has this number");
  if (!Startable(L, "key")) return 0;
  return Push(L, event);
}

int Tap(lua_State* L) {
  const int code = static_cast<int>(luaL_checkinteger(L, 1));
  SDL_Event press;
  SDL_Event release;
  if (!InputFeed::KeyEvent(code, true, press) || !InputFeed::KeyEvent(code, false, release))
    return luaL_argerror(L, 1, "no key has this number");
  if (!Startable(L, "tap")) return 0;
  R(L).Later(1, release);
  return Push(L, press);
}

// An optional position: both given, or the runner's pointer.
void Position(lua_State* L, int arg, int& x, int& y) {
  if (lua_isnoneornil(L, arg) && lua_isnoneornil(L, arg + 1)) return;
  x = static_cast<int>(luaL_checkinteger(L, arg));
  y = static_cast<int>(luaL_checkinteger(L, arg + 1));
}

int MouseMove(lua_State* L) {
  const int dx = static_cast<int>(luaL_checkinteger(L, 1));
  const int dy = static_cast<int>(luaL_checkinteger(L, 2));
  int x = R(L).MouseX() + dx;
  int y = R(L).MouseY() + dy;
  Position(L, 3, x, y);
  if (!Startable(L, "mouse_move")) return 0;
  R(L).MouseX() = x;
  R(L).MouseY() = y;
  return Push(L, InputFeed::MotionEvent(x, y, dx, dy));
}

int MouseButton(lua_State* L) {
  const int button = static_cast<int>(luaL_checkinteger(L, 1));
  const bool down = OptDown(L, 2);
  int x = R(L).MouseX();
  int y = R(L).MouseY();
  Position(L, 3, x, y);
  SDL_Event event;
  if (!InputFeed::MouseButtonEvent(button, down, x, y, event)) return luaL_argerror(L, 1, "no mouse button 1 to 7");
  if (!Startable(L, "mouse_button")) return 0;
  return Push(L, event);
}

int Click(lua_State* L) {
  const int button = static_cast<int>(luaL_checkinteger(L, 1));
  SDL_Event press;
  SDL_Event release;
  if (!InputFeed::MouseButtonEvent(button, true, R(L).MouseX(), R(L).MouseY(), press) ||
      !InputFeed::MouseButtonEvent(button, false, R(L).MouseX(), R(L).MouseY(), release))
    return luaL_argerror(L, 1, "no mouse button 1 to 7");
  if (!Startable(L, "click")) return 0;
  R(L).Later(1, release);
  return Push(L, press);
}

int Wheel(lua_State* L) {
  const int notches = static_cast<int>(luaL_checkinteger(L, 1));
  if (!Startable(L, "wheel")) return 0;
  return Push(L, InputFeed::WheelEvent(notches));
}

int CloseWindow(lua_State* L) {
  if (!Startable(L, "close_window")) return 0;
  return Push(L, InputFeed::CloseEvent(Core::Window::Instance().Handle()));
}

int PushQuit(lua_State* L) {
  if (!Startable(L, "push_quit")) return 0;
  return Push(L, InputFeed::QuitEvent());
}

// The controller may be plugged in before the game starts, so that the game finds it at start-up.
int Connect(lua_State* L) {
  if (!R(L).Feed().Connect()) return luaL_error(L, "connect: %s", SDL_GetError());
  R(L).KeepOnRecord("connect()");
  return 0;
}

int Disconnect(lua_State* L) {
  if (!R(L).Feed().Disconnect()) return luaL_error(L, "disconnect: no controller is connected");
  R(L).KeepOnRecord("disconnect()");
  return 0;
}

int PadButton(lua_State* L) {
  const char* name = luaL_checkstring(L, 1);
  const bool down = OptDown(L, 2);
  if (SDL_GameControllerGetButtonFromString(name) == SDL_CONTROLLER_BUTTON_INVALID)
    return luaL_argerror(L, 1, "no controller button has this name");
  if (!R(L).Feed().PadButton(name, down)) return luaL_error(L, "pad_button: no controller is connected");
  char line[96];
  std::snprintf(line, sizeof line, "pad_button(\"%s\", %s)", name, down ? "true" : "false");
  R(L).KeepOnRecord(line);
  return 0;
}

int PadAxis(lua_State* L) {
  const char* name = luaL_checkstring(L, 1);
  const int value = static_cast<int>(luaL_checkinteger(L, 2));
  if (SDL_GameControllerGetAxisFromString(name) == SDL_CONTROLLER_AXIS_INVALID)
    return luaL_argerror(L, 1, "no controller axis has this name");
  if (!R(L).Feed().PadAxis(name, value)) return luaL_error(L, "pad_axis: no controller is connected");
  char line[96];
  std::snprintf(line, sizeof line, "pad_axis(\"%s\", %d)", name, value);
  R(L).KeepOnRecord(line);
  return 0;
}

int Capture(lua_State* L) {
  const char* name = luaL_checkstring(L, 1);
  if (R(L).Ended()) return luaL_error(L, "capture: the game has ended");
  R(L).EnsureStarted();
  R(L).WaitCapture(name);
  return lua_yield(L, 0);
}

int Compare(lua_State* L) {
  const char* first = luaL_checkstring(L, 1);
  const char* second = luaL_checkstring(L, 2);
  const lua_Integer tolerance = luaL_optinteger(L, 3, 0);
  const lua_Number share = luaL_optnumber(L, 4, 0.0);
  if (tolerance < 0 || tolerance > 255) return luaL_argerror(L, 3, "a channel difference of 0 to 255 expected");
  if (!(share >= 0.0 && share <= 1.0)) return luaL_argerror(L, 4, "a share of 0 to 1 expected");
  char failure[512] = "";
  Difference difference;
  {
    Image a;
    Image b;
    std::string error;
    if (!LoadPng(first, a, error) || !LoadPng(second, b, error))
      std::snprintf(failure, sizeof failure, "compare: %s", error.c_str());
    else
      difference = Compare(a, b, static_cast<int>(tolerance));
  }
  if (failure[0] != '\0') {
    lua_pushboolean(L, 0);
    lua_pushstring(L, failure);
    return 2;
  }
  lua_pushboolean(L, difference.sameSize && difference.share <= share);
  lua_createtable(L, 0, 4);
  lua_pushnumber(L, difference.largest);
  lua_setfield(L, -2, "largest");
  lua_pushnumber(L, static_cast<lua_Number>(difference.differing));
  lua_setfield(L, -2, "differing");
  lua_pushnumber(L, difference.share);
  lua_setfield(L, -2, "share");
  lua_pushboolean(L, difference.sameSize);
  lua_setfield(L, -2, "same_size");
  return 2;
}

const luaL_Reg kFunctions[] = {
    {"seed", Seed},
    {"frame_limit", FrameLimit},
    {"realtime", Realtime},
    {"captures", Captures},
    {"record", Record},
    {"wait", Wait},
    {"frame", Frame},
    {"running", Running},
    {"expect", Expect},
    {"game", Game},
    {"key", Key},
    {"tap", Tap},
    {"mouse_move", MouseMove},
    {"mouse_button", MouseButton},
    {"click", Click},
    {"wheel", Wheel},
    {"close_window", CloseWindow},
    {"push_quit", PushQuit},
    {"connect", Connect},
    {"disconnect", Disconnect},
    {"pad_button", PadButton},
    {"pad_axis", PadAxis},
    {"capture", Capture},
    {"compare", Compare},
};

// What is easier said in Lua. A wait that the game's end cut short returns false; the condition
// is then looked at once more, in the game's last state.
const char kPrelude[] = R"lua(
function wait_until(condition, frames)
  local waited = 0
  while true do
    if condition() then return true end
    if frames and waited >= frames then return false end
    if not wait(1) then return condition() and true or false end
    waited = waited + 1
  end
end

function wait_end()
  repeat until not wait(1)
end

keys = {
  backspace = 8, tab = 9, enter = 13, escape = 27, space = 32, delete = 127,
  up = 273, down = 274, right = 275, left = 276, f1 = 282,
  rshift = 303, lshift = 304, rctrl = 305, lctrl = 306, ralt = 307, lalt = 308,
}
)lua";

}  // namespace

void PushValue(lua_State* L, const Spt::ScriptValue& value) {
  using Kind = Spt::ScriptValue::Kind;
  if (!lua_checkstack(L, 4)) {
    lua_pushnil(L);
    return;
  }
  switch (value.kind) {
    case Kind::Nil:
      lua_pushnil(L);
      break;
    case Kind::Boolean:
      lua_pushboolean(L, value.boolean ? 1 : 0);
      break;
    case Kind::Number:
      lua_pushnumber(L, value.number);
      break;
    case Kind::String:
      lua_pushlstring(L, value.text.data(), value.text.size());
      break;
    case Kind::Table:
      lua_createtable(L, 0, static_cast<int>(value.keys.size()));
      for (size_t i = 0; i < value.keys.size(); ++i) {
        PushValue(L, value.keys[i]);
        PushValue(L, value.values[i]);
        if (lua_isnil(L, -2))
          lua_pop(L, 2);
        else
          lua_rawset(L, -3);
      }
      break;
    case Kind::Other:
      lua_pushlstring(L, value.text.data(), value.text.size());
      break;
  }
}

void RegisterPlayFunctions(lua_State* L, Runner& runner) {
  for (const luaL_Reg& function : kFunctions) {
    lua_pushlightuserdata(L, &runner);
    lua_pushcclosure(L, function.func, 1);
    lua_setglobal(L, function.name);
  }
  if (luaL_dostring(L, kPrelude) != 0) lua_pop(L, 1);
}

}  // namespace Play
