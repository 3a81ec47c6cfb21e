// A game controller made by SDL itself (a virtual joystick with SDL's standard controller layout),
// so that the game's controller path runs without a device: plugged in on construction, unplugged
// on destruction or by Unplug. Buttons and axes are SDL's game-controller ones; the game sees a new
// value at its next controller poll.
#pragma once

#include <SDL.h>

namespace Testing {

class VirtualController {
 public:
  VirtualController();
  ~VirtualController();
  VirtualController(const VirtualController&) = delete;
  VirtualController& operator=(const VirtualController&) = delete;

  bool Attached() const { return m_Joystick != nullptr; }
  void SetButton(SDL_GameControllerButton button, bool down);
  void SetAxis(SDL_GameControllerAxis axis, int16_t value);
  void Unplug();

 private:
  SDL_Joystick* m_Joystick = nullptr;
  bool m_Started = false;
};

}  // namespace Testing
