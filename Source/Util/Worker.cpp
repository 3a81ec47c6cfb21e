#include "Util/Worker.h"

#include <pthread.h>

#include <chrono>

#include "Core/Clock.h"

namespace Util {
namespace {

constexpr std::chrono::milliseconds kPassSleep(32);
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
  if (!m_Inline || !job || job->Kind() == Job::kKilling) return m_Input.Push(std::move(job));
  // The main thread stands in for the worker: the output queue's producer, since the worker has
  // nothing on its way. A full queue is never drained while its consumer waits here: the
  // follow-up then runs at once.
  std::unique_ptr<Job> followUp = job->Run();
  job.reset();
  if (followUp && !m_Output.TryPush(followUp)) followUp->Run();
  return 0;
}

void Worker::CompleteFinishedJobs() {
  while (std::unique_ptr<Job> job = m_Output.Pop()) {
    job->Run();  // a follow-up of a follow-up has nowhere to go
    if (Clock::Instance().TimeInFrame() >= kFrameBudgetMs) break;
  }
}

void Worker::Main() {
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
    std::this_thread::sleep_for(kPassSleep);
  }
}

}  // namespace Util
