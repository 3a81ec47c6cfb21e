// ErrorLog: reports engine and script errors on standard output.
//
// It keeps a log-file path and stream for a file log that nothing opens; every report goes to
// standard output only. The sound engine reports audio-device failures through Error, the
// script engine reports Lua errors through ScriptError.
#pragma once

#include <fstream>
#include <string>

#include "Util/Singleton.h"

namespace Util {

class ErrorLog : public Singleton<ErrorLog> {
 public:
  explicit ErrorLog(const std::string& path);

  void Error(const std::string& text);
  void ScriptError(const std::string& text);

  // Closes the log file if anything opened it (the engine's shutdown).
  void Close();

  const std::string& Path() const { return m_Path; }

 private:
  friend class Singleton<ErrorLog>;
  ErrorLog();

  std::string m_Path;
  std::ofstream m_File;
};

}  // namespace Util
