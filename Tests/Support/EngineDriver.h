// Drives the whole engine on a fake clock that moves 1 ms each time it is read (so a frame's wait
// ends after a known number of reads), with the step trace on; takes the engine down and gives
// the clock its own time source back when it goes.
#pragma once

#include <functional>
#include <string>

#include "Support/FakeTimeSource.h"

namespace Testing {

class EngineDriver {
 public:
  EngineDriver();
  ~EngineDriver() { Finish(); }
  EngineDriver(const EngineDriver&) = delete;
  EngineDriver& operator=(const EngineDriver&) = delete;

  // GameEngine::Init with what it prints kept from the test's output; gives that text.
  std::string Init();
  // Init, then an empty trace, so the trace holds only what comes after.
  void Start();
  // GameEngine::Loop; ends it after `limit` frames should nothing else.
  void Loop(int limit = 1000);
  // Calls `step` for every traced step with the number of the frame it belongs to (frames are
  // counted from 1 as Clock::BeginFrame comes; start-up steps are frame 0).
  void OnStep(std::function<void(const std::string& step, int frame)> step);
  int Frames() const { return m_Frames; }
  // Shuts the engine down if it runs, destroys it, and restores the trace and the clock.
  void Finish();

  FakeTimeSource& Time() { return m_Time; }

 private:
  FakeTimeSource m_Time;
  std::function<void(const std::string&, int)> m_Step;
  int m_Frames = 0;
  int m_Limit = 1000;
};

}  // namespace Testing
