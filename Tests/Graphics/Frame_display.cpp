// The renderer's frame in a real OpenGL context on the virtual display, at a small window size:
// visuals built from definition files (written into a throw-away asset tree; they draw the
// built-in shapes), the visibility step with its culling, lights, picking by colour read back
// from the window, the field of view's steps and the pass switches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Core/Window.h"
#include "Game/Entity.h"
#include "Graphics/Camera.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/Model.h"
#include "Graphics/RenderContext.h"
#include "Graphics/RenderPass.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Visuals.h"
#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/Printed.h"
#include "Support/Systems.h"
#include "Support/TempTree.h"
#include "Util/ErrorLog.h"
#include "Util/LevelEditor.h"

using Texts = std::vector<std::string>;
using Util::Vec3;

namespace {

class Frame : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Testing::Printed([] {
      Core::Window::Instance().init();
      Core::Window::Instance().SetSize(160, 90);
      Core::Window::Instance().SetVideoMode();
      Gfx::GraphicsFacade::Instance().Init();
      Util::LevelEditor::Instance();
    });
  }
  static void TearDownTestSuite() {
    Testing::ShutDown<Gfx::GraphicsFacade>();
    Util::LevelEditor::Destroy();
    Msg::MailMan::Instance().Shutdown();
    Msg::MailMan::Destroy();
    Util::ErrorLog::Destroy();
    Core::Window::Instance().shutdown();
    Core::Window::Destroy();
  }
  void SetUp() override { ASSERT_NE(Gfx::GraphicsFacade::Instance().GetResourceManager(), nullptr); }
  void TearDown() override { EXPECT_EQ(m_Asserts.Texts(), Texts{}); }

  static Gfx::GraphicsFacade& Facade() { return Gfx::GraphicsFacade::Instance(); }
  static Gfx::ResourceManager& Resources() { return *Facade().GetResourceManager(); }
  static Gfx::RenderContext& Context() { return *Facade().GetRenderContext(); }
  static int Green() { return Resources().FindMaterial("Green"); }

  // An entity from a definition holding `visual`, standing at `at`.
  Game::Entity& Build(const std::string& visual, const Vec3& at = {}) {
    const std::string file = "Assets/Xml/entities/e" + std::to_string(m_Entities.size()) + ".xml";
    m_Tree.Write(file, "<XMLRoot><Entity><string name=\"name\">e</string></Entity>" + visual + "</XMLRoot>");
    m_Entities.push_back(std::make_unique<Game::Entity>(("../../" + file).c_str()));
    m_Entities.back()->SetPosition(at);
    return *m_Entities.back();
  }
  // A model visual of the built-in box (corners ±1) in "Green", culled when `cull`.
  Game::Entity& Box(const Vec3& at, bool cull) {
    return Build(std::string("<Visual><string name=\"model\">EndBox</string><string name=\"material\">Green</string>") +
                     (cull ? "<Cull/>" : "") + "</Visual>",
                 at);
  }
  // The view from `eye` to `target`, and this frame's visibility step.
  static void Look(const Vec3& eye, const Vec3& target) {
    Msg::Send(new Msg::cameraSetPosTarVecImmediateMsg(eye, target));
    Facade().GetCamera()->Update();
    Facade().SetView();
    Facade().SubmitVisuals();
  }
  static void EndFrame() {
    Context().ClearQueues();
    Facade().ClearLights();
  }
  static bool Queued(const Game::Entity& entity, int material) {
    const std::vector<Gfx::Visual*>& queue = Context().QueueOf(material);
    return std::find(queue.begin(), queue.end(), entity.GetVisual()) != queue.end();
  }

  Testing::AssertRecorder m_Asserts;
  Testing::TempTree m_Tree;
  std::vector<std::unique_ptr<Game::Entity>> m_Entities;
};

TEST_F(Frame, AVisualOutsideTheViewIsCulledOnlyWhenItsDefinitionHasACullElement) {
  const struct {
    Vec3 at;
    bool cull, queued;
  } cases[] = {
      {{0, 0, 0}, true, true},                              // in view
      {{0, 0, 40}, true, false},                            // behind the eye
      {{200, 0, 0}, true, false},                           // far to the side
      {{0, 0, 40}, false, true},                            // never culled
      {{200, 0, 0}, false, true}, {{0, 0, 9}, true, true},  // across the near plane
  };
  for (const auto& c : cases) Box(c.at, c.cull);
  Look({0, 0, 10}, {0, 0, 0});
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(Queued(*m_Entities[i], Green()), cases[i].queued) << "case " << i;
  EndFrame();
}

TEST_F(Frame, AVisualIsTextWhenItsModelNamesTextAnywhereOrItHasABillboardKey) {
  const struct {
    const char* keys;
    bool text, billboard;
  } cases[] = {
      {"<string name=\"model\">DiamondPlane</string>", false, false},
      {"<string name=\"model\">ScoreText</string>", true, false},
      {"<string name=\"model\">TextOfAPoem</string>", true, false},
      {"<string name=\"model\">DiamondPlane</string><float name=\"billboard\">1</float>", true, true},
      {"<string name=\"model\">Hello</string><float name=\"billboard\">0</float>", true, false},
  };
  for (const auto& c : cases) {
    Gfx::Visual* visual = Build(std::string("<Visual>") + c.keys + "</Visual>").GetVisual();
    const auto* text = dynamic_cast<const Gfx::VisualText*>(visual);
    SCOPED_TRACE(c.keys);
    ASSERT_NE(visual, nullptr);
    EXPECT_EQ(text != nullptr, c.text);
    if (text) {
      EXPECT_EQ(text->Billboard(), c.billboard);
      EXPECT_EQ(text->ModelIndex(), -1);
    } else {
      EXPECT_EQ(visual->ModelIndex(), Resources().FindModel(Gfx::kDiamondPlane));
    }
    EXPECT_TRUE(visual->Validate());
  }
}

TEST_F(Frame, ALightRegistersItselfEveryFrameAndQueuesOnlyWithAModel) {
  const std::string light =
      "<float name=\"red\">1</float><float name=\"green\">0.5</float><float name=\"blue\">0.25</float>"
      "<float name=\"special\">2</float><float name=\"y\">1</float><float name=\"radius\">7</float>";
  Game::Entity& bare = Build("<Light>" + light + "</Light>", {1, 0, 0});
  Game::Entity& modelled = Build("<Light>" + light +
                                     "<Model><string name=\"model\">EndBox</string>"
                                     "<string name=\"material\">Green</string></Model></Light>",
                                 {-1, 0, 0});
  for (int frame = 0; frame < 2; ++frame) {
    Look({0, 0, 10}, {0, 0, 0});
    ASSERT_EQ(Facade().LightPositions().size(), 2u);
    const Msg::Vec4& p = Facade().LightPositions()[0];
    const Msg::Vec4& c = Facade().LightColors()[0];
    EXPECT_EQ((std::vector<float>{p.x, p.y, p.z, p.w, c.x, c.y, c.z, c.w}),
              (std::vector<float>{1, 1, 0, 7, 1, 0.5f, 0.25f, 2}));
    for (int material = 0; material < Resources().MaterialCount(); ++material)
      EXPECT_FALSE(Queued(bare, material)) << Resources().MaterialName(material);
    EXPECT_TRUE(Queued(modelled, Green()));
    EndFrame();
  }
  EXPECT_TRUE(Facade().LightPositions().empty());
}

TEST_F(Frame, PickingNamesTheOwnerOfTheVisualUnderThePointAndNoneElsewhere) {
  Game::Entity& left = Box({-3, 0, 0}, true);
  Game::Entity& right = Box({3, 0, 0}, true);
  Build("<Visual><string name=\"model\">Text</string></Visual>");  // text is never picked
  Look({0, 0, 10}, {0, 0, 0});
  EndFrame();
  // Where a world point shows, in window pixels from the top-left.
  const auto pixel = [](const Vec3& p) {
    const Gfx::Mat4 m = Context().ViewProjection();
    const float x = m.m[0] * p.x + m.m[4] * p.y + m.m[8] * p.z + m.m[12];
    const float y = m.m[1] * p.x + m.m[5] * p.y + m.m[9] * p.z + m.m[13];
    const float w = m.m[3] * p.x + m.m[7] * p.y + m.m[11] * p.z + m.m[15];
    return std::pair<int, int>{static_cast<int>((x / w + 1) * 0.5f * Context().m_Width),
                               static_cast<int>((1 - y / w) * 0.5f * Context().m_Height)};
  };
  const struct {
    std::pair<int, int> at;
    int32_t id;
  } cases[] = {{pixel({-3, 0, 0}), left.GetID()},
               {pixel({3, 0.5f, 0}), right.GetID()},
               {pixel({0, 0, 0}), 0},
               {{2, 2}, 0},
               {{-5, 40}, 0}};
  for (const auto& c : cases) {
    Util::LevelEditor::Instance().ResetCurrentPick();
    Msg::MailMan::Instance().Post(new Msg::graphicsPickMsg(c.at.first, c.at.second));
    Msg::MailMan::Instance().Deliver();  // the pick, which posts the answer
    Msg::MailMan::Instance().Deliver();  // the answer
    EXPECT_EQ(Util::LevelEditor::Instance().GetCurrentPick(), c.id) << c.at.first << ", " << c.at.second;
  }
}

TEST_F(Frame, TheFieldOfViewWidensByAFifthAndNarrowsByFourFifthsOfADegreeAFrame) {
  const struct {
    float target;
    int frames;
    float after;
  } steps[] = {{90, 1, 65.2f}, {90, 123, 89.8f}, {90, 1, 90}, {90, 5, 90},
               {65, 1, 89.2f}, {65, 30, 65.2f},  {65, 1, 65}, {65, 3, 65}};
  for (const auto& s : steps) {
    Msg::Send(new Msg::graphicsFOVMsg(s.target));
    for (int i = 0; i < s.frames; ++i) Facade().SetView();
    EXPECT_NEAR(Context().m_FieldOfView, s.after, 1e-3f) << s.target << " after " << s.frames;
    // The projection follows: its y scale is 1 / tan(fov / 2).
    EXPECT_NEAR(Context().m_Projection.m[5], 1.0f / std::tan(s.after * 3.14159265f / 360.0f), 1e-3f);
  }
}

TEST_F(Frame, PassesSwitchByNameAndByTheShadowAndFilterSwitches) {
  const Texts names = {
      "IsCaster",   "BlurVSM",          "StaticLighting",    "StaticLightingNoShadows", "LightRay", "LightRaySimple",
      "Feedbacker", "Aux2ToBackbuffer", "PostProcessGritty", "PostProcessEdgeDetect",   "Other"};
  for (const std::string& name : names)
    Msg::Send(new Msg::renderPassMsg(name, 1, 0, Texts{"CLEAR"}, Texts{""}, Texts{}));
  const auto pass = [](const char* text) { return new Msg::graphicsPassMsg(text); };
  const struct {
    Msg::Message* message;
    const char* enabled;  // the first letters of the enabled passes, in the order of `names`
  } steps[] = {
      {pass("all disable"), "-----------"},
      {new Msg::graphicsSetShadowMsg(2), "IBS--------"},  // the shadow switch was on
      {pass("ShadowMapping off"), "---S-------"},
      {new Msg::graphicsSetShadowMsg(2), "---S-------"},
      {pass("Other enable"), "---S------O"},
      {pass("PostProcessingOne enable"), "---SL-F-PPO"},  // both sets follow their switches again
      {new Msg::graphicsSetFilterMsg(0), "---S-L-A--O"},
      {new Msg::graphicsSetFilterMsg(7), "---S-L-A--O"},
      {pass("all enable"), "IBSSLLFAPPO"},
      {new Msg::graphicsSetShadowMsg(1), "IBS-LLFAPPO"},
  };
  for (const auto& step : steps) {
    Msg::Send(step.message);
    std::string enabled;
    for (const std::string& name : names) enabled += Resources().GetPass(name)->IsEnabled() ? name[0] : '-';
    EXPECT_EQ(enabled, step.enabled);
  }
  EXPECT_FALSE(Facade().PostProcessingOne());
  EXPECT_EQ(Facade().AmbientScale(), 6.0f);
}

}  // namespace
