// The table Editor: the functions of the in-game level and island editor's scripts. Those that
// reach the island editor post its messages; the level editor is asked directly for its pick.
#include <cstdio>
#include <cstdlib>

#include "Messaging/Messages.h"
#include "Script/Lua.h"
#include "Util/LevelEditor.h"

namespace Spt {
namespace {

int PrintLine(const char* line) {
  std::fputs(line, stdout);
  std::fflush(stdout);
  return 0;
}

// Three strings; the island editor's message carries each as the integer it reads as (0 when it
// is not a number).
int BuildIslandModel(lua_State* L) {
  Args a(L, 3);
  const int32_t third = std::atoi(a.String(3));
  const int32_t second = std::atoi(a.String(2));
  const int32_t first = std::atoi(a.String(1));
  return Post<Msg::graphicsIslandCreateMsg>(first, second, third);
}

const luaL_Reg kEditor[] = {
    {"AttachedDebugLine", PostOf<Msg::debugAddLineMsg, V3, V3, V3, I32>},
    {"PickEntity", PostOf<Msg::graphicsPickMsg, I32, I32>},
    {"GetCurrentPicked",
     [](lua_State* L) { return lua_pushinteger(L, Util::LevelEditor::Instance().GetCurrentPick()), 1; }},
    {"ResetCurrentPicked", [](lua_State*) { return Util::LevelEditor::Instance().ResetCurrentPick(), 0; }},
    {"BuildIslandModel", BuildIslandModel},
    {"IslandNewXML", [](lua_State*) { return PrintLine("IslandNew\n"); }},
    {"IslandOpenXML", [](lua_State*) { return PrintLine("IslandOpen\n"); }},
    {"IslandRefresh", PostOf<Msg::graphicsIslandRefreshMsg, Str>},
    {"IslandYScale",
     [](lua_State* L) {
       const float scale = Args(L, 1).Float(1);
       return Post<Msg::graphicsIslandYScaleMsg>(scale, scale);
     }},
    {"IslandYScaleSeparate", PostOf<Msg::graphicsIslandYScaleMsg, F32, F32>},
    {"IslandMaterial", PostOf<Msg::graphicsIslandMaterialMsg, Str>},
    {nullptr, nullptr},
};

}  // namespace

void RegisterEditorFunctions(lua_State* L) { luaL_register(L, "Editor", kEditor); }

}  // namespace Spt
