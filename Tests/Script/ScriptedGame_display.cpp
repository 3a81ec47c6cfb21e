// The whole engine run by scripts: on a small asset tree, the opening script creates an entity
// whose script ends the game, and the frame loop ends with the frame in which it did; on the game's
// own assets, Escape ends the game.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Core/Clock.h"
#include "Game/GameEngine.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Support/SdlEvents.h"
#include "Support/TempTree.h"
#include "Util/Trace.h"

namespace {

std::string Plain(const std::string& name, const std::string& script = "") {
  return "<?xml version=\"1.0\"?><XMLRoot><Entity><string name=\"name\">" + name + "</string></Entity>" +
         (script.empty()
              ? ""
              : "<Script><string name=\"file\">" + script + "</string><bool name=\"always\">1</bool></Script>") +
         "</XMLRoot>";
}

// Runs the engine from Init to Destroy on a fake clock; onFrame sees each frame's number as it
// begins. Ends the loop itself after 20 frames and gives the number of frames run.
int RunGame(const std::function<void(int frame)>& onFrame) {
  Testing::FakeTimeSource time;
  time.SetStepPerReadMs(1.0);
  Clock::Instance().SetTimeSource(time);
  int frames = 0;
  Util::Trace::Enable(true);
  Util::Trace::SetListener([&](const std::string& step) {
    if (step != "Clock::BeginFrame") return;
    onFrame(++frames);
    // Should the scripts never end the game, the loop still ends, and the count tells.
    if (frames == 20) Game::GameEngine::Instance().QuitGame();
  });
  testing::internal::CaptureStdout();
  Game::GameEngine::Instance().Init();
  Game::GameEngine::Instance().Loop();
  Game::GameEngine::Instance().Shutdown();
  Game::GameEngine::Destroy();
  testing::internal::GetCapturedStdout();
  Util::Trace::SetListener(nullptr);
  Util::Trace::Enable(false);
  Util::Trace::Clear();
  Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
  return frames;
}

}  // namespace

TEST(ScriptedGame, AnEntityScriptThatCallsQuitGameEndsTheLoopAfterThatFrame) {
  Testing::TempTree tree;
  Testing::AssertRecorder recorder;
  for (const char* name : {"gfx_material_1", "gfx_material_post", "gfx_render_passes_1"})
    tree.Write(std::string("Assets/Scripts/") + name + ".lua", "");
  tree.Write("Assets/Scripts/game_OnStart.lua", "Global.CreateEntity('../../Assets/Xml/entities/quitter.xml')\n");
  tree.Write("Assets/Xml/entities/quitter.xml", Plain("quitter", "../../Assets/Scripts/quitter.lua"));
  tree.Write("Assets/Scripts/quitter.lua",
             "local runs = 0\n"
             "while true do\n"
             "  runs = runs + 1\n"
             "  if runs == 3 then Global.QuitGame() end\n"
             "  coroutine.yield()\n"
             "end\n");
  for (const char* name : {"editor_DebugConsole", "editor_DebugFPS", "editor_Levels", "editor_Islands"})
    tree.Write(std::string("Assets/Xml/entities/") + name + ".xml", Plain(name));

  const int frames = RunGame([](int) {});
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(ScriptedGame, EscapeEndsTheGameThroughItsOwnScripts) {
  Testing::AssertRecorder recorder;
  // The key goes down as the second frame begins, before the input is read.
  const int frames = RunGame([](int frame) {
    if (frame == 2) Testing::PushKey(SDLK_ESCAPE, true);
  });
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(recorder.Count(), 0u);
}
