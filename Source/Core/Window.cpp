#include "Core/Window.h"

namespace Core {
namespace {
constexpr const char* kAssertFile = "..\\..\\Source\\Core\\core_window";
}

Window::Window() : Singleton(true) {}

Window::~Window() {
  if (!UTIL_ASSERT(!m_IsInit, "Window was not shutdown")) shutdown();
}

int Window::init() {
  UTIL_ASSERT(!m_IsInit, "Window::init() window has alread been initialized");
  m_IsInit = true;
  return 0;
}

void Window::shutdown() {
  UTIL_ASSERT(m_IsInit, "Window::shutdown() window has not been initialized");
  m_IsInit = false;
}

void Window::ToggleFullScreen() {}

void Window::SetVideoMode() {}

}  // namespace Core
