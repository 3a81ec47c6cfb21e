// Crashes happen in child processes; the test reads what the handler printed and the dump.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Support/TempTree.h"
#include "Util/Signals.h"
#include "Util/Worker.h"

namespace {

volatile int g_Never = 0;

__attribute__((noinline)) int Recurse(int depth) {
  volatile char pad[512];
  pad[depth % 512] = static_cast<char>(depth);
  if (g_Never) return 0;
  return Recurse(depth + 1) + pad[depth % 512];
}

void WriteThroughNull() { *static_cast<volatile int*>(nullptr) = 1; }

// A job that overflows the worker thread's stack.
struct Overflowing : Util::Job {
  std::unique_ptr<Job> Run() override {
    Recurse(0);
    return nullptr;
  }
};
void OverflowOnTheWorker() {
  Util::Worker::Get().SetPassSleep(std::chrono::milliseconds(0));
  Util::Worker::Get().Start();
  Util::Worker::Get().Push(std::make_unique<Overflowing>());
  for (;;) ::pause();
}

}  // namespace

// The handler writes to standard output; the child sends it where the death test reads.
TEST(CrashHandler, ANullWriteAStackOverflowOnEitherThreadAndAnAbortWriteTheDumpAndEndWithTheirSignal) {
  const std::string handled = "^In my exception handler\n";
  const std::string written = "MiniDumpWriteDump written to minidump.dmp.\n$";
  const std::string overflow = handled + "Stack overflow not handled.\n" + written;
  const struct {
    bool blocked;  // a folder stands where the dump should go
    void (*crash)();
    int signal;
    std::string output;
    std::vector<std::string> dump;
  } crashes[] = {
      {false, WriteThroughNull, SIGSEGV, handled + written, {"signal: SIGSEGV", "fault address: 0x0", "[stack]"}},
      {false, [] { Recurse(0); }, SIGSEGV, overflow, {"stack overflow"}},
      {false, OverflowOnTheWorker, SIGSEGV, overflow, {"stack overflow"}},
      {false, [] { std::abort(); }, SIGABRT, handled + written, {"signal: SIGABRT", "backtrace:"}},
      {true, WriteThroughNull, SIGSEGV, handled + "CreateFile failed with 21.\n$", {}},
  };
  for (const auto& c : crashes) {
    Testing::TempTree tree;
    if (c.blocked) tree.Write("run/bin/minidump.dmp/blocker", "");
    EXPECT_EXIT(
        {
          ::dup2(STDERR_FILENO, STDOUT_FILENO);
          Util::InstallCrashHandler();
          c.crash();
        },
        testing::KilledBySignal(c.signal), c.output);
    for (const std::string& part : c.dump)
      EXPECT_NE(tree.Read("run/bin/minidump.dmp").find(part), std::string::npos) << part;
  }
}

TEST(StopSignals, InterruptAndTerminateBecomeAStopRequest) {
  Util::InstallStopHandler();
  for (int signal : {SIGINT, SIGTERM}) {
    Util::ClearStopRequest();
    EXPECT_FALSE(Util::StopRequested());
    ::raise(signal);
    EXPECT_TRUE(Util::StopRequested()) << signal;
  }
  Util::ClearStopRequest();
}
