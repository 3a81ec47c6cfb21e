#include "Game/GameEngine.h"

#include <cstdio>

#include "Core/Clock.h"
#include "Core/Input.h"
#include "Core/Window.h"
#include "Game/EntityManager.h"
#include "Game/GlobalStateData.h"
#include "Game/Player.h"
#include "Graphics/GraphicsFacade.h"
#include "Messaging/MailMan.h"
#include "Physics/PhysicsManager.h"
#include "Script/ScriptEngine.h"
#include "Sound/SoundEngine.h"
#include "Util/DebugConsole.h"
#include "Util/ErrorLog.h"
#include "Util/Grid.h"
#include "Util/LevelEditor.h"
#include "Util/Signals.h"
#include "Util/Trace.h"
#include "Util/Tweaker.h"
#include "Util/Worker.h"

namespace Game {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Game\\game_engine";

struct Step {
  const char* name;
  void (*run)();
};

// The driver's hook of SetBeforeInput; kept beside the engine, whose object holds only its flags.
std::function<void()>& BeforeInput() {
  static std::function<void()> hook;
  return hook;
}

template <size_t N>
void RunSteps(const Step (&steps)[N]) {
  for (const Step& step : steps) {
    Util::Trace::Record(step.name);
    step.run();
  }
}

// Start-up, after the clock has been read: each system in the order its dependants need it.
// The results of the systems' own Init calls are not consulted: a window that failed to open
// does not stop start-up.
const Step kInitSteps[] = {
    {"Window::init", [] { Core::Window::Instance().init(); }},
    {"Input::Init", [] { Core::Input::Instance().Init(); }},
    {"ErrorLog::Instance", [] { Util::ErrorLog::Instance(); }},
    {"Worker::Start", [] { Util::Worker::Get().Start(); }},
    {"MailMan::Instance", [] { Msg::MailMan::Instance(); }},
    {"DebugConsole::Init", [] { Util::DebugConsole::Instance().Init(); }},
    {"LevelEditor::Init", [] { Util::LevelEditor::Instance().Init(); }},
    {"GraphicsFacade::Init", [] { Gfx::GraphicsFacade::Instance().Init(); }},
    {"ScriptEngine::Init", [] { Spt::ScriptEngine::Instance().Init(); }},
    {"PhysicsManager::Instance", [] { Phy::PhysicsManager::Instance(); }},
    {"SoundEngine::Init", [] { Snd::SoundEngine::Instance().Init(); }},
    {"EntityManager::Instance", [] { EntityManager::Instance(); }},
    {"GlobalStateData::Init", [] { GlobalStateData::Instance().Init(); }},
    {"Player::InitScarf", [] { Player::Instance().InitScarf(); }},
    {"Player::InitLanternPole", [] { Player::Instance().InitLanternPole(); }},
    {"Tweaker::Instance", [] { Util::Tweaker::Instance(); }},
    // Everything posted so far is delivered now: the first entities are built here.
    {"MailMan::Deliver", [] { Msg::MailMan::Instance().Deliver(); }},
    {"Grid::Instance", [] { Util::Grid::Instance(); }},
    {"ScriptEngine::StartEntityScripts", [] { Spt::ScriptEngine::Instance().StartEntityScripts(); }},
};

// One frame. The quit flag is looked at only between frames, so a quit request made anywhere
// in here lets the whole frame, rendering and frame wait included, complete.
const Step kFrameSteps[] = {
    {"Clock::BeginFrame", [] { Clock::Instance().BeginFrame(); }},
    // The window's close request ends the game like a script's quit request.
    {"Input::Update",
     [] {
       if (BeforeInput()) BeforeInput()();
       if (!Core::Input::Instance().Update()) GameEngine::Instance().QuitGame();
     }},
    {"Input::PollController", [] { Core::Input::Instance().PollController(); }},
    {"Input::AdvanceTimers", [] { Core::Input::Instance().AdvanceTimers(); }},
    {"MailMan::Deliver", [] { Msg::MailMan::Instance().Deliver(); }},
    {"GlobalStateData::Update", [] { GlobalStateData::Instance().Update(); }},
    {"Grid::Update", [] { Util::Grid::Instance().Update(); }},
    {"PhysicsManager::Update", [] { Phy::PhysicsManager::Instance().Update(); }},
    {"ScriptEngine::Update", [] { Spt::ScriptEngine::Instance().Update(); }},
    {"Player::Update", [] { Player::Instance().Update(); }},
    {"SoundEngine::Update", [] { Snd::SoundEngine::Instance().Update(); }},
    {"Worker::CompleteFinishedJobs", [] { Util::Worker::Get().CompleteFinishedJobs(); }},
    {"GraphicsFacade::Update", [] { Gfx::GraphicsFacade::Instance().Update(); }},
    {"Clock::EndFrame", [] { Clock::Instance().EndFrame(); }},
};

// Shutdown, in the reverse order of dependence. The clock and the pools are not destroyed here:
// they die at program exit, after which each pool checks for leaks.
const Step kShutdownSteps[] = {
    {"Tweaker::Clear", [] { Util::Tweaker::Instance().Clear(); }},
    {"Tweaker::Destroy", [] { Util::Tweaker::Destroy(); }},
    {"Grid::Shutdown", [] { Util::Grid::Instance().Shutdown(); }},
    {"Grid::Destroy", [] { Util::Grid::Destroy(); }},
    {"Player::Shutdown", [] { Player::Instance().Shutdown(); }},
    {"Player::Destroy", [] { Player::Destroy(); }},
    {"GlobalStateData::Shutdown", [] { GlobalStateData::Instance().Shutdown(); }},
    {"GlobalStateData::DeleteOwned", [] { GlobalStateData::Instance().DeleteOwned(); }},
    {"GlobalStateData::Destroy", [] { GlobalStateData::Destroy(); }},
    {"EntityManager::Shutdown", [] { EntityManager::Instance().Shutdown(); }},
    {"EntityManager::Destroy", [] { EntityManager::Destroy(); }},
    {"SoundEngine::Close", [] { Snd::SoundEngine::Instance().Close(); }},
    {"SoundEngine::Destroy", [] { Snd::SoundEngine::Destroy(); }},
    {"PhysicsManager::Destroy", [] { Phy::PhysicsManager::Destroy(); }},
    {"ScriptEngine::Shutdown", [] { Spt::ScriptEngine::Instance().Shutdown(); }},
    {"ScriptEngine::Destroy", [] { Spt::ScriptEngine::Destroy(); }},
    {"GraphicsFacade::Shutdown", [] { Gfx::GraphicsFacade::Instance().Shutdown(); }},
    {"GraphicsFacade::Destroy", [] { Gfx::GraphicsFacade::Destroy(); }},
    {"LevelEditor::Destroy", [] { Util::LevelEditor::Destroy(); }},
    {"DebugConsole::Destroy", [] { Util::DebugConsole::Destroy(); }},
    {"MailMan::Shutdown", [] { Msg::MailMan::Instance().Shutdown(); }},
    {"MailMan::Destroy", [] { Msg::MailMan::Destroy(); }},
    {"Worker::Stop", [] { Util::Worker::Get().Stop(); }},
    {"ErrorLog::Close", [] { Util::ErrorLog::Instance().Close(); }},
    {"ErrorLog::Destroy", [] { Util::ErrorLog::Destroy(); }},
    {"Input::Shutdown", [] { Core::Input::Instance().Shutdown(); }},
    {"Input::Destroy", [] { Core::Input::Destroy(); }},
    {"Window::shutdown", [] { Core::Window::Instance().shutdown(); }},
    {"Window::Destroy", [] { Core::Window::Destroy(); }},
};

}  // namespace

GameEngine::GameEngine() : Singleton(true) {}

GameEngine::~GameEngine() {
  if (!UTIL_ASSERT(m_Shutdown, "The Game Engine has not been shutdown.")) Shutdown();
}

void GameEngine::Init() {
  m_Initialized = true;
  UTIL_ASSERT(!m_Shutdown, "The GameEngine::Init was called after GameEngine::Shutdown was called.");
  // The clock is created by this first use; its frame start is the reference for the start time.
  const double startTime = Clock::Instance().TimeInFrame();
  m_Running = true;
  RunSteps(kInitSteps);
  const double endTime = Clock::Instance().TimeInFrame();
  std::printf("Start time: %f\n", endTime - startTime);
  std::fflush(stdout);
}

void GameEngine::Loop() {
  UTIL_ASSERT(m_Initialized, "The GameEngine::Loop was called without GameEngine::Init being called first.");
  UTIL_ASSERT(!m_Shutdown, "The GameEngine::Loop was called after GameEngine::Shutdown was called.");
  while (m_Running) {
    Frame();
    if (Util::StopRequested()) QuitGame();
  }
}

void GameEngine::Frame() { RunSteps(kFrameSteps); }

void GameEngine::SetBeforeInput(std::function<void()> hook) { BeforeInput() = std::move(hook); }

void GameEngine::Shutdown() {
  UTIL_ASSERT(m_Initialized, "The GameEngine::Shutdown was called without GameEngine::Init being called first.");
  m_Shutdown = true;
  RunSteps(kShutdownSteps);
}

void GameEngine::ToggleFullScreen() {
  UTIL_ASSERT(m_Initialized, "GameEngine::ToggleFullScreen was called without GameEngine::Init being called first.");
  Util::Trace::Record("Window::ToggleFullScreen");
  Core::Window::Instance().ToggleFullScreen();
  Util::Trace::Record("Window::SetVideoMode");
  Core::Window::Instance().SetVideoMode();
  Util::Trace::Record("GraphicsFacade::AdaptToWindowSize");
  Gfx::GraphicsFacade::Instance().AdaptToWindowSize();
}

}  // namespace Game
