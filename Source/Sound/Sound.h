// Sound: an entity's sound component, one playing sound instance.
//
// Every sound is on the registry of sounds while it lives and comes from the pool of its size.
// The owning entity deletes it; definition files never give an entity one. What it plays comes
// with the sound engine. Main thread only.
#pragma once

#include "Util/Allocator.h"
#include "Util/AutoList.h"

namespace Snd {

class Sound : public Util::AutoList<Sound>, public Util::Pooled<Sound> {
 public:
  Sound() = default;
  ~Sound() override;
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;
};

}  // namespace Snd
