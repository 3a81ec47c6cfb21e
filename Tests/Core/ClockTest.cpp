#include <gtest/gtest.h>

#include <cmath>

#include "Core/Clock.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"

using Testing::FakeTimeSource;

TEST(Clock, FirstFrameTimeIsTheTimeSinceConstruction) {
  FakeTimeSource source;
  source.SetMs(1000.4);
  Clock clock(source);
  EXPECT_EQ(clock.CurrentFrameStart(), 1000);
  source.SetMs(1250.9);  // start-up took a while
  clock.BeginFrame();
  EXPECT_DOUBLE_EQ(clock.FrameTime(), 250.0);
  EXPECT_EQ(clock.CurrentFrameStart(), 1250);
  EXPECT_EQ(clock.FrameCount(), 1u);
}

TEST(Clock, ShortFrameIsHeldToThirtyThreeMilliseconds) {
  FakeTimeSource source;
  source.SetMs(500.0);
  Clock clock(source);
  clock.BeginFrame();
  source.AdvanceMs(5.0);          // the frame's own work
  source.SetStepPerReadMs(0.25);  // every read of the counter moves time a little
  clock.EndFrame();
  EXPECT_GE(source.NowMs(), 533.0);
  EXPECT_LE(source.NowMs(), 533.25 + 0.25);
  clock.BeginFrame();
  EXPECT_DOUBLE_EQ(clock.FrameTime(), 33.0);
}

TEST(Clock, FrameStartsAreTruncatedSoAShortFrameCanReadThirtyFour) {
  FakeTimeSource source;
  source.SetMs(100.9);
  Clock clock(source);
  clock.BeginFrame();  // frame starts at 100 (100.9 truncated)
  EXPECT_EQ(clock.CurrentFrameStart(), 100);
  source.SetStepPerReadMs(0.7);
  clock.EndFrame();  // waits until at least 133; reads land on 0.7 steps, the last one past 133
  const double ended = source.NowMs();
  EXPECT_GE(ended, 133.0);
  source.SetStepPerReadMs(0.0);
  source.SetMs(134.2);
  clock.BeginFrame();
  EXPECT_DOUBLE_EQ(clock.FrameTime(), 34.0);
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

TEST(Clock, TimeInFrameIsNotTruncated) {
  FakeTimeSource source;
  source.SetMs(10.0);
  Clock clock(source);
  clock.BeginFrame();
  source.SetMs(12.5);
  EXPECT_DOUBLE_EQ(clock.TimeInFrame(), 2.5);
}

TEST(Clock, LargeCounterValuesKeepEveryMillisecond) {
  // A machine up for months: the cap must still be start + 33 exactly, not rounded in float.
  FakeTimeSource source;
  source.SetMs(123456789.0);
  Clock clock(source);
  clock.BeginFrame();
  source.SetStepPerReadMs(1.0);
  clock.EndFrame();
  EXPECT_GE(source.NowMs(), 123456789.0 + 33.0);
  EXPECT_LE(source.NowMs(), 123456789.0 + 35.0);
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
  EXPECT_DOUBLE_EQ(timer.m_Scale, 1.0);
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
