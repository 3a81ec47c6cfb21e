// The real window on the virtual display (a 1920 x 1080 screen): where it opens, what it is called,
// its OpenGL context, and how it follows full screen and resolution changes.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "Core/Window.h"
#include "Support/AssertRecorder.h"
#include "Support/Printed.h"
#include "Support/SdlEvents.h"

#ifndef GL_CONTEXT_PROFILE_MASK
#define GL_CONTEXT_PROFILE_MASK 0x9126
#define GL_CONTEXT_COMPATIBILITY_PROFILE_BIT 0x00000002
#endif

using Core::Window;

namespace {

struct Placement {
  int x, y, width, height;
  bool operator==(const Placement& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

std::ostream& operator<<(std::ostream& out, const Placement& p) {
  return out << p.width << "x" << p.height << " at (" << p.x << ", " << p.y << ")";
}

Placement Where(SDL_Window* window) {
  Placement p{};
  SDL_GetWindowPosition(window, &p.x, &p.y);
  SDL_GetWindowSize(window, &p.width, &p.height);
  return p;
}

// Waits until SDL reports the window where it should be (the X server answers asynchronously).
Placement SettlesAt(SDL_Window* window, const Placement& expected) {
  Testing::PumpUntil([&] { return Where(window) == expected; }, 2000);
  return Where(window);
}

class WindowOnDisplay : public testing::Test {
 protected:
  void SetUp() override {
    m_Printed = Testing::Printed([this] { m_Result = Window::Instance().init(); });
    ASSERT_EQ(m_Result, 0) << m_Printed;
    m_Sdl = Window::Instance().Handle();
    ASSERT_NE(m_Sdl, nullptr);
  }
  void TearDown() override {
    if (Window::Instance().IsInit()) Window::Instance().shutdown();
    Window::Destroy();
    EXPECT_EQ(m_Recorder.Count(), 0u);
  }

  Testing::AssertRecorder m_Recorder;
  int m_Result = -1;
  std::string m_Printed;
  SDL_Window* m_Sdl = nullptr;
};

}  // namespace

TEST_F(WindowOnDisplay, OpensAt1280By720CentredWithItsCaption) {
  EXPECT_EQ(m_Printed, "aspect - 1.777778");
  EXPECT_EQ(SettlesAt(m_Sdl, {320, 180, 1280, 720}), (Placement{320, 180, 1280, 720}));
  EXPECT_STREQ(SDL_GetWindowTitle(m_Sdl), "Hollowmere Drift");
  EXPECT_TRUE(SDL_GetWindowFlags(m_Sdl) & SDL_WINDOW_OPENGL);
  EXPECT_FALSE(SDL_GetWindowFlags(m_Sdl) & SDL_WINDOW_FULLSCREEN);
}

TEST_F(WindowOnDisplay, HasACurrentDoubleBufferedCompatibilityContext) {
  ASSERT_NE(SDL_GL_GetCurrentContext(), nullptr);
  EXPECT_EQ(SDL_GL_GetCurrentWindow(), m_Sdl);
  int doubleBuffer = 0;
  SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
  EXPECT_EQ(doubleBuffer, 1);
  GLint profile = 0;
  glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
  const std::string version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  // A legacy context reports no profile at all; either way the fixed-function pipeline is there.
  EXPECT_TRUE(profile == 0 || (profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT)) << version;
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glBegin(GL_TRIANGLES);  // fixed function: refused by a core profile
  glEnd();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  unsigned char pixel[4] = {};
  glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 255);
  Window::Instance().SwapBuffers();
}

TEST_F(WindowOnDisplay, TogglesToTheDesktopsFullScreenAndBackToTheResolutionChosenMeanwhile) {
  Window& window = Window::Instance();
  window.ToggleFullScreen();
  window.SetVideoMode();
  EXPECT_TRUE(SDL_GetWindowFlags(m_Sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  EXPECT_EQ(SettlesAt(m_Sdl, {0, 0, 1920, 1080}), (Placement{0, 0, 1920, 1080}));
  EXPECT_EQ(window.SetResolution(1), 0);
  EXPECT_EQ(window.Width(), 1920u);  // desktop full screen keeps the desktop's size
  EXPECT_EQ(window.Height(), 1080u);

  window.ToggleFullScreen();
  window.SetVideoMode();
  EXPECT_FALSE(SDL_GetWindowFlags(m_Sdl) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(SettlesAt(m_Sdl, {640, 360, 640, 360}), (Placement{640, 360, 640, 360}));
  EXPECT_EQ(window.Width(), 640u);
  EXPECT_EQ(window.Height(), 360u);
}

TEST_F(WindowOnDisplay, ResolutionAndSizeChangesResizeAndRecentre) {
  Window& window = Window::Instance();
  EXPECT_EQ(window.SetResolution(4), 1);
  EXPECT_EQ(window.SetResolution(10), -1);
  EXPECT_EQ(SettlesAt(m_Sdl, {320, 180, 1280, 720}), (Placement{320, 180, 1280, 720}));
  EXPECT_EQ(window.SetResolution(2), 0);
  EXPECT_EQ(SettlesAt(m_Sdl, {560, 315, 800, 450}), (Placement{560, 315, 800, 450}));
  window.SetSize(1001, 500);
  EXPECT_EQ(SettlesAt(m_Sdl, {459, 290, 1001, 500}), (Placement{459, 290, 1001, 500}));
}

TEST_F(WindowOnDisplay, ShutdownClosesTheWindowAndSdl) {
  const Uint32 id = SDL_GetWindowID(m_Sdl);
  Window::Instance().shutdown();
  EXPECT_EQ(Window::Instance().Handle(), nullptr);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
}
