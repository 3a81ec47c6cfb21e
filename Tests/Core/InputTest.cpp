// Input without a window: misuse of its life cycle is reported, and with nothing to read every
// query answers "nothing pressed".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/Input.h"
#include "Support/AssertRecorder.h"

using Core::Input;

TEST(InputLifecycle, DoubleInitDoubleShutdownAndAForgottenShutdownAreReported) {
  Testing::AssertRecorder recorder;
  Input::Instance().Init();
  Input::Instance().Init();
  Input::Instance().Shutdown();
  Input::Instance().Shutdown();
  Input::Instance().Init();
  Input::Destroy();  // not shut down: reported, then shut down
  EXPECT_EQ(recorder.Comments(),
            (std::vector<std::string>{"Attempting to Initialize an already initialized input system.",
                                      "Attempting to Shutdown an uninitialized input system.",
                                      "Input destructor called without system being shut down."}));
  ASSERT_FALSE(recorder.Texts().empty());
  EXPECT_NE(recorder.Texts()[0].find("Assert \"m_MyImp == 0\" failed"), std::string::npos);
  EXPECT_NE(recorder.Texts()[0].find("File: ..\\..\\Source\\Core\\core_input"), std::string::npos);
}

TEST(InputWithoutWindow, FramesRunAndEveryQueryIsQuiet) {
  Testing::AssertRecorder recorder;
  Input& input = Input::Instance();
  EXPECT_TRUE(input.Update());  // before Init: nothing to do
  input.Init();
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_TRUE(input.Update());
    input.PollController();
    input.AdvanceTimers();
  }
  for (uint32_t b = 0; b < Input::kGameButtonCount; ++b) {
    EXPECT_EQ(input.GetButtonState(b), Core::ButtonState::Up);
  }
  EXPECT_FLOAT_EQ(input.GetRange(0).x, 0.0f);
  EXPECT_TRUE(input.IsRangeEnabled(1));
  EXPECT_FALSE(input.IsKeyDown(' '));
  EXPECT_FALSE(input.IsMouseDown(1));
  EXPECT_EQ(input.CurrentText(), "");
  input.ShowCursor(true);
  input.Shutdown();
  EXPECT_FALSE(input.IsKeyDown(' '));
  EXPECT_FLOAT_EQ(input.MousePosition().x, 0.0f);
  Input::Destroy();
  EXPECT_EQ(recorder.Count(), 0u);
}
