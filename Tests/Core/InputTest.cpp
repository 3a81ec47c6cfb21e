// Input without a window: misuse of its life cycle is reported, and with nothing to read every
// query answers "nothing pressed".
#include "Core/Input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/AssertRecorder.h"

using Core::Input;

TEST(Input, MisuseOfItsLifeCycleIsReportedAndWithoutAWindowFramesRunAndEveryQueryIsQuiet) {
  Testing::AssertRecorder recorder;
  Input& input = Input::Instance();
  EXPECT_TRUE(input.Update());  // before Init: nothing to do
  input.Init();
  input.Init();
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_TRUE(input.Update());
    input.PollController();
    input.AdvanceTimers();
  }
  for (uint32_t b = 0; b < Input::kGameButtonCount; ++b) EXPECT_EQ(input.GetButtonState(b), Core::ButtonState::Up);
  EXPECT_EQ(input.GetRange(0).x, 0.0f);
  EXPECT_TRUE(input.IsRangeEnabled(1));
  EXPECT_FALSE(input.IsKeyDown(' ') || input.IsMouseDown(1) || input.IsControllerConnected());
  EXPECT_EQ(input.CurrentText(), "");
  input.Shutdown();
  input.Shutdown();
  EXPECT_FALSE(input.IsKeyDown(' '));
  input.Init();
  Input::Destroy();  // not shut down: reported, then shut down
  EXPECT_EQ(recorder.Comments(),
            (std::vector<std::string>{"Attempting to Initialize an already initialized input system.",
                                      "Attempting to Shutdown an uninitialized input system.",
                                      "Input destructor called without system being shut down."}));
  EXPECT_EQ(recorder.Heads()[0], Testing::AssertRecorder::Head(
                                     "m_MyImp == 0", "Attempting to Initialize an already initialized input system.",
                                     "..\\..\\Source\\Core\\core_input"));
}
