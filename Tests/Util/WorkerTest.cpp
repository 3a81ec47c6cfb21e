#include "Util/Worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "Core/Clock.h"
#include "Support/FakeTimeSource.h"
#include "Support/Printed.h"
#include "Util/JobQueue.h"

using Util::Job;
using Util::Worker;

namespace {

std::vector<int> g_Opened;     // by the worker, in the order it ran them (read once it stopped)
std::vector<int> g_Completed;  // by the main thread, in the order it ran them
std::atomic<int> g_Deleted{0};
std::atomic<bool> g_WrongThread{false};
const std::thread::id g_Main = std::this_thread::get_id();

// One half of an asset's loading, as the sound engine's: the opening runs on the worker and hands
// back the completion, which runs on the main thread.
struct Half : Job {
  Half(int number, bool opening) : m_Number(number), m_Opening(opening) {}
  ~Half() override { g_Deleted += !m_Opening; }
  std::unique_ptr<Job> Run() override {
    g_WrongThread = g_WrongThread || m_Opening == (std::this_thread::get_id() == g_Main);
    (m_Opening ? g_Opened : g_Completed).push_back(m_Number);
    return m_Opening ? std::make_unique<Half>(m_Number, false) : nullptr;
  }
  int m_Number;
  bool m_Opening;
};

std::unique_ptr<Job> Opening(int number) { return std::make_unique<Half>(number, true); }

// Waits for something the worker does at its own pace, 32 ms a job, completing what it finished.
bool Eventually(const std::function<bool()>& done, bool complete = true) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (complete) Worker::Get().CompleteFinishedJobs();
  }
  return done();
}

class Jobs : public testing::Test {
 protected:
  void SetUp() override {
    g_Opened.clear();
    g_Completed.clear();
    g_Deleted = 0;
    Worker::Get().Start();
  }
  void TearDown() override {
    Worker::Get().Stop();
    Worker::Get().SetPassSleep(std::chrono::milliseconds(32));
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
    EXPECT_FALSE(g_WrongThread);
  }
};

}  // namespace

TEST_F(Jobs, JobsRunOnTheWorkerAndTheirFollowUpsOnTheMainThreadInQueueOrder) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Worker::Get().Push(Opening(i)), 0);
  ASSERT_TRUE(Eventually([] { return g_Completed.size() == 3; }));
  EXPECT_EQ(g_Completed, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(g_Deleted.load(), 3);
}

TEST_F(Jobs, CompletionStopsOnceTheFrameHasLasted33MsAfterAtLeastOneJob) {
  for (int i = 0; i < 5; ++i) Worker::Get().Push(Opening(i));
  ASSERT_TRUE(Eventually([] { return Worker::Get().FinishedJobs() == 5; }, false));
  Testing::FakeTimeSource time;
  time.SetStepPerReadMs(20.0);  // the frame starts at 0; each look at the clock moves it 20 ms
  Clock::Instance().SetTimeSource(time);
  Worker::Get().CompleteFinishedJobs();  // 20 ms after the first, 40 ms after the second
  EXPECT_EQ(g_Completed.size(), 2u);
  time.SetStepPerReadMs(0.0);
  time.AdvanceMs(500.0);  // well past the budget before it starts
  Worker::Get().CompleteFinishedJobs();
  EXPECT_EQ(g_Completed.size(), 3u);
  Clock::Instance().BeginFrame();  // a fresh frame with time to spare
  Worker::Get().CompleteFinishedJobs();
  EXPECT_EQ(g_Completed, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(Jobs, AKillRequestBehindQueuedJobsLetsThemRunAndDeletesWhatIsLeft) {
  for (int i = 0; i < 3; ++i) Worker::Get().Push(Opening(i));
  Worker::Get().Stop();
  EXPECT_FALSE(Worker::Get().IsRunning());
  EXPECT_EQ(g_Opened, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(g_Completed.empty());  // their follow-ups were never completed, and are gone
  EXPECT_EQ(g_Deleted.load(), 3);
  Worker::Get().Push(std::make_unique<Half>(9, false));  // queued while no worker runs
  Worker::Get().Stop();
  EXPECT_EQ(g_Deleted.load(), 4);
  Worker::Get().Start();  // and again after a stop
  Worker::Get().Push(Opening(3));
  ASSERT_TRUE(Eventually([] { return g_Completed.size() == 1; }));
  EXPECT_EQ(g_Deleted.load(), 5);
}

// More jobs than both queues hold, each with a follow-up: the worker fills the output queue while
// the main thread is still pushing, and neither may wait for the other for ever.
TEST_F(Jobs, TenThousandJobsPushedInOneGoEachWithAFollowUpAllFinish) {
  Testing::FakeTimeSource time;  // a frame that never ends: completion is not cut short
  Clock::Instance().SetTimeSource(time);
  Worker::Get().SetPassSleep(std::chrono::milliseconds(0));
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(Worker::Get().Push(Opening(i)), 0);
  ASSERT_TRUE(Eventually([] { return g_Completed.size() == 10000; }));
  EXPECT_TRUE(std::is_sorted(g_Completed.begin(), g_Completed.end()));
}

TEST_F(Jobs, NullJobsAreRefusedAQueueHoldsAtMost1023AndJobsThatShouldNeverRunSaySo) {
  EXPECT_EQ(Worker::Get().Push(nullptr), -1);
  {
    Util::JobQueue queue;
    std::unique_ptr<Job> job;
    for (int i = 0; i < 1024; ++i) EXPECT_EQ(queue.TryPush(job = std::make_unique<Half>(i, false)), i < 1023) << i;
    EXPECT_NE(job, nullptr);  // a job refused stays the caller's
  }
  EXPECT_EQ(g_Deleted.load(), 1024);  // queued jobs go with their queue, the refused one with its owner
  EXPECT_EQ(Util::KillingJob().Kind(), 222);
  EXPECT_EQ(Testing::Printed([] {
              EXPECT_EQ(Job().Run(), nullptr);
              EXPECT_EQ(Util::KillingJob().Run(), nullptr);
            }),
            "Job: Shouldn't be running base job\nKillingJob: Should not be running this\n");
}
