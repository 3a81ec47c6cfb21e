// Crashes happen in child processes; the parent reads what the handler printed and the dump.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "Support/TempTree.h"
#include "Util/Signals.h"

namespace {

volatile int g_Never = 0;

__attribute__((noinline)) int Recurse(int depth) {
  volatile char pad[512];
  pad[depth % 512] = static_cast<char>(depth);
  if (g_Never) return 0;
  return Recurse(depth + 1) + pad[depth % 512];
}

struct ChildResult {
  std::string output;
  int signal = 0;
};

ChildResult RunCrashingChild(const std::function<void()>& crash) {
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

TEST(CrashHandler, NullWriteWritesTheDumpAndEndsWithTheSignal) {
  Testing::TempTree tree;
  ChildResult r = RunCrashingChild([] { *static_cast<volatile int*>(nullptr) = 1; });
  EXPECT_EQ(r.signal, SIGSEGV);
  EXPECT_EQ(r.output, "In my exception handler\nMiniDumpWriteDump written to minidump.dmp.\n");
  const std::string dump = tree.Read("run/bin/minidump.dmp");
  EXPECT_NE(dump.find("signal: SIGSEGV"), std::string::npos);
  EXPECT_NE(dump.find("fault address: 0x0"), std::string::npos);
  EXPECT_NE(dump.find("backtrace:"), std::string::npos);
  EXPECT_NE(dump.find("memory map:"), std::string::npos);
  EXPECT_NE(dump.find("[stack]"), std::string::npos);
}

TEST(CrashHandler, StackOverflowIsNamedAndStillDumped) {
  Testing::TempTree tree;
  ChildResult r = RunCrashingChild([] { Recurse(0); });
  EXPECT_EQ(r.signal, SIGSEGV);
  EXPECT_EQ(r.output,
            "In my exception handler\nStack overflow not handled.\nMiniDumpWriteDump written to minidump.dmp.\n");
  EXPECT_NE(tree.Read("run/bin/minidump.dmp").find("stack overflow"), std::string::npos);
}

TEST(CrashHandler, AbortIsCaughtToo) {
  Testing::TempTree tree;
  ChildResult r = RunCrashingChild([] { std::abort(); });
  EXPECT_EQ(r.signal, SIGABRT);
  EXPECT_EQ(r.output, "In my exception handler\nMiniDumpWriteDump written to minidump.dmp.\n");
  EXPECT_NE(tree.Read("run/bin/minidump.dmp").find("signal: SIGABRT"), std::string::npos);
}

TEST(CrashHandler, UncreatableDumpFileIsReportedWithTheSystemError) {
  Testing::TempTree tree;
  tree.Write("run/bin/minidump.dmp/blocker", "");  // a folder where the file should go
  ChildResult r = RunCrashingChild([] { *static_cast<volatile int*>(nullptr) = 1; });
  EXPECT_EQ(r.signal, SIGSEGV);
  EXPECT_EQ(r.output, "In my exception handler\nCreateFile failed with 21.\n");
}

TEST(StopSignals, InterruptAndTerminateBecomeAStopRequest) {
  Util::InstallStopHandler();
  Util::ClearStopRequest();
  EXPECT_FALSE(Util::StopRequested());
  ::raise(SIGINT);
  EXPECT_TRUE(Util::StopRequested());
  Util::ClearStopRequest();
  ::raise(SIGTERM);
  EXPECT_TRUE(Util::StopRequested());
  Util::ClearStopRequest();
}
