// Crashes happen in child processes; the parent reads what the handler printed and the dump.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
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

struct ChildResult {
  std::string output;
  int signal = 0;
};

ChildResult RunCrashingChild(void (*crash)()) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  std::fflush(stdout);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    Util::InstallCrashHandler();
    crash();
    ::_exit(0);
  }
  ::close(fds[1]);
  ChildResult result;
  char buffer[512];
  ssize_t n;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace

TEST(CrashHandler, ANullWriteAStackOverflowAndAnAbortWriteTheDumpAndEndWithTheirSignal) {
  const std::string handled = "In my exception handler\n";
  const std::string written = "MiniDumpWriteDump written to minidump.dmp.\n";
  const struct {
    void (*crash)();
    int signal;
    std::string output;
    std::vector<std::string> dump;
  } crashes[] = {
      {WriteThroughNull,
       SIGSEGV,
       handled + written,
       {"signal: SIGSEGV", "fault address: 0x0", "backtrace:", "memory map:", "[stack]"}},
      {[] { Recurse(0); }, SIGSEGV, handled + "Stack overflow not handled.\n" + written, {"stack overflow"}},
      {[] { std::abort(); }, SIGABRT, handled + written, {"signal: SIGABRT"}},
      {OverflowOnTheWorker, SIGSEGV, handled + "Stack overflow not handled.\n" + written, {"stack overflow"}},
  };
  for (const auto& c : crashes) {
    SCOPED_TRACE(c.output);
    Testing::TempTree tree;
    const ChildResult r = RunCrashingChild(c.crash);
    EXPECT_EQ(r.signal, c.signal);
    EXPECT_EQ(r.output, c.output);
    const std::string dump = tree.Read("run/bin/minidump.dmp");
    for (const std::string& part : c.dump) EXPECT_NE(dump.find(part), std::string::npos) << part;
  }
}

TEST(CrashHandler, UncreatableDumpFileIsReportedWithTheSystemError) {
  Testing::TempTree tree;
  tree.Write("run/bin/minidump.dmp/blocker", "");  // a folder where the file should go
  const ChildResult r = RunCrashingChild(WriteThroughNull);
  EXPECT_EQ(r.signal, SIGSEGV);
  EXPECT_EQ(r.output, "In my exception handler\nCreateFile failed with 21.\n");
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
