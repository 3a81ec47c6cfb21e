#include "Core/Clock.h"

#include <chrono>

namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Core\\timer";

// Microseconds keep counter × 1000 far from overflow for centuries of uptime.
class SteadyMicroseconds : public Clock::TimeSource {
 public:
  int64_t Frequency() const override { return 1000000; }
  int64_t Counter() override {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
  }
};

}  // namespace

Clock::TimeSource& Clock::SystemTimeSource() {
  static SteadyMicroseconds source;
  return source;
}

Clock::Clock() : Clock(SystemTimeSource()) {}

Clock::Clock(TimeSource& source) : Singleton(false), m_Source(&source) { SetTimeSource(source); }

void Clock::SetTimeSource(TimeSource& source) {
  m_Source = &source;
  const int64_t temp = source.Frequency();
  UTIL_ASSERT_EXPR(temp > 0, "QueryPerformanceFrequency(&temp) != 0",
                   "Sorry, your system doesn't have a high frequency performance counter...");
  m_Frequency = temp > 0 ? temp : 1;
  m_CurrentFrameStart = static_cast<int64_t>(Now());
}

double Clock::Now() const { return static_cast<double>(m_Source->Counter() * 1000) / static_cast<double>(m_Frequency); }

double Clock::TimeInFrame() const { return Now() - static_cast<double>(m_CurrentFrameStart); }

void Clock::BeginFrame() {
  m_PreviousFrameStart = m_CurrentFrameStart;
  m_CurrentFrameStart = static_cast<int64_t>(Now());
  m_FrameTime = static_cast<double>(m_CurrentFrameStart - m_PreviousFrameStart);
  ++m_FrameCount;
}

void Clock::EndFrame() {
  // 100/3 as a float, added in double so that large frame starts keep every millisecond.
  const double cap = static_cast<double>(100.0f / 3.0f);
  const double target = static_cast<double>(static_cast<int64_t>(static_cast<double>(m_CurrentFrameStart) + cap));
  // The first counter value at or past the target, for a source that can move there itself.
  const int64_t targetTicks = (static_cast<int64_t>(target) * m_Frequency + 999) / 1000;
  while (Now() < target) m_Source->WaitUntil(targetTicks);
}

void ScaledTimer::Update() {
  m_Previous = m_Current;
  m_Current = m_Current + Clock::Instance().FrameTime() * m_Scale;
  m_Delta = m_Current - m_Previous;
}

double ScaledTimer::Elapsed() const { return Clock::Instance().TimeInFrame() * m_Scale; }
