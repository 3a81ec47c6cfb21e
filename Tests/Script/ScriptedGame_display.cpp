// The whole game on its own assets, run by its scripts: Escape, read by the input as the second
// frame begins, ends the game through its own scripts after that frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/EngineDriver.h"
#include "Support/SdlEvents.h"

TEST(ScriptedGame, EscapeEndsTheGameThroughItsOwnScripts) {
  Testing::AssertRecorder recorder;
  Testing::EngineDriver engine;
  engine.OnStep([](const std::string& step, int frame) {
    if (step == "Clock::BeginFrame" && frame == 2) Testing::PushKey(SDLK_ESCAPE, true);
  });
  engine.Init();
  engine.Loop(20);  // should the scripts never end the game
  engine.Finish();
  EXPECT_EQ(engine.Frames(), 2);
  EXPECT_EQ(recorder.Texts(), std::vector<std::string>{});
}
