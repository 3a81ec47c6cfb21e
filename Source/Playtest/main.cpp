// hollowmere-playtest: the game run by a play script (see Playtest/Runner.h). Started like the
// game, from build/bin, so that ../../Assets is the asset tree; its one argument is the play
// script. Exit status: 0 when every check held, 1 when one failed, 2 for a wrong command line.
#include <cstdio>

#include "Playtest/Runner.h"
#include "Util/Signals.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hollowmere-playtest <play script>\n");
    return 2;
  }
  // Lines reach the output in the order they were made, also when a crash follows.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  Util::InstallCrashHandler();
  Util::InstallStopHandler();
  Play::Runner runner;
  return runner.Run(argv[1]);
}
