#include "Core/InputImp.h"

#include <cmath>
#include <cstdlib>

namespace Core {
namespace {

bool ValidKey(int key) { return key >= 0 && key < kKeyCount; }
bool ValidMouseButton(int button) { return button >= 1 && button <= static_cast<int>(kMouseButtonCount); }

int Rank(ButtonState state) {
  switch (state) {
    case ButtonState::Held:
      return 3;
    case ButtonState::Pressed:
      return 2;
    case ButtonState::Released:
      return 1;
    case ButtonState::Up:
      break;
  }
  return 0;
}

bool InsideDeadZone(int16_t x, int16_t y, int zone) { return std::abs(x) <= zone && std::abs(y) <= zone; }

bool SameState(const ControllerState& a, const ControllerState& b) {
  return a.buttons == b.buttons && a.leftTrigger == b.leftTrigger && a.rightTrigger == b.rightTrigger &&
         a.thumbLX == b.thumbLX && a.thumbLY == b.thumbLY && a.thumbRX == b.thumbRX && a.thumbRY == b.thumbRY;
}

}  // namespace

void TextEntry::Key(int key) {
  std::string& line = m_Buffers[m_Current];
  if (key == kKeyReturn) {
    NewLine();
  } else if (key == kKeyBackspace) {
    if (!line.empty()) line.pop_back();
  } else if (key >= 32 && key <= 122) {
    line.push_back(static_cast<char>(key));
  }
}

void TextEntry::NewLine() {
  m_Current = 1 - m_Current;
  m_Buffers[m_Current].clear();
}

ButtonState KeyRule(bool pressedThisFrame, bool downNow, bool downBefore) {
  if (pressedThisFrame) return ButtonState::Pressed;
  if (downNow) return ButtonState::Held;
  if (downBefore) return ButtonState::Released;
  return ButtonState::Up;
}

ButtonState ControllerRule(bool downNow, bool downBefore) {
  if (downNow) return downBefore ? ButtonState::Held : ButtonState::Pressed;
  return downBefore ? ButtonState::Released : ButtonState::Up;
}

ButtonState Strongest(ButtonState a, ButtonState b) { return Rank(b) > Rank(a) ? b : a; }

float MouseRangeAxis(float motion) {
  if (motion == 0.0f) return 0.0f;
  const float value = (motion > 0.0f ? 1.0f : -1.0f) - 1.0f / motion;
  return std::fabs(value) < 0.1f ? 0.0f : value;
}

void ApplyDeadZones(ControllerState& state) {
  if (InsideDeadZone(state.thumbLX, state.thumbLY, kLeftThumbDeadZone)) state.thumbLX = state.thumbLY = 0;
  if (InsideDeadZone(state.thumbRX, state.thumbRY, kRightThumbDeadZone)) state.thumbRX = state.thumbRY = 0;
}

int16_t AxisUp(int16_t sdlAxis) { return sdlAxis == INT16_MIN ? INT16_MAX : static_cast<int16_t>(-sdlAxis); }

uint8_t TriggerByte(int16_t sdlTrigger) {
  return sdlTrigger <= 0 ? 0 : static_cast<uint8_t>(static_cast<int>(sdlTrigger) * 255 / INT16_MAX);
}

void InputImp::BeginFrame() {
  m_Motion = Vector2{};
  m_PreviousKeys = m_Keys;
  m_KeysPressed.reset();
  for (uint32_t i = 0; i < kMouseButtonCount; ++i) m_PreviousMouse[i] = m_Mouse[i];
  m_MousePressed.reset();
  m_PreviousPosition = m_Position;
}

void InputImp::KeyDown(int key) {
  if (!ValidKey(key)) return;
  m_Text.Key(key);
  m_KeysPressed.set(key);
  m_Keys.set(key);
}

void InputImp::KeyUp(int key) {
  if (ValidKey(key)) m_Keys.reset(key);
}

void InputImp::MouseMotion(float x, float y, float dx, float dy) {
  m_Position = Vector2{x, y};
  m_Motion.x += dx;
  m_Motion.y += dy;
}

void InputImp::MouseButtonDown(int button, float x, float y) {
  if (!ValidMouseButton(button)) return;
  m_MousePressed.set(button - 1);
  m_Mouse[button - 1] = MouseButton{true, x, y};
}

void InputImp::MouseButtonUp(int button, float x, float y) {
  if (!ValidMouseButton(button) || button == kMouseWheelUp || button == kMouseWheelDown) return;
  m_Mouse[button - 1] = MouseButton{false, x, y};
}

void InputImp::WheelNotch(int button) {
  if (button != kMouseWheelUp && button != kMouseWheelDown) return;
  m_MousePressed.set(button - 1);
  m_Mouse[button - 1] = MouseButton{false, m_Position.x, m_Position.y};
}

void InputImp::StoreController(const ControllerState* raw) {
  m_PreviousController = m_Controller;
  m_Controller = ControllerState{};
  m_ControllerResult = raw ? 0 : kControllerNotConnected;
  if (!raw) return;
  if (!SameState(*raw, m_LastRaw)) {
    const uint32_t packet = m_LastRaw.packet + 1;
    m_LastRaw = *raw;
    m_LastRaw.packet = packet;
  }
  m_Controller = m_LastRaw;
  ApplyDeadZones(m_Controller);
}

bool InputImp::IsKeyDown(int key) const { return ValidKey(key) && m_Keys.test(key); }
bool InputImp::WasKeyDown(int key) const { return ValidKey(key) && m_PreviousKeys.test(key); }
bool InputImp::IsKeyPressed(int key) const { return ValidKey(key) && m_KeysPressed.test(key); }

const MouseButton* InputImp::Mouse(int button) const {
  return ValidMouseButton(button) ? &m_Mouse[button - 1] : nullptr;
}

const MouseButton* InputImp::PreviousMouse(int button) const {
  return ValidMouseButton(button) ? &m_PreviousMouse[button - 1] : nullptr;
}

bool InputImp::IsMousePressed(int button) const { return ValidMouseButton(button) && m_MousePressed.test(button - 1); }

ButtonState InputImp::BindingState(const Binding& binding) const {
  const int code = static_cast<int>(binding.code);
  switch (binding.kind) {
    case BindingKind::Key:
      return KeyRule(IsKeyPressed(code), IsKeyDown(code), WasKeyDown(code));
    case BindingKind::Mouse: {
      const MouseButton* now = Mouse(code + 1);
      if (!now) return ButtonState::Up;
      return KeyRule(IsMousePressed(code + 1), now->down, PreviousMouse(code + 1)->down);
    }
    case BindingKind::Controller:
      return ControllerRule((m_Controller.buttons & binding.code) != 0,
                            (m_PreviousController.buttons & binding.code) != 0);
  }
  return ButtonState::Up;
}

ButtonState InputImp::GameButtonState(uint32_t button) const {
  ButtonState state = ButtonState::Up;
  if (button >= Input::kGameButtonCount) return state;
  for (const Binding& binding : m_Bindings[button]) state = Strongest(state, BindingState(binding));
  return state;
}

Vector2 InputImp::RangeValue(uint32_t range) const {
  Vector2 value;
  if (range >= Input::GR_RANGE_NUMBER || !m_Ranges[range].enabled) return value;
  const RangeSetup& setup = m_Ranges[range];
  const ControllerState& pad = m_Controller;
  switch (setup.source) {
    case kRangeKeys:
      value.x = (IsKeyDown(setup.keys[0]) ? -1.0f : 0.0f) + (IsKeyDown(setup.keys[1]) ? 1.0f : 0.0f);
      value.y = (IsKeyDown(setup.keys[2]) ? -1.0f : 0.0f) + (IsKeyDown(setup.keys[3]) ? 1.0f : 0.0f);
      break;
    case kRangeMouse:
      value.x = MouseRangeAxis(m_Motion.x);
      value.y = MouseRangeAxis(m_Motion.y);
      break;
    case kRangeLeftThumb:
      value.x = pad.thumbLX / 32768.0f;
      value.y = -pad.thumbLY / 32768.0f;
      break;
    case kRangeRightThumb:
      value.x = pad.thumbRX / 32768.0f;
      value.y = pad.thumbRY / 32768.0f;
      break;
    case kRangeTriggers:
      value.x = value.y = pad.leftTrigger / 255.0f - pad.rightTrigger / 255.0f;
      break;
  }
  return value;
}

}  // namespace Core
