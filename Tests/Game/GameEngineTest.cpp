#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Core/Clock.h"
#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Game/GameEngine.h"
#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Support/SdlEvents.h"
#include "Util/Signals.h"
#include "Util/Trace.h"

using Game::GameEngine;
using Steps = std::vector<std::string>;

namespace {

const Steps kInit = {
    "Window::init",
    "Input::Init",
    "ErrorLog::Instance",
    "Worker::Start",
    "MailMan::Instance",
    "DebugConsole::Init",
    "LevelEditor::Init",
    "GraphicsFacade::Init",
    "ScriptEngine::Init",
    "PhysicsManager::Instance",
    "SoundEngine::Init",
    "EntityManager::Instance",
    "GlobalStateData::Init",
    "Player::InitScarf",
    "Player::InitLanternPole",
    "Tweaker::Instance",
    "MailMan::Deliver",
    "Grid::Instance",
    "ScriptEngine::StartEntityScripts",
};

const Steps kFrame = {
    "Clock::BeginFrame",      "Input::Update",           "Input::PollController", "Input::AdvanceTimers",
    "MailMan::Deliver",       "GlobalStateData::Update", "Grid::Update",          "PhysicsManager::Update",
    "ScriptEngine::Update",   "Player::Update",          "SoundEngine::Update",   "Worker::CompleteFinishedJobs",
    "GraphicsFacade::Update", "Clock::EndFrame",
};

const Steps kShutdown = {
    "Tweaker::Clear",
    "Tweaker::Destroy",
    "Grid::Shutdown",
    "Grid::Destroy",
    "Player::Shutdown",
    "Player::Destroy",
    "GlobalStateData::Shutdown",
    "GlobalStateData::DeleteOwned",
    "GlobalStateData::Destroy",
    "EntityManager::Shutdown",
    "EntityManager::Destroy",
    "SoundEngine::Close",
    "SoundEngine::Destroy",
    "PhysicsManager::Destroy",
    "ScriptEngine::Shutdown",
    "ScriptEngine::Destroy",
    "GraphicsFacade::Shutdown",
    "GraphicsFacade::Destroy",
    "LevelEditor::Destroy",
    "DebugConsole::Destroy",
    "MailMan::Shutdown",
    "MailMan::Destroy",
    "Worker::Stop",
    "ErrorLog::Close",
    "ErrorLog::Destroy",
    "Input::Shutdown",
    "Input::Destroy",
    "Window::shutdown",
    "Window::Destroy",
};

Steps Concat(std::initializer_list<Steps> parts) {
  Steps all;
  for (const Steps& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Every test drives the engine with a fake counter that moves 1 ms per read, so the frame wait
// ends after a known number of reads and nothing depends on the machine's speed.
class GameEngineTest : public testing::Test {
 protected:
  void SetUp() override {
    Clock::Instance().SetTimeSource(m_Time);
    m_Time.SetStepPerReadMs(1.0);
    Util::Trace::Clear();
    Util::Trace::Enable(true);
  }
  void TearDown() override {
    Util::Trace::SetListener(nullptr);
    Util::Trace::Enable(false);
    Util::Trace::Clear();
    if (GameEngine::Exists()) {
      if (GameEngine::Instance().IsInitialized() && !GameEngine::Instance().IsShutdown())
        GameEngine::Instance().Shutdown();
      GameEngine::Destroy();
    }
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
  }

  Testing::FakeTimeSource m_Time;
};

}  // namespace

TEST_F(GameEngineTest, InitBringsSystemsUpInOrderAndPrintsItsDuration) {
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(Util::Trace::Steps(), kInit);
  EXPECT_TRUE(GameEngine::Instance().IsRunning());
  // Start time is the time Init spent: one counter read per millisecond of fake time.
  const size_t at = out.find("Start time: ");
  ASSERT_NE(at, std::string::npos) << out;
  const size_t end = out.find('\n', at);
  ASSERT_NE(end, std::string::npos);
  EXPECT_GT(std::stod(out.substr(at + 12, end - at - 12)), 0.0);
}

TEST_F(GameEngineTest, FramesRunInOrderUntilQuitThenShutdownRunsInOrder) {
  Testing::AssertRecorder recorder;
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  Util::Trace::Clear();

  int frames = 0;
  Util::Trace::SetListener([&](const std::string& step) {
    if (step == "Clock::BeginFrame" && ++frames == 3) GameEngine::Instance().QuitGame();
  });
  GameEngine::Instance().Loop();
  EXPECT_EQ(Util::Trace::Steps(), Concat({kFrame, kFrame, kFrame}));

  Util::Trace::Clear();
  GameEngine::Instance().Shutdown();
  EXPECT_EQ(Util::Trace::Steps(), kShutdown);
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST_F(GameEngineTest, QuitMidFrameLetsTheWholeFrameIncludingTheWaitComplete) {
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  Util::Trace::Clear();

  double frameStart = 0.0;
  double frameEnd = 0.0;
  Util::Trace::SetListener([&](const std::string& step) {
    if (step == "Clock::BeginFrame") frameStart = m_Time.NowMs();
    if (step == "ScriptEngine::Update") GameEngine::Instance().QuitGame();  // as a script would
  });
  GameEngine::Instance().Loop();
  frameEnd = m_Time.NowMs();
  EXPECT_EQ(Util::Trace::Steps(), kFrame);
  EXPECT_GE(frameEnd - frameStart, 33.0);  // the frame wait ran after the quit request
}

TEST_F(GameEngineTest, FrameTimeOfTheFirstFrameCoversInit) {
  testing::internal::CaptureStdout();
  m_Time.SetStepPerReadMs(0.0);
  Clock::Instance().SetTimeSource(m_Time);
  m_Time.AdvanceMs(3.0);
  Util::Trace::SetListener([&](const std::string& step) {
    if (step == "ScriptEngine::Init") m_Time.AdvanceMs(120.0);  // slow start-up scripts
    if (step == "Clock::EndFrame") GameEngine::Instance().QuitGame();
    if (step == "GraphicsFacade::Update") m_Time.AdvanceMs(40.0);
  });
  GameEngine::Instance().Init();
  GameEngine::Instance().Loop();
  testing::internal::GetCapturedStdout();
  EXPECT_DOUBLE_EQ(Clock::Instance().FrameTime(), 123.0);
}

TEST_F(GameEngineTest, StopSignalEndsTheLoopLikeAQuitRequest) {
  Util::InstallStopHandler();
  Util::ClearStopRequest();
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  Util::Trace::Clear();
  int frames = 0;
  Util::Trace::SetListener([&](const std::string& step) {
    if (step == "Clock::BeginFrame" && ++frames == 2) ::raise(SIGTERM);
  });
  GameEngine::Instance().Loop();
  EXPECT_EQ(frames, 2);
  Util::ClearStopRequest();
}

TEST_F(GameEngineTest, QuitRequestFromTheWindowSystemEndsTheLoopAfterItsFrame) {
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  Util::Trace::Clear();
  int frames = 0;
  Util::Trace::SetListener([&](const std::string& step) {
    if (step == "Clock::BeginFrame" && ++frames == 2) {
      ASSERT_TRUE(Testing::PushQuit()) << SDL_GetError();
    }
    if (frames > 5) GameEngine::Instance().QuitGame();  // the request was lost
  });
  GameEngine::Instance().Loop();
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(Util::Trace::Steps(), Concat({kFrame, kFrame}));
}

TEST_F(GameEngineTest, ToggleFullScreenSwitchesTheWindowThenAdaptsGraphics) {
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  Util::Trace::Clear();
  GameEngine::Instance().ToggleFullScreen();
  EXPECT_EQ(Util::Trace::Steps(),
            (Steps{"Window::ToggleFullScreen", "Window::SetVideoMode", "GraphicsFacade::AdaptToWindowSize"}));
}

TEST_F(GameEngineTest, MisuseBeforeInitIsReportedEachWithItsOwnText) {
  Testing::AssertRecorder recorder;
  GameEngine::Instance().ToggleFullScreen();
  GameEngine::Instance().Loop();  // not running: returns after reporting
  EXPECT_EQ(recorder.Comments(),
            (Steps{"GameEngine::ToggleFullScreen was called without GameEngine::Init being called first.",
                   "The GameEngine::Loop was called without GameEngine::Init being called first."}));
  recorder.Clear();
  Util::Trace::Clear();
  GameEngine::Instance().Shutdown();
  EXPECT_TRUE(recorder.Saw("The GameEngine::Shutdown was called without GameEngine::Init being called first."));
}

TEST_F(GameEngineTest, InitAndLoopAfterShutdownAreReported) {
  Testing::AssertRecorder recorder;
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  GameEngine::Instance().QuitGame();
  GameEngine::Instance().Shutdown();
  recorder.Clear();
  GameEngine::Instance().Loop();
  GameEngine::Instance().Init();
  GameEngine::Instance().Shutdown();
  testing::internal::GetCapturedStdout();
  const Steps comments = recorder.Comments();
  EXPECT_TRUE(std::find(comments.begin(), comments.end(),
                        "The GameEngine::Loop was called after GameEngine::Shutdown was called.") != comments.end());
  EXPECT_TRUE(std::find(comments.begin(), comments.end(),
                        "The GameEngine::Init was called after GameEngine::Shutdown was called.") != comments.end());
}

TEST_F(GameEngineTest, DestroyWithoutShutdownReportsAndThenShutsDown) {
  Testing::AssertRecorder recorder;
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  Util::Trace::Clear();
  GameEngine::Destroy();
  EXPECT_EQ(recorder.Comments(), (Steps{"The Game Engine has not been shutdown."}));
  EXPECT_EQ(Util::Trace::Steps(), kShutdown);
}

namespace {

class AreaLog : public Msg::MailBox {
 public:
  void Receive(Util::Handle<Msg::gameAreaMsg> message) override { m_Areas.push_back(message->m_Area); }
  std::vector<int> m_Areas;
};

}  // namespace

TEST_F(GameEngineTest, MailPostedDuringStartUpIsDeliveredAtItsEnd) {
  AreaLog log;
  Util::Trace::SetListener([](const std::string& step) {
    if (step == "Player::InitLanternPole") Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(1));
    if (step == "Grid::Instance") Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(2));
  });
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(log.m_Areas, std::vector<int>{1});  // the second waits for the first frame
  Msg::MailMan::Instance().Deliver();
  EXPECT_EQ(log.m_Areas, (std::vector<int>{1, 2}));
}

// The game's opening script may create entities of its own at once; the editor's are the ones
// named editor_.
size_t EditorEntities() {
  size_t count = 0;
  for (Game::Entity* entity : Game::EntityManager::Instance().Entities())
    if (std::string(entity->GetName()).rfind("editor_", 0) == 0) ++count;
  return count;
}

TEST_F(GameEngineTest, TheEditorEntitiesAskedForEarlyInStartUpAreBuiltByItsDelivery) {
  Testing::AssertRecorder recorder;
  size_t before = 1;
  Util::Trace::SetListener([&](const std::string& step) {
    if (step == "MailMan::Deliver") before = EditorEntities();
  });
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(before, 0u);
  EXPECT_EQ(EditorEntities(), 4u);
  GameEngine::Instance().Shutdown();
  EXPECT_FALSE(Game::EntityManager::Exists());
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST_F(GameEngineTest, MailStillQueuedAtShutdownIsDestroyedUndeliveredAndUnreported) {
  Testing::AssertRecorder recorder;
  AreaLog log;
  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  const auto& pool = Util::Allocator<sizeof(Msg::gameAreaMsg)>::Instance();
  const uint32_t inUse = pool.Stats().ObjectsInUse_;
  Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(3));
  GameEngine::Instance().Shutdown();
  EXPECT_TRUE(log.m_Areas.empty());
  EXPECT_FALSE(Msg::MailMan::Exists());
  EXPECT_EQ(pool.Stats().ObjectsInUse_, inUse);
  EXPECT_EQ(recorder.Count(), 0u);
}
