// The assertion routine: the engine's one way of reporting misuse and broken invariants.
//
// A failed assertion builds a four-line text (expression, comment, source file, line) and hands it
// to the installed handler. The game installs a modal dialog with Abort, Retry and Ignore; tests
// install a recorder. Abort ends the process at once; Retry and Ignore return, and the caller goes
// on as if the condition had held. Safe to reach from the worker thread as well as the main thread.
#pragma once

#include <functional>
#include <string>

namespace Util {

enum class AssertChoice { Abort, Retry, Ignore };

// Receives the full four-line text of a failed assertion and says how to go on.
using AssertHandler = std::function<AssertChoice(const std::string& text)>;

// Installs a handler and returns the one it replaces. An empty handler restores the default,
// which prints the text to standard error and continues.
AssertHandler SetAssertHandler(AssertHandler handler);

// The text shown for a failed assertion: four lines, no newline at the end.
std::string AssertText(const char* expression, const char* comment, const char* file, int line);

// Returns the condition. On false, reports through the handler (and aborts on Abort).
bool Assert(bool condition, const char* expression, const char* comment, const char* file, int line);
bool Assert(bool condition, const char* expression, const std::string& comment, const char* file, int line);

// The report of a condition already found false; returns false. The macros below test the
// condition where it is written and call this only on failure, so a holding assertion costs one
// branch.
[[gnu::cold, gnu::noinline]] bool AssertFailed(const char* expression, const char* comment, const char* file,
                                               int line);
[[gnu::cold, gnu::noinline]] bool AssertFailed(const char* expression, const std::string& comment,
                                               const char* file, int line);

}  // namespace Util

// Every assertion in the engine goes through these. UTIL_ASSERT names the source file through a
// constant `kAssertFile` that each translation unit defines for itself; UTIL_ASSERT_IN takes the
// file explicitly (templates in headers); UTIL_ASSERT_EXPR shows a given expression text where the
// code's own condition is written differently from the text users know it by.
#define UTIL_ASSERT(cond, comment) \
  (__builtin_expect(static_cast<bool>(cond), 1) || ::Util::AssertFailed(#cond, (comment), kAssertFile, __LINE__))
#define UTIL_ASSERT_IN(file, cond, comment) \
  (__builtin_expect(static_cast<bool>(cond), 1) || ::Util::AssertFailed(#cond, (comment), (file), __LINE__))
#define UTIL_ASSERT_EXPR(cond, expr, comment) \
  (__builtin_expect(static_cast<bool>(cond), 1) || ::Util::AssertFailed((expr), (comment), kAssertFile, __LINE__))
