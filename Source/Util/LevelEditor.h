// LevelEditor: brings up the in-game editor's entities and serves its dialogs.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Util {

class LevelEditor : public Util::Singleton<LevelEditor> {
 public:
  void Init();

 private:
  friend class Util::Singleton<LevelEditor>;
  LevelEditor() : Singleton(true) {}
};

}  // namespace Util
