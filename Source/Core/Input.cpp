#include "Core/Input.h"

namespace Core {
namespace {
constexpr const char* kAssertFile = "..\\..\\Source\\Core\\core_input";
}

Input::Input() : Singleton(true) {}

Input::~Input() { UTIL_ASSERT(!m_Initialized, "Input destructor called without system being shut down."); }

void Input::Init() {
  UTIL_ASSERT(!m_Initialized, "Attempting to Initialize an already initialized input system.");
  m_Initialized = true;
}

void Input::Shutdown() {
  UTIL_ASSERT(m_Initialized, "Attempting to Shutdown an uninitialized input system.");
  m_Initialized = false;
}

bool Input::Update() { return true; }

void Input::PollController() {}

void Input::AdvanceTimers() {}

}  // namespace Core
