#include "Support/SdlEvents.h"

namespace Testing {
namespace {

bool Push(SDL_Event& event) { return SDL_PushEvent(&event) == 1; }

}  // namespace

bool PushKey(SDL_Keycode key, bool down, bool repeat) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  return Push(event);
}

bool PushKeyStroke(SDL_Keycode key) { return PushKey(key, true) && PushKey(key, false); }

bool PushMouseMotion(int x, int y, int dx, int dy) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  event.motion.xrel = dx;
  event.motion.yrel = dy;
  return Push(event);
}

bool PushMouseButton(uint8_t button, bool down, int x, int y) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.button = button;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  return Push(event);
}

bool PushWheel(int notches) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = notches;
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  return Push(event);
}

bool PushQuit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  return Push(event);
}

bool PushWindowEvent(SDL_Window* window, SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = static_cast<uint8_t>(id);
  event.window.windowID = SDL_GetWindowID(window);
  return Push(event);
}

bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
  const uint64_t end = SDL_GetTicks64() + timeoutMs;
  while (!done()) {
    if (SDL_GetTicks64() > end) return false;
    SDL_PumpEvents();
    SDL_Delay(5);
  }
  return true;
}

}  // namespace Testing
