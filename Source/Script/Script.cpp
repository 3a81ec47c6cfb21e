#include "Script/Script.h"

#include <algorithm>

#include "Script/Lua.h"
#include "Script/ScriptEngine.h"

namespace Spt {

Script::Script(const char* file, Game::Entity* owner, bool flag)
    : m_Flag(flag), m_Owner(owner), m_File(file ? file : "") {
  if (file && ScriptEngine::Exists()) m_Source = ScriptEngine::Instance().AddSource(file);
}

Script::~Script() {
  ReleaseThread();
  if (ScriptEngine::Exists()) ScriptEngine::Instance().ScriptGone(this);
}

void Script::SetThread(lua_State* thread, int reference, int entityReference) {
  m_Thread = thread;
  m_ThreadRef = reference;
  m_EntityRef = entityReference;
}

void Script::ReleaseThread() {
  if (m_Thread) {
    // The thread shares the main state's registry.
    if (m_EntityRef != 0) luaL_unref(m_Thread, LUA_REGISTRYINDEX, m_EntityRef);
    if (m_ThreadRef != 0) luaL_unref(m_Thread, LUA_REGISTRYINDEX, m_ThreadRef);
  }
  m_Thread = nullptr;
  m_ThreadRef = 0;
  m_EntityRef = 0;
}

void Script::Detach() {
  m_Thread = nullptr;
  m_ThreadRef = 0;
  m_EntityRef = 0;
  m_Source = nullptr;
}

namespace {

// The first entry of that name among the first `limit` names; -1 when none.
ptrdiff_t Find(const std::vector<std::string>& names, const std::string& name, size_t limit) {
  const auto end = names.begin() + static_cast<ptrdiff_t>(std::min(limit, names.size()));
  const auto it = std::find(names.begin(), end, name);
  return it == end ? -1 : it - names.begin();
}

}  // namespace

// A new persistent entry goes before the transient ones, so that a refresh, which keeps the
// leading persistent-count entries, keeps it and drops exactly the transient ones.
void Script::AddPersistentNumber(const std::string& name, double value, bool mark) {
  const ptrdiff_t at = Find(m_NumberNames, name, static_cast<size_t>(m_PersistentNumbers));
  if (at >= 0) {
    m_NumberValues[static_cast<size_t>(at)] = NumberEntry{value, mark};
    return;
  }
  m_NumberNames.insert(m_NumberNames.begin() + m_PersistentNumbers, name);
  m_NumberValues.insert(m_NumberValues.begin() + m_PersistentNumbers, NumberEntry{value, mark});
  ++m_PersistentNumbers;
}

void Script::AddPersistentString(const std::string& name, const std::string& text) {
  const ptrdiff_t at = Find(m_StringNames, name, static_cast<size_t>(m_PersistentStrings));
  if (at >= 0) {
    m_StringValues[static_cast<size_t>(at)] = text;
    return;
  }
  m_StringNames.insert(m_StringNames.begin() + m_PersistentStrings, name);
  m_StringValues.insert(m_StringValues.begin() + m_PersistentStrings, text);
  ++m_PersistentStrings;
}

void Script::GiveNumber(const std::string& name, double value) {
  m_NumberNames.push_back(name);
  m_NumberValues.push_back(NumberEntry{value, false});
}

void Script::GiveString(const std::string& name, const std::string& text) {
  m_StringNames.push_back(name);
  m_StringValues.push_back(text);
}

void Script::GiveEntity(const std::string& name, Game::Entity* entity) {
  m_EntityNames.push_back(name);
  m_EntityValues.push_back(entity);
}

void Script::AddNumber(const std::string& name, double amount) {
  const ptrdiff_t at = Find(m_NumberNames, name, m_NumberNames.size());
  if (at >= 0)
    m_NumberValues[static_cast<size_t>(at)].m_Value += amount;
  else
    GiveNumber(name, amount);
}

void Script::DropTransientNumbers() {
  m_NumberNames.resize(static_cast<size_t>(m_PersistentNumbers));
  m_NumberValues.resize(static_cast<size_t>(m_PersistentNumbers));
}

void Script::DropTransientStrings() {
  m_StringNames.resize(static_cast<size_t>(m_PersistentStrings));
  m_StringValues.resize(static_cast<size_t>(m_PersistentStrings));
}

void Script::DropEntities() {
  m_EntityNames.clear();
  m_EntityValues.clear();
}

}  // namespace Spt
