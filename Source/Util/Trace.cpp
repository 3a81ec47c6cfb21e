#include "Util/Trace.h"

namespace Util {
namespace Trace {
namespace {

struct State {
  bool enabled = false;
  std::vector<std::string> steps;
  std::function<void(const std::string&)> listener;
};

State& GetState() {
  static State state;
  return state;
}

}  // namespace

void Enable(bool on) { GetState().enabled = on; }

bool Enabled() { return GetState().enabled; }

void Record(const char* step) {
  State& s = GetState();
  if (!s.enabled) return;
  s.steps.emplace_back(step);
  if (s.listener) s.listener(s.steps.back());
}

const std::vector<std::string>& Steps() { return GetState().steps; }

void Clear() { GetState().steps.clear(); }

void SetListener(std::function<void(const std::string&)> listener) { GetState().listener = std::move(listener); }

}  // namespace Trace
}  // namespace Util
