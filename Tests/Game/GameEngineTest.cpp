#include <gtest/gtest.h>
#include <signal.h>

#include <sstream>
#include <string>
#include <vector>

#include "Core/Clock.h"
#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Game/GameEngine.h"
#include "Graphics/Camera.h"
#include "Graphics/GraphicsFacade.h"
#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/EngineDriver.h"
#include "Support/SdlEvents.h"
#include "Util/Grid.h"
#include "Util/Signals.h"
#include "Util/Trace.h"

using Game::GameEngine;
using Steps = std::vector<std::string>;

namespace {

// A list of step names written one after the other, separated by spaces.
Steps Split(const std::string& names) {
  Steps steps;
  std::istringstream in(names);
  for (std::string name; in >> name;) steps.push_back(name);
  return steps;
}

const Steps kInit = Split(
    "Window::init Input::Init ErrorLog::Instance Worker::Start MailMan::Instance "
    "DebugConsole::Init LevelEditor::Init GraphicsFacade::Init ScriptEngine::Init PhysicsManager::Instance "
    "SoundEngine::Init EntityManager::Instance GlobalStateData::Init Player::InitScarf Player::InitLanternPole "
    "Tweaker::Instance MailMan::Deliver Grid::Instance ScriptEngine::StartEntityScripts");

const Steps kFrame = Split(
    "Clock::BeginFrame Input::Update Input::PollController Input::AdvanceTimers MailMan::Deliver "
    "GlobalStateData::Update Grid::Update PhysicsManager::Update ScriptEngine::Update Player::Update "
    "SoundEngine::Update Worker::CompleteFinishedJobs GraphicsFacade::Update Clock::EndFrame");

const Steps kShutdown = Split(
    "Tweaker::Clear Tweaker::Destroy Grid::Shutdown Grid::Destroy Player::Shutdown Player::Destroy "
    "GlobalStateData::Shutdown GlobalStateData::DeleteOwned GlobalStateData::Destroy "
    "EntityManager::Shutdown EntityManager::Destroy SoundEngine::Close SoundEngine::Destroy "
    "PhysicsManager::Destroy ScriptEngine::Shutdown ScriptEngine::Destroy "
    "GraphicsFacade::Shutdown GraphicsFacade::Destroy LevelEditor::Destroy DebugConsole::Destroy "
    "MailMan::Shutdown MailMan::Destroy Worker::Stop ErrorLog::Close ErrorLog::Destroy "
    "Input::Shutdown Input::Destroy Window::shutdown Window::Destroy");

Steps Frames(int count) {
  Steps all;
  for (int i = 0; i < count; ++i) all.insert(all.end(), kFrame.begin(), kFrame.end());
  return all;
}

class AreaLog : public Msg::MailBox {
 public:
  void Receive(const Util::Handle<Msg::gameAreaMsg>& message) override { m_Areas.push_back(message->m_Area); }
  std::vector<int> m_Areas;
};

// The game's opening script may create entities of its own at once; the editor's are named editor_.
size_t EditorEntities() {
  size_t count = 0;
  for (Game::Entity* entity : Game::EntityManager::Instance().Entities())
    count += std::string(entity->GetName()).rfind("editor_", 0) == 0;
  return count;
}

// No assertion is expected unless a test clears what it expected.
class GameEngineTest : public testing::Test {
 protected:
  void TearDown() override {
    m_Engine.Finish();
    EXPECT_EQ(m_Asserts.Texts(), Steps{});
  }

  Testing::AssertRecorder m_Asserts;
  Testing::EngineDriver m_Engine;
};

}  // namespace

TEST_F(GameEngineTest, InitBringsSystemsUpInOrderAndPrintsItsDuration) {
  const std::string out = m_Engine.Init();
  EXPECT_EQ(Util::Trace::Steps(), kInit);
  EXPECT_TRUE(GameEngine::Instance().IsRunning());
  // Start time is the time Init spent: one counter read per millisecond of fake time.
  const size_t at = out.find("Start time: ");
  ASSERT_NE(at, std::string::npos) << out;
  EXPECT_GT(std::stod(out.substr(at + 12)), 0.0);
  EXPECT_NE(out.find('\n', at), std::string::npos);
}

TEST_F(GameEngineTest, FramesRunInOrderUntilQuitThenShutdownRunsInOrder) {
  m_Engine.Start();
  m_Engine.Loop(3);
  EXPECT_EQ(Util::Trace::Steps(), Frames(3));
  Util::Trace::Clear();
  GameEngine::Instance().Shutdown();
  EXPECT_EQ(Util::Trace::Steps(), kShutdown);
}

TEST_F(GameEngineTest, QuitMidFrameLetsTheWholeFrameIncludingTheWaitComplete) {
  m_Engine.Start();
  double frameStart = 0.0;
  m_Engine.OnStep([&](const std::string& step, int) {
    if (step == "Clock::BeginFrame") frameStart = m_Engine.Time().NowMs();
    if (step == "ScriptEngine::Update") GameEngine::Instance().QuitGame();  // as a script would
  });
  m_Engine.Loop();
  EXPECT_EQ(Util::Trace::Steps(), kFrame);
  EXPECT_GE(m_Engine.Time().NowMs() - frameStart, 33.0);  // the frame wait ran after the quit request
}

TEST_F(GameEngineTest, FrameTimeOfTheFirstFrameCoversInit) {
  m_Engine.Time().SetStepPerReadMs(0.0);
  Clock::Instance().SetTimeSource(m_Engine.Time());
  m_Engine.Time().AdvanceMs(3.0);
  m_Engine.OnStep([&](const std::string& step, int) {
    if (step == "ScriptEngine::Init") m_Engine.Time().AdvanceMs(120.0);  // slow start-up scripts
    if (step == "GraphicsFacade::Update") m_Engine.Time().AdvanceMs(40.0);
  });
  m_Engine.Init();
  m_Engine.Loop(1);
  EXPECT_DOUBLE_EQ(Clock::Instance().FrameTime(), 123.0);
}

TEST_F(GameEngineTest, StopSignalEndsTheLoopLikeAQuitRequest) {
  Util::InstallStopHandler();
  Util::ClearStopRequest();
  m_Engine.Start();
  m_Engine.OnStep([](const std::string& step, int frame) {
    if (step == "Clock::BeginFrame" && frame == 2) ::raise(SIGTERM);
  });
  m_Engine.Loop(5);
  EXPECT_EQ(m_Engine.Frames(), 2);
  Util::ClearStopRequest();
}

TEST_F(GameEngineTest, QuitRequestFromTheWindowSystemEndsTheLoopAfterItsFrame) {
  m_Engine.Start();
  m_Engine.OnStep([](const std::string& step, int frame) {
    if (step == "Clock::BeginFrame" && frame == 2) {
      EXPECT_TRUE(Testing::PushQuit()) << SDL_GetError();
    }
  });
  m_Engine.Loop(6);  // should the request be lost
  EXPECT_EQ(m_Engine.Frames(), 2);
  EXPECT_EQ(Util::Trace::Steps(), Frames(2));
}

TEST_F(GameEngineTest, ToggleFullScreenSwitchesTheWindowThenAdaptsGraphics) {
  m_Engine.Start();
  GameEngine::Instance().ToggleFullScreen();
  EXPECT_EQ(Util::Trace::Steps(),
            Split("Window::ToggleFullScreen Window::SetVideoMode GraphicsFacade::AdaptToWindowSize"));
}

TEST_F(GameEngineTest, MisuseBeforeInitAndAfterShutdownIsReportedEachWithItsOwnText) {
  GameEngine::Instance().ToggleFullScreen();
  GameEngine::Instance().Loop();  // not running: returns after reporting
  EXPECT_EQ(m_Asserts.Comments(),
            (Steps{"GameEngine::ToggleFullScreen was called without GameEngine::Init being called first.",
                   "The GameEngine::Loop was called without GameEngine::Init being called first."}));
  GameEngine::Instance().Shutdown();
  EXPECT_TRUE(m_Asserts.Saw("The GameEngine::Shutdown was called without GameEngine::Init being called first."));
  GameEngine::Destroy();

  m_Engine.Init();
  GameEngine::Instance().QuitGame();
  GameEngine::Instance().Shutdown();
  m_Asserts.Clear();
  GameEngine::Instance().Loop();
  m_Engine.Init();
  GameEngine::Instance().Shutdown();
  EXPECT_TRUE(m_Asserts.Saw("The GameEngine::Loop was called after GameEngine::Shutdown was called."));
  EXPECT_TRUE(m_Asserts.Saw("The GameEngine::Init was called after GameEngine::Shutdown was called."));
  m_Asserts.Clear();
}

TEST_F(GameEngineTest, DestroyWithoutShutdownReportsAndThenShutsDown) {
  m_Engine.Start();
  GameEngine::Destroy();
  EXPECT_EQ(m_Asserts.Comments(), (Steps{"The Game Engine has not been shutdown."}));
  EXPECT_EQ(Util::Trace::Steps(), kShutdown);
  m_Asserts.Clear();
}

TEST_F(GameEngineTest, MailPostedDuringStartUpIsDeliveredAtItsEndAndTheEditorEntitiesAreBuiltThere) {
  AreaLog log;
  size_t editorBefore = 1;
  m_Engine.OnStep([&](const std::string& step, int) {
    if (step == "Player::InitLanternPole") Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(1));
    if (step == "MailMan::Deliver") editorBefore = EditorEntities();
    if (step == "Grid::Instance") Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(2));
  });
  m_Engine.Init();
  EXPECT_EQ(log.m_Areas, std::vector<int>{1});  // the second waits for the first frame
  EXPECT_EQ(editorBefore, 0u);                  // asked for early in start-up, built by its delivery
  EXPECT_EQ(EditorEntities(), 4u);
  Msg::MailMan::Instance().Deliver();
  EXPECT_EQ(log.m_Areas, (std::vector<int>{1, 2}));
}

TEST_F(GameEngineTest, MailStillQueuedAtShutdownIsDestroyedUndeliveredAndUnreported) {
  AreaLog log;
  m_Engine.Init();
  const auto& pool = Util::Allocator<sizeof(Msg::gameAreaMsg)>::Instance();
  const uint32_t inUse = pool.Stats().ObjectsInUse_;
  Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(3));
  GameEngine::Instance().Shutdown();
  EXPECT_TRUE(log.m_Areas.empty());
  EXPECT_FALSE(Msg::MailMan::Exists());
  EXPECT_FALSE(Game::EntityManager::Exists());
  EXPECT_EQ(pool.Stats().ObjectsInUse_, inUse);
}

// The grid inside the running engine: what start-up built is filed when the grid is made, and the
// camera's position reaches the grid through the mail every frame.
TEST_F(GameEngineTest, TheGridFilesTheEntitiesBuiltDuringStartUpAndFollowsTheCameraEachFrame) {
  m_Engine.Init();
  Util::Grid& grid = Util::Grid::Instance();
  EXPECT_EQ(grid.Count(), Game::EntityManager::Instance().Count());
  EXPECT_GT(grid.Count(), 0u);
  EXPECT_TRUE(grid.Validate());

  Util::Vec3 eyeOfFirstFrame{1e9f, 1e9f, 1e9f}, gridCameraInSecondFrame;
  m_Engine.OnStep([&](const std::string& step, int frame) {
    if (step == "Clock::EndFrame" && frame == 1) eyeOfFirstFrame = Gfx::GraphicsFacade::Instance().GetCamera()->Eye();
    if (step == "PhysicsManager::Update" && frame == 2) gridCameraInSecondFrame = grid.CameraPosition();
  });
  m_Engine.Loop(2);
  EXPECT_EQ(gridCameraInSecondFrame, eyeOfFirstFrame);
  // The notices of start-up's entities, delivered in the first frame, changed nothing.
  EXPECT_EQ(grid.Count(), Game::EntityManager::Instance().Count());
  EXPECT_TRUE(grid.Validate());
  m_Engine.Finish();
  EXPECT_FALSE(Util::Grid::Exists());
}
