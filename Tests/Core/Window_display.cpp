// The real window on the virtual display (a 1920 x 1080 screen): where it opens, what it is called,
// its OpenGL context, and how it follows full screen and resolution changes.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

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

// x, y, width, height.
using Placement = std::array<int, 4>;

// Waits until SDL reports the window where it should be (the X server answers asynchronously).
void ExpectSettlesAt(SDL_Window* window, const Placement& expected) {
  Placement p{};
  Testing::PumpUntil(
      [&] {
        SDL_GetWindowPosition(window, &p[0], &p[1]);
        SDL_GetWindowSize(window, &p[2], &p[3]);
        return p == expected;
      },
      2000);
  EXPECT_EQ(p, expected);
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

TEST_F(WindowOnDisplay, OpensAt1280By720CentredWithItsCaptionAndADoubleBufferedCompatibilityContext) {
  EXPECT_EQ(m_Printed, "aspect - 1.777778");
  ExpectSettlesAt(m_Sdl, {320, 180, 1280, 720});
  EXPECT_STREQ(SDL_GetWindowTitle(m_Sdl), "Hollowmere Drift");
  EXPECT_FALSE(SDL_GetWindowFlags(m_Sdl) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(SDL_GL_GetCurrentWindow(), m_Sdl);
  int doubleBuffer = 0;
  SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
  EXPECT_EQ(doubleBuffer, 1);
  GLint profile = 0;
  glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
  // A legacy context reports no profile at all; either way the fixed-function pipeline is there.
  EXPECT_TRUE(profile == 0 || (profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT)) << glGetString(GL_VERSION);
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

TEST_F(WindowOnDisplay, ResolutionsAndSizesRecentreAndFullScreenIsTheDesktopUntilToggledBack) {
  Window& window = Window::Instance();
  EXPECT_EQ(window.SetResolution(2), 0);
  ExpectSettlesAt(m_Sdl, {560, 315, 800, 450});
  window.SetSize(1001, 500);
  ExpectSettlesAt(m_Sdl, {459, 290, 1001, 500});

  window.ToggleFullScreen();
  window.SetVideoMode();
  EXPECT_TRUE(SDL_GetWindowFlags(m_Sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  ExpectSettlesAt(m_Sdl, {0, 0, 1920, 1080});
  EXPECT_EQ(window.SetResolution(1), 0);
  EXPECT_EQ(std::make_pair(window.Width(), window.Height()), std::make_pair(1920u, 1080u));  // the desktop's size
  window.ToggleFullScreen();
  window.SetVideoMode();
  EXPECT_FALSE(SDL_GetWindowFlags(m_Sdl) & SDL_WINDOW_FULLSCREEN);
  ExpectSettlesAt(m_Sdl, {640, 360, 640, 360});  // the resolution chosen meanwhile

  const Uint32 id = SDL_GetWindowID(m_Sdl);
  window.shutdown();
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
}
