#include "Core/Input.h"

#include <SDL.h>

#include <cmath>

#include "Core/Clock.h"
#include "Core/InputImp.h"
#include "Core/KeyCodes.h"

namespace Core {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Core\\core_input";
constexpr const char* kRangeComment = "Input::gsInvertedRange: range number out of bounds";

// The bindings Init installs, per game button: keyboard and mouse, and controller.
struct KeyboardBindings {
  uint32_t count;
  Binding bindings[2];
};

constexpr uint32_t kMouseLeft = 0;
constexpr uint32_t kMouseRight = 2;

const KeyboardBindings kKeyboardButtons[Input::kGameButtonCount] = {
    {1, {{BindingKind::Key, kKeySpace}}},
    {2, {{BindingKind::Key, kKeyLeftShift}, {BindingKind::Key, kKeyRightShift}}},
    {1, {{BindingKind::Key, kKeyEscape}}},
    {1, {{BindingKind::Key, 'c'}}},
    {2, {{BindingKind::Key, kKeyLeftCtrl}, {BindingKind::Key, kKeyRightCtrl}}},
    {1, {{BindingKind::Mouse, kMouseLeft}}},
    {1, {{BindingKind::Mouse, kMouseRight}}},
    {1, {{BindingKind::Key, 'v'}}},
};

const uint16_t kControllerButtons[Input::kGameButtonCount] = {
    kPadA, kPadX, kPadStart, kPadY, kPadB, kPadLeftShoulder, kPadRightShoulder, kPadDpadUp,
};

const RangeSetup kArrowKeys = {true, kRangeKeys, {kKeyLeft, kKeyRight, kKeyUp, kKeyDown}};
const RangeSetup kMouseMotion = {true, kRangeMouse, {}};

const RangeSetup kKeyboardRanges[Input::GR_RANGE_NUMBER] = {
    {true, kRangeKeys, {'a', 'd', 'w', 's'}},
    kMouseMotion,
    kArrowKeys,
};

const RangeSetup kControllerRanges[Input::GR_RANGE_NUMBER] = {
    {true, kRangeLeftThumb, {}},
    {true, kRangeRightThumb, {}},
    {false, kRangeKeys, {kKeyLeft, kKeyRight, kKeyUp, kKeyDown}},
};

const float kKeyboardInversion[Input::GR_RANGE_NUMBER][2] = {{1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 1.0f}};
const float kControllerInversion[Input::GR_RANGE_NUMBER][2] = {{1.0f, 1.0f}, {-1.0f, -1.0f}, {1.0f, 1.0f}};

// SDL2's controller buttons against XInput's masks.
struct PadButton {
  SDL_GameControllerButton sdl;
  uint16_t mask;
};

const PadButton kPadButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadDpadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDpadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadDpadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadDpadRight},
    {SDL_CONTROLLER_BUTTON_START, kPadStart},
    {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, kPadLeftThumb},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, kPadRightThumb},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadRightShoulder},
    {SDL_CONTROLLER_BUTTON_A, kPadA},
    {SDL_CONTROLLER_BUTTON_B, kPadB},
    {SDL_CONTROLLER_BUTTON_X, kPadX},
    {SDL_CONTROLLER_BUTTON_Y, kPadY},
};

ControllerState ReadController(SDL_GameController* pad) {
  ControllerState state;
  for (const PadButton& button : kPadButtons) {
    if (SDL_GameControllerGetButton(pad, button.sdl)) state.buttons |= button.mask;
  }
  state.leftTrigger = TriggerByte(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
  state.rightTrigger = TriggerByte(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
  state.thumbLX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  state.thumbLY = AxisUp(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
  state.thumbRX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
  state.thumbRY = AxisUp(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
  return state;
}

SDL_GameController* OpenController(const InputImp& imp) {
  return imp.m_ControllerId >= 0 ? SDL_GameControllerFromInstanceID(imp.m_ControllerId) : nullptr;
}

// Opens the first connected controller unless one is open already.
void OpenFirstController(InputImp& imp) {
  if (!imp.m_ControllerSystem || OpenController(imp)) return;
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (!SDL_IsGameController(i)) continue;
    SDL_GameController* pad = SDL_GameControllerOpen(i);
    if (!pad) continue;
    imp.m_ControllerId = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    return;
  }
}

void CloseController(InputImp& imp) {
  if (SDL_GameController* pad = OpenController(imp)) SDL_GameControllerClose(pad);
  imp.m_ControllerId = -1;
}

// SDL2 numbers the extra mouse buttons 4 and 5 and reports the wheel apart; SDL 1.2 gave the
// wheel 4 and 5 and the extra buttons 6 and 7.
int MouseButtonFromSdl(uint8_t button) {
  if (button == SDL_BUTTON_X1) return 6;
  if (button == SDL_BUTTON_X2) return 7;
  return button;
}

// Handles one event; false for a quit or window-close request.
bool HandleEvent(InputImp& imp, const SDL_Event& event, bool dropMotion) {
  switch (event.type) {
    case SDL_KEYDOWN:
      // SDL 1.2 sent no key repeats unless asked to; a held key is one press.
      if (!event.key.repeat) imp.KeyDown(KeyCodeFromSdl(event.key.keysym.sym));
      break;
    case SDL_KEYUP:
      imp.KeyUp(KeyCodeFromSdl(event.key.keysym.sym));
      break;
    case SDL_MOUSEMOTION:
      if (!dropMotion) {
        imp.MouseMotion(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y),
                        static_cast<float>(event.motion.xrel), static_cast<float>(event.motion.yrel));
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
      imp.MouseButtonDown(MouseButtonFromSdl(event.button.button), static_cast<float>(event.button.x),
                          static_cast<float>(event.button.y));
      break;
    case SDL_MOUSEBUTTONUP:
      imp.MouseButtonUp(MouseButtonFromSdl(event.button.button), static_cast<float>(event.button.x),
                        static_cast<float>(event.button.y));
      break;
    case SDL_MOUSEWHEEL: {
      const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      if (notches != 0) imp.WheelNotch(notches > 0 ? kMouseWheelUp : kMouseWheelDown);
      break;
    }
    case SDL_QUIT:
      return false;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) return false;
      break;
    case SDL_CONTROLLERDEVICEADDED:
      OpenFirstController(imp);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (event.cdevice.which == imp.m_ControllerId) {
        CloseController(imp);
        OpenFirstController(imp);
      }
      break;
    default:
      break;
  }
  return true;
}

bool PumpEvents(InputImp& imp, bool dropMotion) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (!HandleEvent(imp, event, dropMotion)) return false;
  }
  return true;
}

}  // namespace

Input::Input() : Singleton(true) {}

Input::~Input() {
  if (!UTIL_ASSERT(m_MyImp == 0, "Input destructor called without system being shut down.")) Shutdown();
}

void Input::Init() {
  if (!UTIL_ASSERT(m_MyImp == 0, "Attempting to Initialize an already initialized input system.")) return;
  m_MyImp = new InputImp;
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_DISABLE);
  // The controller's state is read whether or not the window has the focus, as XInput reads it;
  // SDL would otherwise drop presses while another window is active.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  m_MyImp->m_ControllerSystem = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  OpenFirstController(*m_MyImp);
  PollController();
  InstallBindings(m_MyImp->ControllerConnected());
}

void Input::InstallBindings(bool controller) {
  m_ControllerScheme = controller;
  m_CameraUsesMouse = true;
  for (uint32_t b = 0; b < kGameButtonCount; ++b) {
    std::vector<Binding>& bindings = m_MyImp->m_Bindings[b];
    bindings.clear();
    if (controller) {
      bindings.push_back(Binding{BindingKind::Controller, kControllerButtons[b]});
    } else {
      const KeyboardBindings& row = kKeyboardButtons[b];
      bindings.assign(row.bindings, row.bindings + row.count);
    }
  }
  for (uint32_t r = 0; r < GR_RANGE_NUMBER; ++r) {
    m_MyImp->m_Ranges[r] = controller ? kControllerRanges[r] : kKeyboardRanges[r];
    m_Inversion[r][0] = controller ? kControllerInversion[r][0] : kKeyboardInversion[r][0];
    m_Inversion[r][1] = controller ? kControllerInversion[r][1] : kKeyboardInversion[r][1];
  }
}

void Input::Shutdown() {
  if (!UTIL_ASSERT(m_MyImp != 0, "Attempting to Shutdown an uninitialized input system.")) return;
  CloseController(*m_MyImp);
  if (m_MyImp->m_ControllerSystem) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  delete m_MyImp;
  m_MyImp = nullptr;
}

bool Input::Update() {
  if (!m_MyImp) return true;
  m_MyImp->BeginFrame();
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return true;
  if (!PumpEvents(*m_MyImp, false)) return false;
  // The pointer is held only while the window has both the mouse and the keyboard, so that it is
  // free as soon as the player turns to another window. The warp's own motion is not the player's.
  SDL_Window* window = m_CursorContained ? SDL_GetMouseFocus() : nullptr;
  if (window && SDL_GetKeyboardFocus() == window) {
    SDL_WarpMouseInWindow(window, kCursorHoldX, kCursorHoldY);
    if (!PumpEvents(*m_MyImp, true)) return false;
  }
  return true;
}

void Input::PollController() {
  if (!m_MyImp) return;
  SDL_GameController* pad = nullptr;
  if (m_MyImp->m_ControllerSystem) {
    SDL_GameControllerUpdate();
    pad = OpenController(*m_MyImp);
  }
  if (pad && SDL_GameControllerGetAttached(pad)) {
    const ControllerState raw = ReadController(pad);
    m_MyImp->StoreController(&raw);
  } else {
    m_MyImp->StoreController(nullptr);
  }
}

void Input::AdvanceTimers() {
  const float dt = static_cast<float>(Clock::Instance().FrameTime());
  for (uint32_t b = 0; b < kGameButtonCount; ++b) {
    switch (GetButtonState(b)) {
      case ButtonState::Held:
        m_HeldTime[b] += dt;
        break;
      case ButtonState::Up:
        m_ReleasedTime[b] += dt;
        break;
      case ButtonState::Pressed:
        m_ReleasedTime[b] = 0.0f;
        break;
      case ButtonState::Released:
        m_HeldTime[b] = 0.0f;
        break;
    }
  }
}

bool Input::CheckButton(uint32_t button) const {
  return UTIL_ASSERT(button < kGameButtonCount, "Input: game button number out of bounds");
}

bool Input::CheckRange(uint32_t range, const char* comment) const {
  return UTIL_ASSERT_EXPR(range < GR_RANGE_NUMBER, "gr < GR_RANGE_NUMBER", comment);
}

ButtonState Input::GetButtonState(uint32_t button) const {
  if (!CheckButton(button) || !m_MyImp) return ButtonState::Up;
  return m_MyImp->GameButtonState(button);
}

float Input::HeldTime(uint32_t button) const { return CheckButton(button) ? m_HeldTime[button] : 0.0f; }

float Input::ReleasedTime(uint32_t button) const { return CheckButton(button) ? m_ReleasedTime[button] : 0.0f; }

Vector2 Input::GetRange(uint32_t range) const {
  if (!CheckRange(range, "Input::GetRange: range number out of bounds") || !m_MyImp) return Vector2{};
  const Vector2 value = m_MyImp->RangeValue(range);
  return Vector2{value.x * m_Inversion[range][0], value.y * m_Inversion[range][1]};
}

Vector2 Input::GetInvertedRange(uint32_t range) const {
  if (!CheckRange(range, kRangeComment)) return Vector2{1.0f, 1.0f};
  return Vector2{m_Inversion[range][0], m_Inversion[range][1]};
}

void Input::SetInvertedRange(uint32_t range, const Vector2& factors) {
  if (!CheckRange(range, kRangeComment)) return;
  m_Inversion[range][0] = factors.x;
  m_Inversion[range][1] = factors.y;
}

void Input::SetInvertedRange(uint32_t range, bool xPositive, bool yPositive) {
  if (!CheckRange(range, kRangeComment)) return;
  m_Inversion[range][0] = xPositive ? std::fabs(m_Inversion[range][0]) : -std::fabs(m_Inversion[range][0]);
  m_Inversion[range][1] = yPositive ? std::fabs(m_Inversion[range][1]) : -std::fabs(m_Inversion[range][1]);
}

bool Input::IsRangeEnabled(uint32_t range) const {
  if (!CheckRange(range, "Input::IsRangeEnabled: range number out of bounds") || !m_MyImp) return false;
  return m_MyImp->m_Ranges[range].enabled;
}

void Input::SetRangeEnabled(uint32_t range, bool enabled) {
  if (!CheckRange(range, "Input::SetRangeEnabled: range number out of bounds") || !m_MyImp) return;
  m_MyImp->m_Ranges[range].enabled = enabled;
}

void Input::ToggleRangeEnabled(uint32_t range) {
  if (!CheckRange(range, "Input::ToggleRangeEnabled: range number out of bounds") || !m_MyImp) return;
  m_MyImp->m_Ranges[range].enabled = !m_MyImp->m_Ranges[range].enabled;
}

void Input::ToggleCameraSource() {
  m_CameraUsesMouse = !m_CameraUsesMouse;
  // The controller's camera is its right stick whatever the keyboard scheme does.
  if (!m_MyImp || m_ControllerScheme) return;
  RangeSetup& camera = m_MyImp->m_Ranges[1];
  if (!m_CameraUsesMouse) {
    const bool enabled = camera.enabled;
    camera = kArrowKeys;
    camera.enabled = enabled;
    return;
  }
  camera = kMouseMotion;
  m_MyImp->m_Bindings[5] = {Binding{BindingKind::Mouse, kMouseLeft}};
  m_MyImp->m_Bindings[6] = {Binding{BindingKind::Mouse, kMouseRight}};
}

bool Input::IsKeyDown(int key) const { return m_MyImp && m_MyImp->IsKeyDown(key); }

bool Input::IsKeyPressed(int key) const { return m_MyImp && m_MyImp->IsKeyPressed(key); }

bool Input::IsMouseDown(int button) const {
  const MouseButton* state = m_MyImp ? m_MyImp->Mouse(button) : nullptr;
  return state && state->down;
}

bool Input::IsMousePressed(int button) const { return m_MyImp && m_MyImp->IsMousePressed(button); }

bool Input::IsMouseTriggered(int button) const {
  const MouseButton* before = m_MyImp ? m_MyImp->PreviousMouse(button) : nullptr;
  return before && IsMouseDown(button) && !before->down;
}

Vector2 Input::MouseButtonPosition(int button) const {
  const MouseButton* state = m_MyImp ? m_MyImp->Mouse(button) : nullptr;
  return state ? Vector2{state->x, state->y} : Vector2{};
}

Vector2 Input::MousePosition() const { return m_MyImp ? m_MyImp->m_Position : Vector2{}; }

Vector2 Input::MouseMotion() const { return m_MyImp ? m_MyImp->m_Motion : Vector2{}; }

std::string Input::CurrentText() const { return m_MyImp ? m_MyImp->m_Text.Current() : std::string(); }

std::string Input::CompletedText() const { return m_MyImp ? m_MyImp->m_Text.Completed() : std::string(); }

void Input::ClearText() {
  if (m_MyImp) m_MyImp->m_Text.NewLine();
}

bool Input::IsControllerConnected() const { return m_MyImp && m_MyImp->ControllerConnected(); }

ControllerState Input::Controller() const { return m_MyImp ? m_MyImp->m_Controller : ControllerState{}; }

void Input::ShowCursor(bool show) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace Core
