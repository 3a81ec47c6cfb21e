// The resolution list and size rules for several desktops, and a window that cannot open. None of
// this needs a display: the rules are fed a desktop size, and SDL is kept from finding one.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Core/Window.h"
#include "Support/AssertRecorder.h"
#include "Support/Printed.h"

using Core::Window;

namespace {

class WindowRules : public testing::Test {
 protected:
  void TearDown() override { Window::Destroy(); }

  // Builds the list for a desktop and returns what was printed.
  static std::string Build(uint32_t width, uint32_t height) {
    return Testing::Printed([&] { Window::Instance().BuildResolutionList(width, height); });
  }
};

}  // namespace

TEST_F(WindowRules, FullHdDesktopOffersAllTenWidthsAndStartsAt1280By720) {
  EXPECT_EQ(Build(1920, 1080), "aspect - 1.777778");
  const Window& window = Window::Instance();
  EXPECT_EQ(window.Widths(), (std::vector<uint32_t>{480, 640, 800, 1152, 1280, 1366, 1440, 1600, 1680, 1920}));
  EXPECT_EQ(window.ResolutionNames(),
            (std::vector<std::string>{"480", "640", "800", "1152", "1280", "1366", "1440", "1600", "1680", "1920"}));
  EXPECT_EQ(window.ResolutionIndex(), 4u);
  EXPECT_EQ(window.Width(), 1280u);
  EXPECT_EQ(window.Height(), 720u);
}

TEST_F(WindowRules, SmallDesktopKeepsOnlyTheWidthsThatFit) {
  EXPECT_EQ(Build(1024, 768), "aspect - 1.333333");
  const Window& window = Window::Instance();
  EXPECT_EQ(window.Widths(), (std::vector<uint32_t>{480, 640, 800}));
  EXPECT_EQ(window.ResolutionIndex(), 2u);
  EXPECT_EQ(window.Width(), 800u);
  EXPECT_EQ(window.Height(), 450u);
}

TEST_F(WindowRules, FullScreenIsTheDesktopsOwnSizeWhateverTheIndexAndBackRestoresTheIndexedWidth) {
  Build(1680, 1050);
  Window& window = Window::Instance();
  EXPECT_EQ(window.SetResolution(1), 0);  // 640 x 360, no window to apply it to
  window.ToggleFullScreen();
  EXPECT_TRUE(window.IsFullScreen());
  EXPECT_EQ(window.Width(), 1680u);
  EXPECT_EQ(window.Height(), 1050u);
  window.ToggleFullScreen();
  EXPECT_FALSE(window.IsFullScreen());
  EXPECT_EQ(window.Width(), 640u);
  EXPECT_EQ(window.Height(), 360u);
}

TEST_F(WindowRules, FullScreenHeightsFollowTheDesktopsAspect) {
  Window::Instance().SetFullScreen(true);
  Build(1680, 1050);
  EXPECT_EQ(Window::Instance().Width(), 1280u);
  EXPECT_EQ(Window::Instance().Height(), 800u);  // 1280 / 1.6
  EXPECT_EQ(Window::Instance().SetResolution(2), 0);
  EXPECT_EQ(Window::Instance().Width(), 800u);
  EXPECT_EQ(Window::Instance().Height(), 500u);
}

TEST_F(WindowRules, SetResolutionAnswersOneForTheCurrentIndexAndMinusOneBeyondTheList) {
  Build(1920, 1080);
  Window& window = Window::Instance();
  EXPECT_EQ(window.SetResolution(4), 1);
  EXPECT_EQ(window.SetResolution(10), -1);
  EXPECT_EQ(window.SetResolution(-1), -1);
  EXPECT_EQ(window.ResolutionIndex(), 4u);
  EXPECT_EQ(window.SetResolution(9), 0);
  EXPECT_EQ(window.ResolutionIndex(), 9u);
  EXPECT_EQ(window.Width(), 1920u);
  EXPECT_EQ(window.Height(), 1080u);
}

TEST_F(WindowRules, DesktopNarrowerThanEveryWidthOrUnknownLeavesAnEmptyListThatTogglingSurvives) {
  Build(400, 300);
  Window& window = Window::Instance();
  EXPECT_TRUE(window.Widths().empty());
  EXPECT_EQ(window.SetResolution(1), -1);
  window.ToggleFullScreen();
  EXPECT_EQ(window.Width(), 400u);
  EXPECT_EQ(window.Height(), 300u);
  window.ToggleFullScreen();
  EXPECT_FALSE(window.IsFullScreen());
  // An unknown desktop gives no sizes, and no division by zero.
  EXPECT_EQ(Build(0, 0), "aspect - 0.000000");
  window.ToggleFullScreen();
  EXPECT_EQ(window.Width(), 0u);
  EXPECT_EQ(window.Height(), 0u);
}

TEST_F(WindowRules, SizeFromFloatsIsTruncatedAndNonsenseBecomesZero) {
  Window& window = Window::Instance();
  window.SetSize(Core::Vector2{800.9f, 600.2f});
  EXPECT_EQ(window.Width(), 800u);
  EXPECT_EQ(window.Height(), 600u);
  window.SetSize(Core::Vector2{-5.0f, 1e20f});
  EXPECT_EQ(window.Width(), 0u);
  EXPECT_EQ(window.Height(), 0u);
}

TEST(WindowWithoutDisplay, SdlFailurePrintsTheErrorAndEveryOperationStaysHarmless) {
  Testing::AssertRecorder recorder;
  // No video driver by that name: SDL cannot start, as on a machine without a display.
  ::setenv("SDL_VIDEODRIVER", "no-such-display", 1);
  Window& window = Window::Instance();
  int result = 0;
  const std::string out = Testing::Printed([&] { result = window.init(); });
  ::unsetenv("SDL_VIDEODRIVER");

  EXPECT_EQ(result, 1);
  EXPECT_EQ(out, "aspect - 0.000000SDL failed to init: no-such-display not available\n");
  EXPECT_TRUE(window.IsInit());
  EXPECT_EQ(window.Handle(), nullptr);
  window.ToggleFullScreen();
  window.SetVideoMode();
  window.SetSize(640, 360);
  window.SetCaption();
  window.SwapBuffers();
  EXPECT_EQ(window.SetResolution(3), -1);
  window.shutdown();
  EXPECT_FALSE(window.IsInit());
  Window::Destroy();
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(WindowMisuse, DoubleInitDoubleShutdownAndAForgottenShutdownAreReported) {
  Testing::AssertRecorder recorder;
  ::setenv("SDL_VIDEODRIVER", "no-such-display", 1);
  Testing::Printed([] {
    Window::Instance().init();
    Window::Instance().init();
    Window::Instance().shutdown();
    Window::Instance().shutdown();
    Window::Instance().init();
    Window::Destroy();  // still open: the destructor reports it and shuts down
  });
  ::unsetenv("SDL_VIDEODRIVER");
  EXPECT_EQ(recorder.Comments(), (std::vector<std::string>{"Window::init() window has alread been initialized",
                                                           "Window::shutdown() window has not been initialized",
                                                           "Window was not shutdown"}));
  ASSERT_FALSE(recorder.Texts().empty());
  EXPECT_NE(recorder.Texts()[0].find("File: ..\\..\\Source\\Core\\core_window"), std::string::npos);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST(WindowIcon, TheDrawnIconLoadsAsABitmapWithItsCornersClear) {
  SDL_Surface* icon = SDL_LoadBMP("../../Assets/Icon/hollowmeredrift_icon.bmp");
  ASSERT_NE(icon, nullptr) << SDL_GetError();
  EXPECT_EQ(icon->w, 64);
  EXPECT_EQ(icon->h, 64);
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(icon, SDL_PIXELFORMAT_RGBA32, 0);
  ASSERT_NE(rgba, nullptr);
  const auto pixel = [rgba](int x, int y) {
    return static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch + x * 4;
  };
  EXPECT_EQ(pixel(0, 0)[3], 0);  // the rounded corner is transparent
  EXPECT_EQ(pixel(32, 4)[3], 255);
  EXPECT_LT(pixel(32, 4)[0], 80);    // a dark dusk sky at the top
  EXPECT_GT(pixel(35, 29)[0], 240);  // the lantern's light
  EXPECT_GT(pixel(35, 29)[1], 220);
  SDL_FreeSurface(rgba);
  SDL_FreeSurface(icon);
}
