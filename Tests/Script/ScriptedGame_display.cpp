// The whole engine run by scripts: on a small asset tree, the opening script creates an entity
// whose script ends the game, and the frame loop ends with the frame in which it did; on the game's
// own assets, Escape ends the game.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/EngineDriver.h"
#include "Support/SdlEvents.h"
#include "Support/TempTree.h"

namespace {

std::string Plain(const std::string& name, const std::string& script = "") {
  return "<?xml version=\"1.0\"?><XMLRoot><Entity><string name=\"name\">" + name + "</string></Entity>" +
         (script.empty()
              ? ""
              : "<Script><string name=\"file\">" + script + "</string><bool name=\"always\">1</bool></Script>") +
         "</XMLRoot>";
}

// Runs the engine from Init to Destroy, ending the loop itself after 20 frames should the scripts
// never end the game; gives the number of frames run. No assertion may fail on the way.
int RunGame(const std::function<void(int frame)>& onFrame = nullptr) {
  Testing::AssertRecorder recorder;
  Testing::EngineDriver engine;
  engine.OnStep([&](const std::string& step, int frame) {
    if (step == "Clock::BeginFrame" && onFrame) onFrame(frame);
  });
  engine.Init();
  engine.Loop(20);
  engine.Finish();
  EXPECT_EQ(recorder.Texts(), std::vector<std::string>{});
  return engine.Frames();
}

}  // namespace

TEST(ScriptedGame, AnEntityScriptThatCallsQuitGameEndsTheLoopAfterThatFrame) {
  Testing::TempTree tree;
  for (const char* name : {"gfx_material_1", "gfx_material_post", "gfx_render_passes_1"})
    tree.Write(std::string("Assets/Scripts/") + name + ".lua", "");
  tree.Write("Assets/Xml/materialsMin.xml", "<Materials/>");  // the renderer's catalogue, empty
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
  EXPECT_EQ(RunGame(), 3);
}

TEST(ScriptedGame, EscapeEndsTheGameThroughItsOwnScripts) {
  // The key goes down as the second frame begins, before the input is read.
  EXPECT_EQ(RunGame([](int frame) {
              if (frame == 2) Testing::PushKey(SDLK_ESCAPE, true);
            }),
            2);
}
