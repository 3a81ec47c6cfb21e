// A time source for the clock that moves only as a test says: by hand, and optionally by a fixed
// step every time it is read (so a spinning frame wait ends after a known number of reads).
#pragma once

#include <cstdint>

#include "Core/Clock.h"

namespace Testing {

class FakeTimeSource : public Clock::TimeSource {
 public:
  // Ticks are microseconds; frequency 0 imitates a machine without a usable counter.
  explicit FakeTimeSource(int64_t frequency = 1000000) : m_Frequency(frequency) {}

  int64_t Frequency() const override { return m_Frequency; }
  int64_t Counter() override {
    const int64_t now = m_Ticks;
    m_Ticks += m_StepPerRead;
    ++m_Reads;
    return now;
  }

  void SetMs(double ms) { m_Ticks = static_cast<int64_t>(ms * 1000.0); }
  void AdvanceMs(double ms) { m_Ticks += static_cast<int64_t>(ms * 1000.0); }
  void SetStepPerReadMs(double ms) { m_StepPerRead = static_cast<int64_t>(ms * 1000.0); }
  double NowMs() const { return static_cast<double>(m_Ticks) / 1000.0; }
  int64_t Reads() const { return m_Reads; }

 private:
  int64_t m_Frequency;
  int64_t m_Ticks = 0;
  int64_t m_StepPerRead = 0;
  int64_t m_Reads = 0;
};

}  // namespace Testing
