#include "Sound/SoundEngine.h"

namespace Snd {

void SoundEngine::Init() {}

void SoundEngine::Update() {}

void SoundEngine::Close() {}

}  // namespace Snd
