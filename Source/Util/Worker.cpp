#include "Util/Worker.h"

namespace Util {

Worker& Worker::Get() {
  static Worker worker;
  return worker;
}

void Worker::Start() {}

void Worker::Stop() {}

void Worker::CompleteFinishedJobs() {}

}  // namespace Util
