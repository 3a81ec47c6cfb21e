// Worker: the background thread that opens assets, and the two job queues it shares with the
// main thread. Not built yet beyond its entry points, so that the engine's order is fixed.
#pragma once

namespace Util {

class Worker {
 public:
  // The one worker, constructed on first use (engine start-up) and destroyed at program exit.
  static Worker& Get();

  void Start();
  void Stop();
  // Main thread, once per frame: finishes jobs the worker has opened, within the frame budget.
  void CompleteFinishedJobs();

 private:
  Worker() = default;
};

}  // namespace Util
