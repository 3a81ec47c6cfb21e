#include "Playtest/Verdict.h"

#include <cstdio>

namespace Play {

bool Verdict::Check(bool held, const std::string& text, uint32_t frame) {
  std::lock_guard<std::mutex> lock(m_Mutex);
  ++m_Checks;
  if (!held) {
    ++m_Failures;
    std::printf("PLAYTEST FAILED (frame %u): %s\n", frame, text.c_str());
    std::fflush(stdout);
  }
  return held;
}

uint32_t Verdict::Checks() const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return m_Checks;
}

uint32_t Verdict::Failures() const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return m_Failures;
}

std::string Verdict::Summary() const {
  std::lock_guard<std::mutex> lock(m_Mutex);
  char line[64];
  if (m_Failures == 0)
    std::snprintf(line, sizeof line, "PLAYTEST PASS %u/%u", m_Checks, m_Checks);
  else
    std::snprintf(line, sizeof line, "PLAYTEST FAIL %u/%u", m_Failures, m_Checks);
  return line;
}

}  // namespace Play
