// Clock: the frame clock. Measures each frame in milliseconds and caps the rate at about 30 frames
// per second by spinning at the end of a frame until 33 ms have passed since its start.
//
// Frame starts are whole milliseconds; "now" is counter × 1000 ÷ frequency with the product taken
// in 64-bit integers first. The counter comes from a replaceable time source, so tests and the
// play-test runner drive the clock exactly instead of depending on the machine's speed. Main
// thread only.
#pragma once

#include <cstdint>

#include "Util/Singleton.h"

class Clock : public Util::Singleton<Clock> {
 public:
  // Where the ticks come from. The default is the monotonic system clock in microseconds.
  class TimeSource {
   public:
    virtual ~TimeSource() = default;
    virtual int64_t Frequency() const = 0;  // ticks per second
    virtual int64_t Counter() = 0;
    // Asked by the frame's end while the counter is still below `target`. The machine's own
    // source returns at once and the clock spins on it, as the frame cap demands; a simulated
    // source moves its counter there instead, so that a frame lasts its 33 ms without a wait.
    virtual void WaitUntil(int64_t target) { (void)target; }
  };
  static TimeSource& SystemTimeSource();

  // A clock on its own source; the singleton uses the system source.
  explicit Clock(TimeSource& source);

  // Replaces the source: the frequency is read again and the current frame starts now.
  void SetTimeSource(TimeSource& source);

  void BeginFrame();
  void EndFrame();

  double FrameTime() const { return m_FrameTime; }
  double TimeInFrame() const;  // now (not truncated) minus the current frame start
  double FramesPerSecond() const { return 1000.0 / m_FrameTime; }
  uint32_t FrameCount() const { return m_FrameCount; }
  int64_t CurrentFrameStart() const { return m_CurrentFrameStart; }
  double Now() const;  // milliseconds, not truncated

 private:
  friend class Util::Singleton<Clock>;
  Clock();

  TimeSource* m_Source;
  int64_t m_Frequency = 0;
  int64_t m_PreviousFrameStart = 0;
  int64_t m_CurrentFrameStart = 0;
  double m_FrameTime = 0.0;
  uint32_t m_FrameCount = 0;
};

// A timer that runs at a multiple of the clock's speed: advanced by the frame time × scale.
class ScaledTimer {
 public:
  void Update();
  double Elapsed() const;  // time in the current frame × scale

  double m_Previous = 0.0;
  double m_Current = 0.0;
  double m_Delta = 0.0;
  double m_Scale = 1.0;
};
