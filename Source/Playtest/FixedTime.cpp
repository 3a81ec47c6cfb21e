#include "Playtest/FixedTime.h"

#include <algorithm>
#include <thread>

namespace Play {

void FixedTime::WaitUntil(int64_t target) {
  if (target <= m_Ticks) return;
  if (m_Paced) {
    // Each frame keeps its own 33 ms from the end of the one before; a frame that ran late is not
    // made up for by rushing the next ones.
    const auto due = m_WallMark + std::chrono::milliseconds(target - m_TickMark);
    std::this_thread::sleep_until(due);
    m_WallMark = std::max(due, std::chrono::steady_clock::now());
    m_TickMark = target;
  }
  m_Ticks = target;
}

void FixedTime::SetPaced(bool paced) {
  if (paced && !m_Paced) {
    m_WallMark = std::chrono::steady_clock::now();
    m_TickMark = m_Ticks;
  }
  m_Paced = paced;
}

}  // namespace Play
