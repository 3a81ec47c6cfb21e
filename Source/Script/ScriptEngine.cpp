#include "Script/ScriptEngine.h"

#include <algorithm>
#include <iterator>

#include "Game/Entity.h"
#include "Game/EntityDefinition.h"
#include "Messaging/Messages.h"
#include "Script/Lua.h"
#include "Util/Assert.h"
#include "Util/ErrorLog.h"
#include "Util/FileAccess.h"
#include "Util/Grid.h"

namespace Spt {
namespace {

constexpr const char* kAssertFile = "Source\\Script\\script_engine";

// The start-up scripts, in the order they run, each with the text its failure is reported by.
struct StartupScript {
  const char* file;
  const char* comment;
};
const StartupScript kStartupScripts[] = {
    {"../../Assets/Scripts/gfx_material_1.lua", "scriptDoFileMsg: error calling luaL_dofile on gfx_material_1"},
    {"../../Assets/Scripts/gfx_material_post.lua", "scriptDoFileMsg: error calling luaL_dofile on gfx_material_post"},
    {"../../Assets/Scripts/gfx_render_passes_1.lua",
     "scriptDoFileMsg: error calling luaL_dofile on gfx_render_passes_2"},
    {"../../Assets/Scripts/game_OnStart.lua", "scriptDoFileMsg: error calling luaL_dofile on game_OnStart"},
};

// The standard libraries the game's scripts get, opened in this order; os, debug and package
// stay closed.
const lua_CFunction kLibraries[] = {luaopen_base, luaopen_math, luaopen_string, luaopen_io, luaopen_table};

constexpr int kCollectStep = 12;

// Sets a global without consulting a metatable a script may have given the globals table, so
// that the engine's own writes can never raise an error outside a protected call.
void SetGlobalFromTop(lua_State* L, const char* name) {
  lua_pushstring(L, name);
  lua_insert(L, -2);
  lua_rawset(L, LUA_GLOBALSINDEX);
}

// The whole script file; false when it cannot be read. An empty file is an empty script.
bool ReadScriptFile(const char* file, std::string& text) {
  size_t length = 0;
  const std::unique_ptr<char[]> contents = Util::LoadTextFile(file, &length);
  if (contents) {
    text.assign(contents.get(), length);
    return true;
  }
  text.clear();
  size_t size = 0;
  return Util::OpenFileWithSize(file, size) != nullptr && size == 0;
}

std::string ErrorText(lua_State* L) {
  const char* text = lua_tostring(L, -1);
  return text ? text : "(error object is not a string)";
}

// The Script element of an entity definition: the component with its definition data, started.
void BuildScript(Game::Entity& entity, Util::XmlReader& reader) {
  const Game::ScriptDefinition definition = Game::ReadScriptDefinition(reader);
  Script* script = new Script(definition.m_File.c_str(), &entity, definition.m_Flag);
  for (const auto& [name, text] : definition.m_Strings) script->AddPersistentString(name, text);
  for (const auto& [name, number] : definition.m_Numbers) script->AddPersistentNumber(name, number, false);
  entity.SetScript(script);
  ScriptEngine::Instance().StartScript(*script);
}

// Stands in a finished script's thread, so that its next resume fails as a dead coroutine's does
// instead of calling whatever the chunk returned.
int DeadScript(lua_State* L) { return luaL_error(L, "cannot resume dead coroutine"); }

}  // namespace

ScriptEngine::~ScriptEngine() {
  if (m_State) Shutdown();
}

bool ScriptEngine::Init() {
  if (m_State) return true;
  m_State = luaL_newstate();
  if (!m_State) return false;
  lua_State* L = m_State;
  for (lua_CFunction open : kLibraries) {
    lua_pushcfunction(L, open);
    lua_call(L, 0, 0);
  }
  RegisterGlobalFunctions(L);
  lua_settop(L, 0);
  RegisterEditorFunctions(L);
  lua_settop(L, 0);
  BindEntityClass(L);
  BindPlayerClass(L);
  lua_settop(L, 0);
  PushPlayer(L);
  SetGlobalFromTop(L, "Player");
  lua_pushstring(L, "Entity");
  m_EntityKey = luaL_ref(L, LUA_REGISTRYINDEX);
  Game::RegisterElementBuilder("Script", BuildScript);
  RunStartupScripts();
  return true;
}

void ScriptEngine::RunStartupScripts() {
  for (const StartupScript& startup : kStartupScripts) {
    std::string error;
    const bool ok = DoFile(startup.file, error);
    if (!ok && !error.empty()) Util::ErrorLog::Instance().ScriptError(error + "\n");
    UTIL_ASSERT_EXPR(ok, "err == 0", startup.comment);
  }
}

bool ScriptEngine::DoFile(const char* file, std::string& error) {
  error.clear();
  std::string text;
  if (!m_State || !file || !ReadScriptFile(file, text)) return false;
  const int top = lua_gettop(m_State);
  const std::string chunkName = std::string("@") + file;
  const bool ok = luaL_loadbuffer(m_State, text.data(), text.size(), chunkName.c_str()) == 0 &&
                  lua_pcall(m_State, 0, LUA_MULTRET, 0) == 0;
  if (!ok) error = ErrorText(m_State);
  lua_settop(m_State, top);
  return ok;
}

bool ScriptEngine::DoString(const char* text, std::string* result) {
  if (!m_State || !text) return false;
  lua_State* L = m_State;
  const int top = lua_gettop(L);
  bool ok = luaL_loadstring(L, text) == 0 && lua_pcall(L, 0, LUA_MULTRET, 0) == 0;
  if (result) {
    if (ok) {
      // The first result, or nil, through the script function tostring.
      lua_settop(L, top + 1);
      lua_getfield(L, LUA_GLOBALSINDEX, "tostring");
      lua_insert(L, top + 1);
      ok = lua_pcall(L, 1, 1, 0) == 0;
    }
    *result = ErrorText(L);
  }
  lua_settop(L, top);
  return ok;
}

bool ScriptEngine::Evaluate(const char* text, std::vector<ScriptValue>& results, std::string& error) {
  results.clear();
  error = m_State ? "" : "the script engine is not running";
  if (!m_State || !text) return false;
  return Spt::Evaluate(m_State, text, results, error);
}

bool ScriptEngine::Shutdown() {
  // Components that outlive the state (none in the game: the entity manager empties first)
  // must not reach into it, nor into the cache, afterwards.
  for (Script* script : Util::AutoList<Script>::All()) script->Detach();
  if (m_State) {
    Game::RegisterElementBuilder("Script", nullptr);
    lua_close(m_State);
    m_State = nullptr;
  }
  m_Failed.clear();
  m_LoadFailed.clear();
  m_Sources.clear();
  m_Gone.clear();
  for (std::vector<Scheduled>& tier : m_Tiers) tier.clear();
  m_TiersVersion = kUnversioned;
  m_EntityKey = 0;
  return true;
}

void ScriptEngine::StartEntityScripts() {
  Util::AutoList<Script>::ForEachLive([this](Script& script) { StartScript(script); });
}

void ScriptEngine::StartScript(Script& script) {
  ++m_Starts;
  script.ReleaseThread();
  if (!m_State) return;
  lua_State* L = m_State;
  // The caller may be a script running in the main state: its stack is left as found.
  const int top = lua_gettop(L);
  lua_State* thread = lua_newthread(L);
  const int reference = luaL_ref(L, LUA_REGISTRYINDEX);
  // The owner is engine-owned (built from a definition file), so holding its userdata keeps no
  // entity alive that would otherwise go.
  PushEntity(L, script.Owner());
  const int entityReference = script.Owner() ? luaL_ref(L, LUA_REGISTRYINDEX) : 0;
  script.SetThread(thread, reference, entityReference);
  PushPlayer(L);
  SetGlobalFromTop(L, "Player");
  lua_settop(L, top);

  const SourceRecord* source = script.Source();
  if (!source || source->m_Text.empty()) return;
  const std::string chunkName = "@" + source->m_File;
  if (luaL_loadbuffer(thread, source->m_Text.data(), source->m_Text.size(), chunkName.c_str()) != 0) {
    // A chunk that does not compile is reported once per reading of its file, but is not the
    // file's reported runtime error: once the file is fixed and reloaded, its first error shows.
    if (m_LoadFailed.insert(source).second)
      Util::ErrorLog::Instance().ScriptError(source->m_File + ": " + ErrorText(thread) + "\n");
    lua_settop(thread, 0);
  }
}

const SourceRecord* ScriptEngine::AddSource(const char* file) {
  if (!file) return nullptr;
  auto found = m_Sources.find(file);
  if (found != m_Sources.end()) return found->second.get();
  auto record = std::make_unique<SourceRecord>();
  record->m_File = file;
  ReadSource(*record);
  return m_Sources.emplace(file, std::move(record)).first->second.get();
}

void ScriptEngine::ReadSource(SourceRecord& record) {
  // A file that cannot be read is no runtime error of the file's: its components load no chunk
  // and never run, and once it is readable and reloaded its first error is reported.
  m_LoadFailed.erase(&record);
  if (!ReadScriptFile(record.m_File.c_str(), record.m_Text))
    Util::ErrorLog::Instance().ScriptError("Loading" + record.m_File + "\n");
}

void ScriptEngine::Update() {
  if (Util::Grid::Exists()) {
    const Util::Grid& grid = Util::Grid::Instance();
    RunSchedule(grid.TierScripts(0), grid.TierScripts(1), grid.TierScripts(2), grid.ScriptTiersVersion());
  }
  if (m_State) lua_gc(m_State, LUA_GCSTEP, kCollectStep);
}

void ScriptEngine::RunSchedule(const std::set<Script*>& near, const std::set<Script*>& middle,
                               const std::set<Script*>& far, uint64_t version) {
  if (version == kUnversioned || version != m_TiersVersion || m_Starts != m_StartsAtTiers) {
    TakeTiers({&near, &middle, &far});
    m_TiersVersion = version;
    m_StartsAtTiers = m_Starts;
  }
  // Each tier's count and starting place are taken before any script of the frame runs.
  m_HalfPhase = (m_HalfPhase + 1) % 2;
  const size_t k = m_Tiers[1].size() / 2;
  m_FifthPhase = (m_FifthPhase + 1) % 5;
  const size_t j = m_Tiers[2].size() / 5;
  m_Running = true;
  RunTier(m_Tiers[0], 0, m_Tiers[0].size());
  RunTier(m_Tiers[1], static_cast<size_t>(m_HalfPhase) * k, k);
  RunTier(m_Tiers[2], static_cast<size_t>(m_FifthPhase) * j, j);
  m_Running = false;
  m_Gone.clear();
}

// A thread with no chunk (its file unreadable or not compiling) has nothing to run and is left
// out.
void ScriptEngine::TakeTiers(const std::set<Script*>* const (&tiers)[3]) {
  for (int tier = 0; tier < 3; ++tier) {
    m_Tiers[tier].clear();
    for (Script* script : *tiers[tier]) {
      lua_State* thread = script->Thread();
      const bool runnable = thread && (lua_status(thread) != 0 || lua_gettop(thread) != 0);
      m_Tiers[tier].push_back({script, runnable ? thread : nullptr, script->EntityReference()});
    }
  }
}

// A script may end entities while it runs: their components are noted as gone (ScriptGone) and
// skipped; the rest of the copy holds live components, whose coroutines no run restarts.
void ScriptEngine::RunTier(const std::vector<Scheduled>& tier, size_t start, size_t count) {
  const size_t size = tier.size();
  for (size_t i = 0; i < count && size; ++i) {
    const Scheduled& entry = tier[(start + i) % size];
    // The next coroutine is fetched while this one runs: with thousands of scripts it is no
    // longer in the cache.
    __builtin_prefetch(tier[(start + i + 1) % size].thread);
    if (!entry.thread) continue;
    if (!m_Gone.empty() && std::find(m_Gone.begin(), m_Gone.end(), entry.script) != m_Gone.end()) continue;
    Resume(*entry.script, entry.thread, entry.entityReference);
  }
}

void ScriptEngine::ScriptGone(const Script* script) {
  if (m_Running) m_Gone.push_back(script);
}

void ScriptEngine::Resume(Script& script, lua_State* thread, int entityReference) {
  lua_State* L = m_State;
  lua_rawgeti(L, LUA_REGISTRYINDEX, m_EntityKey);
  if (entityReference != 0)
    lua_rawgeti(L, LUA_REGISTRYINDEX, entityReference);
  else
    lua_pushnil(L);
  lua_rawset(L, LUA_GLOBALSINDEX);
  const int status = lua_resume(thread, 0);
  if (status > LUA_YIELD) {
    ReportError(script, thread);
  } else if (status == 0) {
    // The chunk returned: its thread has ended, and what it returned is never run.
    lua_settop(thread, 0);
    lua_pushcfunction(thread, DeadScript);
  }
}

void ScriptEngine::ReportError(const Script& script, lua_State* thread) {
  if (const SourceRecord* source = script.Source()) Report(source, source->m_File + ": " + ErrorText(thread));
}

void ScriptEngine::Report(const SourceRecord* source, const std::string& text) {
  if (!m_Failed.insert(source).second) return;
  // The error log prints no line end of its own; each report is a line.
  Util::ErrorLog::Instance().ScriptError(text + "\n");
}

void ScriptEngine::Receive(const Util::Handle<Msg::scriptDoFileMsg>& message) {
  std::string error;
  const bool ok = DoFile(message->m_File.Get(), error);
  if (!ok && !error.empty()) Util::ErrorLog::Instance().ScriptError(error + "\n");
  UTIL_ASSERT_EXPR(ok, "err == 0", "scriptDoFileMsg: error calling luaL_dofile.");
}

void ScriptEngine::Receive(const Util::Handle<Msg::scriptDoStringMsg>& message) { DoString(message->m_Source.Get()); }

void ScriptEngine::Receive(const Util::Handle<Msg::scriptReloadMsg>& message) {
  const char* name = message->m_Name.Get();
  if (!name) return;
  auto found = m_Sources.find(name);
  if (found == m_Sources.end()) {
    AddSource(name);
    return;
  }
  SourceRecord& record = *found->second;
  ReadSource(record);
  Util::AutoList<Script>::ForEachLive([this, &record](Script& script) {
    if (script.Source() == &record) StartScript(script);
  });
}

void ScriptEngine::Receive(const Util::Handle<Msg::eManRemovedMsg>& message) {
  // The entity still lives while its removal is announced; it is found by its ID. Scripts'
  // entries need nothing: they name entities by reference.
  Game::Entity* entity = Game::Entity::Live(message->m_Id);
  if (entity && m_State) ForgetEntity(m_State, entity);
}

}  // namespace Spt
