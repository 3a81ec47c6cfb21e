// Input through real SDL: events pushed into SDL's queue, the pointer on the virtual display, and
// a virtual game controller. Each test opens the game's window and input as the engine does.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <utility>

#include "Core/Clock.h"
#include "Core/Input.h"
#include "Core/KeyCodes.h"
#include "Core/Window.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Support/Printed.h"
#include "Support/SdlEvents.h"
#include "Support/VirtualController.h"

using Core::ButtonState;
using Core::Input;
using Testing::PushKey;
using Range = std::pair<float, float>;

namespace {

class InputOnDisplay : public testing::Test {
 protected:
  void SetUp() override {
    Clock::Instance().SetTimeSource(m_Time);
    int opened = 0;
    Testing::Printed([&opened] { opened = Core::Window::Instance().init(); });
    ASSERT_EQ(opened, 0);
    m_Window = Core::Window::Instance().Handle();
    if (m_PadAtStart) m_Pad = std::make_unique<Testing::VirtualController>();
    // The window takes the pointer and the keyboard, as when the player clicks it. It is small and
    // in the corner the game's centred window leaves free, so that other programs on the display
    // (the engine's tests) do not take the pointer from it.
    Input::Instance().Init();
    SDL_SetWindowSize(m_Window, kSide, kSide);
    SDL_SetWindowPosition(m_Window, kLeft, kTop);
    Testing::PumpUntil([this] {
      int x = 0, y = 0;
      SDL_GetWindowPosition(m_Window, &x, &y);
      return x == kLeft && y == kTop;
    });
    SDL_WarpMouseInWindow(m_Window, kSide / 2, kSide / 2);
    SDL_SetWindowInputFocus(m_Window);
    Testing::PumpUntil([this] { return SDL_GetKeyboardFocus() == m_Window && SDL_GetMouseFocus() == m_Window; });
    Frame();
  }
  void TearDown() override {
    if (Input::Exists()) Input::Instance().Shutdown();
    Input::Destroy();
    m_Pad.reset();
    Core::Window::Instance().shutdown();
    Core::Window::Destroy();
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
    EXPECT_EQ(m_Recorder.Texts(), std::vector<std::string>{});
  }

  // One frame's input steps, as the engine runs them, after a frame of the given length.
  bool Frame(double ms = 33.0) {
    m_Time.AdvanceMs(ms);
    Clock::Instance().BeginFrame();
    const bool going = In().Update();
    In().PollController();
    In().AdvanceTimers();
    return going;
  }

  static constexpr int kLeft = 1600;
  static constexpr int kTop = 740;
  static constexpr int kSide = 318;

  static Input& In() { return Input::Instance(); }
  static std::pair<int, int> Pointer() {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
  }
  static ButtonState Button(uint32_t b) { return In().GetButtonState(b); }
  static Range RangeOf(uint32_t range) { return {In().GetRange(range).x, In().GetRange(range).y}; }

  Testing::AssertRecorder m_Recorder;
  Testing::FakeTimeSource m_Time;
  SDL_Window* m_Window = nullptr;
  std::unique_ptr<Testing::VirtualController> m_Pad;
  bool m_PadAtStart = false;
};

// A controller plugged in before input starts: the game buttons and ranges follow it.
class ControllerAtStartUp : public InputOnDisplay {
 protected:
  ControllerAtStartUp() { m_PadAtStart = true; }
};

}  // namespace

TEST_F(InputOnDisplay, KeysArePressedHeldAndReleasedWithTheirTimesAndTypeText) {
  // Down and up within one frame: pressed, then up rather than released.
  ASSERT_TRUE(Testing::PushKeyStroke(SDLK_SPACE));
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Pressed);
  EXPECT_TRUE(In().IsKeyPressed(Core::kKeySpace) && !In().IsKeyDown(Core::kKeySpace));
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Up);

  // Held for three frames of 33 ms: pressed, held, held with 66 ms.
  PushKey(SDLK_SPACE, true);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Pressed);
  EXPECT_EQ(In().ReleasedTime(0), 0.0f);
  PushKey(SDLK_SPACE, true, true);  // the system's key repeat is not a new press
  Frame();
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Held);
  EXPECT_EQ(In().HeldTime(0), 66.0f);
  PushKey(SDLK_SPACE, false);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Released);
  EXPECT_EQ(In().HeldTime(0), 0.0f);
  Frame(40.0);
  EXPECT_EQ(In().ReleasedTime(0), 40.0f);

  In().ClearText();  // finishes the line of spaces, as Enter does
  EXPECT_EQ(In().CompletedText(), "  ");
  for (SDL_Keycode key : {SDLK_h, SDLK_i, SDLK_BACKSPACE, SDLK_o, SDLK_SPACE, SDLK_1, SDLK_RETURN, SDLK_a, SDLK_UP})
    Testing::PushKeyStroke(key);
  Frame();
  EXPECT_EQ(In().CompletedText(), "ho 1");
  EXPECT_EQ(In().CurrentText(), "a");
}

TEST_F(InputOnDisplay, EachGameButtonFollowsItsKeysOrMouseButtonAloneAndTheMouseUsesSdl12Numbers) {
  const struct {
    uint32_t button;
    SDL_Keycode key;  // or, when 0, a mouse button
    uint8_t mouse;
  } bindings[] = {{0, SDLK_SPACE, 0},       {1, SDLK_LSHIFT, 0}, {1, SDLK_RSHIFT, 0}, {2, SDLK_ESCAPE, 0},
                  {3, SDLK_c, 0},           {4, SDLK_LCTRL, 0},  {4, SDLK_RCTRL, 0},  {5, 0, SDL_BUTTON_LEFT},
                  {6, 0, SDL_BUTTON_RIGHT}, {7, SDLK_v, 0}};
  for (const auto& row : bindings) {
    SCOPED_TRACE(testing::Message() << "key " << row.key << " mouse " << int{row.mouse});
    const auto press = [&row](bool down) {
      row.key ? PushKey(row.key, down) : Testing::PushMouseButton(row.mouse, down, 41, 51);
    };
    press(true);
    Frame();
    for (uint32_t b = 0; b < Input::kGameButtonCount; ++b)
      EXPECT_EQ(Button(b), b == row.button ? ButtonState::Pressed : ButtonState::Up) << b;
    if (row.mouse) {
      EXPECT_TRUE(In().IsMouseTriggered(row.mouse) && In().MouseButtonPosition(row.mouse).x == 41.0f);
    }
    press(false);
    Frame();
    EXPECT_EQ(Button(row.button), ButtonState::Released);
    Frame();
  }
  // Motion, the wheel (pressed, never left down) and the extra buttons, which SDL 1.2 numbered 6 and 7.
  Testing::PushMouseMotion(120, 200, 20, -2);
  Testing::PushWheel(1);
  Testing::PushMouseButton(SDL_BUTTON_X1, true, 5, 5);
  Frame();
  EXPECT_EQ(RangeOf(1), Range(0.95f, -0.5f));
  EXPECT_EQ(In().MousePosition().x, 120.0f);
  EXPECT_TRUE(In().IsMousePressed(4) && !In().IsMouseDown(4) && In().IsMouseDown(6));
  Testing::PushWheel(-2);
  Frame();
  EXPECT_EQ(RangeOf(1), Range(0, 0));
  EXPECT_TRUE(In().IsMousePressed(5) && !In().IsMousePressed(4) && !In().IsMouseTriggered(6));
  EXPECT_FALSE(In().IsControllerConnected());
}

TEST_F(InputOnDisplay, QuitRequestOrClosingTheWindowEndsTheUpdateAndLeavesLaterEventsQueued) {
  Testing::PushQuit();
  PushKey(SDLK_x, true);
  EXPECT_FALSE(Frame());
  EXPECT_FALSE(In().IsKeyDown('x'));
  EXPECT_TRUE(Frame());
  EXPECT_TRUE(In().IsKeyDown('x'));
  Testing::PushWindowEvent(m_Window, SDL_WINDOWEVENT_CLOSE);
  EXPECT_FALSE(Frame());
  EXPECT_TRUE(Frame());
}

TEST_F(InputOnDisplay, PointerIsHeldAt300By300WhileTheWindowHasItAndTheKeyboardAndFreeOtherwise) {
  EXPECT_EQ(Pointer(), std::make_pair(kLeft + 300, kTop + 300));
  // A real movement within the window counts; the warp back does not.
  SDL_WarpMouseGlobal(kLeft + 312, kTop + 300);
  Testing::PumpUntil([] {
    int x = 0;
    SDL_GetMouseState(&x, nullptr);
    return x == 312;
  });
  Frame();
  EXPECT_EQ(In().MouseMotion().x, 12.0f);
  EXPECT_EQ(In().MousePosition().x, 312.0f);  // where the player put it, not the warp
  Frame();
  EXPECT_EQ(In().MouseMotion().x, 0.0f);

  SDL_Window* other = SDL_CreateWindow("other", 0, 0, 100, 100, 0);
  ASSERT_NE(other, nullptr);
  SDL_SetWindowInputFocus(other);
  SDL_WarpMouseInWindow(m_Window, 100, 100);
  ASSERT_TRUE(Testing::PumpUntil([&] { return SDL_GetKeyboardFocus() == other && SDL_GetMouseFocus() == m_Window; }));
  Frame();
  EXPECT_EQ(Pointer(), std::make_pair(kLeft + 100, kTop + 100));
  SDL_DestroyWindow(other);
  SDL_WarpMouseGlobal(5, 5);
  ASSERT_TRUE(Testing::PumpUntil([] { return SDL_GetMouseFocus() == nullptr; }));
  Frame();
  Frame();
  EXPECT_EQ(Pointer(), std::make_pair(5, 5));
}

TEST_F(InputOnDisplay, TheCameraRangeTogglesToTheArrowKeysAndInversionAndEnabledFlagsShapeTheRanges) {
  In().ToggleCameraSource();
  EXPECT_FALSE(In().CameraUsesMouse());
  for (SDL_Keycode key : {SDLK_LEFT, SDLK_DOWN, SDLK_a, SDLK_w}) PushKey(key, true);
  Testing::PushMouseMotion(0, 0, 20, 20);
  In().SetInvertedRange(0, Core::Vector2{-2.0f, 0.5f});
  In().SetInvertedRange(0, true, false);
  Frame();
  EXPECT_EQ(RangeOf(1), Range(-1, 1));
  EXPECT_EQ(RangeOf(2), Range(-1, 1));  // the arrow range reads the same keys
  EXPECT_EQ(RangeOf(0), Range(-2, 0.5f));
  In().ToggleRangeEnabled(0);
  EXPECT_EQ(RangeOf(0), Range(0, 0));
  In().ToggleCameraSource();
  Testing::PushMouseMotion(0, 0, 20, 0);
  Frame();
  EXPECT_EQ(RangeOf(1), Range(0.95f, 0));

  In().SetInvertedRange(3, Core::Vector2{5.0f, 5.0f});
  In().GetRange(7);
  In().GetButtonState(8);
  ASSERT_EQ(m_Recorder.Count(), 3u);
  EXPECT_EQ(m_Recorder.Heads()[0],
            Testing::AssertRecorder::Head("gr < GR_RANGE_NUMBER", "Input::gsInvertedRange: range number out of bounds",
                                          "..\\..\\Source\\Core\\core_input"));
  m_Recorder.Clear();
}

TEST_F(ControllerAtStartUp, ButtonsArriveAsXInputMasksAndDriveTheGameButtonsAndTheKeyboardDoesNot) {
  EXPECT_TRUE(In().IsControllerConnected());
  PushKey(SDLK_SPACE, true);
  Testing::PushMouseButton(SDL_BUTTON_LEFT, true, 1, 1);
  Frame();
  EXPECT_EQ(std::make_pair(Button(0), Button(5)), std::make_pair(ButtonState::Up, ButtonState::Up));

  const struct {
    SDL_GameControllerButton sdl;
    uint16_t mask;
    int gameButton;  // -1: none
  } pad[] = {
      // clang-format off
      {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001, 7}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002, -1},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004, -1}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008, -1},
      {SDL_CONTROLLER_BUTTON_START, 0x0010, 2}, {SDL_CONTROLLER_BUTTON_BACK, 0x0020, -1},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040, -1}, {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080, -1},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100, 5}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200, 6},
      {SDL_CONTROLLER_BUTTON_A, 0x1000, 0}, {SDL_CONTROLLER_BUTTON_B, 0x2000, 4},
      {SDL_CONTROLLER_BUTTON_X, 0x4000, 1}, {SDL_CONTROLLER_BUTTON_Y, 0x8000, 3},
      {SDL_CONTROLLER_BUTTON_GUIDE, 0x0000, -1},
      // clang-format on
  };
  for (const auto& button : pad) {
    SCOPED_TRACE(SDL_GameControllerGetStringForButton(button.sdl));
    for (ButtonState expected : {ButtonState::Pressed, ButtonState::Held, ButtonState::Released}) {
      m_Pad->SetButton(button.sdl, expected != ButtonState::Released);
      Frame();
      if (expected == ButtonState::Pressed) {
        EXPECT_EQ(In().Controller().buttons, button.mask);
      }
      for (int b = 0; b < static_cast<int>(Input::kGameButtonCount); ++b)
        EXPECT_EQ(Button(b), b == button.gameButton ? expected : ButtonState::Up) << b;
    }
  }
}

TEST_F(ControllerAtStartUp, SticksAndTriggersArriveInXInputsShapeAndPassTheDeadZonesIntoTheRanges) {
  const SDL_GameControllerAxis axes[] = {SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY,
                                         SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY,
                                         SDL_CONTROLLER_AXIS_TRIGGERLEFT};
  const int16_t pushed[] = {8000, -32768, 16384, 16384, 32767};  // SDL's y axes point down
  for (int i = 0; i < 5; ++i) m_Pad->SetAxis(axes[i], pushed[i]);
  Frame();
  const Core::ControllerState pad = In().Controller();
  EXPECT_EQ((std::array<int, 6>{pad.thumbLX, pad.thumbLY, pad.thumbRX, pad.thumbRY, pad.leftTrigger, pad.rightTrigger}),
            (std::array<int, 6>{8000, 32767, 16384, -16384, 255, 0}));
  EXPECT_NEAR(In().GetRange(0).x, 0.2441f, 1e-4);
  EXPECT_NEAR(In().GetRange(0).y, -1.0f, 1e-4);
  EXPECT_EQ(RangeOf(1), Range(-0.5f, 0.5f));  // the camera stick is inverted on both axes for the controller
  EXPECT_FALSE(In().IsRangeEnabled(2));

  const int16_t resting[] = {5000, 5000, 8000, -8000, 0};
  for (int i = 0; i < 5; ++i) m_Pad->SetAxis(axes[i], resting[i]);
  Frame();
  EXPECT_EQ(RangeOf(0), Range(0, 0));
  EXPECT_EQ(RangeOf(1), Range(0, 0));
}

TEST_F(InputOnDisplay, AControllerPluggedInLaterIsFollowedButTheKeyboardKeepsTheButtons) {
  m_Pad = std::make_unique<Testing::VirtualController>();
  Frame();
  EXPECT_TRUE(In().IsControllerConnected());
  m_Pad->SetButton(SDL_CONTROLLER_BUTTON_A, true);
  PushKey(SDLK_SPACE, true);
  Frame();
  EXPECT_TRUE(In().Controller().buttons & Core::kPadA);
  PushKey(SDLK_SPACE, false);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Released);  // the keyboard, not the still-held A
  m_Pad->Unplug();
  Frame();
  EXPECT_FALSE(In().IsControllerConnected());
  EXPECT_EQ(In().Controller().buttons, 0);
  m_Pad = std::make_unique<Testing::VirtualController>();
  Frame();
  EXPECT_TRUE(In().IsControllerConnected());
}
