#include "Util/Signals.h"

#include <execinfo.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>

namespace Util {
namespace {

// Room for the handler itself, the backtrace walk and the formatting below.
constexpr size_t kAltStackSize = 256 * 1024;
alignas(16) char g_AltStack[kAltStackSize];

volatile sig_atomic_t g_StopRequested = 0;

// The main thread's stack, known before any crash: a fault just below it is an overflow.
uintptr_t g_StackLow = 0;
uintptr_t g_StackHigh = 0;

void Write(int fd, const char* text) {
  size_t left = std::strlen(text);
  while (left > 0) {
    ssize_t n = ::write(fd, text, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text += n;
    left -= static_cast<size_t>(n);
  }
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Formats without the C library's printf family, which is not safe inside a signal handler.
char* FormatUnsigned(char* end, uint64_t value, unsigned base) {
  *--end = '\0';
  do {
    unsigned digit = static_cast<unsigned>(value % base);
    *--end = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    value /= base;
  } while (value != 0);
  return end;
}

void WriteUnsigned(int fd, uint64_t value) {
  char buffer[32];
  Write(fd, FormatUnsigned(buffer + sizeof buffer, value, 10));
}

bool WriteLine(int fd, const char* label, uint64_t value, unsigned base) {
  char buffer[40];
  const char* digits = FormatUnsigned(buffer + sizeof buffer, value, base);
  return WriteAll(fd, label, std::strlen(label)) && (base != 16 || WriteAll(fd, "0x", 2)) &&
         WriteAll(fd, digits, std::strlen(digits)) && WriteAll(fd, "\n", 1);
}

const char* SignalName(int sig) {
  switch (sig) {
    case SIGSEGV:
      return "SIGSEGV";
    case SIGBUS:
      return "SIGBUS";
    case SIGFPE:
      return "SIGFPE";
    case SIGILL:
      return "SIGILL";
    case SIGABRT:
      return "SIGABRT";
    default:
      return "signal";
  }
}

uintptr_t StackPointer(const void* context) {
  const ucontext_t* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
  return static_cast<uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
#elif defined(__aarch64__)
  return static_cast<uintptr_t>(uc->uc_mcontext.sp);
#else
  (void)uc;
  return 0;
#endif
}

// A stack overflow faults on the guard page right below the stack pointer of the thread that
// overflowed, or just below the main thread's known stack.
bool IsStackOverflow(int sig, const siginfo_t* info, const void* context) {
  if (sig != SIGSEGV && sig != SIGBUS) return false;
  const uintptr_t fault = reinterpret_cast<uintptr_t>(info->si_addr);
  const uintptr_t sp = StackPointer(context);
  const uintptr_t near = 64 * 1024;
  if (sp != 0 && fault + near >= sp && fault <= sp + near) return true;
  return g_StackLow != 0 && fault + near >= g_StackLow && fault < g_StackHigh;
}

bool CopyFile(int out, const char* path) {
  int in = ::open(path, O_RDONLY);
  if (in < 0) return WriteAll(out, "(unavailable)\n", 14);
  char buffer[4096];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (!WriteAll(out, buffer, static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  ::close(in);
  return ok;
}

bool WriteDump(int fd, int sig, const siginfo_t* info, bool overflow) {
  bool ok = WriteAll(fd, "Hollowmere Drift crash dump\nsignal: ", 36);
  ok = ok && WriteAll(fd, SignalName(sig), std::strlen(SignalName(sig)));
  ok = ok && WriteLine(fd, "\nsignal number: ", static_cast<uint64_t>(sig), 10);
  ok = ok && WriteLine(fd, "signal code: ", static_cast<uint64_t>(info->si_code), 10);
  ok = ok && WriteLine(fd, "fault address: ", reinterpret_cast<uintptr_t>(info->si_addr), 16);
  ok = ok && WriteLine(fd, "process: ", static_cast<uint64_t>(::getpid()), 10);
  if (overflow) ok = ok && WriteAll(fd, "stack overflow\n", 15);
  ok = ok && WriteAll(fd, "backtrace:\n", 11);
  if (ok && !overflow) {
    // Walking an overflowed stack can fault again; the memory map still tells where it ran.
    void* frames[64];
    int count = ::backtrace(frames, 64);
    ::backtrace_symbols_fd(frames, count, fd);
  }
  ok = ok && WriteAll(fd, "memory map:\n", 12);
  ok = ok && CopyFile(fd, "/proc/self/maps");
  return ok;
}

void CrashHandler(int sig, siginfo_t* info, void* context) {
  const int saved = errno;
  Write(STDOUT_FILENO, "In my exception handler\n");
  const bool overflow = IsStackOverflow(sig, info, context);
  if (overflow) Write(STDOUT_FILENO, "Stack overflow not handled.\n");

  int fd = ::open("minidump.dmp", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    Write(STDOUT_FILENO, "CreateFile failed with ");
    WriteUnsigned(STDOUT_FILENO, static_cast<uint64_t>(errno));
    Write(STDOUT_FILENO, ".\n");
  } else {
    if (WriteDump(fd, sig, info, overflow)) {
      Write(STDOUT_FILENO, "MiniDumpWriteDump written to minidump.dmp.\n");
    } else {
      Write(STDOUT_FILENO, "MiniDumpWriteDump failed with ");
      WriteUnsigned(STDOUT_FILENO, static_cast<uint64_t>(errno));
      Write(STDOUT_FILENO, ".\n");
    }
    ::close(fd);
  }
  errno = saved;
  // The handler was reset to the default on entry (SA_RESETHAND); the signal stays blocked until
  // we return, then the default action ends the process, whether the signal came from a fault
  // or was raised.
  ::raise(sig);
}

void StopHandler(int) { g_StopRequested = 1; }

void UseAltStack(char* base, size_t size, stack_t* previous = nullptr) {
  stack_t stack{};
  stack.ss_sp = base;
  stack.ss_size = size;
  ::sigaltstack(&stack, previous);
}

}  // namespace

ThreadSignalStack::ThreadSignalStack() : m_Stack(new (std::nothrow) char[kAltStackSize]) {
  if (m_Stack) UseAltStack(m_Stack.get(), kAltStackSize, &m_Previous);
}

ThreadSignalStack::~ThreadSignalStack() {
  // Whatever the thread had before (none, or a sanitizer's) comes back before the memory goes.
  if (m_Stack) ::sigaltstack(&m_Previous, nullptr);
}

void InstallCrashHandler() {
  UseAltStack(g_AltStack, sizeof g_AltStack);

  pthread_attr_t attr;
  if (::pthread_getattr_np(::pthread_self(), &attr) == 0) {
    void* base = nullptr;
    size_t size = 0;
    if (::pthread_attr_getstack(&attr, &base, &size) == 0) {
      g_StackLow = reinterpret_cast<uintptr_t>(base);
      g_StackHigh = g_StackLow + size;
    }
    ::pthread_attr_destroy(&attr);
  }

  // The first backtrace loads the unwinder; doing it now keeps the handler free of that.
  void* warm[1];
  ::backtrace(warm, 1);

  struct sigaction action {};
  action.sa_sigaction = CrashHandler;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) ::sigaction(sig, &action, nullptr);
}

void InstallStopHandler() {
  struct sigaction action {};
  action.sa_handler = StopHandler;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM}) ::sigaction(sig, &action, nullptr);
}

bool StopRequested() { return g_StopRequested != 0; }

void ClearStopRequest() { g_StopRequested = 0; }

}  // namespace Util
