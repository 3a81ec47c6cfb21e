// The input rules at their boundaries, fed as the event pump and the controller poll feed them
// (Input_display drives the same rules through SDL), and misuse of Input's life cycle.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "Core/InputImp.h"
#include "Support/AssertRecorder.h"

using Core::ButtonState;
using Core::InputImp;

namespace {

Core::Binding Key(int key) { return Core::Binding{Core::BindingKind::Key, static_cast<uint32_t>(key)}; }

std::array<float, 2> Range(const InputImp& imp, uint32_t range) {
  const Core::Vector2 value = imp.RangeValue(range);
  return {value.x, value.y};
}

}  // namespace

TEST(InputRules, AGameButtonTakesTheStrongestOfItsBindingsAndNumbersOutsideTheSetsAreIgnored) {
  InputImp imp;
  imp.m_Bindings[1] = {Key(Core::kKeyLeftShift), Key(Core::kKeyRightShift)};
  imp.BeginFrame();
  imp.KeyDown(Core::kKeyLeftShift);
  imp.BeginFrame();
  imp.KeyUp(Core::kKeyLeftShift);     // released ...
  imp.KeyDown(Core::kKeyRightShift);  // ... while the other is pressed
  EXPECT_EQ(imp.GameButtonState(1), ButtonState::Pressed);
  imp.BeginFrame();
  EXPECT_EQ(imp.GameButtonState(1), ButtonState::Held);
  EXPECT_EQ(imp.GameButtonState(2), ButtonState::Up);  // no bindings
  EXPECT_EQ(imp.GameButtonState(8), ButtonState::Up);  // no such button

  for (int key : {-1, Core::kKeyCount}) {
    imp.KeyDown(key);
    EXPECT_FALSE(imp.IsKeyDown(key) || imp.IsKeyPressed(key)) << key;
  }
  for (int button : {0, 8, -3}) {
    imp.MouseButtonDown(button, 1.0f, 1.0f);
    EXPECT_FALSE(imp.Mouse(button) || imp.IsMousePressed(button)) << button;
  }
  EXPECT_TRUE(imp.m_Text.Current().empty());
}

TEST(InputRules, KeyRangesAddOppositeKeysAndMouseRangesShapeTheWholeFramesMotion) {
  InputImp imp;
  imp.m_Ranges[0] = Core::RangeSetup{true, Core::kRangeKeys, {'a', 'd', 'w', 's'}};
  imp.m_Ranges[1] = Core::RangeSetup{true, Core::kRangeMouse, {}};
  imp.BeginFrame();
  imp.KeyDown('a');
  imp.KeyDown('s');
  EXPECT_EQ(Range(imp, 0), (std::array<float, 2>{-1, 1}));
  imp.KeyDown('d');
  EXPECT_EQ(Range(imp, 0)[0], 0.0f);
  imp.MouseMotion(0, 0, 4, 1);  // the frame's motion adds up: 10 and 2 pixels
  imp.MouseMotion(0, 0, 6, 1);
  EXPECT_EQ(Range(imp, 1), (std::array<float, 2>{0.9f, 0.5f}));
  EXPECT_EQ(Core::MouseRangeAxis(1), 0.0f);  // one pixel moves nothing
}

TEST(InputRules, SticksAtRestReadZeroAndTheControllersPacketNumberChangesOnlyWithItsState) {
  // Left stick, right stick, as stored: both axes inside a zone read zero, one outside keeps both.
  const std::array<int16_t, 4> sticks[][2] = {
      {{5000, -5000, 8688, -8688}, {0, 0, 0, 0}},
      {{7849, 100, 100, -8689}, {7849, 100, 100, -8689}},
  };
  InputImp imp;
  imp.m_Ranges[2] = Core::RangeSetup{true, Core::kRangeTriggers, {}};
  Core::ControllerState state;
  uint32_t packet = 0;
  for (const auto& row : sticks) {
    state.thumbLX = row[0][0], state.thumbLY = row[0][1], state.thumbRX = row[0][2], state.thumbRY = row[0][3];
    imp.StoreController(&state);
    const Core::ControllerState& pad = imp.m_Controller;
    EXPECT_EQ((std::array<int16_t, 4>{pad.thumbLX, pad.thumbLY, pad.thumbRX, pad.thumbRY}), row[1]);
    EXPECT_NE(pad.packet, packet);
    packet = pad.packet;
  }
  imp.StoreController(&state);
  EXPECT_EQ(imp.m_Controller.packet, packet);
  state.leftTrigger = 255;
  state.rightTrigger = 51;
  imp.StoreController(&state);
  EXPECT_EQ(Range(imp, 2), (std::array<float, 2>{0.8f, 0.8f}));
}

// Backspace with nothing to take back, then the last key that types ('z') and keys beyond it: '{',
// a control character and an arrow; Enter finishes the line.
TEST(TextEntry, KeysFrom32To122TypeBackspaceTakesOneBackAndEnterFinishesTheLine) {
  Core::TextEntry text;
  for (int key :
       {int{'h'}, int{Core::kKeyBackspace}, int{Core::kKeyBackspace}, int{'z'}, 123, 31, int{Core::kKeyUp}, 32})
    text.Key(key);
  EXPECT_EQ(text.Current(), "z ");
  text.Key(Core::kKeyReturn);
  EXPECT_EQ(std::make_pair(text.Completed(), text.Current()), std::make_pair(std::string("z "), std::string()));
}

TEST(InputLifeCycle, DoubleInitDoubleShutdownAndAForgottenShutdownAreReportedAndQueriesWithoutStateAreQuiet) {
  Testing::AssertRecorder recorder;
  Core::Input& input = Core::Input::Instance();
  EXPECT_TRUE(input.Update());  // before Init: nothing to do
  input.Init();
  input.Init();
  input.Shutdown();
  input.Shutdown();
  EXPECT_FALSE(input.IsKeyDown(' ') || input.IsMouseDown(1) || input.IsControllerConnected());
  EXPECT_EQ(input.GetButtonState(0), ButtonState::Up);
  input.Init();
  Core::Input::Destroy();  // not shut down: reported, then shut down
  EXPECT_EQ(recorder.Comments(),
            (std::vector<std::string>{"Attempting to Initialize an already initialized input system.",
                                      "Attempting to Shutdown an uninitialized input system.",
                                      "Input destructor called without system being shut down."}));
  EXPECT_EQ(recorder.Heads()[0], Testing::AssertRecorder::Head(
                                     "m_MyImp == 0", "Attempting to Initialize an already initialized input system.",
                                     "..\\..\\Source\\Core\\core_input"));
}
