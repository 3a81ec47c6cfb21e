#include "Util/Job.h"

#include <cstdio>

namespace Util {

std::unique_ptr<Job> Job::Run() {
  std::fputs("Job: Shouldn't be running base job\n", stdout);
  return nullptr;
}

std::unique_ptr<Job> KillingJob::Run() {
  std::fputs("KillingJob: Should not be running this\n", stdout);
  return nullptr;
}

}  // namespace Util
