// Sound: an entity's sound component, a positional sound that starts where its entity stands.
//
// Built from the Sound element of an entity definition (its string "name" is the descriptor of
// the sound, as the catalogue lists it). The sound engine starts it at its next update, at the
// owner's position, and marks it started; it plays once or, for a music descriptor, loops. The
// owning entity deletes it; a looping sound stops with it. Every sound is on the registry of
// sounds while it lives and comes from the pool of its size. Main thread only.
#pragma once

#include <string>
#include <utility>

#include "Util/Allocator.h"
#include "Util/AutoList.h"

namespace Game {
class Entity;
}  // namespace Game

namespace Util {
class XmlReader;
}

namespace Snd {

class Sound : public Util::AutoList<Sound>, public Util::Pooled<Sound> {
 public:
  Sound() = default;
  Sound(Game::Entity* owner, std::string name) : m_Owner(owner), m_Name(std::move(name)) {}
  ~Sound() override;
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  Game::Entity* Owner() const { return m_Owner; }
  const std::string& Name() const { return m_Name; }
  bool Started() const { return m_Started; }
  void MarkStarted() { m_Started = true; }

  // The builder of the Sound element of entity definitions.
  static void Build(Game::Entity& entity, Util::XmlReader& reader);

 private:
  Game::Entity* m_Owner = nullptr;
  std::string m_Name;
  bool m_Started = false;
};

}  // namespace Snd
