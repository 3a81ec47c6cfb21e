// Process signals: the crash handler and the polite stop.
//
// The crash handler catches SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT on an alternate stack (so
// a stack overflow is caught too), prints "In my exception handler", writes "minidump.dmp" in the
// working directory (the signal, the fault address, a backtrace and the memory map) and then lets
// the signal's default action end the process. Everything it does is async-signal-safe.
//
// The stop handler turns SIGINT and SIGTERM into a request that the frame loop honours between
// frames like a script's quit request, so that shutdown runs and nothing is lost.
#pragma once

namespace Util {

void InstallCrashHandler();

void InstallStopHandler();
bool StopRequested();
void ClearStopRequest();

}  // namespace Util
