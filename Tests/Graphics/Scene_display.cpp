// The game's opening as ./run shows it, on the whole engine: the start-up scripts build the
// islands, trees, stones, lantern post, Dodod and the lantern from their definition files, the
// camera turns round its target, and a frame of it has the game's checkable look with readable
// text. With HOLLOWMERE_CAPTURE naming a PNG file, the frame is also saved there at the window's
// own size, to be looked at.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "Core/Window.h"
#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Game/Player.h"
#include "Graphics/Camera.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/RenderContext.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Visuals.h"
#include "Support/AssertRecorder.h"
#include "Support/EngineDriver.h"
#include "Support/FrameLook.h"

namespace {

using Texts = std::vector<std::string>;

// One frame through every pass, left in the back buffer (no swap).
Testing::Frame Draw() {
  Gfx::GraphicsFacade& facade = Gfx::GraphicsFacade::Instance();
  Gfx::RenderContext& context = *facade.GetRenderContext();
  facade.SetView();
  facade.SubmitVisuals();
  facade.GetResourceManager()->RunPasses();
  context.ClearQueues();
  facade.ClearLights();
  return Testing::Frame::Read(static_cast<int>(context.m_Width), static_cast<int>(context.m_Height));
}

}  // namespace

TEST(ShippedScene, TheOpeningIsBuiltFromDefinitionsTurnsRoundItsTargetAndLooksLikeDusk) {
  Testing::AssertRecorder asserts;
  Testing::EngineDriver engine;
  const std::string printed = engine.Init();
  ASSERT_NE(Gfx::GraphicsFacade::Instance().GetResourceManager(), nullptr);
  for (const char* report : {"Error calling", "Texture:", "GlyphAtlas", "Compilation", "Material::", "RenderPass::"})
    EXPECT_EQ(printed.find(report), std::string::npos) << printed;
  const char* capture = std::getenv("HOLLOWMERE_CAPTURE");
  if (!capture) {
    Core::Window::Instance().SetSize(640, 360);
    Core::Window::Instance().SetVideoMode();
    Gfx::GraphicsFacade::Instance().AdaptToWindowSize();
  }
  // The view at the end of frames 4 and 12 (one run of the loop: a quit ends it for good).
  const Gfx::Camera& camera = *Gfx::GraphicsFacade::Instance().GetCamera();
  Util::Vec3 before, after;
  engine.OnStep([&](const std::string& step, int frame) {
    if (step != "Clock::EndFrame") return;
    (frame == 4 ? before : after) = camera.Eye() - camera.Target();
  });
  engine.Loop(12);

  // Built from their files, each with the visual its file names.
  const Game::EntityManager& manager = Game::EntityManager::Instance();
  for (const char* name : {"e_IslandHome", "e_IslandLantern", "e_Tree", "e_TreeRound", "e_Stone", "e_LanternPost",
                           "Firefly", "Dodod", "Lantern", "game_Title"}) {
    const Game::Entity* entity = manager.FindByName(name);
    ASSERT_NE(entity, nullptr) << name;
    EXPECT_NE(entity->GetVisual(), nullptr) << name;
  }
  ASSERT_NE(Game::Player::Instance().GetLantern(), nullptr);
  EXPECT_NE(dynamic_cast<Gfx::VisualLight*>(Game::Player::Instance().GetLantern()->GetVisual()), nullptr);
  const auto* title = dynamic_cast<Gfx::VisualText*>(manager.FindByName("game_Title")->GetVisual());
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Text().rfind("Hollowmere Drift", 0), 0u) << title->Text();

  // The eye keeps its distance and turns round the target.
  EXPECT_NEAR(Util::Length(after), Util::Length(before), 0.05f * Util::Length(before));
  const float turned = std::acos(
      Util::Dot(Util::Normalize(Util::Vec3{after.x, 0, after.z}), Util::Normalize(Util::Vec3{before.x, 0, before.z})));
  EXPECT_GT(turned, 0.01f);

  const Testing::Frame frame = Draw();
  if (capture) {
    EXPECT_TRUE(frame.SavePng(capture)) << capture;
    const Util::Vec3 at = manager.FindByName("game_Title")->GetPosition();
    frame
        .Crop(static_cast<int>(at.x), static_cast<int>(at.y), static_cast<int>(at.x) + 200, static_cast<int>(at.y) + 40,
              4)
        .SavePng(std::string(capture) + ".text.png");
  }
  const Testing::Look look = Testing::Measure(frame);
  SCOPED_TRACE(testing::Message() << look);
  EXPECT_FALSE(look.oneColour);
  EXPECT_LE(look.extremes, 0.05);
  EXPECT_GE(look.luminance, 0.12);
  EXPECT_LE(look.luminance, 0.55);
  EXPECT_GE(look.hues, 2);
  // The caption's box: two lines of 16 pixels from its place, as wide as its first line.
  const Util::Vec3 at = manager.FindByName("game_Title")->GetPosition();
  const int left = static_cast<int>(at.x), top = static_cast<int>(at.y);
  EXPECT_GE(Testing::TextContrast(frame, left, top, left + 360, top + 40), 4.5);
  EXPECT_EQ(asserts.Texts(), Texts{});
}
