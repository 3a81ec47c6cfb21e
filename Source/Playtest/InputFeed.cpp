#include "Playtest/InputFeed.h"

#include "Core/Input.h"
#include "Core/KeyCodes.h"

namespace Play {

bool IsSystemInput(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_TEXTEDITING:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
    case SDL_QUIT:
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEREMAPPED:
      return true;
    case SDL_WINDOWEVENT:
      return event.window.event == SDL_WINDOWEVENT_CLOSE;
    default:
      return false;
  }
}

InputFeed::~InputFeed() { Stop(); }

void InputFeed::Start(SystemInput mode) {
  m_Mode = mode;
  if (m_Started || !SDL_WasInit(SDL_INIT_EVENTS)) return;
  m_Started = true;
  SDL_SetEventFilter(&InputFeed::Filter, this);
  SDL_FilterEvents(&InputFeed::Filter, this);
}

void InputFeed::Stop() {
  Disconnect();
  if (m_ControllerSystem) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  m_ControllerSystem = false;
  if (m_Started) SDL_SetEventFilter(nullptr, nullptr);
  m_Started = false;
}

int InputFeed::Filter(void* self, SDL_Event* event) {
  InputFeed& feed = *static_cast<InputFeed*>(self);
  if (feed.m_Injecting.load() || !IsSystemInput(*event)) return 1;
  if (feed.m_Mode != SystemInput::Hold) return 0;
  // The game's own warp to its hold point: never the player's motion.
  if (event->type == SDL_MOUSEMOTION && event->motion.x == Core::Input::kCursorHoldX &&
      event->motion.y == Core::Input::kCursorHoldY)
    return 0;
  // Key repeats and typed text the game never reads; the controller's device events come back as
  // the joystick's, from which SDL makes them again.
  if ((event->type == SDL_KEYDOWN && event->key.repeat) || event->type == SDL_TEXTINPUT ||
      event->type == SDL_TEXTEDITING || event->type == SDL_CONTROLLERDEVICEADDED ||
      event->type == SDL_CONTROLLERDEVICEREMOVED || event->type == SDL_CONTROLLERDEVICEREMAPPED)
    return 0;
  std::lock_guard<std::mutex> lock(feed.m_HeldMutex);
  feed.m_Held.push_back(*event);
  return 0;
}

std::vector<SDL_Event> InputFeed::TakeHeld() {
  std::lock_guard<std::mutex> lock(m_HeldMutex);
  std::vector<SDL_Event> held;
  held.swap(m_Held);
  return held;
}

bool InputFeed::Push(SDL_Event event) {
  if (event.type == 0) return true;  // nothing to queue
  if (m_Observer) m_Observer(event);
  return Own([&] { return SDL_PushEvent(&event) == 1; });
}

bool InputFeed::KeyEvent(int code, bool down, SDL_Event& event) {
  const SDL_Keycode key = Core::SdlKeyFromCode(code);
  if (key == 0) return false;
  event = SDL_Event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  return true;
}

SDL_Event InputFeed::MotionEvent(int x, int y, int dx, int dy) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  event.motion.xrel = dx;
  event.motion.yrel = dy;
  return event;
}

bool InputFeed::MouseButtonEvent(int button, bool down, int x, int y, SDL_Event& event) {
  event = SDL_Event{};
  if (button == 4 || button == 5) {
    if (down) event = WheelEvent(button == 4 ? 1 : -1);
    return true;
  }
  // SDL2 numbers the extra buttons 4 and 5.
  const int sdl = button == 6 ? SDL_BUTTON_X1 : button == 7 ? SDL_BUTTON_X2 : button;
  if (sdl < SDL_BUTTON_LEFT || sdl > SDL_BUTTON_X2) return false;
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.button = static_cast<uint8_t>(sdl);
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  return true;
}

SDL_Event InputFeed::WheelEvent(int notches) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = notches;
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  return event;
}

SDL_Event InputFeed::QuitEvent() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  return event;
}

SDL_Event InputFeed::CloseEvent(SDL_Window* window) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  event.window.windowID = window ? SDL_GetWindowID(window) : 0;
  return event;
}

bool InputFeed::Connect() {
  if (m_Pad) return false;
  if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) {
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    m_ControllerSystem = true;
  }
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Hollowmere play-test pad";
  // Plugging it in queues the device's arrival, which must pass the filter.
  m_Pad = Own([&] {
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    return index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  });
  return m_Pad != nullptr;
}

bool InputFeed::Disconnect() {
  if (!m_Pad) return false;
  const SDL_JoystickID id = SDL_JoystickInstanceID(m_Pad);
  SDL_JoystickClose(m_Pad);
  m_Pad = nullptr;
  return Own([&] {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id) return SDL_JoystickDetachVirtual(i) == 0;
    }
    return false;
  });
}

bool InputFeed::PadButton(const char* name, bool down) {
  const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name);
  if (!m_Pad || button == SDL_CONTROLLER_BUTTON_INVALID) return false;
  return SDL_JoystickSetVirtualButton(m_Pad, button, down ? SDL_PRESSED : SDL_RELEASED) == 0;
}

bool InputFeed::PadAxis(const char* name, int value) {
  const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name);
  if (!m_Pad || axis == SDL_CONTROLLER_AXIS_INVALID) return false;
  const int clamped = value < -32768 ? -32768 : value > 32767 ? 32767 : value;
  return SDL_JoystickSetVirtualAxis(m_Pad, axis, static_cast<int16_t>(clamped)) == 0;
}

}  // namespace Play
