#include "Util/Assert.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace Util {
namespace {

AssertChoice PrintAndContinue(const std::string& text) {
  std::fprintf(stderr, "Error: Assertion Failed\n%s\n", text.c_str());
  std::fflush(stderr);
  return AssertChoice::Ignore;
}

std::mutex& HandlerMutex() {
  static std::mutex m;
  return m;
}

AssertHandler& CurrentHandler() {
  static AssertHandler h = PrintAndContinue;
  return h;
}

}  // namespace

AssertHandler SetAssertHandler(AssertHandler handler) {
  std::lock_guard<std::mutex> lock(HandlerMutex());
  AssertHandler old = CurrentHandler();
  CurrentHandler() = handler ? std::move(handler) : AssertHandler(PrintAndContinue);
  return old;
}

std::string AssertText(const char* expression, const char* comment, const char* file, int line) {
  std::string text = "Assert \"";
  text += expression ? expression : "";
  text += "\" failed\nComment: ";
  text += comment ? comment : "";
  text += "\nFile: ";
  text += file ? file : "";
  text += "\nLine: ";
  text += std::to_string(line);
  return text;
}

bool Assert(bool condition, const char* expression, const char* comment, const char* file, int line) {
  return condition || AssertFailed(expression, comment, file, line);
}

bool Assert(bool condition, const char* expression, const std::string& comment, const char* file, int line) {
  return condition || AssertFailed(expression, comment.c_str(), file, line);
}

bool AssertFailed(const char* expression, const std::string& comment, const char* file, int line) {
  return AssertFailed(expression, comment.c_str(), file, line);
}

bool AssertFailed(const char* expression, const char* comment, const char* file, int line) {
  const std::string text = AssertText(expression, comment, file, line);
  AssertHandler handler;
  {
    std::lock_guard<std::mutex> lock(HandlerMutex());
    handler = CurrentHandler();
  }
  // The handler runs outside the lock: a dialog blocks only the thread that asserted.
  if (handler(text) == AssertChoice::Abort) std::abort();
  return false;
}

}  // namespace Util
