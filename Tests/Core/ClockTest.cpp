#include "Core/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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
  EXPECT_DOUBLE_EQ(clock.FramesPerSecond(), 4.0);
  EXPECT_EQ(clock.CurrentFrameStart(), 1250);
  EXPECT_EQ(clock.FrameCount(), 1u);
  source.SetMs(1253.4);
  EXPECT_NEAR(clock.TimeInFrame(), 3.4, 1e-9);
}

TEST(Clock, AShortFrameIsHeldToThirtyThreeMillisecondsFromItsTruncatedStartALongOneEndsAtOnce) {
  // Frame start, the frame's own work, how far every read of the counter moves time, the next
  // frame's time. A machine up for months must still wait until start + 33 exactly.
  const struct {
    double start, work, step, next;
  } rows[] = {{500.0, 5, 0.25, 33.0}, {100.9, 5, 0.7, 33.0}, {123456789.0, 5, 1.0, 34.0}, {0, 50, 0.0, 50.0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.start);
    FakeTimeSource source;
    source.SetMs(row.start);
    Clock clock(source);
    clock.BeginFrame();
    source.AdvanceMs(row.work);
    source.SetStepPerReadMs(row.step);
    clock.EndFrame();
    const double end = std::max(std::floor(row.start) + 33.0, row.start + row.work);
    EXPECT_GE(source.NowMs(), end);
    EXPECT_LE(source.NowMs(), end + 2 * row.step);  // the read that passed it, and no more
    source.SetStepPerReadMs(0.0);
    clock.BeginFrame();
    EXPECT_DOUBLE_EQ(clock.FrameTime(), row.next);
  }
}

TEST(Clock, ACounterWithoutFrequencyIsReportedAndTheClockGoesOn) {
  Testing::AssertRecorder recorder;
  FakeTimeSource source(0);
  Clock clock(source);
  EXPECT_EQ(recorder.Heads(), std::vector<std::string>{Testing::AssertRecorder::Head(
                                  "QueryPerformanceFrequency(&temp) != 0",
                                  "Sorry, your system doesn't have a high frequency performance counter...",
                                  "..\\..\\Source\\Core\\timer")});
  clock.BeginFrame();
  EXPECT_FALSE(std::isnan(clock.FrameTime()));  // no division by zero
}

TEST(ScaledTimer, AdvancesByTheFrameTimeTimesItsScale) {
  FakeTimeSource source;
  Clock::Instance().SetTimeSource(source);
  ScaledTimer timer;
  timer.m_Scale = 0.5;
  for (double frame : {40.0, 33.0}) {
    source.AdvanceMs(frame);
    Clock::Instance().BeginFrame();
    timer.Update();
  }
  EXPECT_DOUBLE_EQ(timer.m_Previous, 20.0);
  EXPECT_DOUBLE_EQ(timer.m_Current, 36.5);
  EXPECT_DOUBLE_EQ(timer.m_Delta, 16.5);
  source.AdvanceMs(8.0);
  EXPECT_DOUBLE_EQ(timer.Elapsed(), 4.0);
  Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
}
