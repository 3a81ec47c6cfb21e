// The table Global: the functions the game's scripts drive the engine with, one table per family.
// Almost every function reads its arguments, then posts a message (delivered at the next
// delivery) or sends one (delivered before the function returns), or asks a system directly and
// pushes the answer. Arguments are read from the last to the first (Args); vectors z, y, x.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Core/Clock.h"
#include "Core/Input.h"
#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Game/GameEngine.h"
#include "Game/GlobalStateData.h"
#include "Graphics/Material.h"
#include "Graphics/RenderPass.h"
#include "Messaging/Messages.h"
#include "Physics/PhysicsManager.h"
#include "Script/Lua.h"
#include "Script/ScriptEngine.h"

namespace Spt {
namespace {

using Msg::Vec3;
using Msg::Vec4;

int PushBool(lua_State* L, bool value) {
  lua_pushboolean(L, value ? 1 : 0);
  return 1;
}

int PushNumber(lua_State* L, double value) {
  lua_pushnumber(L, value);
  return 1;
}

// The words of a text, separated by white space.
std::vector<std::string> Words(const char* text) {
  std::vector<std::string> words;
  for (const char* p = text; *p;) {
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    const char* start = p;
    while (*p && !std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (p > start) words.emplace_back(start, p);
  }
  return words;
}

// The parameter text of each keyword of a material or a render pass. The parameters are written
// one after the other in one text, and each kind reads a known number of words (a texture unit
// and its file, four words of a SOURCE, none for CLEAR): so many words are taken for each keyword
// in turn. A keyword of no known kind takes none and goes on with an empty text, for the resource
// manager to refuse. Empty when the words do not come out even, with the reason in `error`.
std::vector<std::string> ParametersOf(const std::vector<std::string>& keywords, const char* text,
                                      int (*wordsOf)(const std::string&), std::string& error) {
  const std::vector<std::string> words = Words(text);
  std::vector<std::string> parameters;
  size_t next = 0;
  for (const std::string& keyword : keywords) {
    const size_t count = static_cast<size_t>(std::max(wordsOf(keyword), 0));
    if (next + count > words.size()) {
      error = "too few parameter words for " + keyword;
      return {};
    }
    std::string parameter;
    for (size_t i = 0; i < count; ++i) parameter += (i ? " " : "") + words[next + i];
    parameters.push_back(parameter);
    next += count;
  }
  if (next != words.size()) {
    error = "parameter words left over after the last keyword: " + words[next];
    return {};
  }
  return parameters;
}

// The message of a definition that does not hold together, raised as the script's error once
// every C++ object of the caller is gone.
using ErrorText = std::array<char, 256>;

void Keep(ErrorText& kept, const std::string& error) { std::snprintf(kept.data(), kept.size(), "%s", error.c_str()); }

std::string CountError(size_t given, int32_t declared, const char* what) {
  return std::to_string(given) + " " + what + " given where the count says " + std::to_string(declared);
}

Core::Input& Input() { return Core::Input::Instance(); }

// The camera as the game state last heard of it; zero without a game state.
Vec3 Camera(int32_t kind) {
  return Game::GlobalStateData::Exists() ? Game::GlobalStateData::Instance().CameraVector(kind) : Vec3{};
}

// Kinds of the camera vectors the camera reports.
constexpr int32_t kEye = 0, kTarget = 1, kThird = 2, kUp = 3, kSide = 4;

// The direction on the ground plane: y dropped, then normalised.
Vec3 Flat(Vec3 v) {
  v.y = 0.0f;
  return Util::Normalize(v);
}

// ---- Engine, time and scripting ----------------------------------------------------------------

int StatTrack(lua_State* L) {
  Args a(L, 2);
  const bool flag = a.Bool(2);
  const int32_t stat = a.Integer(1);
  return Post<Msg::gameStatTrackMsg>(stat, flag ? 0 : 3);
}

int FPS(lua_State* L) {
  const double frame = Clock::Instance().FrameTime();
  // Before a frame has been measured there is no rate to give.
  return PushNumber(L, frame > 0.0 ? 1000.0 / frame : 0.0);
}

const luaL_Reg kEngine[] = {
    {"QuitGame", [](lua_State*) { return Game::GameEngine::Instance().QuitGame(), 0; }},
    {"TimeThisFrame", [](lua_State* L) { return PushNumber(L, Clock::Instance().TimeInFrame()); }},
    {"TimeElapsed", [](lua_State* L) { return PushNumber(L, Clock::Instance().FrameTime()); }},
    {"ToggleFullscreen", [](lua_State*) { return Game::GameEngine::Instance().ToggleFullScreen(), 0; }},
    {"AreaMsg", PostOf<Msg::gameAreaMsg, I32>},
    {"StatTrack", StatTrack},
    // The game registers no tweakable values.
    {"PrintTweakables", [](lua_State* L) { return lua_newtable(L), 1; }},
    {"ReloadScript", PostOf<Msg::scriptReloadMsg, Str>},
    {"DoString", PostOf<Msg::scriptDoStringMsg, Str>},
    {"FPS", FPS},
    {nullptr, nullptr},
};

// ---- Input -------------------------------------------------------------------------------------

constexpr int32_t kLastKey = 322;

int GetCurrentInput(lua_State* L) {
  const std::string text = Input().CurrentText();
  lua_pushlstring(L, text.data(), text.size());
  return 1;
}

int IsGameButtonHeldFor(lua_State* L) {
  Args a(L, 2);
  const double ms = a.Number(2);
  const uint32_t button = static_cast<uint32_t>(a.Integer(1));
  return PushBool(L, Input().GetButtonState(button) == Core::ButtonState::Held && Input().HeldTime(button) > ms);
}

int gMouseXY(lua_State* L) {
  const Core::Vector2 mouse = Input().MousePosition();
  lua_pushnumber(L, mouse.x);
  lua_pushnumber(L, mouse.y);
  return 2;
}

int sRangeInversion(lua_State* L) {
  Args a(L, 3);
  const float z = a.Float(3);
  const float x = a.Float(2);
  const uint32_t range = static_cast<uint32_t>(a.Integer(1));
  Input().SetInvertedRange(range, Core::Vector2{x, z});
  return 0;
}

uint32_t Button(lua_State* L) { return static_cast<uint32_t>(Args(L, 1).Integer(1)); }
uint32_t Range(lua_State* L) { return static_cast<uint32_t>(Args(L, 1).Integer(1)); }

const luaL_Reg kInput[] = {
    {"GetCurrentInput", GetCurrentInput},
    {"ClearCurrentInput", [](lua_State*) { return Input().ClearText(), 0; }},
    {"IsTriggered",
     [](lua_State* L) { return PushBool(L, Input().IsKeyPressed(Args(L, 1).IntegerIn(1, 0, kLastKey))); }},
    {"IsPressed", [](lua_State* L) { return PushBool(L, Input().IsKeyDown(Args(L, 1).IntegerIn(1, 0, kLastKey))); }},
    {"IsGameButtonTriggered",
     [](lua_State* L) { return PushBool(L, Input().GetButtonState(Button(L)) == Core::ButtonState::Pressed); }},
    {"IsGameButtonPressed",
     [](lua_State* L) {
       const Core::ButtonState state = Input().GetButtonState(Button(L));
       return PushBool(L, state == Core::ButtonState::Held || state == Core::ButtonState::Pressed);
     }},
    {"IsGameButtonHeld",
     [](lua_State* L) {
       const uint32_t button = Button(L);
       return PushBool(L,
                       Input().GetButtonState(button) == Core::ButtonState::Held && Input().HeldTime(button) > -0.001f);
     }},
    {"IsGameButtonHeldFor", IsGameButtonHeldFor},
    {"IsMouseTriggered", [](lua_State* L) { return PushBool(L, Input().IsMouseTriggered(Args(L, 1).Integer(1))); }},
    {"IsMousePressed", [](lua_State* L) { return PushBool(L, Input().IsMouseDown(Args(L, 1).Integer(1))); }},
    {"gRangeState",
     [](lua_State* L) {
       const Core::Vector2 value = Input().GetRange(Range(L));
       return PushXZ(L, value.x, value.y), 1;
     }},
    {"gRangeIsActive", [](lua_State* L) { return PushBool(L, Input().IsRangeEnabled(Range(L))); }},
    {"ToggleRangeIsActive", [](lua_State* L) { return Input().ToggleRangeEnabled(Range(L)), 0; }},
    {"sRangeIsActive",
     [](lua_State* L) {
       Args a(L, 2);
       const bool active = a.Bool(2);
       const uint32_t range = static_cast<uint32_t>(a.Integer(1));
       return Input().SetRangeEnabled(range, active), 0;
     }},
    {"gMouseXY", gMouseXY},
    {"ShowCursor", [](lua_State* L) { return Input().ShowCursor(Args(L, 1).Bool(1)), 0; }},
    {"ContainCursor", [](lua_State* L) { return Input().ContainCursor(Args(L, 1).Bool(1)), 0; }},
    {"gRangeInversion",
     [](lua_State* L) {
       const Core::Vector2 factors = Input().GetInvertedRange(Range(L));
       return PushXZ(L, factors.x, factors.y), 1;
     }},
    {"sRangeInversion", sRangeInversion},
    {"ControllerConnected", [](lua_State* L) { return PushBool(L, Input().IsControllerConnected()); }},
    {nullptr, nullptr},
};

// ---- Camera ------------------------------------------------------------------------------------

int gCameraBasis(lua_State* L) {
  PushVector(L, Camera(kThird));
  PushVector(L, Camera(kUp));
  PushVector(L, Camera(kSide));
  return 3;
}

int gCameraDirection(lua_State* L) {
  PushVector(L, Flat(Camera(kThird)));
  PushVector(L, Flat(Camera(kSide)));
  return 2;
}

int SetCameraTargetObject(lua_State* L) {
  Game::Entity* entity = Args(L, 1).Entity(1);
  return Send<Msg::cameraSetTargetObjMsg>(entity->GetVisual());
}

// The limit setters: min, max, and whether the current value is clamped once instead.
template <class M, bool kClamp>
int Limits(lua_State* L) {
  Args a(L, 2);
  const float max = a.Float(2);
  const float min = a.Float(1);
  return Send<M>(min, max, kClamp);
}

const luaL_Reg kCamera[] = {
    {"gCameraBasis", gCameraBasis},
    {"gCameraDirection", gCameraDirection},
    {"gCameraPosition", [](lua_State* L) { return PushVector(L, Camera(kEye)), 1; }},
    {"gCameraTarget", [](lua_State* L) { return PushVector(L, Camera(kTarget)), 1; }},
    {"gCameraViewVector", [](lua_State* L) { return PushVector(L, Camera(kTarget) - Camera(kEye)), 1; }},
    {"gCameraUpVector", [](lua_State* L) { return PushVector(L, Camera(kUp)), 1; }},
    {"SetCameraTargetObject", SetCameraTargetObject},
    {"SetCameraPositionVector", SendOf<Msg::cameraSetPosVecMsg, V3>},
    {"SetCameraTargetPositionVector", SendOf<Msg::cameraSetTargetPosVecMsg, V3>},
    {"SetCameraViewVector", SendOf<Msg::cameraSetViewVecMsg, V3>},
    {"SetCameraZoomMinMax", Limits<Msg::cameraSetZoomMinMax, false>},
    {"SetCameraPhiMinMax", Limits<Msg::cameraSetPhiMinMax, false>},
    {"SetCameraUpVector", SendOf<Msg::cameraSetUpVecMsg, V3>},
    {"SetLetterboxDirection", PostOf<Msg::cameraLetterboxMsg, F32>},
    {"ClampCameraZoomMinMax", Limits<Msg::cameraSetZoomMinMax, true>},
    {"ClampCameraPhiMinMax", Limits<Msg::cameraSetPhiMinMax, true>},
    {"UpdateCameraThird", SendOf<Msg::cameraUpdateThird, V3>},
    {"JumpCameraPosition", PostOf<Msg::cameraSetPosVecImmediateMsg, V3>},
    {"JumpCameraTarget", PostOf<Msg::cameraSetTarVecImmediateMsg, V3>},
    {"JumpCameraPositionTarget", PostOf<Msg::cameraSetPosTarVecImmediateMsg, V3, V3>},
    {"SetCameraMode", PostOf<Msg::cameraSetModeMsg, I32>},
    {nullptr, nullptr},
};

// ---- Entities, player, lanterns and fireflies ----------------------------------------------------

// The functions whose last argument, exact, may be left out: with one value, it is the text.
void TextAndExact(lua_State* L, bool& exact, const char*& text) {
  const int count = lua_gettop(L) >= 2 ? 2 : 1;
  Args a(L, count);
  exact = count == 2 && a.Bool(2);
  text = a.String(1);
}

int CreateEntity(lua_State* L) {
  const char* file = Args(L, 1).String(1);
  PushEntity(L, Game::EntityManager::Instance().CreateEntity(file));
  return 1;
}

int CreateEntityAt(lua_State* L) {
  Args a(L, 7);
  const Vec3 rotation = a.Vector(5);
  const Vec3 position = a.Vector(2);
  const char* file = a.String(1);
  Game::Entity* entity = Game::EntityManager::Instance().CreateEntity(file);
  if (entity) {
    entity->SetPosition(position);
    entity->SetRotation(rotation);
  }
  PushEntity(L, entity);
  return 1;
}

int FindEntityByName(lua_State* L) {
  bool exact = false;
  const char* text = nullptr;
  TextAndExact(L, exact, text);
  const Game::EntityManager& manager = Game::EntityManager::Instance();
  PushEntity(L, exact ? manager.FindByFullName(text) : manager.FindByName(text));
  return 1;
}

int DeleteEntityByName(lua_State* L) {
  bool exact = false;
  const char* text = nullptr;
  TextAndExact(L, exact, text);
  if (exact) return Post<Msg::eManRemoveByFullNameMsg>(text);
  return Post<Msg::eManRemoveByNameMsg>(text);
}

const luaL_Reg kEntities[] = {
    {"CreateDodod", PostOf<Msg::eManAddDododMsg, Str>},
    {"sDododWalkState", PostOf<Msg::graphicsDododWalkStateMsg, F32>},
    {"CreateLantern", PostOf<Msg::eManAddLanternMsg, Str>},
    {"CreateEntity", CreateEntity},
    {"CreateEntityAt", CreateEntityAt},
    {"FindEntityByName", FindEntityByName},
    {"FindEntityByID",
     [](lua_State* L) {
       const int32_t id = Args(L, 1).Integer(1);
       return PushEntity(L, Game::EntityManager::Instance().FindByID(id)), 1;
     }},
    {"DeleteEntityByName", DeleteEntityByName},
    {"DeleteEntityByPtr", PostOf<Msg::eManRemoveByPtrMsg, Ent>},
    {"LanternMessage", PostOf<Msg::graphicsLanternMsg, V4>},
    {"GameFireflyCollided", PostOf<Msg::gameFireflyCollidedMsg, V3, F32>},
    {"GameLanternPosition", PostOf<Msg::gameLanternPositionMsg, V3>},
    {"FireflySpawnMsg", PostOf<Msg::gameFireflySpawnMsg, V3, V3, I32, I32>},
    {"CheckCollision",
     [](lua_State* L) {
       const Vec3 point = Args(L, 3).Vector(1);
       return lua_pushboolean(L, Phy::PhysicsManager::Instance().CheckCollision(point)), 1;
     }},
    {nullptr, nullptr},
};

// ---- Sound -------------------------------------------------------------------------------------

template <bool kMusic>
int Play3D(lua_State* L) {
  Args a(L, 4);
  const Vec3 position = a.Vector(2);
  const char* name = a.String(1);
  return Post<Msg::soundPlay3DMsg>(kMusic, position, name);
}

template <bool kMusic>
int Play2D(lua_State* L) {
  const char* name = Args(L, 1).String(1);
  return Post<Msg::soundPlay2DMsg>(kMusic, name);
}

// The count the game state shows, which the increment posted here changes only at the next delivery.
int IncFFCombo(lua_State* L) {
  Post<Msg::soundIncFFComboMsg>();
  const int32_t combo = Game::GlobalStateData::Exists() ? Game::GlobalStateData::Instance().FireflyCombo() : 0;
  lua_pushinteger(L, combo);
  return 1;
}

const luaL_Reg kSound[] = {
    {"PlayMusic3D", Play3D<true>},
    {"PlayMusic2D", Play2D<true>},
    {"PlaySound3D", Play3D<false>},
    {"PlaySound2D", Play2D<false>},
    {"PlayVineGrowth", PostOf<Msg::soundPlayVineGrowthMsg, Str, Flag>},
    {"StopVineGrowth", PostOf<Msg::soundStopVineGrowthMsg>},
    {"SpiralSwerveSound", PostOf<Msg::soundSpiralSwerveMsg, Flag>},
    {"MusicLayer", PostOf<Msg::soundMusicLayerMsg, I32, I32, Str>},
    {"IncFFCombo", IncFFCombo},
    {"TurnOnOffFFSound", PostOf<Msg::gameFireflySoundOnOff, Flag>},
    {nullptr, nullptr},
};

// ---- Debugging and game mode -------------------------------------------------------------------

// The layer of a line or of the layer switch when the script names none.
constexpr int32_t kDefaultLayer = 0x7FFFFFFF;
// The colour of a line drawn without one.
const Vec3 kDefaultLineColour{1.0f, 1.0f, 1.0f};

int AddDebugLine(lua_State* L) {
  Args a(L, 6);
  const Vec3 end = a.Vector(4);
  const Vec3 start = a.Vector(1);
  return Post<Msg::debugAddLineMsg>(start, end, kDefaultLineColour, kDefaultLayer);
}

// A flag true selects the given layer; false (or no layer) goes back to the default one.
int SetDebugLineLayer(lua_State* L) {
  Args a(L, 2);
  const int32_t layer = a.IsNumber(2) ? a.Integer(2) : kDefaultLayer;
  const bool flag = a.Bool(1);
  return Post<Msg::debugSetLineLayerMsg>(flag ? layer : kDefaultLayer);
}

int SetGameMode(lua_State* L) {
  Args a(L, 1);
  const int32_t mode =
      a.IsBool(1) ? (a.Bool(1) ? ScriptEngine::kGameModeFull : ScriptEngine::kGameModeNone) : a.Integer(1);
  ScriptEngine::Instance().SetGameMode(mode);
  return 0;
}

int ToggleGameMode(lua_State*) {
  ScriptEngine& engine = ScriptEngine::Instance();
  engine.SetGameMode(engine.GameMode() > 0 ? ScriptEngine::kGameModeNone : ScriptEngine::kGameModeFull);
  return 0;
}

const luaL_Reg kDebug[] = {
    {"SetDebug", PostOf<Msg::debugSetMsg, Flag>},
    {"AddDebugLine", AddDebugLine},
    {"AddDebugLineExtra", PostOf<Msg::debugAddLineMsg, V3, V3, V3, I32>},
    {"SetDebugLineLayer", SetDebugLineLayer},
    {"ToggleDebug", PostOf<Msg::debugMsg>},
    {"ToggleGameMode", ToggleGameMode},
    {"SetGameMode", SetGameMode},
    {"IsInGameMode", [](lua_State* L) { return lua_pushinteger(L, ScriptEngine::Instance().GameMode()), 1; }},
    {"GameModeNONE", [](lua_State* L) { return PushNumber(L, ScriptEngine::kGameModeNone); }},
    {"GameModeCAMERA", [](lua_State* L) { return PushNumber(L, ScriptEngine::kGameModeCamera); }},
    {"GameModeFULL", [](lua_State* L) { return PushNumber(L, ScriptEngine::kGameModeFull); }},
    {nullptr, nullptr},
};

// ---- Graphics and game state -------------------------------------------------------------------

int AddMaterialCollection(lua_State* L) {
  Args a(L, 4);
  const char* materials = a.String(4);
  const char* keys = a.String(3);
  const int32_t count = a.Integer(2);
  const char* name = a.String(1);
  ErrorText error{};
  {
    const std::vector<std::string> keyWords = Words(keys);
    const std::vector<std::string> materialNames = Words(materials);
    if (keyWords.size() != static_cast<size_t>(count))
      Keep(error, CountError(keyWords.size(), count, "keys"));
    else if (materialNames.size() != static_cast<size_t>(count))
      Keep(error, CountError(materialNames.size(), count, "materials"));
    else
      Send<Msg::materialCollectionMsg>(name, count, keyWords, materialNames);
  }
  return error[0] ? luaL_error(L, "AddMaterialCollection %s: %s", name, error.data()) : 0;
}

int AddMaterial(lua_State* L) {
  Args a(L, 4);
  const char* parameters = a.String(4);
  const char* keywords = a.String(3);
  const int32_t count = a.Integer(2);
  const char* name = a.String(1);
  ErrorText error{};
  {
    const std::vector<std::string> types = Words(keywords);
    std::string reason;
    if (types.size() != static_cast<size_t>(count)) {
      Keep(error, CountError(types.size(), count, "properties"));
    } else {
      const std::vector<std::string> values = ParametersOf(types, parameters, Gfx::PropertyParameterWords, reason);
      if (!reason.empty())
        Keep(error, reason);
      else
        Send<Msg::materialMsg>(name, count, types, values);
    }
  }
  return error[0] ? luaL_error(L, "AddMaterial %s: %s", name, error.data()) : 0;
}

int AddRenderPass(lua_State* L) {
  Args a(L, 6);
  const char* materials = a.String(6);
  const char* parameters = a.String(5);
  const char* keywords = a.String(4);
  const int32_t materialCount = a.Integer(3);
  const int32_t stateCount = a.Integer(2);
  const char* name = a.String(1);
  ErrorText error{};
  {
    const std::vector<std::string> states = Words(keywords);
    const std::vector<std::string> materialNames = Words(materials);
    std::string reason;
    if (states.size() != static_cast<size_t>(stateCount)) {
      Keep(error, CountError(states.size(), stateCount, "states"));
    } else if (materialNames.size() != static_cast<size_t>(materialCount)) {
      Keep(error, CountError(materialNames.size(), materialCount, "materials"));
    } else {
      const std::vector<std::string> values = ParametersOf(states, parameters, Gfx::StateParameterWords, reason);
      if (!reason.empty())
        Keep(error, reason);
      else
        Send<Msg::renderPassMsg>(name, stateCount, materialCount, states, values, materialNames);
    }
  }
  return error[0] ? luaL_error(L, "AddRenderPass %s: %s", name, error.data()) : 0;
}

// text, x, y, time: a popup of one line on the first on-screen text line.
int AddPopupTextToQueue(lua_State* L) {
  Args a(L, 4);
  const float time = a.Float(4);
  const float y = a.Float(3);
  const float x = a.Float(2);
  const char* text = a.String(1);
  return Post<Msg::gameAddPopupMsgToQueueMsg>(1, x, y, time, text, false);
}

// flag, text, x, y, time: the flag marks the extended kind (a line of poetry).
int AddPopupTextToQueueEX(lua_State* L) {
  Args a(L, 5);
  const float time = a.Float(5);
  const float y = a.Float(4);
  const float x = a.Float(3);
  const char* text = a.String(2);
  const bool flag = a.Bool(1);
  return Post<Msg::gameAddPopupMsgToQueueMsg>(1, x, y, time, text, flag);
}

const luaL_Reg kGraphics[] = {
    {"AddMaterialCollection", AddMaterialCollection},
    {"AddMaterial", AddMaterial},
    {"AddRenderPass", AddRenderPass},
    {"TouchRenderPass", SendOf<Msg::graphicsPassMsg, Str>},
    {"SetResolution", PostOf<Msg::graphicsSetResMsg, I32>},
    {"SetShadow", PostOf<Msg::graphicsSetShadowMsg, I32>},
    {"SetFilter", PostOf<Msg::graphicsSetFilterMsg, I32>},
    {"SetFade", PostOf<Msg::graphicsSetFadeMsg, F32>},
    {"SetBlendFour", PostOf<Msg::graphicsSetBlendFourMsg, V4>},
    {"AddWaterfall", PostOf<Msg::addWaterfallMsg, V3, V3, V3, V3, I32, F32>},
    {"SetIslandHome", PostOf<Msg::gameSetIslandHomeMsg, V3>},
    {"SetIslandRadius", PostOf<Msg::gameSetIslandRadiusMsg, F32>},
    {"AddPopupTextToQueue", AddPopupTextToQueue},
    {"AddPopupTextToQueueEX", AddPopupTextToQueueEX},
    {nullptr, nullptr},
};

// ---- Vines -------------------------------------------------------------------------------------

const luaL_Reg kVines[] = {
    {"FOVfromGrowth", PostOf<Msg::graphicsFOVMsg, F32>},
    {nullptr, nullptr},
};

const luaL_Reg* const kFamilies[] = {kEngine, kInput, kCamera, kEntities, kSound, kDebug, kGraphics, kVines};

}  // namespace

void RegisterGlobalFunctions(lua_State* L) {
  for (const luaL_Reg* family : kFamilies) luaL_register(L, "Global", family);
}

}  // namespace Spt
