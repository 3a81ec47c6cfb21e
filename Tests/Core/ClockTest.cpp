#include <gtest/gtest.h>

#include <cmath>

#include "Core/Clock.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"

using Testing::FakeTimeSource;

TEST(Clock, FrameTimeRunsBetweenWholeMillisecondStartsAndTimeInFrameIsNotTruncated) {
  FakeTimeSource source;
  source.SetMs(1000.4);
  Clock clock(source);
  EXPECT_EQ(clock.CurrentFrameStart(), 1000);
  source.SetMs(1250.9);  // start-up took a while
  clock.BeginFrame();
  EXPECT_DOUBLE_EQ(clock.FrameTime(), 250.0);
  EXPECT_EQ(clock.CurrentFrameStart(), 1250);
  EXPECT_EQ(clock.FrameCount(), 1u);
  source.SetMs(1253.4);
  EXPECT_NEAR(clock.TimeInFrame(), 3.4, 1e-9);
}

TEST(Clock, ShortFrameIsHeldToThirtyThreeMillisecondsFromItsTruncatedStart) {
  // Frame start, how far every read of the counter moves time, the next frame's time. A machine up
  // for months must still wait until start + 33 exactly, not rounded in float.
  const struct {
    double start, step, next;
  } rows[] = {{500.0, 0.25, 33.0}, {100.9, 0.7, 33.0}, {123456789.0, 1.0, 34.0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.start);
    FakeTimeSource source;
    source.SetMs(row.start);
    Clock clock(source);
    clock.BeginFrame();
    source.AdvanceMs(5.0);  // the frame's own work
    source.SetStepPerReadMs(row.step);
    clock.EndFrame();
    const double end = std::floor(row.start) + 33.0;
    EXPECT_GE(source.NowMs(), end);
    EXPECT_LE(source.NowMs(), end + 2 * row.step);  // the read that passed it, and no more
    source.SetStepPerReadMs(0.0);
    clock.BeginFrame();
    EXPECT_DOUBLE_EQ(clock.FrameTime(), row.next);
  }
}

TEST(Clock, LongFrameEndsAtOnce) {
  FakeTimeSource source;
  Clock clock(source);
  clock.BeginFrame();
  source.AdvanceMs(50.0);
  const int64_t readsBefore = source.Reads();
  clock.EndFrame();
  EXPECT_EQ(source.Reads() - readsBefore, 1);  // one look at the counter, no wait
  clock.BeginFrame();
  EXPECT_DOUBLE_EQ(clock.FrameTime(), 50.0);
  EXPECT_DOUBLE_EQ(clock.FramesPerSecond(), 20.0);
}

TEST(Clock, CounterWithoutFrequencyIsReported) {
  Testing::AssertRecorder recorder;
  FakeTimeSource source(0);
  Clock clock(source);
  ASSERT_EQ(recorder.Count(), 1u);
  const std::string& text = recorder.Texts()[0];
  EXPECT_EQ(text.substr(0, text.find("\nLine: ")),
            "Assert \"QueryPerformanceFrequency(&temp) != 0\" failed\n"
            "Comment: Sorry, your system doesn't have a high frequency performance counter...\n"
            "File: ..\\..\\Source\\Core\\timer");
  // It carries on with a usable frequency rather than dividing by zero.
  clock.BeginFrame();
  EXPECT_FALSE(std::isnan(clock.FrameTime()));
}

TEST(ScaledTimer, AdvancesByTheFrameTimeTimesItsScale) {
  FakeTimeSource source;
  Clock::Instance().SetTimeSource(source);
  ScaledTimer timer;
  timer.m_Scale = 0.5;
  source.AdvanceMs(40.0);
  Clock::Instance().BeginFrame();
  timer.Update();
  EXPECT_DOUBLE_EQ(timer.m_Current, 20.0);
  EXPECT_DOUBLE_EQ(timer.m_Delta, 20.0);
  source.AdvanceMs(33.0);
  Clock::Instance().BeginFrame();
  timer.Update();
  EXPECT_DOUBLE_EQ(timer.m_Previous, 20.0);
  EXPECT_DOUBLE_EQ(timer.m_Current, 36.5);
  source.AdvanceMs(8.0);
  EXPECT_DOUBLE_EQ(timer.Elapsed(), 4.0);
  Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
}
