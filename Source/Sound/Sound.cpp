#include "Sound/Sound.h"

namespace Snd {

Sound::~Sound() = default;

}  // namespace Snd
