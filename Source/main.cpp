// Program entry: install the crash handler, then start, run and stop the engine.
#include "Core/AssertDialog.h"
#include "Game/GameEngine.h"
#include "Util/FileAccess.h"
#include "Util/Signals.h"

int main() {
  // The directory of opened assets outlives the engine: its teardown at exit writes the asset pack.
  Util::PackDirectory::Instance().SetWriteAtExit(true);
  Util::InstallCrashHandler();
  Util::InstallStopHandler();
  Core::InstallAssertDialog();

  Game::GameEngine::Instance().Init();
  Game::GameEngine::Instance().Loop();
  Game::GameEngine::Instance().Shutdown();
  Game::GameEngine::Destroy();
  return 0;
}
