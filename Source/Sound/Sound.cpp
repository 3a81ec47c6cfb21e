#include "Sound/Sound.h"

#include "Game/Entity.h"
#include "Sound/SoundEngine.h"
#include "Util/XmlReader.h"

namespace Snd {

Sound::~Sound() {
  if (SoundEngine::Exists()) SoundEngine::Instance().SoundGone(this);
}

void Sound::Build(Game::Entity& entity, Util::XmlReader& reader) {
  if (!reader.Enter()) return;
  const std::string name = reader.Get<std::string>("name");
  reader.Leave();
  entity.SetSound(new Sound(&entity, name));
}

}  // namespace Snd
