// ScriptEngine: the game's one Lua state, its start-up scripts, and the coroutines of the
// entities' script components.
//
// Init opens the state with the base, math, string, io and table libraries, registers the Global
// and Editor function tables, binds Game::Entity and Game::Player as script classes, publishes
// the player as the global Player, registers the builder of the Script element of entity
// definition files, and runs the four start-up scripts (materials, material post-processing,
// render passes, the game's opening). Each script component gets its own coroutine from
// StartScript; Update, once per frame after physics, resumes them on the spatial grid's schedule
// (near ones every frame, middle ones every second frame, far ones every fifth) with the global
// Entity naming the component's entity, then takes one small step of garbage collection. The
// first error of each script file is printed through the error log; later ones are not.
//
// Script files are read once and cached by exact name (AddSource); scriptReloadMsg reads one
// again and restarts the components of that file. Handles scriptDoFileMsg, scriptDoStringMsg and
// scriptReloadMsg, and eManRemovedMsg, so that a removed entity's userdata stops pointing at it.
// Shut down after the entity manager is emptied. Main thread only; Lua stays behind this
// subsystem.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "Messaging/MailBox.h"
#include "Script/Script.h"
#include "Script/ScriptValue.h"
#include "Util/Singleton.h"

struct lua_State;

namespace Spt {

class ScriptEngine : public Util::Singleton<ScriptEngine>, public Msg::MailBox {
 public:
  static constexpr int32_t kGameModeNone = 0;
  static constexpr int32_t kGameModeCamera = 1;
  static constexpr int32_t kGameModeFull = 2;

  // True when a state exists. Running it again keeps the state it has.
  bool Init();
  void Update();
  // Closes the state; components still alive are detached from it first.
  bool Shutdown();
  // Start-up, after the first entities were built: every live component starts afresh.
  void StartEntityScripts();

  // A fresh coroutine for the component with its file's chunk loaded, ready for its first resume.
  void StartScript(Script& script);
  // The cached record of a file, read and cached first when absent.
  const SourceRecord* AddSource(const char* file);

  // One frame's schedule over three ordered sets of components (the grid's tiers): every near
  // one, the next half of the middle ones, the next fifth of the far ones. A version that is the
  // same as last time (the grid's ScriptTiersVersion) says the sets are unchanged, so the copy the
  // engine keeps of them is used again; without one the sets are read afresh.
  static constexpr uint64_t kUnversioned = ~uint64_t{0};
  void RunSchedule(const std::set<Script*>& near, const std::set<Script*>& middle, const std::set<Script*>& far,
                   uint64_t version = kUnversioned);

  // Runs a chunk of Lua text in the main state (the way in of scriptDoStringMsg and of tools);
  // false when it fails, reporting nothing. `result`, if given, receives the chunk's first result
  // as text (as the script function tostring gives it), or the error message.
  bool DoString(const char* text, std::string* result = nullptr);
  // Runs a chunk of Lua text in the main state and gives back all its results as plain values
  // (the way tools look into the running game); false with the error's text when it fails.
  bool Evaluate(const char* text, std::vector<ScriptValue>& results, std::string& error);

  // The game mode scripts set and read: 0 none, 1 camera, 2 full.
  int32_t GameMode() const { return m_GameMode; }
  void SetGameMode(int32_t mode) { m_GameMode = mode; }

  bool IsOpen() const { return m_State != nullptr; }
  // Script files whose first error has been reported.
  size_t FailedSources() const { return m_Failed.size(); }

  // A component that is going away: a frame's schedule in progress skips it.
  void ScriptGone(const Script* script);

  void Receive(const Util::Handle<Msg::scriptDoFileMsg>& message) override;
  void Receive(const Util::Handle<Msg::scriptDoStringMsg>& message) override;
  void Receive(const Util::Handle<Msg::scriptReloadMsg>& message) override;
  void Receive(const Util::Handle<Msg::eManRemovedMsg>& message) override;

 private:
  friend class Util::Singleton<ScriptEngine>;
  ScriptEngine() : Singleton(true) {}
  ~ScriptEngine() override;

  void RunStartupScripts();
  // Loads a script file into the main state and calls it; the Lua error (or "" when the file
  // could not be read) on failure.
  bool DoFile(const char* file, std::string& error);
  // A component of a tier, with what a resume needs, so the walk reads one array.
  struct Scheduled {
    Script* script;
    lua_State* thread;
    int entityReference;
  };
  void TakeTiers(const std::set<Script*>* const (&tiers)[3]);
  void RunTier(const std::vector<Scheduled>& tier, size_t start, size_t count);
  void Resume(Script& script, lua_State* thread, int entityReference);
  void ReportError(const Script& script, lua_State* thread);
  void Report(const SourceRecord* source, const std::string& message);
  void ReadSource(SourceRecord& record);

  // Source records by exact file name; their addresses stay put.
  std::unordered_map<std::string, std::unique_ptr<SourceRecord>> m_Sources;
  lua_State* m_State = nullptr;
  std::set<const SourceRecord*> m_Failed;
  // Files whose chunk failed to compile, reported once until the file is read again.
  std::set<const SourceRecord*> m_LoadFailed;
  int32_t m_HalfPhase = 0;
  int32_t m_FifthPhase = 0;
  int32_t m_GameMode = kGameModeNone;
  // The tiers as last read, the version they were read at and the count of coroutines started
  // then (a start changes what an entry holds).
  std::vector<Scheduled> m_Tiers[3];
  uint64_t m_TiersVersion = kUnversioned;
  uint64_t m_StartsAtTiers = 0;
  uint64_t m_Starts = 0;
  // Components that went while this frame's schedule was running.
  std::vector<const Script*> m_Gone;
  bool m_Running = false;
  // A registry reference to the string "Entity", the global a resumed script reads its entity by.
  int m_EntityKey = 0;
};

}  // namespace Spt
