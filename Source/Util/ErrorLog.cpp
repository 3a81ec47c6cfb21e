#include "Util/ErrorLog.h"

#include <cstdio>

namespace Util {

ErrorLog::ErrorLog() : ErrorLog("../../Assets/error_log.txt") {}

ErrorLog::ErrorLog(const std::string& path) : Singleton(true), m_Path(path) {}

void ErrorLog::Error(const std::string& text) {
  std::fputs("Ps: elog is not writing to a file as per KVX400 requirements.\n", stdout);
  std::fputs("Error: ", stdout);
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

void ErrorLog::ScriptError(const std::string& text) {
  std::fputs("Script Error: ", stdout);
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

void ErrorLog::Close() {
  if (m_File.is_open()) m_File.close();
}

}  // namespace Util
