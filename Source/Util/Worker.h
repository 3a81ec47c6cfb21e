// Worker: the background thread that opens assets, and the two job queues it shares with the
// main thread (see Job.h for the jobs).
//
// The main thread pushes jobs on the input queue. The worker takes at most one job per pass,
// runs it and puts the follow-up it returns on the output queue, then sleeps 32 ms. Once per
// frame (frame step 12) the main thread runs the follow-ups waiting, stopping as soon as the frame
// has lasted 33 ms, after at least one. Started at engine start-up (Init step 7); stopped at
// shutdown (step 13) by a killing job queued behind the jobs waiting, which run first, and a
// join. Every job is deleted once it has run; jobs still queued when the worker has stopped,
// such as follow-ups never completed, are deleted then. The worker thread touches no singleton,
// message or script state: only the jobs' worker halves run there.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "Util/Job.h"
#include "Util/JobQueue.h"

namespace Util {

class Worker {
 public:
  // The one worker, constructed on first use (engine start-up) and destroyed at program exit,
  // which stops the thread if it still runs.
  static Worker& Get();
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Main thread. Starting a running worker, or stopping a stopped one, changes nothing.
  void Start();
  void Stop();
  bool IsRunning() const { return m_Thread.joinable(); }

  // Main thread: queues a job for the worker. -1 for a null job; otherwise 0, after waiting
  // while the input queue is full. While it waits it completes the follow-ups that the worker
  // has finished (their main-thread half runs here), so that a worker waiting for room on the
  // output queue goes on taking jobs.
  int Push(std::unique_ptr<Job> job);
  // Inline, a pushed job runs at once on the main thread and its follow-up waits for the frame's
  // completion step, as if the worker had been infinitely fast: what a driver that needs the same
  // frames on every run (the play-test runner) sets before start-up, so that loading does not
  // depend on the machine's speed. Switched only while no job is on its way.
  void SetInline(bool on) { m_Inline = on; }

  // Main thread, once per frame: finishes jobs the worker has opened, within the frame budget.
  void CompleteFinishedJobs();
  // Follow-ups waiting for the main thread.
  uint32_t FinishedJobs() const { return m_Output.Count(); }

  // The worker's pause after each pass, 32 ms; tests that push thousands of jobs shorten it.
  void SetPassSleep(std::chrono::milliseconds sleep) { m_PassSleepMs.store(sleep.count()); }

 private:
  Worker() = default;
  void Main();

  JobQueue m_Input;   // main thread → worker
  JobQueue m_Output;  // worker → main thread
  std::thread m_Thread;
  std::atomic<bool> m_Stopping{false};
  std::atomic<std::chrono::milliseconds::rep> m_PassSleepMs{32};
  bool m_Inline = false;
};

}  // namespace Util
