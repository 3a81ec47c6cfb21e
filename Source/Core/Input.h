// Input: keyboard, mouse and game controller, read once at the start of every frame.
//
// Turns SDL's events and the state of the first connected game controller into what the game
// reads: eight game buttons, each with a state for this frame and two running timers, and three
// two-axis ranges (movement, camera, and a third driven by the arrow keys). It also keeps the raw
// key and mouse-button state (keys in SDL 1.2's numbering, Core/KeyCodes.h), the mouse position
// and this frame's motion, typed text, and the controller state in XInput's shape. While the window
// has the mouse and the keyboard, the pointer is held at (300, 300) in it, unless a script switched
// that containment off.
//
// The frame loop calls Update (events; false on a quit or window-close request), PollController and
// AdvanceTimers (by the clock's frame time), in that order, before the mail is delivered. Whether the
// game buttons follow the keyboard and mouse or the controller is decided once, by Init. Handles no
// messages; main thread only. Without SDL every query answers "nothing pressed".
#pragma once

#include <cstdint>
#include <string>

#include "Core/Vector2.h"
#include "Util/Singleton.h"

namespace Core {

class InputImp;

enum class ButtonState { Held, Up, Pressed, Released };

// One controller's state as XInput reports it: y axes point up, triggers run from 0 to 255.
struct ControllerState {
  uint32_t packet = 0;  // changes whenever the controller's state does
  uint16_t buttons = 0;
  uint8_t leftTrigger = 0;
  uint8_t rightTrigger = 0;
  int16_t thumbLX = 0;
  int16_t thumbLY = 0;
  int16_t thumbRX = 0;
  int16_t thumbRY = 0;
};

// XInput's button masks.
enum ControllerButton : uint16_t {
  kPadDpadUp = 0x0001,
  kPadDpadDown = 0x0002,
  kPadDpadLeft = 0x0004,
  kPadDpadRight = 0x0008,
  kPadStart = 0x0010,
  kPadBack = 0x0020,
  kPadLeftThumb = 0x0040,
  kPadRightThumb = 0x0080,
  kPadLeftShoulder = 0x0100,
  kPadRightShoulder = 0x0200,
  kPadA = 0x1000,
  kPadB = 0x2000,
  kPadX = 0x4000,
  kPadY = 0x8000,
};

class Input : public Util::Singleton<Input> {
 public:
  static constexpr uint32_t kGameButtonCount = 8;
  static constexpr uint32_t GR_RANGE_NUMBER = 3;
  // Where the pointer is held in the window while contained; the warp there is not the player's
  // motion.
  static constexpr int kCursorHoldX = 300;
  static constexpr int kCursorHoldY = 300;

  void Init();
  void Shutdown();
  bool Update();
  void PollController();
  void AdvanceTimers();

  // Game buttons 0 to 7.
  ButtonState GetButtonState(uint32_t button) const;
  float HeldTime(uint32_t button) const;
  float ReleasedTime(uint32_t button) const;

  // Ranges 0 to 2: the value of this frame, inversion factors applied.
  Vector2 GetRange(uint32_t range) const;
  Vector2 GetInvertedRange(uint32_t range) const;
  void SetInvertedRange(uint32_t range, const Vector2& factors);
  // Sets each factor's sign, keeping its size: true is positive.
  void SetInvertedRange(uint32_t range, bool xPositive, bool yPositive);
  bool IsRangeEnabled(uint32_t range) const;
  void SetRangeEnabled(uint32_t range, bool enabled);
  void ToggleRangeEnabled(uint32_t range);

  // Camera range from the mouse (the start) or from the arrow keys.
  void ToggleCameraSource();
  bool CameraUsesMouse() const { return m_CameraUsesMouse; }

  // Keys by SDL 1.2 number; numbers outside 0 to 322 read as up.
  bool IsKeyDown(int key) const;
  bool IsKeyPressed(int key) const;  // went down during this frame
  // Mouse buttons by SDL number: 1 left, 2 middle, 3 right, 4 and 5 the wheel, 6 and 7 extra.
  bool IsMouseDown(int button) const;
  bool IsMousePressed(int button) const;    // went down during this frame
  bool IsMouseTriggered(int button) const;  // down now, up at the end of the frame before
  Vector2 MouseButtonPosition(int button) const;
  Vector2 MousePosition() const;
  Vector2 MouseMotion() const;  // this frame's relative motion

  // Typed text: the line being typed and the one finished by the last Enter.
  std::string CurrentText() const;
  std::string CompletedText() const;
  // Finishes the current line, as Enter does.
  void ClearText();

  bool IsControllerConnected() const;
  ControllerState Controller() const;  // after the dead zones

  void ShowCursor(bool show);
  // Whether the pointer is held in the window while it has the mouse and the keyboard (the
  // start); off, the pointer moves freely, as editing tools need.
  void ContainCursor(bool contain) { m_CursorContained = contain; }
  bool CursorContained() const { return m_CursorContained; }

 private:
  friend class Util::Singleton<Input>;
  Input();
  ~Input() override;

  bool CheckRange(uint32_t range, const char* comment) const;
  bool CheckButton(uint32_t button) const;
  void InstallBindings(bool controller);

  InputImp* m_MyImp = nullptr;
  bool m_CameraUsesMouse = true;
  bool m_CursorContained = true;
  bool m_ControllerScheme = false;
  float m_Inversion[GR_RANGE_NUMBER][2] = {{1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 1.0f}};
  float m_HeldTime[kGameButtonCount] = {};
  float m_ReleasedTime[kGameButtonCount] = {};
};

}  // namespace Core
