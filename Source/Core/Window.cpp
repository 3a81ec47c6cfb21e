#include "Core/Window.h"

#include <SDL.h>

#include <cstdio>

namespace Core {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Core\\core_window";
constexpr const char* kIconPath = "../../Assets/Icon/hollowmeredrift_icon.bmp";
// Without a real display SDL2 would fall back to an invisible off-screen one, and the game would run
// unseen. Only displays a player can look at count; SDL_VIDEODRIVER in the environment still wins.
constexpr const char* kDisplayDrivers = "x11,wayland,KMSDRM";

// The widths offered, in order; the start-up width is the largest usable one up to 1280.
struct Resolution {
  uint32_t width;
  const char* name;
};

const Resolution kResolutions[] = {
    {480, "480"},   {640, "640"},   {800, "800"},   {1152, "1152"}, {1280, "1280"},
    {1366, "1366"}, {1440, "1440"}, {1600, "1600"}, {1680, "1680"}, {1920, "1920"},
};

constexpr uint32_t kLargestStartWidth = 1280;
constexpr float kWindowedHeightFactor = 0.5625f;  // 16:9

uint32_t WindowedHeight(uint32_t width) {
  return static_cast<uint32_t>(static_cast<float>(width) * kWindowedHeightFactor);
}

// In float, as the aspect is: the desktop's own width gives back the desktop's height.
uint32_t FullScreenHeight(uint32_t width, float aspect) {
  return aspect > 0.0f ? static_cast<uint32_t>(static_cast<float>(width) / aspect) : 0;
}

// Offset that centres a length on the desktop, halves rounded toward zero.
int32_t Centre(uint32_t desktop, uint32_t length) {
  return (static_cast<int32_t>(desktop) - static_cast<int32_t>(length)) / 2;
}

// A float size truncated; negative, NaN or absurd sizes, which would not survive the conversion,
// become 0, which SDL refuses.
uint32_t Length(float size) { return size > 0.0f && size < 65536.0f ? static_cast<uint32_t>(size) : 0; }

std::function<void()>& BeforeSwap() {
  static std::function<void()> hook;
  return hook;
}

}  // namespace

Window::Window() : Singleton(true) {}

Window::~Window() {
  if (!UTIL_ASSERT(!m_IsInit, "Window was not shutdown")) shutdown();
}

int Window::init() {
  if (!UTIL_ASSERT(!m_IsInit, "Window::init() window has alread been initialized") && m_SdlWindow) return 0;
  m_IsInit = true;
  SDL_SetHint(SDL_HINT_VIDEODRIVER, kDisplayDrivers);
  const bool started = SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) == 0;
  uint32_t desktopWidth = 0;
  uint32_t desktopHeight = 0;
  SDL_DisplayMode desktop;
  if (started && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
    desktopWidth = static_cast<uint32_t>(desktop.w);
    desktopHeight = static_cast<uint32_t>(desktop.h);
  }
  SDL_Rect bounds;
  if (started && SDL_GetDisplayBounds(0, &bounds) == 0) {
    m_ScreenX = bounds.x;
    m_ScreenY = bounds.y;
  }
  BuildResolutionList(desktopWidth, desktopHeight);
  if (!started) {
    std::printf("SDL failed to init: %s\n", SDL_GetError());
    return 1;
  }
  if (!OpenWindow()) return 1;
  SetCaption();
  return 0;
}

void Window::BuildResolutionList(uint32_t desktopWidth, uint32_t desktopHeight) {
  m_ScreenWidth = desktopWidth;
  m_ScreenHeight = desktopHeight;
  m_Aspect = desktopHeight > 0 ? static_cast<float>(desktopWidth) / static_cast<float>(desktopHeight) : 0.0f;
  std::printf("aspect - %f", m_Aspect);
  m_Widths.clear();
  m_ResolutionNames.clear();
  for (const Resolution& resolution : kResolutions) {
    if (resolution.width > desktopWidth) continue;
    m_Widths.push_back(resolution.width);
    m_ResolutionNames.push_back(resolution.name);
    if (resolution.width <= kLargestStartWidth) {
      m_Width = resolution.width;
      m_ResIndex = static_cast<uint32_t>(m_Widths.size() - 1);
    }
  }
  ComputeHeight();
}

void Window::ComputeHeight() {
  m_Height = m_FullScreen ? FullScreenHeight(m_Width, m_Aspect) : WindowedHeight(m_Width);
}

bool Window::OpenWindow() {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // Display lists and the fixed-function pipeline are part of the renderer: never a core profile.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  m_SdlWindow =
      SDL_CreateWindow("", m_ScreenX + Centre(m_ScreenWidth, m_Width), m_ScreenY + Centre(m_ScreenHeight, m_Height),
                       static_cast<int>(m_Width), static_cast<int>(m_Height), SDL_WINDOW_OPENGL);
  if (!m_SdlWindow) {
    std::printf("SDL failed to open the window: %s\n", SDL_GetError());
    return false;
  }
  m_GlContext = SDL_GL_CreateContext(m_SdlWindow);
  if (!m_GlContext) {
    std::printf("SDL failed to create the OpenGL context: %s\n", SDL_GetError());
    SDL_DestroyWindow(m_SdlWindow);
    m_SdlWindow = nullptr;
    return false;
  }
  // Wait for the vertical retrace where the driver can; a virtual display cannot, and that is fine.
  SDL_GL_SetSwapInterval(1);
  SetVideoMode();
  SetIcon();
  return true;
}

void Window::SetIcon() {
  // A missing icon leaves the system's default; nothing to report.
  SDL_Surface* icon = SDL_LoadBMP(kIconPath);
  if (!icon) return;
  SDL_SetWindowIcon(m_SdlWindow, icon);
  SDL_FreeSurface(icon);
}

void Window::shutdown() {
  UTIL_ASSERT(m_IsInit, "Window::shutdown() window has not been initialized");
  m_IsInit = false;
  if (m_GlContext) SDL_GL_DeleteContext(m_GlContext);
  if (m_SdlWindow) SDL_DestroyWindow(m_SdlWindow);
  m_GlContext = nullptr;
  m_SdlWindow = nullptr;
  SDL_Quit();
}

void Window::ToggleFullScreen() {
  m_FullScreen = !m_FullScreen;
  if (m_ResIndex < m_Widths.size()) m_Width = m_Widths[m_ResIndex];
  if (m_FullScreen) {
    m_Width = m_ScreenWidth;
    m_Height = FullScreenHeight(m_ScreenWidth, m_Aspect);
  } else {
    m_Height = WindowedHeight(m_Width);
  }
}

void Window::SetVideoMode() {
  if (!m_SdlWindow) return;
  if (m_FullScreen) {
    SDL_SetWindowFullscreen(m_SdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    // Desktop full screen does not change the display mode: the window is the desktop's size,
    // and that is the size the renderer must draw.
    m_Width = m_ScreenWidth;
    m_Height = m_ScreenHeight;
    return;
  }
  SDL_SetWindowFullscreen(m_SdlWindow, 0);
  SDL_SetWindowSize(m_SdlWindow, static_cast<int>(m_Width), static_cast<int>(m_Height));
  SDL_SetWindowPosition(m_SdlWindow, m_ScreenX + Centre(m_ScreenWidth, m_Width),
                        m_ScreenY + Centre(m_ScreenHeight, m_Height));
}

int Window::SetResolution(int32_t index) {
  if (index >= 0 && static_cast<uint32_t>(index) == m_ResIndex) return 1;
  if (m_Widths.empty() || index < 0 || static_cast<uint32_t>(index) >= m_Widths.size()) return -1;
  m_ResIndex = static_cast<uint32_t>(index);
  m_Width = m_Widths[m_ResIndex];
  ComputeHeight();
  SetVideoMode();
  return 0;
}

void Window::SetSize(uint32_t width, uint32_t height) {
  m_Width = width;
  m_Height = height;
  SetVideoMode();
}

void Window::SetSize(const Vector2& size) { SetSize(Length(size.x), Length(size.y)); }

void Window::SetCaption() {
  if (m_SdlWindow) SDL_SetWindowTitle(m_SdlWindow, m_Caption.c_str());
}

void Window::SwapBuffers() {
  if (!m_SdlWindow) return;
  if (BeforeSwap()) BeforeSwap()();
  SDL_GL_SwapWindow(m_SdlWindow);
}

void Window::SetBeforeSwap(std::function<void()> hook) { BeforeSwap() = std::move(hook); }

}  // namespace Core
