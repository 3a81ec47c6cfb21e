// The grid and the camera inside the running engine: what start-up built is filed when the grid is
// made, and the camera's position reaches the grid through the mail every frame.
#include <gtest/gtest.h>

#include <string>

#include "Core/Clock.h"
#include "Game/EntityManager.h"
#include "Game/GameEngine.h"
#include "Graphics/Camera.h"
#include "Graphics/GraphicsFacade.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Util/Grid.h"
#include "Util/Trace.h"

using Game::GameEngine;

TEST(GridAtStartUp, FilesTheEntitiesBuiltDuringStartUpAndFollowsTheCameraEachFrame) {
  Testing::FakeTimeSource time;
  time.SetStepPerReadMs(1.0);
  Clock::Instance().SetTimeSource(time);
  Testing::AssertRecorder recorder;
  Util::Trace::Clear();
  Util::Trace::Enable(true);

  testing::internal::CaptureStdout();
  GameEngine::Instance().Init();
  testing::internal::GetCapturedStdout();
  // The editor entities were built by start-up's delivery, before the grid existed.
  Util::Grid& grid = Util::Grid::Instance();
  EXPECT_EQ(grid.Count(), Game::EntityManager::Instance().Count());
  EXPECT_GT(grid.Count(), 0u);
  EXPECT_TRUE(grid.Validate());

  int frames = 0;
  Util::Vec3 eyeOfFirstFrame{1e9f, 1e9f, 1e9f};
  Util::Vec3 gridCameraInSecondFrame;
  Util::Trace::SetListener([&](const std::string& step) {
    if (step == "Clock::BeginFrame") ++frames;
    if (step == "Clock::EndFrame" && frames == 1) eyeOfFirstFrame = Gfx::GraphicsFacade::Instance().GetCamera()->Eye();
    if (step == "PhysicsManager::Update" && frames == 2) gridCameraInSecondFrame = grid.CameraPosition();
    if (step == "Clock::EndFrame" && frames == 2) GameEngine::Instance().QuitGame();
  });
  GameEngine::Instance().Loop();
  EXPECT_EQ(gridCameraInSecondFrame, eyeOfFirstFrame);
  // The notices of start-up's entities, delivered in the first frame, changed nothing.
  EXPECT_EQ(grid.Count(), Game::EntityManager::Instance().Count());
  EXPECT_TRUE(grid.Validate());

  GameEngine::Instance().Shutdown();
  GameEngine::Destroy();
  EXPECT_FALSE(Util::Grid::Exists());
  EXPECT_EQ(recorder.Count(), 0u);
  Util::Trace::SetListener(nullptr);
  Util::Trace::Enable(false);
  Util::Trace::Clear();
  Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
}
