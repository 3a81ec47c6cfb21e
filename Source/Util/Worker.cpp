#include "Util/Worker.h"

#include <pthread.h>

#include <chrono>

#include "Core/Clock.h"
#include "Util/Signals.h"

namespace Util {
namespace {

constexpr double kFrameBudgetMs = 33.0;

}  // namespace

Worker& Worker::Get() {
  static Worker worker;
  return worker;
}

Worker::~Worker() { Stop(); }

void Worker::Start() {
  if (m_Thread.joinable()) return;
  m_Stopping.store(false, std::memory_order_release);
  m_Thread = std::thread(&Worker::Main, this);
}

void Worker::Stop() {
  if (m_Thread.joinable()) {
    m_Stopping.store(true, std::memory_order_release);
    m_Input.Push(std::make_unique<KillingJob>());
    m_Thread.join();
  }
  m_Input.Clear();
  m_Output.Clear();
}

int Worker::Push(std::unique_ptr<Job> job) {
  if (!job) return -1;
  if (m_Inline && job->Kind() != Job::kKilling) {
    // The main thread stands in for the worker: the output queue's producer, since the worker has
    // nothing on its way. A full queue is never drained while its consumer waits here: the
    // follow-up then runs at once.
    std::unique_ptr<Job> followUp = job->Run();
    job.reset();
    if (followUp && !m_Output.TryPush(followUp)) followUp->Run();
    return 0;
  }
  // The worker may be waiting for room on the output queue, which only this thread empties:
  // finishing its follow-ups here lets it go on taking jobs, so neither waits for the other.
  while (!m_Input.TryPush(job)) {
    if (std::unique_ptr<Job> finished = m_Output.Pop())
      finished->Run();
    else
      std::this_thread::yield();
  }
  return 0;
}

void Worker::CompleteFinishedJobs() {
  while (std::unique_ptr<Job> job = m_Output.Pop()) {
    job->Run();  // a follow-up of a follow-up has nowhere to go
    if (Clock::Instance().TimeInFrame() >= kFrameBudgetMs) break;
  }
}

void Worker::Main() {
  const ThreadSignalStack crashStack;  // a crash in a job is dumped like one on the main thread
  ::pthread_setname_np(::pthread_self(), "WorkerThread");
  for (;;) {
    if (std::unique_ptr<Job> job = m_Input.Pop()) {
      if (job->Kind() == Job::kKilling) return;
      std::unique_ptr<Job> followUp = job->Run();
      job.reset();
      while (followUp && !m_Output.TryPush(followUp)) {
        // Nobody drains the output queue during shutdown; waiting for room there would never end.
        if (m_Stopping.load(std::memory_order_acquire)) break;
        std::this_thread::yield();
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(m_PassSleepMs.load()));
  }
}

}  // namespace Util
