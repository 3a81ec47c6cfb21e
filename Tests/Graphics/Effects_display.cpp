// Effects drawn in a real OpenGL context on the virtual display, on the whole engine with the
// game's own materials and opening scene: a particle lights the pixels where it stands, and
// Dodod's skinned mesh follows its bones.
#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <memory>

#include "Core/Window.h"
#include "Game/Entity.h"
#include "Game/Player.h"
#include "Graphics/Camera.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/Material.h"
#include "Graphics/RenderContext.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/VisualParticleSystem.h"
#include "Graphics/VisualSkinned.h"
#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/EngineDriver.h"
#include "Support/FrameLook.h"

using Util::Vec3;

namespace {

constexpr int kWidth = 160, kHeight = 90;

class EffectsDrawn : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_Engine = new Testing::EngineDriver;
    s_Engine->Init();
    Core::Window::Instance().SetSize(kWidth, kHeight);
    Core::Window::Instance().SetVideoMode();
    Gfx::GraphicsFacade::Instance().AdaptToWindowSize();
  }
  static void TearDownTestSuite() {
    delete s_Engine;
    s_Engine = nullptr;
  }
  void SetUp() override { ASSERT_NE(Gfx::GraphicsFacade::Instance().GetResourceManager(), nullptr); }

  // The window cleared black, the view from (0, 0, 3) to the origin, and the visual drawn with its
  // material as a pass draws it (after the pass's own material, if any).
  static void DrawAlone(Gfx::Visual& visual, const char* passMaterial = nullptr) {
    Gfx::GraphicsFacade& facade = Gfx::GraphicsFacade::Instance();
    Msg::Send(new Msg::cameraSetPosTarVecImmediateMsg(Vec3{0, 0, 3}, Vec3{}));
    facade.GetCamera()->Update();
    facade.SetView();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, kWidth, kHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Gfx::ResourceManager& resources = *facade.GetResourceManager();
    // The pass's own material first, as the scene's pass begins "gSceneLight" for its surfaces.
    Gfx::Material* pass = passMaterial ? resources.GetMaterial(resources.FindMaterial(passMaterial)) : nullptr;
    Gfx::Material* material = resources.GetMaterial(visual.MaterialIndex());
    ASSERT_NE(material, nullptr);
    if (pass) pass->Begin();
    material->Begin();
    visual.Draw();
    material->End();
    if (pass) pass->End();
    resources.UseNoShader();
    m_Frame = Testing::Frame::Read(kWidth, kHeight);
  }
  // The luminance of the window pixel where `at` is seen.
  static double SeenAt(const Vec3& at) {
    const Gfx::RenderContext& context = *Gfx::GraphicsFacade::Instance().GetRenderContext();
    double model[16], projection[16], x = 0, y = 0, z = 0;
    for (int i = 0; i < 16; ++i) {
      model[i] = context.m_View.m[i];
      projection[i] = context.m_Projection.m[i];
    }
    const GLint viewport[4] = {0, 0, kWidth, kHeight};
    gluProject(at.x, at.y, at.z, model, projection, viewport, &x, &y, &z);
    return m_Frame.Luminance(static_cast<int>(x), kHeight - 1 - static_cast<int>(y));
  }

  static Testing::EngineDriver* s_Engine;
  static Testing::Frame m_Frame;
  Testing::AssertRecorder m_Asserts;
};

Testing::EngineDriver* EffectsDrawn::s_Engine = nullptr;
Testing::Frame EffectsDrawn::m_Frame;

TEST_F(EffectsDrawn, AParticleLightsThePixelsWhereItStandsAndNoOthers) {
  Gfx::VisualParticleSystem glint(nullptr, std::make_unique<Gfx::HighlanderParticle>(), 1, Vec3{0.8f, 0.3f, 0});
  glint.setMaterial("gFireflyParticle");
  glint.SetSizeScale(0.6f);
  glint.Submit();
  DrawAlone(glint);
  EXPECT_GT(SeenAt(Vec3{0.8f, 0.3f, 0}), 0.2);
  EXPECT_EQ(SeenAt(Vec3{-0.8f, 0.3f, 0}), 0.0);
  EXPECT_EQ(SeenAt(Vec3{0.8f, -0.3f, 0}), 0.0);
  EXPECT_EQ(m_Asserts.Count(), 0u);
}

TEST_F(EffectsDrawn, DododsSkinFollowsItsFootBone) {
  Game::Entity* dodod = Game::Player::Instance().GetDodod();
  ASSERT_NE(dodod, nullptr);
  dodod->SetPosition(Vec3{});
  auto* skinned = dynamic_cast<Gfx::VisualSkinned*>(dodod->GetVisual());
  ASSERT_NE(skinned, nullptr);
  // Where the left foot (+x) would stand if it stepped half a unit outward.
  const Vec3 outward{0.62f, -0.45f, 0.1f};
  DrawAlone(*skinned, "gSceneLight");
  EXPECT_GT(SeenAt(Vec3{0, 0.1f, 0.5f}), 0.02) << "the body";
  EXPECT_EQ(SeenAt(outward), 0.0);

  // The left foot's bone (fourth in the skeleton) moved out: the foot goes with it.
  Gfx::BonePose rest = skinned->Controller().GetSkeleton().RestPose()[3];
  Gfx::BonePose out = rest;
  out.m_Position.x += 0.45f;
  std::vector<Gfx::BonePose> poses = skinned->Controller().GetSkeleton().RestPose();
  std::vector<Gfx::SkeletalTrack::Key> keys{{0, 100, poses}, {100, 200, poses}};
  keys[0].m_Poses[3] = keys[1].m_Poses[3] = out;
  Gfx::AnimationController& controller = skinned->Controller();
  controller.StopAll();
  controller.PlayTrack(controller.AddTrack(Gfx::SkeletalTrack(Gfx::VertexTrack::kLoop, keys)));
  skinned->Animate(10.0f);
  DrawAlone(*skinned, "gSceneLight");
  EXPECT_GT(SeenAt(outward), 0.02);
  EXPECT_GT(SeenAt(Vec3{0, 0.1f, 0.5f}), 0.02);
  EXPECT_EQ(m_Asserts.Count(), 0u);
}

}  // namespace
