// Process signals: the crash handler and the polite stop.
//
// The crash handler catches SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT on an alternate stack (so
// a stack overflow is caught too; each thread needs its own, see ThreadSignalStack), prints "In my exception handler",
// writes "minidump.dmp" in the working directory (the signal, the fault address, a backtrace and the memory map) and
// then lets the signal's default action end the process. Everything it does is async-signal-safe.
//
// The stop handler turns SIGINT and SIGTERM into a request that the frame loop honours between
// frames like a script's quit request, so that shutdown runs and nothing is lost.
#pragma once

#include <signal.h>

#include <memory>

namespace Util {

// Also gives the calling thread (the main thread) its alternate stack.
void InstallCrashHandler();

// An alternate signal stack for the calling thread while the object lives, so that a crash on
// that thread, a stack overflow included, is handled and dumped too. Every thread the engine
// starts makes one first thing.
class ThreadSignalStack {
 public:
  ThreadSignalStack();
  ~ThreadSignalStack();
  ThreadSignalStack(const ThreadSignalStack&) = delete;
  ThreadSignalStack& operator=(const ThreadSignalStack&) = delete;

 private:
  std::unique_ptr<char[]> m_Stack;
  stack_t m_Previous{};
};

void InstallStopHandler();
bool StopRequested();
void ClearStopRequest();

}  // namespace Util
