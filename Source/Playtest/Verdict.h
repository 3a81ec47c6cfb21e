// Verdict: the checks of a play test. Every check counts; a failed one is printed at once, as
// "PLAYTEST FAILED (frame n): text". The summary is "PLAYTEST PASS n/n" when every check held and
// "PLAYTEST FAIL k/n" with k failed of n otherwise; the exit status is 0 only for a pass. Checks
// may come from any thread (an assertion on the worker thread).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace Play {

class Verdict {
 public:
  // Returns `held`.
  bool Check(bool held, const std::string& text, uint32_t frame);
  uint32_t Checks() const;
  uint32_t Failures() const;
  std::string Summary() const;
  int ExitStatus() const { return Failures() == 0 ? 0 : 1; }

 private:
  mutable std::mutex m_Mutex;
  uint32_t m_Checks = 0;
  uint32_t m_Failures = 0;
};

}  // namespace Play
