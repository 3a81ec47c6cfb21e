// The input rules on their own: the four button states, the ranges, the dead zones and typed
// text, fed as the event pump feeds them.
#include <gtest/gtest.h>

#include <array>

#include "Core/InputImp.h"

using Core::ButtonState;
using Core::InputImp;

namespace {

Core::Binding Key(int key) { return Core::Binding{Core::BindingKind::Key, static_cast<uint32_t>(key)}; }

Core::ControllerState Sticks(int16_t lx, int16_t ly, int16_t rx, int16_t ry) {
  Core::ControllerState state;
  state.thumbLX = lx;
  state.thumbLY = ly;
  state.thumbRX = rx;
  state.thumbRY = ry;
  return state;
}

std::array<int16_t, 4> Thumbs(const Core::ControllerState& s) { return {s.thumbLX, s.thumbLY, s.thumbRX, s.thumbRY}; }

void Enable(InputImp& imp, uint32_t range, Core::RangeSource source) {
  imp.m_Ranges[range].enabled = true;
  imp.m_Ranges[range].source = source;
}

void ExpectXY(const Core::Vector2& value, float x, float y) {
  EXPECT_FLOAT_EQ(value.x, x);
  EXPECT_FLOAT_EQ(value.y, y);
}

}  // namespace

TEST(InputRules, KeyPressedAndReleasedInOneFrameIsPressedThenUpNotReleased) {
  InputImp imp;
  imp.m_Bindings[0] = {Key(Core::kKeySpace)};
  imp.BeginFrame();
  imp.KeyDown(Core::kKeySpace);
  imp.KeyUp(Core::kKeySpace);
  EXPECT_EQ(imp.GameButtonState(0), ButtonState::Pressed);
  imp.BeginFrame();
  EXPECT_EQ(imp.GameButtonState(0), ButtonState::Up);
}

TEST(InputRules, GameButtonTakesTheStrongestOfItsBindings) {
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
  EXPECT_EQ(Core::Strongest(ButtonState::Released, ButtonState::Up), ButtonState::Released);
  EXPECT_EQ(Core::Strongest(ButtonState::Pressed, ButtonState::Held), ButtonState::Held);
}

TEST(InputRules, MouseButtonsFollowTheKeyRuleAndTheWheelNeverStaysDown) {
  InputImp imp;
  imp.m_Bindings[5] = {Core::Binding{Core::BindingKind::Mouse, 0}};
  imp.BeginFrame();
  imp.MouseButtonDown(1, 10.0f, 20.0f);
  imp.BeginFrame();
  imp.MouseButtonUp(1, 12.0f, 22.0f);
  EXPECT_EQ(imp.GameButtonState(5), ButtonState::Released);
  EXPECT_FLOAT_EQ(imp.Mouse(1)->y, 22.0f);

  imp.MouseMotion(50.0f, 60.0f, 0.0f, 0.0f);
  imp.WheelNotch(Core::kMouseWheelUp);
  EXPECT_TRUE(imp.IsMousePressed(4));
  EXPECT_FALSE(imp.Mouse(4)->down);
  EXPECT_FLOAT_EQ(imp.Mouse(4)->x, 50.0f);
  imp.MouseButtonDown(5, 0.0f, 0.0f);  // a wheel "button" up is ignored, as SDL 1.2 reported it
  imp.MouseButtonUp(5, 0.0f, 0.0f);
  EXPECT_TRUE(imp.Mouse(5)->down);
}

TEST(InputRules, NumbersOutsideTheBitSetsAreIgnored) {
  InputImp imp;
  imp.BeginFrame();
  for (int key : {-1, Core::kKeyCount, 400, 1 << 30}) {
    imp.KeyDown(key);
    imp.KeyUp(key);
    EXPECT_FALSE(imp.IsKeyDown(key));
    EXPECT_FALSE(imp.IsKeyPressed(key));
  }
  for (int button : {0, 8, -3, 255}) {
    imp.MouseButtonDown(button, 1.0f, 1.0f);
    imp.MouseButtonUp(button, 1.0f, 1.0f);
    EXPECT_EQ(imp.Mouse(button), nullptr);
    EXPECT_FALSE(imp.IsMousePressed(button));
  }
  imp.m_Bindings[0] = {Key(5000), Core::Binding{Core::BindingKind::Mouse, 77}};
  EXPECT_EQ(imp.GameButtonState(0), ButtonState::Up);
  EXPECT_TRUE(imp.m_Text.Current().empty());
}

TEST(InputRules, MouseRangeAddsUpTheFramesMotion) {
  InputImp imp;
  Enable(imp, 1, Core::kRangeMouse);
  imp.BeginFrame();
  imp.MouseMotion(0.0f, 0.0f, 4.0f, -1.0f);
  imp.MouseMotion(0.0f, 0.0f, 6.0f, -1.0f);
  ExpectXY(imp.RangeValue(1), 0.9f, -0.5f);
}

TEST(InputRules, KeyRangeAddsOppositeKeysAndADisabledRangeReadsZero) {
  InputImp imp;
  imp.m_Ranges[0] = Core::RangeSetup{true, Core::kRangeKeys, {'a', 'd', 'w', 's'}};
  imp.BeginFrame();
  imp.KeyDown('a');
  imp.KeyDown('s');
  ExpectXY(imp.RangeValue(0), -1.0f, 1.0f);
  imp.KeyDown('d');
  EXPECT_FLOAT_EQ(imp.RangeValue(0).x, 0.0f);
  imp.m_Ranges[0].enabled = false;
  EXPECT_FLOAT_EQ(imp.RangeValue(0).y, 0.0f);
  EXPECT_FLOAT_EQ(imp.RangeValue(7).x, 0.0f);
}

TEST(InputRules, SticksAtRestReadZeroAndAStickOutsideKeepsBothAxes) {
  Core::ControllerState inside = Sticks(5000, -5000, 8688, -8688);
  Core::ApplyDeadZones(inside);
  EXPECT_EQ(Thumbs(inside), (std::array<int16_t, 4>{0, 0, 0, 0}));
  Core::ControllerState outside = Sticks(7849, 100, 100, -8689);
  Core::ApplyDeadZones(outside);
  EXPECT_EQ(Thumbs(outside), (std::array<int16_t, 4>{7849, 100, 100, -8689}));
}

TEST(InputRules, TriggerRangeIsLeftMinusRight) {
  InputImp imp;
  Enable(imp, 2, Core::kRangeTriggers);
  Core::ControllerState state;
  state.leftTrigger = 255;
  state.rightTrigger = 51;
  imp.StoreController(&state);
  ExpectXY(imp.RangeValue(2), 0.8f, 0.8f);
}

TEST(InputRules, SdlControllerValuesBecomeXInputs) {
  const int axes[][2] = {{1000, -1000}, {-32768, 32767}, {32767, -32767}};
  for (const auto& row : axes) EXPECT_EQ(Core::AxisUp(static_cast<int16_t>(row[0])), row[1]) << row[0];
  const int triggers[][2] = {{0, 0}, {-200, 0}, {32767, 255}, {16384, 127}};
  for (const auto& row : triggers) EXPECT_EQ(Core::TriggerByte(static_cast<int16_t>(row[0])), row[1]) << row[0];
}

TEST(InputRules, PacketNumberChangesOnlyWhenTheControllerDoes) {
  InputImp imp;
  Core::ControllerState state = Sticks(0, 0, 0, 0);
  imp.StoreController(&state);
  const uint32_t first = imp.m_Controller.packet;
  imp.StoreController(&state);
  EXPECT_EQ(imp.m_Controller.packet, first);
  state.buttons = Core::kPadY;
  imp.StoreController(&state);
  EXPECT_EQ(imp.m_Controller.packet, first + 1);
}

TEST(TextEntry, EnterFinishesTheLineAndBackspaceTakesOneCharacterBack) {
  Core::TextEntry text;
  for (int key : {int{'h'}, int{'e'}, int{'l'}, int{'p'}, int{Core::kKeyBackspace}, int{'o'}, int{' '}, int{'1'}})
    text.Key(key);
  EXPECT_EQ(text.Current(), "helo 1");
  text.Key(Core::kKeyReturn);
  EXPECT_EQ(text.Completed(), "helo 1");
  EXPECT_EQ(text.Current(), "");
  // Nothing to take back, then keys beyond those that type: '{', an arrow, a control character.
  for (int key : {int{Core::kKeyBackspace}, int{'z'}, 123, int{Core::kKeyUp}, 31}) text.Key(key);
  EXPECT_EQ(text.Current(), "z");
  text.NewLine();
  EXPECT_EQ(text.Completed(), "z");
  EXPECT_EQ(text.Current(), "");
}
