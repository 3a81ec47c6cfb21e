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
using Core::Window;
using Testing::PushKey;
using Testing::PushMouseMotion;

namespace {

class InputOnDisplay : public testing::Test {
 protected:
  void SetUp() override {
    OpenWindow();
    if (!HasFatalFailure()) Start();
  }
  void TearDown() override {
    if (m_InputStarted) {
      Input::Instance().Shutdown();
      Input::Destroy();
    }
    m_Pad.reset();
    Window::Instance().shutdown();
    Window::Destroy();
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
    EXPECT_EQ(m_Recorder.Count(), 0u) << (m_Recorder.Count() ? m_Recorder.Texts()[0] : "");
  }

  void OpenWindow() {
    Clock::Instance().SetTimeSource(m_Time);
    int opened = 0;
    Testing::Printed([&opened] { opened = Window::Instance().init(); });
    ASSERT_EQ(opened, 0);
    m_Window = Window::Instance().Handle();
  }
  // Starts input as the engine does and gives the window the pointer and the keyboard, as a window
  // manager would when the player clicks it. The window is made small and put in the corner of the
  // screen the game's centred window leaves free, so that other programs on the same display (the
  // engine's tests) do not take the pointer from it.
  void Start() {
    Input::Instance().Init();
    m_InputStarted = true;
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
  void PlugInController() { m_Pad = std::make_unique<Testing::VirtualController>(); }

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
  static void ExpectRange(uint32_t range, float x, float y) {
    EXPECT_FLOAT_EQ(In().GetRange(range).x, x) << "range " << range;
    EXPECT_FLOAT_EQ(In().GetRange(range).y, y) << "range " << range;
  }

  Testing::AssertRecorder m_Recorder;
  Testing::FakeTimeSource m_Time;
  SDL_Window* m_Window = nullptr;
  std::unique_ptr<Testing::VirtualController> m_Pad;
  bool m_InputStarted = false;
};

// A controller plugged in before input starts: the game buttons and ranges follow it.
class ControllerAtStartUp : public InputOnDisplay {
 protected:
  void SetUp() override {
    OpenWindow();
    if (HasFatalFailure()) return;
    PlugInController();
    ASSERT_TRUE(m_Pad->Attached()) << SDL_GetError();
    Start();
  }
};

}  // namespace

TEST_F(InputOnDisplay, KeyDownAndUpInOneFrameIsPressedThenUp) {
  ASSERT_TRUE(Testing::PushKeyStroke(SDLK_SPACE));
  ASSERT_TRUE(Frame());
  EXPECT_EQ(Button(0), ButtonState::Pressed);
  EXPECT_TRUE(In().IsKeyPressed(Core::kKeySpace));
  EXPECT_FALSE(In().IsKeyDown(Core::kKeySpace));
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Up);
}

TEST_F(InputOnDisplay, TypedTextFollowsEnterAndBackspace) {
  for (SDL_Keycode key : {SDLK_h, SDLK_i, SDLK_BACKSPACE, SDLK_o, SDLK_SPACE, SDLK_1, SDLK_RETURN, SDLK_a, SDLK_UP})
    Testing::PushKeyStroke(key);
  Frame();
  EXPECT_EQ(In().CompletedText(), "ho 1");
  EXPECT_EQ(In().CurrentText(), "a");
}

TEST_F(InputOnDisplay, HoldingSpaceForThreeFramesIsPressedHeldHeldWith66Milliseconds) {
  PushKey(SDLK_SPACE, true);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Pressed);
  EXPECT_TRUE(In().IsKeyPressed(Core::kKeySpace));
  EXPECT_FLOAT_EQ(In().ReleasedTime(0), 0.0f);
  PushKey(SDLK_SPACE, true, true);  // the system's key repeat is not a new press
  Frame();
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Held);
  EXPECT_FLOAT_EQ(In().HeldTime(0), 66.0f);
  EXPECT_EQ(In().CurrentText(), " ");
  In().ClearText();  // finishes the line, as Enter does
  EXPECT_EQ(In().CurrentText(), "");
  EXPECT_EQ(In().CompletedText(), " ");
  PushKey(SDLK_SPACE, false);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Released);
  EXPECT_FLOAT_EQ(In().HeldTime(0), 0.0f);
  Frame(40.0);
  EXPECT_FLOAT_EQ(In().ReleasedTime(0), 40.0f);
}

TEST_F(InputOnDisplay, KeyboardSchemeBindsShiftsCtrlsLettersAndMouseButtons) {
  for (SDL_Keycode key : {SDLK_RSHIFT, SDLK_LCTRL, SDLK_ESCAPE, SDLK_v, SDLK_c}) PushKey(key, true);
  Testing::PushMouseButton(SDL_BUTTON_LEFT, true, 40, 50);
  Testing::PushMouseButton(SDL_BUTTON_RIGHT, true, 41, 51);
  Frame();
  for (uint32_t b = 0; b < Input::kGameButtonCount; ++b) {
    EXPECT_EQ(Button(b), b == 0 ? ButtonState::Up : ButtonState::Pressed) << "button " << b;
  }
  EXPECT_TRUE(In().IsMouseTriggered(1));
  EXPECT_FLOAT_EQ(In().MouseButtonPosition(3).x, 41.0f);
  Frame();
  EXPECT_EQ(Button(6), ButtonState::Held);
  EXPECT_FALSE(In().IsMouseTriggered(1));
  EXPECT_TRUE(In().IsMouseDown(1));
  EXPECT_FALSE(In().IsControllerConnected());
}

TEST_F(InputOnDisplay, MouseMotionOf1And2And10And20PixelsDrivesTheCameraRange) {
  const float expected[][2] = {{1, 0.0f}, {2, 0.5f}, {10, 0.9f}, {20, 0.95f}};
  for (const auto& e : expected) {
    const int pixels = static_cast<int>(e[0]);
    SCOPED_TRACE(pixels);
    PushMouseMotion(100 + pixels, 200, pixels, -pixels);
    Frame();
    ExpectRange(1, e[1], -e[1]);
    EXPECT_FLOAT_EQ(In().MousePosition().x, 100.0f + pixels);
  }
  Frame();
  EXPECT_FLOAT_EQ(In().GetRange(1).x, 0.0f);
}

TEST_F(InputOnDisplay, KeysAndButtonsOutsideTheBitSetsAreIgnoredWithoutHarm) {
  for (SDL_Keycode key : {SDL_Keycode{SDLK_AUDIOPLAY}, 5000, -7, SDLK_SCANCODE_MASK | 600}) {
    PushKey(key, true);
    PushKey(key, false);
  }
  Testing::PushMouseButton(9, true, 1, 1);
  Testing::PushMouseButton(0, true, 1, 1);
  PushKey(SDLK_x, true);
  EXPECT_TRUE(Frame());
  for (int key = 0; key < Core::kKeyCount; ++key) EXPECT_EQ(In().IsKeyDown(key), key == 'x') << key;
  EXPECT_FALSE(In().IsMouseDown(9));
  EXPECT_FALSE(In().IsMouseDown(0));
  EXPECT_EQ(In().CurrentText(), "x");
}

TEST_F(InputOnDisplay, TheWheelAndTheExtraButtonsUseSdl12Numbers) {
  Testing::PushWheel(1);
  Testing::PushMouseButton(SDL_BUTTON_X1, true, 5, 5);
  Frame();
  EXPECT_TRUE(In().IsMousePressed(4));
  EXPECT_FALSE(In().IsMouseDown(4));
  EXPECT_TRUE(In().IsMouseDown(6));
  Testing::PushWheel(-2);
  Frame();
  EXPECT_TRUE(In().IsMousePressed(5));
  EXPECT_FALSE(In().IsMousePressed(4));
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

TEST_F(InputOnDisplay, PointerIsHeldAt300By300WhileTheWindowHasItAndFreeOnceItLeaves) {
  EXPECT_EQ(Pointer(), std::make_pair(kLeft + 300, kTop + 300));
  // A real movement within the window counts; the warp back does not.
  SDL_WarpMouseGlobal(kLeft + 312, kTop + 300);
  Testing::PumpUntil([] {
    int mx = 0;
    SDL_GetMouseState(&mx, nullptr);
    return mx == 312;
  });
  Frame();
  EXPECT_FLOAT_EQ(In().MouseMotion().x, 12.0f);
  EXPECT_FLOAT_EQ(In().MousePosition().x, 312.0f);  // where the player put it, not the warp
  Frame();
  EXPECT_FLOAT_EQ(In().MouseMotion().x, 0.0f);

  SDL_WarpMouseGlobal(5, 5);
  ASSERT_TRUE(Testing::PumpUntil([] { return SDL_GetMouseFocus() == nullptr; }));
  Frame();
  Frame();
  EXPECT_EQ(Pointer(), std::make_pair(5, 5));
}

TEST_F(InputOnDisplay, PointerIsFreeWhileAnotherWindowHasTheKeyboard) {
  SDL_Window* other = SDL_CreateWindow("other", 0, 0, 100, 100, 0);
  ASSERT_NE(other, nullptr);
  SDL_SetWindowInputFocus(other);
  SDL_WarpMouseInWindow(m_Window, 100, 100);
  ASSERT_TRUE(Testing::PumpUntil([&] { return SDL_GetKeyboardFocus() == other && SDL_GetMouseFocus() == m_Window; }));
  Frame();
  EXPECT_EQ(Pointer(), std::make_pair(kLeft + 100, kTop + 100));
  SDL_DestroyWindow(other);
}

TEST_F(InputOnDisplay, CameraSourceTogglesBetweenMouseAndArrowKeys) {
  In().ToggleCameraSource();
  EXPECT_FALSE(In().CameraUsesMouse());
  PushKey(SDLK_LEFT, true);
  PushKey(SDLK_DOWN, true);
  PushMouseMotion(0, 0, 20, 20);
  Frame();
  ExpectRange(1, -1.0f, 1.0f);
  EXPECT_FLOAT_EQ(In().GetRange(2).x, -1.0f);  // the arrow range reads the same keys
  In().ToggleCameraSource();
  EXPECT_TRUE(In().CameraUsesMouse());
  PushMouseMotion(0, 0, 20, 0);
  Frame();
  ExpectRange(1, 0.95f, 0.0f);
}

TEST_F(InputOnDisplay, InversionFactorsAndEnabledFlagsShapeTheRanges) {
  EXPECT_FLOAT_EQ(In().GetInvertedRange(1).x, 1.0f);
  In().SetInvertedRange(0, Core::Vector2{-2.0f, 0.5f});
  In().SetInvertedRange(0, true, false);
  EXPECT_FLOAT_EQ(In().GetInvertedRange(0).x, 2.0f);
  EXPECT_FLOAT_EQ(In().GetInvertedRange(0).y, -0.5f);
  PushKey(SDLK_a, true);
  PushKey(SDLK_w, true);
  Frame();
  ExpectRange(0, -2.0f, 0.5f);
  In().ToggleRangeEnabled(0);
  EXPECT_FALSE(In().IsRangeEnabled(0));
  EXPECT_FLOAT_EQ(In().GetRange(0).x, 0.0f);
  In().SetRangeEnabled(0, true);
  EXPECT_FLOAT_EQ(In().GetRange(0).x, -2.0f);
  EXPECT_EQ(m_Recorder.Count(), 0u);

  In().SetInvertedRange(3, Core::Vector2{5.0f, 5.0f});
  In().GetInvertedRange(Input::GR_RANGE_NUMBER);
  ASSERT_EQ(m_Recorder.Count(), 2u);
  EXPECT_EQ(m_Recorder.Texts()[0],
            "Assert \"gr < GR_RANGE_NUMBER\" failed\nComment: Input::gsInvertedRange: range number out of bounds\n"
            "File: ..\\..\\Source\\Core\\core_input\nLine: " +
                m_Recorder.Texts()[0].substr(m_Recorder.Texts()[0].rfind(' ') + 1));
  In().GetRange(7);
  In().GetButtonState(8);
  EXPECT_EQ(m_Recorder.Count(), 4u);
  m_Recorder.Clear();
}

TEST_F(ControllerAtStartUp, ButtonsArriveAsXInputMasksAndDriveTheGameButtonsAndTheKeyboardDoesNot) {
  EXPECT_TRUE(In().IsControllerConnected());
  PushKey(SDLK_SPACE, true);
  Testing::PushMouseButton(SDL_BUTTON_LEFT, true, 1, 1);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Up);
  EXPECT_EQ(Button(5), ButtonState::Up);

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
      if (button.gameButton >= 0) {
        EXPECT_EQ(Button(button.gameButton), expected);
      }
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
  ExpectRange(1, -0.5f, 0.5f);  // the camera stick is inverted on both axes for the controller
  EXPECT_FALSE(In().IsRangeEnabled(2));

  const int16_t resting[] = {5000, 5000, 8000, -8000, 0};
  for (int i = 0; i < 5; ++i) m_Pad->SetAxis(axes[i], resting[i]);
  Frame();
  ExpectRange(0, 0.0f, 0.0f);
  ExpectRange(1, 0.0f, 0.0f);
}

TEST_F(InputOnDisplay, ControllerPluggedInLaterIsFollowedButTheBindingsStay) {
  EXPECT_FALSE(In().IsControllerConnected());
  PlugInController();
  Frame();
  EXPECT_TRUE(In().IsControllerConnected());
  m_Pad->SetButton(SDL_CONTROLLER_BUTTON_A, true);
  PushKey(SDLK_SPACE, true);
  Frame();
  EXPECT_TRUE(In().Controller().buttons & Core::kPadA);
  EXPECT_EQ(Button(0), ButtonState::Pressed);
  PushKey(SDLK_SPACE, false);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Released);  // the keyboard, not the still-held A

  m_Pad->Unplug();
  Frame();
  EXPECT_FALSE(In().IsControllerConnected());
  EXPECT_EQ(In().Controller().buttons, 0);
  PlugInController();
  Frame();
  EXPECT_TRUE(In().IsControllerConnected());
}
