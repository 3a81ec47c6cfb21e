// Script: an entity's script component. It names the Lua file that steers the entity, holds the
// entity's coroutine, and carries the entity's small mailbox of named values (numbers, strings,
// entities) that the definition file, the engine and other scripts hand to the script, and that
// the script collects when it likes.
//
// Every component is on the registry of scripts while it lives and comes from the pool of its
// size. The owning entity deletes it. The flag comes from the definition file and travels with
// eManAddedMsg to the spatial grid, which runs flagged scripts every frame wherever the entity
// is. The script engine gives the component its coroutine (ScriptEngine::StartScript) and resumes
// it on the grid's schedule; the component releases the coroutine's registry reference when it
// goes or is restarted.
//
// Data entries come in two kinds. Persistent entries (from the definition file, or given with a
// mark) are the first ones of their kind and are delivered at every refresh; transient ones follow
// them and are delivered at the next refresh only. Entity entries are always transient, and an
// entry whose entity has died since (by any path) delivers nothing. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Game/EntityRef.h"
#include "Util/Allocator.h"
#include "Util/AutoList.h"

struct lua_State;

namespace Spt {

// A script file's cached text and name, shared by every component of that file; kept by the
// script engine until its shutdown.
struct SourceRecord {
  std::string m_Text;  // empty when the file could not be read
  std::string m_File;
};

class Script : public Util::AutoList<Script>, public Util::Pooled<Script> {
 public:
  // A null file names no file. While the script engine exists the file's source record comes
  // from its cache (read on first use).
  Script(const char* file, Game::Entity* owner, bool flag);
  ~Script() override;
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  bool Flag() const { return m_Flag; }
  Game::Entity* Owner() const { return m_Owner; }
  const std::string& File() const { return m_File; }
  const SourceRecord* Source() const { return m_Source; }

  // The coroutine and the registry reference that keeps it alive (0 when none), and a registry
  // reference to the owner's userdata (0 when none), so that a resume names the entity without a
  // lookup; both set by the engine's StartScript after it released the ones held before.
  lua_State* Thread() const { return m_Thread; }
  int ThreadReference() const { return m_ThreadRef; }
  int EntityReference() const { return m_EntityRef; }
  void SetThread(lua_State* thread, int reference, int entityReference);
  void ReleaseThread();
  // Forgets the coroutine and the source record without touching Lua: the engine's shutdown,
  // before the state closes and the cache goes, for components that outlive it.
  void Detach();

  // Persistent entries: an entry of that name among the persistent ones is overwritten,
  // otherwise a new persistent entry is added after the persistent ones.
  void AddPersistentNumber(const std::string& name, double value, bool mark);
  void AddPersistentString(const std::string& name, const std::string& text);
  // Transient entries, appended.
  void GiveNumber(const std::string& name, double value);
  void GiveString(const std::string& name, const std::string& text);
  void GiveEntity(const std::string& name, Game::Entity* entity);
  // Adds to the first number entry of that name, or appends a transient entry of the amount.
  void AddNumber(const std::string& name, double amount);

  // What a refresh delivers, in order, and the dropping of the transient entries after it.
  size_t NumberCount() const { return m_NumberNames.size(); }
  const std::string& NumberName(size_t i) const { return m_NumberNames[i]; }
  double NumberValue(size_t i) const { return m_NumberValues[i].m_Value; }
  bool NumberMark(size_t i) const { return m_NumberValues[i].m_Mark; }
  void DropTransientNumbers();
  size_t StringCount() const { return m_StringNames.size(); }
  const std::string& StringName(size_t i) const { return m_StringNames[i]; }
  const std::string& StringValue(size_t i) const { return m_StringValues[i]; }
  void DropTransientStrings();
  size_t EntityCount() const { return m_EntityNames.size(); }
  const std::string& EntityName(size_t i) const { return m_EntityNames[i]; }
  // Null once that entity has died.
  Game::Entity* EntityValue(size_t i) const { return m_EntityValues[i].Get(); }
  void DropEntities();

  int32_t PersistentNumbers() const { return m_PersistentNumbers; }
  int32_t PersistentStrings() const { return m_PersistentStrings; }

 private:
  struct NumberEntry {
    double m_Value;
    bool m_Mark;
  };

  bool m_Flag;
  Game::Entity* m_Owner;
  const SourceRecord* m_Source = nullptr;
  lua_State* m_Thread = nullptr;
  int m_ThreadRef = 0;
  int m_EntityRef = 0;
  std::vector<std::string> m_NumberNames;
  std::vector<std::string> m_StringNames;
  std::vector<std::string> m_EntityNames;
  std::vector<NumberEntry> m_NumberValues;
  std::vector<std::string> m_StringValues;
  std::vector<Game::EntityRef> m_EntityValues;
  int32_t m_PersistentNumbers = 0;
  int32_t m_PersistentStrings = 0;
  std::string m_File;
};

}  // namespace Spt
