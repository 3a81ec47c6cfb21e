#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Core/Clock.h"
#include "Support/FakeTimeSource.h"
#include "Support/Printed.h"
#include "Support/TempTree.h"
#include "Util/FileAccess.h"
#include "Util/Job.h"
#include "Util/Worker.h"

using Util::Job;
using Util::Worker;

namespace {

// A small asset shaped like the sound engine's: built from its file on the worker, completed
// and filed in its owner's table on the main thread.
struct Asset {
  explicit Asset(const std::string& path) : m_Path(path), m_OpenedOn(std::this_thread::get_id()) {
    size_t length = 0;
    const std::unique_ptr<char[]> data = Util::LoadBinaryFile(path.c_str(), length);
    if (data) m_Contents.assign(data.get(), length);
  }
  void Complete() { m_CompletedOn = std::this_thread::get_id(); }

  std::string m_Path;
  std::string m_Contents;
  std::thread::id m_OpenedOn;
  std::thread::id m_CompletedOn;
};

std::unique_ptr<Asset> g_Table[8];
std::vector<uint32_t> g_Filed;

void FileAsset(uint32_t slot, std::unique_ptr<Asset> asset) {
  g_Filed.push_back(slot);
  g_Table[slot] = std::move(asset);
}

std::unique_ptr<Job> OpenJob(const std::string& path, uint32_t slot) {
  return std::make_unique<Util::OpenAssetJob<Asset>>(path, slot, &FileAsset);
}

std::atomic<int> g_Ran{0};
std::atomic<int> g_Deleted{0};

// Counts its runs and its deletion.
struct Counted : Job {
  ~Counted() override { ++g_Deleted; }
  std::unique_ptr<Job> Run() override {
    ++g_Ran;
    return nullptr;
  }
};

std::mutex g_LogLock;
std::vector<int> g_Log;

// Runs on the worker, logs its number and hands back a Counted follow-up.
struct Logged : Job {
  explicit Logged(int number) : m_Number(number) {}
  std::unique_ptr<Job> Run() override {
    std::lock_guard<std::mutex> hold(g_LogLock);
    g_Log.push_back(m_Number);
    return std::make_unique<Counted>();
  }
  int m_Number;
};

// Waits for something the worker does at its own pace, 32 ms a job.
bool Eventually(const std::function<bool()>& done) {
  for (int i = 0; i < 2000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return done();
}

class Jobs : public testing::Test {
 protected:
  void SetUp() override {
    Util::PackDirectory::Instance().Reset();
    for (auto& slot : g_Table) slot.reset();
    g_Filed.clear();
    g_Log.clear();
    g_Ran = 0;
    g_Deleted = 0;
  }
  void TearDown() override {
    Worker::Get().Stop();
    Worker::Get().SetPassSleep(std::chrono::milliseconds(32));
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
    for (auto& slot : g_Table) slot.reset();
    Util::PackDirectory::Instance().Reset();
  }

  Testing::TempTree m_Tree;
};

}  // namespace

TEST_F(Jobs, AssetsOpenOnTheWorkerAndAreFiledOnTheMainThreadInQueueOrder) {
  m_Tree.Write("Assets/Sounds/a.wav", "first");
  m_Tree.Write("Assets/Sounds/b.wav", "second");
  Worker::Get().Start();
  ASSERT_EQ(Worker::Get().Push(OpenJob("../../Assets/Sounds/a.wav", 3)), 0);
  ASSERT_EQ(Worker::Get().Push(OpenJob("..\\..\\Assets\\sounds\\B.WAV", 5)), 0);
  ASSERT_EQ(Worker::Get().Push(OpenJob("../../Assets/Sounds/missing.wav", 6)), 0);
  ASSERT_TRUE(Eventually([] {
    Worker::Get().CompleteFinishedJobs();
    return g_Filed.size() == 3;
  }));

  EXPECT_EQ(g_Filed, (std::vector<uint32_t>{3, 5, 6}));
  EXPECT_EQ(g_Table[3]->m_Contents, "first");
  EXPECT_EQ(g_Table[5]->m_Contents, "second");
  // A file that cannot be read still comes back; its owner deals with it.
  EXPECT_EQ(g_Table[6]->m_Path, "../../Assets/Sounds/missing.wav");
  EXPECT_EQ(g_Table[6]->m_Contents, "");
  for (uint32_t slot : {3, 5, 6}) {
    EXPECT_NE(g_Table[slot]->m_OpenedOn, std::this_thread::get_id());
    EXPECT_EQ(g_Table[slot]->m_CompletedOn, std::this_thread::get_id());
  }
  EXPECT_EQ(Util::PackDirectory::Instance().Paths(),
            (std::vector<std::string>{"../../Assets/Sounds/a.wav", "..\\..\\Assets\\sounds\\B.WAV",
                                      "../../Assets/Sounds/missing.wav"}));
}

TEST_F(Jobs, CompletionStopsOnceTheFrameHasLasted33MsAfterAtLeastOneJob) {
  Worker::Get().Start();
  for (uint32_t slot = 0; slot < 5; ++slot) Worker::Get().Push(OpenJob("../../Assets/none", slot));
  ASSERT_TRUE(Eventually([] { return Worker::Get().FinishedJobs() == 5; }));

  Testing::FakeTimeSource time;
  time.SetStepPerReadMs(20.0);  // the frame starts at 0; each look at the clock moves it 20 ms
  Clock::Instance().SetTimeSource(time);
  Worker::Get().CompleteFinishedJobs();  // 20 ms after the first, 40 ms after the second
  EXPECT_EQ(g_Filed.size(), 2u);

  time.SetStepPerReadMs(0.0);
  time.AdvanceMs(500.0);  // well past the budget before it starts
  Worker::Get().CompleteFinishedJobs();
  EXPECT_EQ(g_Filed.size(), 3u);

  Clock::Instance().BeginFrame();  // a fresh frame with time to spare
  Worker::Get().CompleteFinishedJobs();
  EXPECT_EQ(g_Filed, (std::vector<uint32_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(Worker::Get().FinishedJobs(), 0u);
}

TEST_F(Jobs, AKillRequestBehindQueuedJobsLetsThemRunAndDeletesWhatIsLeft) {
  Worker::Get().Start();
  for (int i = 0; i < 3; ++i) Worker::Get().Push(std::make_unique<Logged>(i));
  Worker::Get().Stop();
  EXPECT_FALSE(Worker::Get().IsRunning());
  EXPECT_EQ(g_Log, (std::vector<int>{0, 1, 2}));
  // Their follow-ups were never completed, and are gone.
  EXPECT_EQ(g_Ran.load(), 0);
  EXPECT_EQ(g_Deleted.load(), 3);
  EXPECT_EQ(Worker::Get().FinishedJobs(), 0u);

  // Jobs queued while no worker runs are deleted when it is stopped again.
  Worker::Get().Push(std::make_unique<Counted>());
  Worker::Get().Stop();
  EXPECT_EQ(g_Ran.load(), 0);
  EXPECT_EQ(g_Deleted.load(), 4);

  // The worker starts again after a stop.
  Worker::Get().Start();
  Worker::Get().Push(std::make_unique<Logged>(3));
  ASSERT_TRUE(Eventually([] { return Worker::Get().FinishedJobs() == 1; }));
  Worker::Get().CompleteFinishedJobs();
  EXPECT_EQ(g_Ran.load(), 1);
  EXPECT_EQ(g_Deleted.load(), 5);
}

// More jobs than both queues hold, each with a follow-up: the worker fills the output queue while
// the main thread is still pushing, and neither may wait for the other for ever.
TEST_F(Jobs, TenThousandJobsPushedInOneGoEachWithAFollowUpAllFinish) {
  Testing::FakeTimeSource time;  // a frame that never ends: completion is not cut short
  Clock::Instance().SetTimeSource(time);
  Worker::Get().SetPassSleep(std::chrono::milliseconds(0));
  Worker::Get().Start();
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(Worker::Get().Push(std::make_unique<Logged>(i)), 0);
  ASSERT_TRUE(Eventually([] {
    Worker::Get().CompleteFinishedJobs();
    return g_Ran == 10000;
  }));
  EXPECT_EQ(g_Log.size(), 10000u);
  EXPECT_TRUE(std::is_sorted(g_Log.begin(), g_Log.end()));
}

TEST_F(Jobs, NullJobsAreRefusedAndJobsThatShouldNeverRunSaySo) {
  EXPECT_EQ(Worker::Get().Push(nullptr), -1);
  EXPECT_EQ(Util::KillingJob().Kind(), 222);
  EXPECT_EQ(Testing::Printed([] {
              EXPECT_EQ(Job().Run(), nullptr);
              EXPECT_EQ(Util::KillingJob().Run(), nullptr);
            }),
            "Job: Shouldn't be running base job\nKillingJob: Should not be running this\n");
}
