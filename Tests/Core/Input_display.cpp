// Input through real SDL: events pushed into SDL's queue, the pointer on the virtual display, and
// a virtual game controller. Each test opens the game's window and input as the engine does.
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Core/Clock.h"
#include "Core/Input.h"
#include "Core/KeyCodes.h"
#include "Core/Window.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Support/SdlEvents.h"
#include "Support/VirtualController.h"

using Core::ButtonState;
using Core::Input;
using Core::Window;
using Testing::PushKey;
using Testing::PushKeyStroke;
using Testing::PushMouseMotion;

namespace {

class InputOnDisplay : public testing::Test {
 protected:
  void SetUp() override {
    Clock::Instance().SetTimeSource(m_Time);
    testing::internal::CaptureStdout();
    const int opened = Window::Instance().init();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(opened, 0);
    m_Window = Window::Instance().Handle();
  }
  void TearDown() override {
    if (m_InputStarted) ShutInput();
    m_Pad.reset();
    Window::Instance().shutdown();
    Window::Destroy();
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
    EXPECT_EQ(m_Recorder.Count(), 0u) << (m_Recorder.Count() ? m_Recorder.Texts()[0] : "");
  }

  void StartInput() {
    Input::Instance().Init();
    m_InputStarted = true;
  }
  void ShutInput() {
    Input::Instance().Shutdown();
    Input::Destroy();
  }
  void PlugInController() { m_Pad = std::make_unique<Testing::VirtualController>(); }

  // One frame's input steps, as the engine runs them, after a frame of the given length.
  bool Frame(double ms = 33.0) {
    m_Time.AdvanceMs(ms);
    Clock::Instance().BeginFrame();
    const bool going = Input::Instance().Update();
    Input::Instance().PollController();
    Input::Instance().AdvanceTimers();
    return going;
  }

  // Gives the window the pointer and the keyboard, as a window manager would when the player
  // clicks it, and lets the events of that pass. The window is made small and put in the corner
  // of the screen the game's centred window leaves free, so that other programs on the same
  // display (the engine's tests) do not take the pointer from it.
  void Settle() {
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

  static constexpr int kLeft = 1600;
  static constexpr int kTop = 740;
  static constexpr int kSide = 318;

  static ButtonState Button(uint32_t b) { return Input::Instance().GetButtonState(b); }

  Testing::AssertRecorder m_Recorder;
  Testing::FakeTimeSource m_Time;
  SDL_Window* m_Window = nullptr;
  std::unique_ptr<Testing::VirtualController> m_Pad;
  bool m_InputStarted = false;
};

}  // namespace

TEST_F(InputOnDisplay, KeyDownAndUpInOneFrameIsPressedThenUp) {
  StartInput();
  Settle();
  ASSERT_TRUE(PushKeyStroke(SDLK_SPACE));
  ASSERT_TRUE(Frame());
  EXPECT_EQ(Button(0), ButtonState::Pressed);
  EXPECT_TRUE(Input::Instance().IsKeyPressed(Core::kKeySpace));
  EXPECT_FALSE(Input::Instance().IsKeyDown(Core::kKeySpace));
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Up);
}

TEST_F(InputOnDisplay, HoldingSpaceForThreeFramesIsPressedHeldHeldWith66Milliseconds) {
  StartInput();
  Settle();
  PushKey(SDLK_SPACE, true);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Pressed);
  EXPECT_FLOAT_EQ(Input::Instance().ReleasedTime(0), 0.0f);
  PushKey(SDLK_SPACE, true, true);  // the system's key repeat is not a new press
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Held);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Held);
  EXPECT_FLOAT_EQ(Input::Instance().HeldTime(0), 66.0f);
  EXPECT_EQ(Input::Instance().CurrentText(), " ");

  PushKey(SDLK_SPACE, false);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Released);
  EXPECT_FLOAT_EQ(Input::Instance().HeldTime(0), 0.0f);
  Frame(40.0);
  EXPECT_FLOAT_EQ(Input::Instance().ReleasedTime(0), 40.0f);
}

TEST_F(InputOnDisplay, KeyboardSchemeBindsShiftsCtrlsLettersAndMouseButtons) {
  StartInput();
  Settle();
  PushKey(SDLK_RSHIFT, true);
  PushKey(SDLK_LCTRL, true);
  PushKey(SDLK_ESCAPE, true);
  PushKey(SDLK_v, true);
  PushKey(SDLK_c, true);
  Testing::PushMouseButton(SDL_BUTTON_LEFT, true, 40, 50);
  Testing::PushMouseButton(SDL_BUTTON_RIGHT, true, 41, 51);
  Frame();
  for (uint32_t b = 0; b < Input::kGameButtonCount; ++b) {
    EXPECT_EQ(Button(b), b == 0 ? ButtonState::Up : ButtonState::Pressed) << "button " << b;
  }
  EXPECT_TRUE(Input::Instance().IsMouseTriggered(1));
  EXPECT_FLOAT_EQ(Input::Instance().MouseButtonPosition(3).x, 41.0f);
  Frame();
  EXPECT_EQ(Button(6), ButtonState::Held);
  EXPECT_FALSE(Input::Instance().IsMouseTriggered(1));
  EXPECT_TRUE(Input::Instance().IsMouseDown(1));
  EXPECT_FALSE(Input::Instance().IsControllerConnected());
}

TEST_F(InputOnDisplay, MouseMotionOf1And2And10And20PixelsDrivesTheCameraRange) {
  StartInput();
  Settle();
  const float expected[][2] = {{1, 0.0f}, {2, 0.5f}, {10, 0.9f}, {20, 0.95f}};
  for (const auto& e : expected) {
    const int pixels = static_cast<int>(e[0]);
    PushMouseMotion(100 + pixels, 200, pixels, -pixels);
    Frame();
    EXPECT_FLOAT_EQ(Input::Instance().GetRange(1).x, e[1]) << pixels << " pixels";
    EXPECT_FLOAT_EQ(Input::Instance().GetRange(1).y, -e[1]) << pixels << " pixels";
    EXPECT_FLOAT_EQ(Input::Instance().MousePosition().x, 100.0f + pixels);
  }
  Frame();
  EXPECT_FLOAT_EQ(Input::Instance().GetRange(1).x, 0.0f);
}

TEST_F(InputOnDisplay, TypedTextFollowsEnterAndBackspace) {
  StartInput();
  Settle();
  for (SDL_Keycode key : {SDLK_h, SDLK_i, SDLK_BACKSPACE, SDLK_o, SDLK_SPACE, SDLK_1, SDLK_RETURN, SDLK_a, SDLK_UP})
    PushKeyStroke(key);
  Frame();
  EXPECT_EQ(Input::Instance().CompletedText(), "ho 1");
  EXPECT_EQ(Input::Instance().CurrentText(), "a");
  Input::Instance().ClearText();
  EXPECT_EQ(Input::Instance().CurrentText(), "");
  EXPECT_EQ(Input::Instance().CompletedText(), "a");
}

TEST_F(InputOnDisplay, KeysAndButtonsOutsideTheBitSetsAreIgnoredWithoutHarm) {
  StartInput();
  Settle();
  const SDL_Keycode strange[] = {SDLK_AUDIOPLAY, 5000, -7, SDLK_SCANCODE_MASK | 600};
  for (SDL_Keycode key : strange) {
    PushKey(key, true);
    PushKey(key, false);
  }
  Testing::PushMouseButton(9, true, 1, 1);
  Testing::PushMouseButton(0, true, 1, 1);
  PushKey(SDLK_x, true);
  EXPECT_TRUE(Frame());
  EXPECT_TRUE(Input::Instance().IsKeyDown('x'));
  for (int key = 0; key < Core::kKeyCount; ++key) EXPECT_EQ(Input::Instance().IsKeyDown(key), key == 'x') << key;
  EXPECT_FALSE(Input::Instance().IsKeyDown(Core::kKeyCount));
  EXPECT_FALSE(Input::Instance().IsKeyPressed(-1));
  EXPECT_FALSE(Input::Instance().IsMouseDown(9));
  EXPECT_FALSE(Input::Instance().IsMouseDown(0));
  EXPECT_EQ(Input::Instance().CurrentText(), "x");
}

TEST_F(InputOnDisplay, TheWheelAndTheExtraButtonsUseSdl12Numbers) {
  StartInput();
  Settle();
  Testing::PushWheel(1);
  Testing::PushMouseButton(SDL_BUTTON_X1, true, 5, 5);
  Frame();
  EXPECT_TRUE(Input::Instance().IsMousePressed(4));
  EXPECT_FALSE(Input::Instance().IsMouseDown(4));
  EXPECT_TRUE(Input::Instance().IsMouseDown(6));
  Testing::PushWheel(-2);
  Frame();
  EXPECT_TRUE(Input::Instance().IsMousePressed(5));
  EXPECT_FALSE(Input::Instance().IsMousePressed(4));
}

TEST_F(InputOnDisplay, QuitRequestEndsTheUpdateAndLeavesLaterEventsQueued) {
  StartInput();
  Settle();
  Testing::PushQuit();
  PushKey(SDLK_x, true);
  EXPECT_FALSE(Frame());
  EXPECT_FALSE(Input::Instance().IsKeyDown('x'));
  EXPECT_TRUE(Frame());
  EXPECT_TRUE(Input::Instance().IsKeyDown('x'));
}

TEST_F(InputOnDisplay, ClosingTheWindowIsAQuitRequest) {
  StartInput();
  Settle();
  Testing::PushWindowEvent(m_Window, SDL_WINDOWEVENT_CLOSE);
  EXPECT_FALSE(Frame());
  EXPECT_TRUE(Frame());
}

TEST_F(InputOnDisplay, PointerIsHeldAt300By300WhileTheWindowHasItAndFreeOnceItLeaves) {
  StartInput();
  Settle();
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  EXPECT_EQ(x, kLeft + 300);
  EXPECT_EQ(y, kTop + 300);
  // A real movement within the window counts; the warp back does not.
  SDL_WarpMouseGlobal(kLeft + 312, kTop + 300);
  Testing::PumpUntil([] {
    int mx = 0;
    SDL_GetMouseState(&mx, nullptr);
    return mx == 312;
  });
  Frame();
  EXPECT_FLOAT_EQ(Input::Instance().MouseMotion().x, 12.0f);
  EXPECT_FLOAT_EQ(Input::Instance().MousePosition().x, 312.0f);  // where the player put it, not the warp
  Frame();
  EXPECT_FLOAT_EQ(Input::Instance().MouseMotion().x, 0.0f);

  SDL_WarpMouseGlobal(5, 5);
  ASSERT_TRUE(Testing::PumpUntil([] { return SDL_GetMouseFocus() == nullptr; }));
  Frame();
  Frame();
  SDL_GetGlobalMouseState(&x, &y);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 5);
}

TEST_F(InputOnDisplay, PointerIsFreeWhileAnotherWindowHasTheKeyboard) {
  StartInput();
  Settle();
  SDL_Window* other = SDL_CreateWindow("other", 0, 0, 100, 100, 0);
  ASSERT_NE(other, nullptr);
  SDL_SetWindowInputFocus(other);
  SDL_WarpMouseInWindow(m_Window, 100, 100);
  ASSERT_TRUE(Testing::PumpUntil([&] { return SDL_GetKeyboardFocus() == other && SDL_GetMouseFocus() == m_Window; }));
  Frame();
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  EXPECT_EQ(x, kLeft + 100);
  EXPECT_EQ(y, kTop + 100);
  SDL_DestroyWindow(other);
}

TEST_F(InputOnDisplay, CameraSourceTogglesBetweenMouseAndArrowKeys) {
  StartInput();
  Settle();
  Input& input = Input::Instance();
  input.ToggleCameraSource();
  EXPECT_FALSE(input.CameraUsesMouse());
  PushKey(SDLK_LEFT, true);
  PushKey(SDLK_DOWN, true);
  PushMouseMotion(0, 0, 20, 20);
  Frame();
  EXPECT_FLOAT_EQ(input.GetRange(1).x, -1.0f);
  EXPECT_FLOAT_EQ(input.GetRange(1).y, 1.0f);
  EXPECT_FLOAT_EQ(input.GetRange(2).x, -1.0f);  // the arrow range reads the same keys
  input.ToggleCameraSource();
  EXPECT_TRUE(input.CameraUsesMouse());
  PushMouseMotion(0, 0, 20, 0);
  Frame();
  EXPECT_FLOAT_EQ(input.GetRange(1).x, 0.95f);
  EXPECT_FLOAT_EQ(input.GetRange(1).y, 0.0f);
}

TEST_F(InputOnDisplay, InversionFactorsAndEnabledFlagsShapeTheRanges) {
  StartInput();
  Settle();
  Input& input = Input::Instance();
  EXPECT_FLOAT_EQ(input.GetInvertedRange(1).x, 1.0f);
  input.SetInvertedRange(0, Core::Vector2{-2.0f, 0.5f});
  input.SetInvertedRange(0, true, false);
  EXPECT_FLOAT_EQ(input.GetInvertedRange(0).x, 2.0f);
  EXPECT_FLOAT_EQ(input.GetInvertedRange(0).y, -0.5f);
  PushKey(SDLK_a, true);
  PushKey(SDLK_w, true);
  Frame();
  EXPECT_FLOAT_EQ(input.GetRange(0).x, -2.0f);
  EXPECT_FLOAT_EQ(input.GetRange(0).y, 0.5f);
  input.ToggleRangeEnabled(0);
  EXPECT_FALSE(input.IsRangeEnabled(0));
  EXPECT_FLOAT_EQ(input.GetRange(0).x, 0.0f);
  input.SetRangeEnabled(0, true);
  EXPECT_FLOAT_EQ(input.GetRange(0).x, -2.0f);
  EXPECT_EQ(m_Recorder.Count(), 0u);

  input.SetInvertedRange(3, Core::Vector2{5.0f, 5.0f});
  input.GetInvertedRange(Input::GR_RANGE_NUMBER);
  ASSERT_EQ(m_Recorder.Count(), 2u);
  EXPECT_EQ(m_Recorder.Texts()[0],
            "Assert \"gr < GR_RANGE_NUMBER\" failed\nComment: Input::gsInvertedRange: range number out of bounds\n"
            "File: ..\\..\\Source\\Core\\core_input\nLine: " +
                m_Recorder.Texts()[0].substr(m_Recorder.Texts()[0].rfind(' ') + 1));
  input.GetRange(7);
  input.GetButtonState(8);
  EXPECT_EQ(m_Recorder.Count(), 4u);
  m_Recorder.Clear();
}

TEST_F(InputOnDisplay, ControllerAtStartUpDrivesTheButtonsAndTheKeyboardDoesNot) {
  PlugInController();
  ASSERT_TRUE(m_Pad->Attached()) << SDL_GetError();
  StartInput();
  EXPECT_TRUE(Input::Instance().IsControllerConnected());
  Settle();
  PushKey(SDLK_SPACE, true);
  Testing::PushMouseButton(SDL_BUTTON_LEFT, true, 1, 1);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Up);
  EXPECT_EQ(Button(5), ButtonState::Up);

  const SDL_GameControllerButton bound[] = {SDL_CONTROLLER_BUTTON_A,
                                            SDL_CONTROLLER_BUTTON_X,
                                            SDL_CONTROLLER_BUTTON_START,
                                            SDL_CONTROLLER_BUTTON_Y,
                                            SDL_CONTROLLER_BUTTON_B,
                                            SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                            SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                                            SDL_CONTROLLER_BUTTON_DPAD_UP};
  for (uint32_t b = 0; b < Input::kGameButtonCount; ++b) {
    m_Pad->SetButton(bound[b], true);
    Frame();
    EXPECT_EQ(Button(b), ButtonState::Pressed) << "button " << b;
    Frame();
    EXPECT_EQ(Button(b), ButtonState::Held) << "button " << b;
    m_Pad->SetButton(bound[b], false);
    Frame();
    EXPECT_EQ(Button(b), ButtonState::Released) << "button " << b;
  }
}

TEST_F(InputOnDisplay, ControllerButtonsArriveAsXInputMasks) {
  PlugInController();
  StartInput();
  const struct {
    SDL_GameControllerButton sdl;
    uint16_t mask;
  } masks[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001},
      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004},
      {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008},
      {SDL_CONTROLLER_BUTTON_START, 0x0010},
      {SDL_CONTROLLER_BUTTON_BACK, 0x0020},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040},
      {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100},
      {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200},
      {SDL_CONTROLLER_BUTTON_A, 0x1000},
      {SDL_CONTROLLER_BUTTON_B, 0x2000},
      {SDL_CONTROLLER_BUTTON_X, 0x4000},
      {SDL_CONTROLLER_BUTTON_Y, 0x8000},
      {SDL_CONTROLLER_BUTTON_GUIDE, 0x0000},
  };
  for (const auto& m : masks) {
    m_Pad->SetButton(m.sdl, true);
    Frame();
    EXPECT_EQ(Input::Instance().Controller().buttons, m.mask) << SDL_GameControllerGetStringForButton(m.sdl);
    m_Pad->SetButton(m.sdl, false);
  }
}

TEST_F(InputOnDisplay, SticksAndTriggersPassTheDeadZonesIntoTheRanges) {
  PlugInController();
  StartInput();
  Input& input = Input::Instance();
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTX, 5000);
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTY, 5000);  // SDL's y points down
  Frame();
  EXPECT_FLOAT_EQ(input.GetRange(0).x, 0.0f);
  EXPECT_FLOAT_EQ(input.GetRange(0).y, 0.0f);
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTX, 8000);
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  Frame();
  EXPECT_NEAR(input.GetRange(0).x, 0.2441f, 1e-4);
  EXPECT_FLOAT_EQ(input.GetRange(0).y, 0.0f);
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTY, -32768);  // pushed fully up
  Frame();
  EXPECT_EQ(input.Controller().thumbLY, 32767);
  EXPECT_NEAR(input.GetRange(0).y, -1.0f, 1e-4);

  // The camera stick is inverted on both axes for the controller.
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_RIGHTX, 16384);
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_RIGHTY, 16384);
  Frame();
  EXPECT_EQ(input.Controller().thumbRY, -16384);
  EXPECT_FLOAT_EQ(input.GetRange(1).x, -0.5f);
  EXPECT_FLOAT_EQ(input.GetRange(1).y, 0.5f);
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_RIGHTX, 8000);
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_RIGHTY, -8000);
  Frame();
  EXPECT_FLOAT_EQ(input.GetRange(1).x, 0.0f);

  EXPECT_FALSE(input.IsRangeEnabled(2));
  EXPECT_EQ(input.Controller().leftTrigger, 0);
  m_Pad->SetAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
  Frame();
  EXPECT_EQ(input.Controller().leftTrigger, 255);
  EXPECT_EQ(input.Controller().rightTrigger, 0);
}

TEST_F(InputOnDisplay, ControllerPluggedInLaterIsFollowedButTheBindingsStay) {
  StartInput();
  Settle();
  EXPECT_FALSE(Input::Instance().IsControllerConnected());
  PlugInController();
  Frame();
  EXPECT_TRUE(Input::Instance().IsControllerConnected());
  m_Pad->SetButton(SDL_CONTROLLER_BUTTON_A, true);
  PushKey(SDLK_SPACE, true);
  Frame();
  EXPECT_TRUE(Input::Instance().Controller().buttons & Core::kPadA);
  EXPECT_EQ(Button(0), ButtonState::Pressed);
  PushKey(SDLK_SPACE, false);
  Frame();
  EXPECT_EQ(Button(0), ButtonState::Released);  // the keyboard, not the still-held A

  m_Pad->Unplug();
  Frame();
  EXPECT_FALSE(Input::Instance().IsControllerConnected());
  EXPECT_EQ(Input::Instance().Controller().buttons, 0);
  PlugInController();
  Frame();
  EXPECT_TRUE(Input::Instance().IsControllerConnected());
}
