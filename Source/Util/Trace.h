// Trace: an optional record of the engine's steps, off unless a test turns it on.
//
// The engine names every step of Init, the frame and Shutdown as it runs it. With the trace on,
// the names are kept in order and a listener may act on them (a test that quits mid-frame).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace Util {
namespace Trace {

void Enable(bool on);
bool Enabled();
void Record(const char* step);
const std::vector<std::string>& Steps();
void Clear();
void SetListener(std::function<void(const std::string& step)> listener);

}  // namespace Trace
}  // namespace Util
