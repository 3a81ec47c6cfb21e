// The resolution list and size rules for several desktops, and a window that cannot open. None of
// this needs a display: the rules are fed a desktop size, and SDL is kept from finding one.
#include "Core/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/Printed.h"

using Core::Window;
using Size = std::pair<uint32_t, uint32_t>;

namespace {

class WindowRules : public testing::Test {
 protected:
  void TearDown() override { Window::Destroy(); }
  static Size Current() { return {Window::Instance().Width(), Window::Instance().Height()}; }
  // Builds the list for a desktop and returns what was printed.
  static std::string Build(uint32_t width, uint32_t height) {
    return Testing::Printed([&] { Window::Instance().BuildResolutionList(width, height); });
  }
};

}  // namespace

TEST_F(WindowRules, TheDesktopDecidesTheWidthsOfferedAndTheStartSizeAndFullScreenIsTheDesktopsOwnSize) {
  const std::vector<uint32_t> all = {480, 640, 800, 1152, 1280, 1366, 1440, 1600, 1680, 1920};
  const struct {
    uint32_t width, height;
    const char* printed;
    std::vector<uint32_t> widths;
    Size start;
  } desktops[] = {
      {1920, 1080, "aspect - 1.777778", all, {1280, 720}},
      {1024, 768, "aspect - 1.333333", {480, 640, 800}, {800, 450}},
      {400, 300, "aspect - 1.333333", {}, {0, 0}},  // narrower than every width
      {0, 0, "aspect - 0.000000", {}, {0, 0}},      // unknown: no sizes, and no division by zero
  };
  for (const auto& desktop : desktops) {
    SCOPED_TRACE(desktop.width);
    Window::Destroy();
    EXPECT_EQ(Build(desktop.width, desktop.height), desktop.printed);
    Window& window = Window::Instance();
    EXPECT_EQ(window.Widths(), desktop.widths);
    std::vector<std::string> names;
    for (uint32_t width : desktop.widths) names.push_back(std::to_string(width));
    EXPECT_EQ(window.ResolutionNames(), names);
    EXPECT_EQ(Current(), desktop.start);
    window.ToggleFullScreen();
    EXPECT_TRUE(window.IsFullScreen());
    EXPECT_EQ(Current(), Size(desktop.width, desktop.height));
    window.ToggleFullScreen();
    if (!names.empty()) {
      EXPECT_EQ(window.Widths()[window.ResolutionIndex()], desktop.start.first);
      EXPECT_EQ(Current(), desktop.start);
    }
  }
}

TEST_F(WindowRules, SetResolutionAnswersOneForTheCurrentIndexMinusOneBeyondTheListAndHeightsFollowTheMode) {
  Build(1680, 1050);
  Window& window = Window::Instance();
  EXPECT_EQ(window.SetResolution(4), 1);
  EXPECT_EQ(window.SetResolution(9), -1);
  EXPECT_EQ(window.SetResolution(-1), -1);
  EXPECT_EQ(window.SetResolution(1), 0);  // no window to apply it to
  EXPECT_EQ(Current(), Size(640, 360));
  window.ToggleFullScreen();
  EXPECT_EQ(Current(), Size(1680, 1050));
  window.ToggleFullScreen();
  EXPECT_EQ(Current(), Size(640, 360));  // back to the indexed width

  // Full screen before the list: heights follow the desktop's aspect.
  window.SetFullScreen(true);
  Build(1680, 1050);
  EXPECT_EQ(Current(), Size(1280, 800));
  EXPECT_EQ(window.SetResolution(2), 0);
  EXPECT_EQ(Current(), Size(800, 500));
  // Sizes from floats are truncated, and nonsense becomes zero.
  window.SetSize(Core::Vector2{800.9f, 600.2f});
  EXPECT_EQ(Current(), Size(800, 600));
  window.SetSize(Core::Vector2{-5.0f, 1e20f});
  EXPECT_EQ(Current(), Size(0, 0));
}

TEST(WindowWithoutDisplay, SdlFailureIsPrintedEveryOperationStaysHarmlessAndMisuseIsReported) {
  Testing::AssertRecorder recorder;
  // No video driver by that name: SDL cannot start, as on a machine without a display.
  ::setenv("SDL_VIDEODRIVER", "no-such-display", 1);
  Window& window = Window::Instance();
  int result = 0;
  EXPECT_EQ(Testing::Printed([&] { result = window.init(); }),
            "aspect - 0.000000SDL failed to init: no-such-display not available\n");
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(window.IsInit());
  EXPECT_EQ(window.Handle(), nullptr);
  window.ToggleFullScreen();
  window.SetVideoMode();
  window.SetSize(640, 360);
  window.SetCaption();
  window.SwapBuffers();
  EXPECT_EQ(window.SetResolution(3), -1);
  EXPECT_EQ(recorder.Count(), 0u);

  Testing::Printed([&] {
    window.init();
    window.shutdown();
    window.shutdown();
    window.init();
    Window::Destroy();  // still open: the destructor reports it and shuts down
  });
  ::unsetenv("SDL_VIDEODRIVER");
  EXPECT_EQ(recorder.Comments(), (std::vector<std::string>{"Window::init() window has alread been initialized",
                                                           "Window::shutdown() window has not been initialized",
                                                           "Window was not shutdown"}));
  EXPECT_NE(recorder.Texts()[0].find("File: ..\\..\\Source\\Core\\core_window"), std::string::npos);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST(WindowIcon, TheDrawnIconLoadsAsABitmapWithItsCornersClearAndTheLanternLit) {
  SDL_Surface* icon = SDL_LoadBMP("../../Assets/Icon/hollowmeredrift_icon.bmp");
  ASSERT_NE(icon, nullptr) << SDL_GetError();
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(icon, SDL_PIXELFORMAT_RGBA32, 0);
  ASSERT_NE(rgba, nullptr);
  const auto pixel = [rgba](int x, int y) {
    return static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch + x * 4;
  };
  EXPECT_EQ(std::make_tuple(rgba->w, rgba->h, pixel(0, 0)[3], pixel(32, 4)[3]), std::make_tuple(64, 64, 0, 255));
  EXPECT_TRUE(pixel(32, 4)[0] < 80 && pixel(35, 29)[0] > 240);  // a dark dusk sky above the lantern's light
  SDL_FreeSurface(rgba);
  SDL_FreeSurface(icon);
}
