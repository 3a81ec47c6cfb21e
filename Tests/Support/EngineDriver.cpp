#include "Support/EngineDriver.h"

#include "Core/Clock.h"
#include "Game/GameEngine.h"
#include "Support/Printed.h"
#include "Util/Trace.h"

using Game::GameEngine;

namespace Testing {

EngineDriver::EngineDriver() {
  Clock::Instance().SetTimeSource(m_Time);
  m_Time.SetStepPerReadMs(1.0);
  Util::Trace::Clear();
  Util::Trace::Enable(true);
  Util::Trace::SetListener([this](const std::string& step) {
    if (step == "Clock::BeginFrame" && ++m_Frames >= m_Limit) GameEngine::Instance().QuitGame();
    if (m_Step) m_Step(step, m_Frames);
  });
}

std::string EngineDriver::Init() {
  return Printed([] { GameEngine::Instance().Init(); });
}

void EngineDriver::Start() {
  Init();
  Util::Trace::Clear();
}

void EngineDriver::Loop(int limit) {
  m_Limit = m_Frames + limit;
  GameEngine::Instance().Loop();
}

void EngineDriver::OnStep(std::function<void(const std::string&, int)> step) { m_Step = std::move(step); }

void EngineDriver::Finish() {
  Util::Trace::SetListener(nullptr);
  Util::Trace::Enable(false);
  Util::Trace::Clear();
  Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
  if (!GameEngine::Exists()) return;
  Printed([] {
    if (GameEngine::Instance().IsInitialized() && !GameEngine::Instance().IsShutdown())
      GameEngine::Instance().Shutdown();
    GameEngine::Destroy();
  });
}

}  // namespace Testing
