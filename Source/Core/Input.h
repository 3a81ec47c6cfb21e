// Input: keyboard, mouse and controller, read once at the start of every frame.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Core {

class Input : public Util::Singleton<Input> {
 public:
  void Init();
  void Shutdown();
  bool Update();  // false when the window system asks the game to quit
  void PollController();
  void AdvanceTimers();

 private:
  friend class Util::Singleton<Input>;
  Input();
  ~Input() override;

  bool m_Initialized = false;
};

}  // namespace Core
