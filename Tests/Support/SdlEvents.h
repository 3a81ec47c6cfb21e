// Events as the window system delivers them, queued with SDL_PushEvent for Input::Update to take,
// and a wait for SDL's own view of the window (focus, size) to settle. Need SDL's events running.
#pragma once

#include <SDL.h>

#include <functional>

namespace Testing {

bool PushKey(SDL_Keycode key, bool down, bool repeat = false);
// A key pressed and let go again.
bool PushKeyStroke(SDL_Keycode key);
bool PushMouseMotion(int x, int y, int dx, int dy);
bool PushMouseButton(uint8_t button, bool down, int x, int y);
bool PushWheel(int notches);
bool PushQuit();
bool PushWindowEvent(SDL_Window* window, SDL_WindowEventID event);

// Pumps SDL's events (leaving them queued) until the condition holds; false after the time-out.
bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs = 3000);

}  // namespace Testing
