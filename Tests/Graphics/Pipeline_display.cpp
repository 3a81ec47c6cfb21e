// The game's own pipeline as its start-up scripts define it, on the whole engine: every pass the
// renderer switches and every material that later systems name exist, nothing is reported on the
// way, and frames drawn through all the passes (queues empty: sky, lights and post-processing)
// have the checkable look of the game's frames, whatever the switches say.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Core/Window.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/RenderContext.h"
#include "Graphics/RenderPass.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Shader.h"
#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/EngineDriver.h"

using Texts = std::vector<std::string>;

namespace {

// Names the renderer and the later systems use.
const char* const kPasses[] = {"IsCaster",          "BlurVSM",
                               "StaticLighting",    "StaticLightingNoShadows",
                               "LightFirst",        "PostProcessEdgeDetect",
                               "LightRay",          "LightRaySimple",
                               "PostProcessGritty", "Feedbacker",
                               "Aux2ToBackbuffer",  "PointLights"};
const char* const kMaterials[] = {
    "gLoadScreen",         "Green",         "gGround",  "gVine",   "gDodod", "gFireflyParticle",
    "gFireflyGetParticle", "lflPointLight", "gaBubble", "TextFade"};

// What can be measured of a frame: mean luminance, the share of pure black or white pixels, the
// hues (twelve sectors) that each hold at least 5 % of the pixels, and whether it has two colours.
struct Look {
  double luminance = 0.0;
  double extremes = 0.0;
  int hues = 0;
  bool oneColour = true;
};

std::ostream& operator<<(std::ostream& out, const Look& l) {
  return out << "luminance " << l.luminance << ", black or white " << l.extremes << ", hues " << l.hues
             << (l.oneColour ? ", one colour" : "");
}

Look Measure(int width, int height) {
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  Look look;
  std::vector<int> sectors(12, 0);
  const size_t count = pixels.size() / 4;
  for (size_t i = 0; i < count; ++i) {
    const int r = pixels[4 * i], g = pixels[4 * i + 1], b = pixels[4 * i + 2];
    look.luminance += (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255.0;
    look.extremes += (r + g + b == 0 || r + g + b == 3 * 255) ? 1.0 : 0.0;
    look.oneColour = look.oneColour && r == pixels[0] && g == pixels[1] && b == pixels[2];
    const int high = std::max({r, g, b}), low = std::min({r, g, b});
    if (high < 8 || high - low < 0.15 * high) continue;  // greys have no hue
    double hue = high == r   ? (g - b) / double(high - low)
                 : high == g ? 2.0 + (b - r) / double(high - low)
                             : 4.0 + (r - g) / double(high - low);
    hue = std::fmod(hue * 60.0 + 360.0, 360.0);
    ++sectors[static_cast<size_t>(hue / 30.0) % 12];
  }
  look.luminance /= count;
  look.extremes /= count;
  for (int n : sectors) look.hues += n >= 0.05 * count;
  return look;
}

class Pipeline : public testing::Test {
 protected:
  void SetUp() override { m_Printed = m_Engine.Init(); }
  void TearDown() override {
    m_Engine.Finish();
    EXPECT_EQ(m_Asserts.Texts(), Texts{});
  }

  static Gfx::ResourceManager& Resources() { return *Gfx::GraphicsFacade::Instance().GetResourceManager(); }

  // Frames through every pass, the last one left in the back buffer.
  Look Frames(int count) {
    Gfx::GraphicsFacade& facade = Gfx::GraphicsFacade::Instance();
    for (int i = 0; i < count; ++i) {
      if (i) Core::Window::Instance().SwapBuffers();
      facade.Update();
      facade.SetView();
      Resources().RunPasses();
    }
    const Gfx::RenderContext& context = *facade.GetRenderContext();
    return Measure(static_cast<int>(context.m_Width), static_cast<int>(context.m_Height));
  }

  Testing::AssertRecorder m_Asserts;
  Testing::EngineDriver m_Engine;
  std::string m_Printed;
};

}  // namespace

TEST_F(Pipeline, TheStartUpScriptsDefineEveryPassAndMaterialAndNothingIsReported) {
  ASSERT_NE(Gfx::GraphicsFacade::Instance().GetResourceManager(), nullptr);
  for (const char* name : {"Compilation error", "Linker error", "Shader source",
                           "Texture:", "Material::", "RenderPass::", "Could not create", "error calling"})
    EXPECT_EQ(m_Printed.find(name), std::string::npos) << m_Printed;
  for (const char* pass : kPasses) EXPECT_NE(Resources().GetPass(pass), nullptr) << pass;
  for (const char* material : kMaterials) EXPECT_GE(Resources().FindMaterial(material), 0) << material;
  EXPECT_EQ(Resources().FindMaterial("gGround"), 0);  // the lit queue
  EXPECT_EQ(Resources().GetShader(0)->BasePath(), "../../Assets/Shaders/gBlack");
  for (int i = 0; i < Resources().ShaderCount(); ++i)
    EXPECT_TRUE(Resources().GetShader(i)->Linked()) << Resources().GetShader(i)->BasePath();
  EXPECT_TRUE(Resources().Validate());
}

TEST_F(Pipeline, FramesLookLikeDuskWhateverTheSwitchesAndTheView) {
  struct Case {
    int shadow, filter;
    Util::Vec3 eye, target;
  };
  const Case cases[] = {
      {1, 1, {0, 0, 0}, {0, 0, 100}},
      {0, 1, {0, 0, 0}, {0, 35, 100}},
      {1, 0, {0, 40, 0}, {0, 0, 100}},
      {0, 0, {0, 0, 0}, {0, 10, 100}},
  };
  for (const Case& c : cases) {
    Msg::Send(new Msg::graphicsSetShadowMsg(c.shadow));
    Msg::Send(new Msg::graphicsSetFilterMsg(c.filter));
    const struct {
      const char* pass;
      bool enabled;
    } expected[] = {{"IsCaster", c.shadow == 1},   {"StaticLightingNoShadows", c.shadow == 0},
                    {"LightRay", c.filter == 1},   {"LightRaySimple", c.filter == 0},
                    {"Feedbacker", c.filter == 1}, {"Aux2ToBackbuffer", c.filter == 0}};
    for (const auto& e : expected) EXPECT_EQ(Resources().GetPass(e.pass)->IsEnabled(), e.enabled) << e.pass;
    Msg::Send(new Msg::cameraSetPosTarVecImmediateMsg(c.eye, c.target));
    const Look look = Frames(6);
    SCOPED_TRACE(testing::Message() << "shadow " << c.shadow << ", filter " << c.filter << ": " << look);
    EXPECT_FALSE(look.oneColour);
    EXPECT_LE(look.extremes, 0.05);
    EXPECT_GE(look.luminance, 0.12);
    EXPECT_LE(look.luminance, 0.55);
    EXPECT_GE(look.hues, 2);
  }
}
