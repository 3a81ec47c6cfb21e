// JobQueue: a ring of 1024 job pointers between exactly one producing and one consuming thread.
//
// Empty when the read index equals the write index, full when the write index is one behind the
// read index, so it holds at most 1023 jobs. Each index is written only by its own side: the
// producer fills the entry, then publishes the write index with release; the consumer reads the
// write index with acquire, takes the entry, then publishes the read index with release, which
// the producer reads with acquire before it reuses the entry. No locks. Queued jobs belong to
// the queue; one still queued when the queue goes is deleted with it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <utility>

#include "Util/Job.h"

namespace Util {

class JobQueue {
 public:
  static constexpr uint32_t kCapacity = 1024;

  JobQueue() = default;
  ~JobQueue() { Clear(); }
  JobQueue(const JobQueue&) = delete;
  JobQueue& operator=(const JobQueue&) = delete;

  // Producer. A null job is refused with -1 and changes nothing; otherwise waits while the queue
  // is full, then queues the job and returns 0.
  int Push(std::unique_ptr<Job> job) {
    if (!job) return -1;
    while (!TryPush(job)) std::this_thread::yield();
    return 0;
  }

  // Producer. Queues the job, or leaves it with the caller and returns false when full.
  bool TryPush(std::unique_ptr<Job>& job) {
    const uint32_t write = m_Write.load(std::memory_order_relaxed);
    const uint32_t next = (write + 1) % kCapacity;
    if (next == m_Read.load(std::memory_order_acquire)) return false;
    m_Entries[write] = job.release();
    m_Write.store(next, std::memory_order_release);
    return true;
  }

  // Consumer. The oldest job, or null when the queue is empty.
  std::unique_ptr<Job> Pop() {
    const uint32_t read = m_Read.load(std::memory_order_relaxed);
    if (read == m_Write.load(std::memory_order_acquire)) return nullptr;
    std::unique_ptr<Job> job(m_Entries[read]);
    m_Read.store((read + 1) % kCapacity, std::memory_order_release);
    return job;
  }

  bool Empty() const { return m_Read.load(std::memory_order_acquire) == m_Write.load(std::memory_order_acquire); }
  uint32_t Count() const {
    const uint32_t read = m_Read.load(std::memory_order_acquire);
    const uint32_t write = m_Write.load(std::memory_order_acquire);
    return (write + kCapacity - read) % kCapacity;
  }

  // Deletes every queued job. Only while neither thread is using the queue.
  void Clear() {
    while (Pop()) {
    }
  }

 private:
  // Each index on its own cache line, so the two threads do not contend for one line.
  alignas(64) std::atomic<uint32_t> m_Read{0};
  alignas(64) std::atomic<uint32_t> m_Write{0};
  alignas(64) Job* m_Entries[kCapacity] = {};
};

}  // namespace Util
