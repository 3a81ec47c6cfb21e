// The script engine's per-frame cost and the cost of one Global call.
//
// ResumeScripts/n/c: n (1,000 or 10,000) scripted entities, every one near, each resumed once per
// frame by a script that only yields (the schedule's walk, setting the global Entity, the resume
// itself), with (c = 1) or without (c = 0) the frame's incremental collection step. Its anchor,
// BareResume/n/c: a bare Lua state resuming n coroutines of the same body from a C loop, with the
// same collection step. GlobalCall: a script calling a Global function in a loop, per call: one
// that reads a value (IsInGameMode) and one that builds and posts a message (SetFade), the mail
// delivered after each batch.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <lua.hpp>

#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Game/Player.h"
#include "Messaging/Messages.h"
#include "Script/Script.h"
#include "Script/ScriptEngine.h"
#include "Ratio.h"
#include "Util/ErrorLog.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kYieldingScript = "while true do coroutine.yield() end\n";

// An asset tree of its own (start-up scripts, the yielding script and its entity definition),
// worked in from two levels below its root for the run.
class BenchTree {
 public:
  BenchTree() {
    char pattern[] = "/tmp/hollowmere-bench-XXXXXX";
    m_Root = ::mkdtemp(pattern) ? pattern : "/tmp/hollowmere-bench";
    for (const char* name : {"gfx_material_1", "gfx_material_post", "gfx_render_passes_1", "game_OnStart"})
      Write(std::string("Assets/Scripts/") + name + ".lua", "");
    Write("Assets/Scripts/yield.lua", kYieldingScript);
    Write("Assets/Xml/entities/e_Yield.xml",
          "<?xml version=\"1.0\"?><XMLRoot><Entity><string name=\"name\">Yield</string></Entity>"
          "<Script><string name=\"file\">../../Assets/Scripts/yield.lua</string></Script></XMLRoot>");
    fs::create_directories(m_Root + "/run/bin");
    m_OldDir = fs::current_path();
    fs::current_path(m_Root + "/run/bin");
    Spt::ScriptEngine::Instance().Init();
  }
  ~BenchTree() {
    Game::EntityManager::Instance().Shutdown();
    Game::EntityManager::Destroy();
    Spt::ScriptEngine::Instance().Shutdown();
    Spt::ScriptEngine::Destroy();
    Game::Player::Destroy();
    Msg::MailMan::Instance().Shutdown();
    Msg::MailMan::Destroy();
    Util::ErrorLog::Destroy();
    std::error_code ignored;
    fs::current_path(m_OldDir, ignored);
    fs::remove_all(m_Root, ignored);
  }

 private:
  void Write(const std::string& relative, const std::string& text) {
    const fs::path path = fs::path(m_Root) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }

  std::string m_Root;
  fs::path m_OldDir;
};

void ResumeScripts(benchmark::State& state) {
  const BenchTree tree;
  std::set<Spt::Script*> near;
  for (int64_t i = 0; i < state.range(0); ++i)
    near.insert(Game::EntityManager::Instance().CreateEntity("../../Assets/Xml/entities/e_Yield.xml")->GetScript());
  Msg::MailMan::Instance().Deliver();
  Spt::ScriptEngine& engine = Spt::ScriptEngine::Instance();
  // The tiers stay the same from frame to frame, as the grid's do while nothing moves between
  // them: one version throughout.
  constexpr uint64_t kTiersVersion = 1;
  for (auto _ : state) {
    engine.RunSchedule(near, {}, {}, kTiersVersion);
    if (state.range(1)) engine.Update();  // no grid here: only the collection step
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// With setGlobal, each resume is preceded by what the game's scripts need and a bare loop does
// not: the global Entity set to a userdata of the coroutine's own (from a registry reference).
void Bare(benchmark::State& state, bool setGlobal) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  std::vector<lua_State*> threads;
  std::vector<int> userdata;
  for (int64_t i = 0; i < state.range(0); ++i) {
    threads.push_back(lua_newthread(L));
    luaL_ref(L, LUA_REGISTRYINDEX);
    luaL_loadstring(threads.back(), kYieldingScript);
    lua_newuserdata(L, sizeof(void*));
    userdata.push_back(luaL_ref(L, LUA_REGISTRYINDEX));
  }
  lua_pushstring(L, "Entity");
  const int key = luaL_ref(L, LUA_REGISTRYINDEX);
  for (auto _ : state) {
    for (size_t i = 0; i < threads.size(); ++i) {
      if (setGlobal) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, key);
        lua_rawgeti(L, LUA_REGISTRYINDEX, userdata[i]);
        lua_rawset(L, LUA_GLOBALSINDEX);
      }
      lua_resume(threads[i], 0);
    }
    if (state.range(1)) lua_gc(L, LUA_GCSTEP, 12);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  lua_close(L);
}

void BareResume(benchmark::State& state) { Bare(state, false); }
void BareResumeSettingEntity(benchmark::State& state) { Bare(state, true); }

constexpr int kCallsPerBatch = 1000;

void GlobalCall(benchmark::State& state, const char* call) {
  const BenchTree tree;
  const std::string chunk = "for i = 1, " + std::to_string(kCallsPerBatch) + " do " + call + " end";
  Spt::ScriptEngine& engine = Spt::ScriptEngine::Instance();
  for (auto _ : state) {
    engine.DoString(chunk.c_str());
    Msg::MailMan::Instance().Deliver();
  }
  state.SetItemsProcessed(state.iterations() * kCallsPerBatch);
}

}  // namespace

BENCHMARK(BareResume)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BareResumeSettingEntity)
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(ResumeScripts)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GlobalCall, getter, "Global.IsInGameMode()")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GlobalCall, post, "Global.SetFade(0.5)")->Unit(benchmark::kMicrosecond);

BENCH_MAIN_WITH_RATIOS({"ResumeScripts/1000/1", "BareResume/1000/1"}, {"ResumeScripts/10000/1", "BareResume/10000/1"},
                       {"ResumeScripts/1000/1", "BareResumeSettingEntity/1000/1"},
                       {"ResumeScripts/10000/1", "BareResumeSettingEntity/10000/1"})
