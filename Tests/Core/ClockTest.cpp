#include "Core/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"

using Testing::FakeTimeSource;

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
    // Frames start on whole milliseconds; the time within one is not truncated.
    EXPECT_NEAR(clock.TimeInFrame(), row.start - std::floor(row.start), 1e-6);
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
    EXPECT_DOUBLE_EQ(clock.FramesPerSecond(), 1000.0 / row.next);
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
