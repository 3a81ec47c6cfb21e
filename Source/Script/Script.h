// Script: an entity's script component, naming the Lua file that steers the entity.
//
// Every component is on the registry of scripts while it lives and comes from the pool of its
// size. The owning entity deletes it. The flag comes from the definition file and travels with
// eManAddedMsg to the spatial grid, which runs flagged scripts every frame wherever the entity
// is. The coroutine and the data the script exchanges come with the script engine. Main thread
// only.
#pragma once

#include <string>

#include "Util/Allocator.h"
#include "Util/AutoList.h"

namespace Game {
class Entity;
}

namespace Spt {

class Script : public Util::AutoList<Script>, public Util::Pooled<Script> {
 public:
  // A null file names no file.
  Script(const char* file, Game::Entity* owner, bool flag);
  ~Script() override;
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  bool Flag() const { return m_Flag; }
  Game::Entity* Owner() const { return m_Owner; }
  const std::string& File() const { return m_File; }

 private:
  bool m_Flag;
  Game::Entity* m_Owner;
  std::string m_File;
};

}  // namespace Spt
