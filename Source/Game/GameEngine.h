// GameEngine: the top of the program. It owns nothing but three flags; it fixes the order in
// which every system is created, brought up, run once per frame, shut down and destroyed.
//
// Each system is a singleton reached through its accessor; the engine never keeps pointers to
// them. Init, the frame and Shutdown are tables of named steps, so the order reads line by line
// and a test can watch it (Util::Trace). Main thread only.
#pragma once

#include <functional>

#include "Util/Singleton.h"

namespace Game {

class GameEngine : public Util::Singleton<GameEngine> {
 public:
  void Init();
  void Loop();
  // One frame of the loop, for a driver that runs the frames itself (the play-test runner).
  void Frame();
  void Shutdown();
  void ToggleFullScreen();

  // The quit request: the frame in progress completes, then Loop returns.
  void QuitGame() { m_Running = false; }

  bool IsInitialized() const { return m_Initialized; }
  bool IsShutdown() const { return m_Shutdown; }
  bool IsRunning() const { return m_Running; }

  // Called in every frame after the clock's begin and before the input step: where a driver
  // feeds the frame its input. None by default.
  static void SetBeforeInput(std::function<void()> hook);

 private:
  friend class Util::Singleton<GameEngine>;
  GameEngine();
  ~GameEngine() override;

  bool m_Initialized = false;
  bool m_Shutdown = false;
  bool m_Running = false;
};

}  // namespace Game
