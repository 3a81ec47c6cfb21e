// FixedTime: the clock's time source during a play test. Every frame lasts exactly 33 ms of game
// time: the counter stands still while a frame works and jumps to the frame's end when the clock
// waits for it, so a frame takes only the time its work takes and ten game minutes run as fast as
// the machine allows. Paced, it also keeps to the wall clock (33 ms per frame, sleeping, never
// spinning), for a person who watches or plays while the session is recorded. Ticks are
// milliseconds. Main thread only.
#pragma once

#include <chrono>
#include <cstdint>

#include "Core/Clock.h"

namespace Play {

class FixedTime : public Clock::TimeSource {
 public:
  int64_t Frequency() const override { return 1000; }
  int64_t Counter() override { return m_Ticks; }
  void WaitUntil(int64_t target) override;

  // Moves the counter on by hand (the time start-up takes, before the first frame).
  void Advance(int64_t ms) { m_Ticks += ms; }
  void SetPaced(bool paced);
  bool Paced() const { return m_Paced; }

 private:
  int64_t m_Ticks = 0;
  bool m_Paced = false;
  // When the last paced wait ended, and the counter it ended at.
  std::chrono::steady_clock::time_point m_WallMark;
  int64_t m_TickMark = 0;
};

}  // namespace Play
