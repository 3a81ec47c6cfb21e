#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "Util/JobQueue.h"

using Util::Job;
using Util::JobQueue;

namespace {

struct Numbered : Job {
  explicit Numbered(uint32_t number, std::atomic<int>* deleted = nullptr) : m_Number(number), m_Deleted(deleted) {}
  ~Numbered() override {
    if (m_Deleted) ++*m_Deleted;
  }
  uint32_t m_Number;
  std::atomic<int>* m_Deleted;
};

uint32_t NumberOf(const std::unique_ptr<Job>& job) { return static_cast<const Numbered&>(*job).m_Number; }

}  // namespace

TEST(JobQueue, NullJobIsRefusedAndChangesNothing) {
  JobQueue queue;
  ASSERT_EQ(queue.Push(std::make_unique<Numbered>(1)), 0);
  EXPECT_EQ(queue.Push(nullptr), -1);
  EXPECT_EQ(queue.Count(), 1u);
  EXPECT_EQ(NumberOf(queue.Pop()), 1u);
  EXPECT_EQ(queue.Pop(), nullptr);
  EXPECT_TRUE(queue.Empty());
}

TEST(JobQueue, HoldsAtMost1023AndAFullQueueHoldsTheProducerUntilOneIsTaken) {
  JobQueue queue;
  for (uint32_t i = 0; i < 1023; ++i) ASSERT_EQ(queue.Push(std::make_unique<Numbered>(i)), 0);
  EXPECT_EQ(queue.Count(), 1023u);
  std::unique_ptr<Job> refused = std::make_unique<Numbered>(9999);
  EXPECT_FALSE(queue.TryPush(refused));
  ASSERT_NE(refused, nullptr);  // still the caller's

  std::atomic<bool> pushed{false};
  std::thread producer([&] {
    queue.Push(std::make_unique<Numbered>(1023));
    pushed = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(pushed);
  EXPECT_EQ(queue.Count(), 1023u);

  EXPECT_EQ(NumberOf(queue.Pop()), 0u);
  producer.join();
  EXPECT_TRUE(pushed);
  for (uint32_t i = 1; i <= 1023; ++i) ASSERT_EQ(NumberOf(queue.Pop()), i);
  EXPECT_TRUE(queue.Empty());
}

TEST(JobQueue, TwoThreadsPassHundredsOfThousandsOfJobsNoneLostInOrder) {
  constexpr uint32_t kJobs = 300000;
  std::atomic<int> deleted{0};
  JobQueue queue;
  std::thread producer([&] {
    for (uint32_t i = 0; i < kJobs; ++i) queue.Push(std::make_unique<Numbered>(i, &deleted));
  });
  uint32_t outOfOrder = 0;
  for (uint32_t expected = 0; expected < kJobs;) {
    if (std::unique_ptr<Job> job = queue.Pop())
      outOfOrder += NumberOf(job) != expected++;
    else
      std::this_thread::yield();
  }
  producer.join();
  EXPECT_EQ(outOfOrder, 0u);
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(deleted.load(), static_cast<int>(kJobs));
}

TEST(JobQueue, JobsStillQueuedGoWithTheQueue) {
  std::atomic<int> deleted{0};
  {
    JobQueue queue;
    // Wrap around the ring so that the leftovers straddle its end.
    for (uint32_t i = 0; i < 1000; ++i) queue.Push(std::make_unique<Numbered>(i, &deleted));
    for (uint32_t i = 0; i < 1000; ++i) queue.Pop();
    for (uint32_t i = 0; i < 50; ++i) queue.Push(std::make_unique<Numbered>(i, &deleted));
    EXPECT_EQ(queue.Count(), 50u);
  }
  EXPECT_EQ(deleted.load(), 1050);
}
