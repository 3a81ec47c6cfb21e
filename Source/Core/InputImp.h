// InputImp: the state behind Core::Input, fed by Input's SDL event pump and controller poll.
//
// It holds the key, mouse and controller state of this frame and the frame before, the typed
// text, and for each range and game button what drives it. Events arrive already in SDL 1.2's
// numbering (keys 0 to 322, mouse buttons 1 to 7); anything outside is ignored. Knows nothing of
// SDL, so its rules are tested on their own. Private to Core.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "Core/Input.h"
#include "Core/KeyCodes.h"

namespace Core {

constexpr uint32_t kMouseButtonCount = 7;
constexpr int kMouseWheelUp = 4;
constexpr int kMouseWheelDown = 5;
// Thumb-stick dead zones, as XInput recommends: both axes inside means the stick is at rest.
constexpr int kLeftThumbDeadZone = 7848;
constexpr int kRightThumbDeadZone = 8688;
// XInput's answer for a missing controller; 0 means connected.
constexpr uint32_t kControllerNotConnected = 1167;

enum RangeSource : uint32_t {
  kRangeKeys = 0,
  kRangeMouse = 1,
  kRangeLeftThumb = 2,
  kRangeRightThumb = 3,
  kRangeTriggers = 4,
};

struct RangeSetup {
  bool enabled = false;
  RangeSource source = kRangeKeys;
  int keys[4] = {0, 0, 0, 0};  // negative x, positive x, negative y, positive y
};

enum class BindingKind { Key, Mouse, Controller };

// What drives a game button: a key number, a mouse button index (SDL number - 1) or a mask.
struct Binding {
  BindingKind kind;
  uint32_t code;
};

struct MouseButton {
  bool down = false;
  float x = 0.0f;
  float y = 0.0f;
};

// Typed text in two buffers: keys append to the current one; Enter makes it the finished line and
// starts the other one empty.
class TextEntry {
 public:
  void Key(int key);
  void NewLine();
  const std::string& Current() const { return m_Buffers[m_Current]; }
  const std::string& Completed() const { return m_Buffers[1 - m_Current]; }

 private:
  std::string m_Buffers[2];
  int m_Current = 0;
};

// The rules of one binding's state.
ButtonState KeyRule(bool pressedThisFrame, bool downNow, bool downBefore);
ButtonState ControllerRule(bool downNow, bool downBefore);
// Held beats pressed, pressed beats released, released beats up.
ButtonState Strongest(ButtonState a, ButtonState b);
// One axis of the mouse range from this frame's motion in pixels.
float MouseRangeAxis(float motion);
// Sticks at rest read 0, 0.
void ApplyDeadZones(ControllerState& state);
// SDL2's controller values in XInput's ranges: y axes turned to point up, triggers to 0 to 255.
int16_t AxisUp(int16_t sdlAxis);
uint8_t TriggerByte(int16_t sdlTrigger);

class InputImp {
 public:
  // Start of a frame's events: this frame's changes are cleared and the current state becomes the
  // previous one.
  void BeginFrame();
  void KeyDown(int key);
  void KeyUp(int key);
  void MouseMotion(float x, float y, float dx, float dy);
  void MouseButtonDown(int button, float x, float y);
  void MouseButtonUp(int button, float x, float y);
  // A wheel notch is a press and release within one frame: pressed, never left down.
  void WheelNotch(int button);
  // The controller's state for this frame, or null when none is connected.
  void StoreController(const ControllerState* raw);

  bool IsKeyDown(int key) const;
  bool WasKeyDown(int key) const;
  bool IsKeyPressed(int key) const;
  const MouseButton* Mouse(int button) const;  // null outside 1 to 7
  const MouseButton* PreviousMouse(int button) const;
  bool IsMousePressed(int button) const;

  ButtonState BindingState(const Binding& binding) const;
  ButtonState GameButtonState(uint32_t button) const;
  // The range's value before the inversion factors.
  Vector2 RangeValue(uint32_t range) const;

  bool ControllerConnected() const { return m_ControllerResult == 0; }

  TextEntry m_Text;
  Vector2 m_Motion;
  Vector2 m_Position;
  Vector2 m_PreviousPosition;
  ControllerState m_Controller;
  ControllerState m_PreviousController;
  uint32_t m_ControllerResult = kControllerNotConnected;
  RangeSetup m_Ranges[Input::GR_RANGE_NUMBER];
  std::vector<Binding> m_Bindings[Input::kGameButtonCount];
  // The open SDL controller's instance, -1 for none; whether SDL's controller support started.
  int32_t m_ControllerId = -1;
  bool m_ControllerSystem = false;

 private:
  std::bitset<kKeyCount> m_Keys;
  std::bitset<kKeyCount> m_PreviousKeys;
  std::bitset<kKeyCount> m_KeysPressed;
  MouseButton m_Mouse[kMouseButtonCount];
  MouseButton m_PreviousMouse[kMouseButtonCount];
  std::bitset<kMouseButtonCount> m_MousePressed;
  ControllerState m_LastRaw;
};

}  // namespace Core
