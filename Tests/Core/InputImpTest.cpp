// The input rules at their boundaries, fed as the event pump and the controller poll feed them;
// Input_display drives the same rules through SDL.
#include <gtest/gtest.h>

#include <array>

#include "Core/InputImp.h"

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

TEST(InputRules, KeyRangesAddOppositeKeysMouseRangesShapeTheFramesMotionAndDisabledRangesReadZero) {
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
  imp.m_Ranges[0].enabled = false;
  EXPECT_EQ(Range(imp, 0), (std::array<float, 2>{0, 0}));
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
