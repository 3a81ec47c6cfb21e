// The engine as a whole, checked by what its start-up, frames and shutdown leave behind: the
// systems that exist, the entities built and filed, what scripts see, and what is freed.
#include "Game/GameEngine.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <signal.h>

#include <string>
#include <vector>

#include "Core/Clock.h"
#include "Core/Input.h"
#include "Core/Window.h"
#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Game/GlobalStateData.h"
#include "Game/Player.h"
#include "Graphics/Camera.h"
#include "Graphics/GraphicsFacade.h"
#include "Messaging/Messages.h"
#include "Physics/PhysicsManager.h"
#include "Script/Script.h"
#include "Script/ScriptEngine.h"
#include "Sound/SoundEngine.h"
#include "Support/AssertRecorder.h"
#include "Support/EngineDriver.h"
#include "Support/GameTree.h"
#include "Support/SdlEvents.h"
#include "Util/DebugConsole.h"
#include "Util/ErrorLog.h"
#include "Util/Grid.h"
#include "Util/LevelEditor.h"
#include "Util/Signals.h"
#include "Util/Tweaker.h"
#include "Util/Worker.h"

using Game::GameEngine;
using testing::HasSubstr;
using Texts = std::vector<std::string>;

namespace {

// Whether each system the engine brings up exists (the worker: whether its thread runs).
std::vector<bool> Systems() {
  return {Core::Window::Exists(),          Core::Input::Exists(),
          Util::ErrorLog::Exists(),        Util::Worker::Get().IsRunning(),
          Msg::MailMan::Exists(),          Util::DebugConsole::Exists(),
          Util::LevelEditor::Exists(),     Gfx::GraphicsFacade::Exists(),
          Spt::ScriptEngine::Exists(),     Phy::PhysicsManager::Exists(),
          Snd::SoundEngine::Exists(),      Game::EntityManager::Exists(),
          Game::GlobalStateData::Exists(), Game::Player::Exists(),
          Util::Tweaker::Exists(),         Util::Grid::Exists()};
}

class GameEngineTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_Asserts.Texts(), Texts{}); }

  Testing::AssertRecorder m_Asserts;
};

}  // namespace

TEST_F(GameEngineTest, InitBringsEverySystemUpRunsTheStartUpScriptsAndBuildsAndFilesTheFirstEntities) {
  Testing::EngineDriver engine;
  // Every start-up step takes 10 ms: the start time printed, and the first frame, cover them all.
  engine.Time().SetStepPerReadMs(0.0);
  engine.OnStep([&](const std::string&, int frame) {
    if (frame == 0) engine.Time().AdvanceMs(10.0);
  });
  const std::string out = engine.Init();
  const double initTime = engine.Time().NowMs();
  EXPECT_GE(initTime, 100.0);
  EXPECT_THAT(out, HasSubstr("Start time: " + std::to_string(initTime) + "\n"));
  EXPECT_EQ(Systems(), std::vector<bool>(16, true));
  EXPECT_TRUE(GameEngine::Instance().IsRunning());

  // The opening script builds its entities at once; the editor's, asked for earlier, are built by
  // the delivery at the end of start-up, and the grid made after it files them all.
  EXPECT_THAT(out, HasSubstr("game_OnStart: the game's scripts are running\n"));
  Texts names;
  for (Game::Entity* e : Game::EntityManager::Instance().Entities())
    names.push_back(std::string(e->GetName()).substr(0, std::string(e->GetName()).find_first_of("0123456789")));
  EXPECT_EQ(names.front(), "game_QuitKey");
  const auto editors = std::find(names.begin(), names.end(), "editor_DebugConsole");
  ASSERT_LE(editors + 4, names.end());
  EXPECT_EQ(Texts(editors, editors + 4),
            (Texts{"editor_DebugConsole", "editor_DebugFPS", "editor_Levels", "editor_Islands"}));
  EXPECT_EQ(Util::Grid::Instance().Count(), names.size());
  EXPECT_TRUE(Util::Grid::Instance().Validate());
  for (Spt::Script* script : Util::AutoList<Spt::Script>::All()) EXPECT_NE(script->Thread(), nullptr);

  engine.Time().SetStepPerReadMs(1.0);
  engine.Loop(1);
  EXPECT_DOUBLE_EQ(Clock::Instance().FrameTime(), initTime);
}

TEST_F(GameEngineTest, AFrameDeliversTheMailBeforeTheScriptsRunAndRendersAfterThemAndAQuitLetsItFinish) {
  Testing::GameTree tree;
  // Each run notes the camera target the game state heard, sets a new one, and the third quits.
  const std::string watcher = tree.Definition("Watcher",
                                              tree.Script("watcher.lua",
                                                          "heard = {}\n"
                                                          "while true do\n"
                                                          "  heard[#heard + 1] = Global.gCameraTarget().x\n"
                                                          "  Global.SetCameraTargetPositionVector(#heard, 0, 0)\n"
                                                          "  if #heard == 3 then Global.QuitGame() end\n"
                                                          "  coroutine.yield()\n"
                                                          "end\n"),
                                              true);
  tree.Script("game_OnStart.lua", "Global.CreateEntity('" + watcher + "')");
  Testing::EngineDriver engine;
  engine.Init();
  engine.Loop(10);
  EXPECT_EQ(engine.Frames(), 3);
  // The camera's report of a frame's render reaches the game state in the next frame's delivery,
  // before that frame's scripts.
  std::string heard;
  EXPECT_TRUE(Spt::ScriptEngine::Instance().DoString("return table.concat(heard, ' ')", &heard));
  EXPECT_EQ(heard, "0 1 2");
  // The frame that asked to quit was rendered and waited out all the same.
  EXPECT_EQ(Gfx::GraphicsFacade::Instance().GetCamera()->Target().x, 3.0f);
  EXPECT_GE(engine.Time().NowMs() - static_cast<double>(Clock::Instance().CurrentFrameStart()), 33.0);
}

TEST_F(GameEngineTest, AStopSignalOrTheWindowSystemsQuitRequestEndsTheLoopAfterItsFrame) {
  Util::InstallStopHandler();
  for (bool signal : {true, false}) {
    Util::ClearStopRequest();
    Testing::EngineDriver engine;
    engine.OnStep([&](const std::string& step, int frame) {
      if (step != "Clock::BeginFrame" || frame != 2) return;
      if (signal) {
        ::raise(SIGTERM);
      } else {
        EXPECT_TRUE(Testing::PushQuit()) << SDL_GetError();
      }
    });
    engine.Init();
    engine.Loop(6);  // should the request be lost
    EXPECT_EQ(engine.Frames(), 2) << signal;
  }
  Util::ClearStopRequest();
}

TEST_F(GameEngineTest, ShutdownOrDestroyingTheEngineUnshutTakesEverySystemDownAndFreesWhatWasLeft) {
  struct : Msg::MailBox {
    void Receive(const Util::Handle<Msg::gameAreaMsg>&) override { ++seen; }
    int seen = 0;
  } areas;
  const auto& areaPool = Util::Allocator<sizeof(Msg::gameAreaMsg)>::Instance().Stats();
  const auto& playerPool = Util::Allocator<sizeof(Game::Player)>::Instance().Stats();
  const uint32_t areasInUse = areaPool.ObjectsInUse_, playersInUse = playerPool.ObjectsInUse_;
  const size_t entities = Util::AutoList<Game::Entity>::Count();
  for (bool shutdown : {true, false}) {
    Testing::EngineDriver engine;
    engine.Init();
    EXPECT_EQ(playerPool.ObjectsInUse_, playersInUse + 1);  // the player lives in a block of its pool
    Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(3));
    if (shutdown) {
      GameEngine::Instance().Shutdown();
    } else {
      GameEngine::Destroy();
      EXPECT_EQ(m_Asserts.Comments(), Texts{"The Game Engine has not been shutdown."});
      m_Asserts.Clear();
    }
    EXPECT_EQ(Systems(), std::vector<bool>(16, false));
    EXPECT_EQ(Util::AutoList<Game::Entity>::Count(), entities);
    EXPECT_EQ(std::make_pair(areaPool.ObjectsInUse_, playerPool.ObjectsInUse_),
              std::make_pair(areasInUse, playersInUse));
  }
  EXPECT_EQ(areas.seen, 0);  // queued mail is destroyed unseen
}

TEST_F(GameEngineTest, MisuseBeforeInitAndAfterShutdownIsReportedEachWithItsOwnText) {
  Testing::EngineDriver engine;
  GameEngine::Instance().ToggleFullScreen();
  GameEngine::Instance().Loop();  // not running: returns after reporting
  EXPECT_EQ(m_Asserts.Comments(),
            (Texts{"GameEngine::ToggleFullScreen was called without GameEngine::Init being called first.",
                   "The GameEngine::Loop was called without GameEngine::Init being called first."}));
  GameEngine::Instance().Shutdown();
  EXPECT_TRUE(m_Asserts.Saw("The GameEngine::Shutdown was called without GameEngine::Init being called first."));
  GameEngine::Destroy();

  engine.Init();
  GameEngine::Instance().ToggleFullScreen();
  EXPECT_TRUE(Core::Window::Instance().IsFullScreen());
  GameEngine::Instance().QuitGame();
  GameEngine::Instance().Shutdown();
  m_Asserts.Clear();
  GameEngine::Instance().Loop();
  engine.Init();
  GameEngine::Instance().Shutdown();
  EXPECT_TRUE(m_Asserts.Saw("The GameEngine::Loop was called after GameEngine::Shutdown was called."));
  EXPECT_TRUE(m_Asserts.Saw("The GameEngine::Init was called after GameEngine::Shutdown was called."));
  m_Asserts.Clear();
}
