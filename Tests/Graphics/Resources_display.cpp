// The renderer's resources in a real OpenGL context on the virtual display, on top of the game's
// own catalogue: textures, shaders, materials, render states and passes, read back from GL. Each
// case writes the shaders and images it needs into a throw-away asset tree and works in it.
#include <GL/glew.h>
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "Core/Clock.h"
#include "Core/Window.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/Material.h"
#include "Graphics/RenderContext.h"
#include "Graphics/RenderPass.h"
#include "Graphics/RenderTarget.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Shader.h"
#include "Graphics/Texture.h"
#include "Graphics/Visual.h"
#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Support/Printed.h"
#include "Support/Systems.h"
#include "Support/TempTree.h"
#include "Util/ErrorLog.h"

using Texts = std::vector<std::string>;

namespace {

struct Rgb {
  int r, g, b;
};

Texts Split(const std::string& text, char at) {
  Texts parts;
  for (size_t from = 0;;) {
    const size_t to = text.find(at, from);
    parts.push_back(text.substr(from, to - from));
    if (to == std::string::npos) return parts;
    from = to + 1;
  }
}

// A flat colour, its channels from integer uniforms.
constexpr const char* kSolidVs = "void main() { gl_Position = ftransform(); }\n";
constexpr const char* kSolidFs =
    "uniform int R; uniform int G; uniform int B; uniform int A;\n"
    "void main() { gl_FragColor = vec4(float(R), float(G), float(B), float(A)) / 255.0; }\n";

GLint Get(GLenum what) {
  GLint value = 0;
  glGetIntegerv(what, &value);
  return value;
}

Rgb Pixel(int x, int y) {
  unsigned char p[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

void ExpectPixel(const Rgb& actual, const Rgb& expected, const std::string& what) {
  EXPECT_NEAR(actual.r, expected.r, 2) << what;
  EXPECT_NEAR(actual.g, expected.g, 2) << what;
  EXPECT_NEAR(actual.b, expected.b, 2) << what;
}

void ClearWindow(const Rgb& c) {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

class Renderer : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Testing::Printed([] {
      Core::Window::Instance().init();
      Gfx::GraphicsFacade::Instance().Init();
    });
  }
  static void TearDownTestSuite() {
    Testing::ShutDown<Gfx::GraphicsFacade>();
    Util::ErrorLog::Destroy();
    Core::Window::Instance().shutdown();
    Core::Window::Destroy();
  }
  void SetUp() override {
    ASSERT_NE(Gfx::GraphicsFacade::Instance().GetResourceManager(), nullptr);
    m_Tree = std::make_unique<Testing::TempTree>();
    m_Tree->Write("Assets/Shaders/solid.vs", kSolidVs);
    m_Tree->Write("Assets/Shaders/solid.fs", kSolidFs);
  }
  void TearDown() override { EXPECT_EQ(m_Asserts.Texts(), Texts{}); }

  static Gfx::ResourceManager& Resources() { return *Gfx::GraphicsFacade::Instance().GetResourceManager(); }
  static Gfx::RenderContext& Context() { return *Gfx::GraphicsFacade::Instance().GetRenderContext(); }

  // A material from "KEYWORD|..." and "parameter|...", as the resource manager receives it.
  static Gfx::Material& Define(const std::string& name, const std::string& keywords, const std::string& parameters) {
    const Texts types = Split(keywords, '|');
    Msg::Send(new Msg::materialMsg(name, static_cast<int32_t>(types.size()), types, Split(parameters, '|')));
    return *Resources().GetMaterial(Resources().FindMaterial(name));
  }
  // A flat colour with the given alpha, and the properties after it.
  static Gfx::Material& Solid(const std::string& name, const Rgb& c, int alpha, const std::string& more = "",
                              const std::string& moreParameters = "") {
    const std::string rgba = "|" + std::to_string(c.r) + " R|" + std::to_string(c.g) + " G|" + std::to_string(c.b) +
                             " B|" + std::to_string(alpha) + " A";
    return Define(name, "SHADER|UNIFORM|UNIFORM|UNIFORM|UNIFORM" + more,
                  "../../Assets/Shaders/solid" + rgba + moreParameters);
  }
  static Gfx::RenderPass& Pass(const std::string& name, const std::string& states, const std::string& parameters) {
    const Texts types = Split(states, '|');
    Msg::Send(new Msg::renderPassMsg(name, static_cast<int32_t>(types.size()), 0, types, Split(parameters, '|'), {}));
    return *Resources().GetPass(name);
  }
  static void Run(Gfx::RenderPass& pass) {
    pass.Begin();
    pass.Render();
    pass.End();
  }

  Testing::AssertRecorder m_Asserts;
  // The case's own files; the process works in it while it lives.
  std::unique_ptr<Testing::TempTree> m_Tree;
};

// Images as the tests write them: 4 x 4 of one colour, through SDL.
void WriteImage(const std::string& path, Uint32 format, bool png) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  SDL_Surface* image = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, SDL_BITSPERPIXEL(format), format);
  if (image->format->palette) {
    const SDL_Color red{255, 0, 0, 255};
    SDL_SetPaletteColors(image->format->palette, &red, 0, 1);
  }
  SDL_FillRect(image, nullptr, image->format->palette ? 0 : SDL_MapRGBA(image->format, 255, 0, 0, 255));
  png ? IMG_SavePNG(image, path.c_str()) : SDL_SaveBMP(image, path.c_str());
  SDL_FreeSurface(image);
}

}  // namespace

TEST_F(Renderer, ImagesOfEveryDepthBecomeTexturesWithRedKeptRed) {
  struct Case {
    const char* file;
    Uint32 format;
    bool png;
    uint32_t bytes;
    bool uploaded;
  };
  const Case cases[] = {
      {"bgr.bmp", SDL_PIXELFORMAT_BGR24, false, 3, true},     {"rgb.png", SDL_PIXELFORMAT_RGB24, true, 3, true},
      {"argb.bmp", SDL_PIXELFORMAT_ARGB8888, false, 4, true}, {"abgr.png", SDL_PIXELFORMAT_ABGR8888, true, 4, true},
      {"index.bmp", SDL_PIXELFORMAT_INDEX8, false, 1, false},
  };
  for (const Case& c : cases) {
    WriteImage(m_Tree->Root() + "/Assets/Textures/" + c.file, c.format, c.png);
    const Gfx::Texture& texture =
        *Resources().GetTexture(Resources().loadTexture(std::string("../../Assets/Textures/") + c.file));
    EXPECT_EQ(texture.BytesPerPixel(), c.bytes) << c.file;
    EXPECT_TRUE(texture.Validate()) << c.file;
    ASSERT_NE(texture.Name(), 0u) << c.file;
    glBindTexture(GL_TEXTURE_2D, texture.Name());
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, c.uploaded ? 4 : 0) << c.file;
    if (!c.uploaded) continue;
    unsigned char texels[4 * 4 * 4] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ((std::vector<int>{texels[0], texels[1], texels[2], texels[3]}), (std::vector<int>{255, 0, 0, 255}))
        << c.file;
  }
}

TEST_F(Renderer, AMissingImageIsReportedAndLeavesATextureThatBindsNothing) {
  glActiveTexture(GL_TEXTURE2);
  glBindTexture(GL_TEXTURE_2D, Resources().GetTexture(0)->Name());
  const std::string out =
      Testing::Printed([] { Define("gNoImage", "TEXTURE", "2 ../../Assets/Textures/missing.bmp").Begin(); });
  EXPECT_NE(out.find("missing.bmp"), std::string::npos) << out;
  EXPECT_EQ(m_Asserts.Comments(), Texts{"Can't load image as texture"});
  m_Asserts.Clear();
  const int index = Resources().loadTexture("../../Assets/Textures/missing.bmp");
  EXPECT_FALSE(Resources().GetTexture(index)->HasImage());
  EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), 0);
  glActiveTexture(GL_TEXTURE0);
  Resources().GetTexture(index)->Recreate();  // as a rebuild does: still nothing to make
  EXPECT_EQ(Resources().GetTexture(index)->Name(), 0u);
}

TEST_F(Renderer, ABrokenShaderIsReportedWithItsLogAndKeepsItsIndex) {
  struct Case {
    const char* name;
    const char* vs;
    const char* fs;
    Texts reported;
  };
  const Case cases[] = {
      {"badfs",
       kSolidVs,
       "void main() { gl_FragColor = oops; }\n",
       {"Compilation error in fragment shader ", "Linker error in shader "}},
      {"badvs",
       "void main() { gl_Position = ; }\n",
       kSolidFs,
       {"Compilation error in vertex shader ", "Linker error in shader "}},
      {"gone", nullptr, nullptr, {"Shader source ../../Assets/Shaders/gone.vs is missing or empty"}},
  };
  for (const Case& c : cases) {
    if (c.vs) m_Tree->Write(std::string("Assets/Shaders/") + c.name + ".vs", c.vs);
    if (c.fs) m_Tree->Write(std::string("Assets/Shaders/") + c.name + ".fs", c.fs);
    const std::string base = std::string("../../Assets/Shaders/") + c.name;
    int index = -1;
    const std::string out = Testing::Printed([&] { index = Resources().loadShader(base); });
    for (const std::string& text : c.reported) EXPECT_NE(out.find(text), std::string::npos) << c.name << ": " << out;
    EXPECT_FALSE(Resources().GetShader(index)->Linked()) << c.name;
    EXPECT_EQ(Resources().loadShader(base), index) << c.name;  // built once, and still there
    Define(std::string("g") + c.name, "SHADER|UNIFORM", base + "|1 R").Begin();
  }
  EXPECT_TRUE(Resources().Validate());
}

TEST_F(Renderer, AMaterialSwitchesProgramsOnlyWhenAnotherIsCurrentAndBindsBothTextures) {
  WriteImage(m_Tree->Root() + "/Assets/Textures/a.bmp", SDL_PIXELFORMAT_BGR24, false);
  WriteImage(m_Tree->Root() + "/Assets/Textures/b.png", SDL_PIXELFORMAT_RGB24, true);
  Gfx::Material& material =
      Define("gTwoTextures", "SHADER|TEXTURE|TEXTURE",
             "../../Assets/Shaders/solid|0 ../../Assets/Textures/a.bmp|1 ../../Assets/Textures/b.png");
  const Gfx::Shader& shader = *Resources().GetShader(material.ShaderIndex());
  Resources().UseNoShader();
  material.Begin();
  EXPECT_EQ(Get(GL_CURRENT_PROGRAM), static_cast<GLint>(shader.Program()));
  for (const auto& [unit, file] : {std::pair{0, "a.bmp"}, std::pair{1, "b.png"}}) {
    glActiveTexture(GL_TEXTURE0 + unit);
    EXPECT_EQ(
        Get(GL_TEXTURE_BINDING_2D),
        static_cast<GLint>(
            Resources().GetTexture(Resources().loadTexture(std::string("../../Assets/Textures/") + file))->Name()));
  }
  // With the program current already, beginning again issues no switch: what GL holds stays.
  glUseProgram(0);
  material.End();
  material.Begin();
  EXPECT_EQ(Get(GL_CURRENT_PROGRAM), 0);
  Resources().UseNoShader();
  material.Begin();
  EXPECT_EQ(Get(GL_CURRENT_PROGRAM), static_cast<GLint>(shader.Program()));
}

TEST_F(Renderer, ATimerAdvancesByItsScaleTimesTheFrameTimeEachTimeItIsBegun) {
  m_Tree->Write("Assets/Shaders/timed.vs", kSolidVs);
  m_Tree->Write("Assets/Shaders/timed.fs", "uniform float Timer; void main() { gl_FragColor = vec4(Timer); }\n");
  Testing::FakeTimeSource time;
  Clock::Instance().SetTimeSource(time);
  time.AdvanceMs(40.0);
  Clock::Instance().BeginFrame();
  Gfx::Material& material = Define("gTimed", "SHADER|TIMER", "../../Assets/Shaders/timed|0.5");
  const GLuint program = Resources().GetShader(material.ShaderIndex())->Program();
  for (float expected : {0.02f, 0.04f}) {
    material.Begin();
    GLfloat timer = -1.0f;
    glGetUniformfv(program, glGetUniformLocation(program, "Timer"), &timer);
    EXPECT_FLOAT_EQ(timer, expected);
  }
  Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
}

// Destination (40, 80, 120) under the source (200, 100, 50) with the given alpha.
TEST_F(Renderer, EveryBlendModeDoesItsArithmeticOnAKnownPixel) {
  struct Case {
    const char* property;  // the material's BLEND word, or none
    const char* state;     // the pass's BLEND words, or none
    int alpha;
    Rgb expected;
  };
  const Case cases[] = {
      {"PreMultipliedAlpha", nullptr, 255, {200, 100, 50}},
      {"PreMultipliedAlpha", nullptr, 0, {240, 180, 170}},
      {"Alpha", nullptr, 128, {120, 90, 85}},
      {"Additive", nullptr, 128, {140, 130, 145}},
      {nullptr, "One One", 255, {240, 180, 170}},
      {nullptr, "SourceAlpha InvSourceAlpha", 128, {120, 90, 85}},
      {nullptr, "InvSourceAlpha SourceAlpha", 64, {160, 95, 68}},
      {nullptr, "Foo Bar", 128, {120, 90, 85}},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "gBlend" + std::to_string(n++);
    c.property ? Solid(name, {200, 100, 50}, c.alpha, "|BLEND", std::string("|") + c.property)
               : Solid(name, {200, 100, 50}, c.alpha);
    Gfx::RenderPass& pass = c.state ? Pass(name, "TARGET|BLEND|MATERIAL|FULLSCREENQUAD",
                                           std::string("BackBuffer|") + c.state + "|" + name + "|1 1")
                                    : Pass(name, "TARGET|MATERIAL|FULLSCREENQUAD", "BackBuffer|" + name + "|1 1");
    ClearWindow({40, 80, 120});
    Run(pass);
    ExpectPixel(Pixel(10, 10), c.expected, c.property ? c.property : c.state);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
  }
}

TEST_F(Renderer, AFullScreenQuadCoversItsFractionOfTheWindowAndEndRestoresTheViewport) {
  Solid("gWhite", {255, 255, 255}, 255);
  const int w = static_cast<int>(Context().m_Width), h = static_cast<int>(Context().m_Height);
  struct Case {
    const char* divisors;
    int width, height;
  };
  const Case cases[] = {{"2 2", w / 2, h / 2}, {"1 1", w, h}, {"4 1", w / 4, h}};
  for (const Case& c : cases) {
    Gfx::RenderPass& pass = Pass(std::string("gQuad") + c.divisors, "TARGET|MATERIAL|FULLSCREENQUAD",
                                 std::string("BackBuffer|gWhite|") + c.divisors);
    ClearWindow({0, 0, 0});
    pass.Begin();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::vector<GLint>(viewport, viewport + 4)), (std::vector<GLint>{0, 0, c.width, c.height}));
    ExpectPixel(Pixel(c.width - 2, c.height - 2), {255, 255, 255}, c.divisors);
    if (c.width < w) ExpectPixel(Pixel(c.width + 2, 2), {0, 0, 0}, c.divisors);
    if (c.height < h) ExpectPixel(Pixel(2, c.height + 2), {0, 0, 0}, c.divisors);
    pass.End();
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::vector<GLint>(viewport, viewport + 4)), (std::vector<GLint>{0, 0, w, h}));
  }
}

TEST_F(Renderer, CullAndDepthTakeOnlyTheirExactWordsAndEndBackAtTheDefaults) {
  struct Case {
    const char* type;
    const char* word;
    GLenum query;
    GLint begun;
  };
  const Case cases[] = {
      {"CULL", "Front", GL_CULL_FACE_MODE, GL_FRONT},      {"CULL", "front", GL_CULL_FACE_MODE, GL_BACK},
      {"CULL", "Back", GL_CULL_FACE_MODE, GL_BACK},        {"DEPTH", "GreaterEqual", GL_DEPTH_FUNC, GL_GEQUAL},
      {"DEPTH", "greaterequal", GL_DEPTH_FUNC, GL_LEQUAL}, {"DEPTH", "Greater", GL_DEPTH_FUNC, GL_LEQUAL},
  };
  for (const Case& c : cases) {
    const std::unique_ptr<Gfx::RenderState> state = Gfx::RenderPass::createStateFrom(c.type, c.word);
    glCullFace(GL_FRONT_AND_BACK);
    glDepthFunc(GL_ALWAYS);
    state->Begin();
    EXPECT_EQ(Get(c.query), c.begun) << c.type << " " << c.word;
    glCullFace(GL_FRONT_AND_BACK);
    glDepthFunc(GL_ALWAYS);
    state->End();
    EXPECT_EQ(Get(c.query), c.query == GL_DEPTH_FUNC ? GL_LEQUAL : GL_BACK) << c.type << " " << c.word;
  }
  glCullFace(GL_BACK);
  glDepthFunc(GL_LEQUAL);
  EXPECT_EQ(Gfx::RenderPass::createStateFrom("FOG", ""), nullptr);
  EXPECT_EQ(m_Asserts.Comments(), Texts{"RenderPass::createStateFrom: Invalid render state type\n"});
  m_Asserts.Clear();
}

TEST_F(Renderer, ADisabledPassNeitherAppliesNorUndoesAnythingAndDrawsNothing) {
  Solid("gWhite", {255, 255, 255}, 255);
  Gfx::RenderPass& pass =
      Pass("gQuiet", "TARGET|CLEAR|BLEND|MATERIAL|FULLSCREENQUAD|WINDOWSIZE", "BackBuffer||One One|gWhite|2 2|64 64");
  const uint32_t width = Context().m_Width;
  for (const char* switched : {"gQuiet disable", "all disabled"}) {
    Msg::Send(new Msg::graphicsPassMsg(switched));
    EXPECT_FALSE(pass.IsEnabled());
    ClearWindow({40, 80, 120});
    glEnable(GL_BLEND);  // left on by someone: a disabled pass must not switch it off either
    Context().m_DrawingToBackBuffer = true;
    pass.Begin();
    EXPECT_EQ(Context().m_Width, width);
    pass.Render();
    pass.End();
    ExpectPixel(Pixel(4, 4), {40, 80, 120}, switched);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(Context().m_DrawingToBackBuffer);
    glDisable(GL_BLEND);
  }
  Msg::Send(new Msg::graphicsPassMsg("all enable"));
  ClearWindow({40, 80, 120});
  Run(pass);
  ExpectPixel(Pixel(4, 4), {255, 255, 255}, "enabled");
  EXPECT_FALSE(Context().m_DrawingToBackBuffer);
}

TEST_F(Renderer, TheFirstDefinitionOfANameWinsAndACollectionBeginsTheMaterialOfItsKey) {
  Solid("gPlain", {1, 2, 3}, 255);
  Solid("gBlended", {1, 2, 3}, 255, "|BLEND", "|Alpha");
  const int plain = Resources().FindMaterial("gPlain");
  Solid("gPlain", {1, 2, 3}, 255, "|BLEND|NODEPTH", "|Alpha|");
  EXPECT_EQ(Resources().GetMaterial(plain)->PropertyCount(), 5);
  const Texts keys{"plain", "blended"}, materials{"gPlain", "gBlended"};
  Msg::Send(new Msg::materialCollectionMsg("gPair", 2, keys, materials));
  Msg::Send(new Msg::materialCollectionMsg("gPair", 1, Texts{"other"}, Texts{"gPlain"}));
  auto& pair = dynamic_cast<Gfx::MaterialCollection&>(*Resources().GetMaterial(Resources().FindMaterial("gPair")));
  EXPECT_EQ(pair.Keys(), keys);
  EXPECT_FALSE(pair.TakeKeys(keys));
  for (const auto& [key, selected, blending] : {std::tuple{"missing", -1, false}, std::tuple{"blended", 1, true}}) {
    pair.Select(key);
    EXPECT_EQ(pair.Selected(), selected) << key;
    EXPECT_EQ(glIsEnabled(GL_BLEND) == GL_TRUE, blending) << key;
  }
  pair.EndSelection();
  EXPECT_EQ(pair.Selected(), -1);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  const int passes = Resources().PassCount();
  Pass("gOnce", "CLEAR", "");
  Pass("gOnce", "CLEAR|CLEAR", "|");
  EXPECT_EQ(Resources().PassCount(), passes + 1);
  EXPECT_EQ(Resources().GetPass("gOnce")->StateCount(), 1);
}

// Records each drawing with the program current at the time.
class Recorded : public Gfx::Visual {
 public:
  Recorded() : Visual(nullptr) {}
  void Draw() override { m_Draws.push_back("draw " + std::to_string(Get(GL_CURRENT_PROGRAM))); }
  void DrawLit() override { m_Draws.push_back("lit " + std::to_string(Get(GL_CURRENT_PROGRAM))); }
  Texts m_Draws;
};

TEST_F(Renderer, RenderDrawsAMaterialsQueueAndRenderLDrawsQueueZeroLitUnderItsMaterial) {
  const auto program = [](const Gfx::Material& m) {
    return std::to_string(Resources().GetShader(m.ShaderIndex())->Program());
  };
  const std::string queued = program(Solid("gQueued", {1, 2, 3}, 255));
  m_Tree->Write("Assets/Shaders/light.vs", kSolidVs);
  m_Tree->Write("Assets/Shaders/light.fs", kSolidFs);
  const std::string light = program(Define("gLight", "SHADER", "../../Assets/Shaders/light"));
  Recorded ground, visual;
  Context().Queue(0, &ground);
  Context().Queue(Resources().FindMaterial("gQueued"), &visual);
  Msg::Send(
      new Msg::renderPassMsg("gDraws", 2, 1, Texts{"RENDERL", "RENDER"}, Texts{"gLight", "gQueued"}, Texts{"gQueued"}));
  Run(*Resources().GetPass("gDraws"));
  Context().ClearQueues();
  EXPECT_EQ(ground.m_Draws, Texts{"lit " + light});
  EXPECT_EQ(visual.m_Draws, (Texts{"draw " + queued, "draw " + queued}));
  EXPECT_EQ(Resources().loadMaterial("gNowhere"), -1);
  EXPECT_EQ(Resources().GetPass("gNowhere"), nullptr);
  EXPECT_EQ(m_Asserts.Comments(), (Texts{"ResourceManager::loadMaterial - Material does not exist",
                                         "ResourceManager::GetPass - Pass does not exist"}));
  m_Asserts.Clear();
}

// The file declares a count and holds another: only what is there is built and ever begun.
TEST_F(Renderer, AMaterialFileThatMiscountsItsPropertiesIsReportedAndBeginsOnlyWhatItHolds) {
  const std::string property = "<property><string name=\"type\">NODEPTH</string></property>";
  m_Tree->Write("Assets/Xml/materialsMin.xml",
                "<Materials><material><string name=\"name\">gShort</string><int name=\"numProperties\">3</int>" +
                    property + "</material><material><string name=\"name\">gLong</string>" +
                    "<int name=\"numProperties\">1</int>" + property + property + "</material></Materials>");
  const std::string out = Testing::Printed([] { Resources().loadMaterials(); });
  EXPECT_NE(out.find("material gShort declares 3 properties and holds fewer; 1 read"), std::string::npos) << out;
  EXPECT_NE(out.find("material gLong declares 1 properties and holds more; 1 read"), std::string::npos) << out;
  EXPECT_EQ(Resources().MaterialCount(), 2);
  EXPECT_EQ(Resources().ShaderCount(), 1);  // gBlack, reported missing here, still shader 0
  for (const char* name : {"gShort", "gLong"}) {
    Gfx::Material& material = *Resources().GetMaterial(Resources().loadMaterial(name));
    EXPECT_EQ(material.PropertyCount(), 1) << name;
    material.Begin();
    material.End();
  }
  m_Tree.reset();
  Testing::Printed([] { Resources().loadMaterials(); });  // the game's own again, for the cases after
  EXPECT_EQ(Resources().FindMaterial("gGround"), 0);
}

TEST_F(Renderer, AResolutionChangeRemakesEveryTargetInItsSlotAndTheShadowMapsKeepTheirSize) {
  struct Size {
    const char* name;
    GLint width, height;
  };
  // At 800 x 450, the third resolution of a 1920 x 1080 desktop.
  const Size sizes[] = {
      {"LightFirst", 800, 450}, {"Light", 800, 450}, {"Aux2", 800, 450},   {"Aux3", 800, 450},
      {"Aux0", 400, 225},       {"Aux1", 400, 225},  {"Shadow", 512, 512}, {"ShadowAux0", 256, 256},
      {"ShadowAux1", 256, 256}, {"Aux4", 400, 225},
  };
  m_Tree.reset();  // the game's own shaders are read again from where they were read
  const int gGround = Resources().loadMaterial("gGround");
  Resources().GetMaterial(gGround)->Begin();
  // Earlier cases' shaders lived in trees that are gone: their rebuild reports that, and that is all.
  Testing::Printed([] { Msg::Send(new Msg::graphicsSetResMsg(2)); });
  ASSERT_EQ(Resources().RenderTargetCount(), 10);
  for (int i = 0; i < 10; ++i) {
    const Gfx::RenderTarget& target = *Resources().RenderTargetAt(i);
    EXPECT_EQ(target.Name(), sizes[i].name);
    EXPECT_TRUE(target.Complete()) << target.Name();
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, target.TextureName(0));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ((std::vector<GLint>{width, height}), (std::vector<GLint>{sizes[i].width, sizes[i].height}))
        << target.Name();
  }
  GLint depthWidth = 0;
  glBindRenderbuffer(GL_RENDERBUFFER, Gfx::BufferFactory::Instance().SharedDepth());
  glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &depthWidth);
  EXPECT_EQ(depthWidth, 800);
  // The programs were built again: the first material begun after uses the new one.
  Resources().GetMaterial(gGround)->Begin();
  EXPECT_EQ(Get(GL_CURRENT_PROGRAM),
            static_cast<GLint>(Resources().GetShader(Resources().GetMaterial(gGround)->ShaderIndex())->Program()));
  Testing::Printed([] { Msg::Send(new Msg::graphicsSetResMsg(4)); });
  EXPECT_EQ(Resources().RenderTargetAt(0)->Width(), 1280u);
  EXPECT_TRUE(Resources().Validate());
}
