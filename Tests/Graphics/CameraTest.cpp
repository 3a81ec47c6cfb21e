#include "Graphics/Camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "Core/Clock.h"
#include "Game/Entity.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/Visual.h"
#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Support/Systems.h"

using Gfx::Camera;
using Util::Vec3;

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance) {
  EXPECT_NEAR(Util::Length(actual - expected), 0.0f, tolerance) << actual.x << " " << actual.y << " " << actual.z;
}

template <class M, class... Args>
void Send(Args&&... args) {
  Msg::Send(new M(std::forward<Args>(args)...));
}

class CameraTest : public testing::Test {
 protected:
  void SetUp() override { Clock::Instance().SetTimeSource(m_Time); }
  void TearDown() override {
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
    Testing::ShutDown<Msg::MailMan>();
  }

  // Starts a frame that follows one of the given length.
  void StartFrame(double ms) {
    m_Time.AdvanceMs(ms);
    Clock::Instance().BeginFrame();
  }
  void Frame(Camera& camera, double ms = 33.0) {
    StartFrame(ms);
    camera.Update();
  }
  // A fresh camera in the given repulsion mode, the eye resting at `eye` looking at `target`.
  void Rest(const Vec3& eye, const Vec3& target, int mode = 0) {
    m_Camera.Reset();
    Send<Msg::cameraSetModeMsg>(mode);
    Send<Msg::cameraSetPosTarVecImmediateMsg>(eye, target);
    Send<Msg::cameraSetPosVecMsg>(eye);
  }
  // The eye, the target, and both goals.
  std::vector<Vec3> Places() const {
    return {m_Camera.CurrentEye(), m_Camera.EyeGoal(), m_Camera.CurrentTarget(), m_Camera.TargetGoal()};
  }
  std::tuple<float, float, float> Orbit() const { return {m_Camera.Theta(), m_Camera.Phi(), m_Camera.Zoom()}; }
  std::tuple<float, float, float, float> Limits() const {
    return {m_Camera.PhiMin(), m_Camera.PhiMax(), m_Camera.ZoomMin(), m_Camera.ZoomMax()};
  }

  Testing::FakeTimeSource m_Time;
  Camera m_Camera;
};

}  // namespace

// The facade makes its camera at Init, reset, and updates it once a frame.
TEST_F(CameraTest, TheFacadesCameraStartsBehindItsTargetAndPostsFiveInfosAFrameInKindOrderZeroOneThreeFourTwo) {
  struct : Msg::MailBox {
    void Receive(const Util::Handle<Msg::cameraGetInfoMsg>& m) override { infos.emplace_back(m->m_Kind, m->m_Value); }
    std::vector<std::pair<int32_t, Vec3>> infos;
  } recorder;
  Gfx::GraphicsFacade& facade = Gfx::GraphicsFacade::Instance();
  EXPECT_EQ(facade.GetCamera(), nullptr);
  facade.Init();
  ASSERT_NE(facade.GetCamera(), nullptr);
  const Camera& camera = *facade.GetCamera();
  EXPECT_EQ((std::vector<Vec3>{camera.CurrentEye(), camera.EyeGoal(), camera.CurrentTarget(), camera.TargetGoal(),
                               camera.EyeVelocity(), camera.Up()}),
            (std::vector<Vec3>{{0, 0, -1000}, {0, 0, -1000}, {0, 0, -1110}, {0, 0, -1110}, {}, {0, 1, 0}}));
  EXPECT_EQ(std::make_tuple(camera.Theta(), camera.Phi(), camera.Zoom(), camera.ViewMode(), camera.RepulsionMode(),
                            camera.DistanceSquared()),
            std::make_tuple(kPi / 2, 1.0f, 10.0f, 1, 0, -1.0f));
  EXPECT_EQ(std::make_tuple(camera.PhiMin(), camera.PhiMax(), camera.ZoomMin(), camera.ZoomMax()),
            std::make_tuple(-kPi / 2, kPi / 2, 3.0f, 20000.0f));

  StartFrame(33);
  facade.Update();
  // The eye is on the +z side of the target, and theta π/2 keeps the goal on that side.
  ExpectNear(camera.EyeGoal(), {0, 10 * std::sin(1.0f), -1110 + 10 * std::cos(1.0f)}, 1e-3f);
  EXPECT_LT(camera.CurrentEye().z, -1000.0f);
  EXPECT_GT(camera.CurrentEye().z, camera.EyeGoal().z);
  EXPECT_TRUE(recorder.infos.empty());  // posted, not sent
  Msg::MailMan::Instance().Deliver();
  EXPECT_EQ(recorder.infos, (std::vector<std::pair<int32_t, Vec3>>{{0, camera.CurrentEye()},
                                                                   {1, camera.CurrentTarget()},
                                                                   {3, camera.Up()},
                                                                   {4, camera.Side()},
                                                                   {2, camera.Third()}}));
  facade.Shutdown();
  EXPECT_EQ(facade.GetCamera(), nullptr);
  facade.Update();  // nothing to update
  Gfx::GraphicsFacade::Destroy();
}

TEST_F(CameraTest, ImmediateJumpsLandExactlyAtOnceAndStopTheSprings) {
  Send<Msg::cameraSetPosVecMsg>(Vec3{300, 0, 0});
  Frame(m_Camera);
  ASSERT_NE(m_Camera.EyeVelocity(), Vec3{});
  const Vec3 eye{1.5f, 2.25f, -3}, target{7, 8, 9.125f}, eye2{-4, 5, 6}, target2{10, 11, 12}, target3{-1, -2, -3};
  Send<Msg::cameraSetPosTarVecImmediateMsg>(eye, target);
  EXPECT_EQ(m_Camera.EyeVelocity(), Vec3{});
  EXPECT_EQ(Places(), (std::vector<Vec3>{eye, eye, target, target}));
  Send<Msg::cameraSetPosVecImmediateMsg>(eye2);
  EXPECT_EQ(Places(), (std::vector<Vec3>{eye2, eye2, target, target}));
  Send<Msg::cameraSetTarVecImmediateMsg>(target2);
  EXPECT_EQ(Places(), (std::vector<Vec3>{eye2, eye2, target2, target2}));
  Send<Msg::cameraSetTargetPosVecMsg>(target3);
  EXPECT_EQ(Places(), (std::vector<Vec3>{eye2, eye2, target3, target3}));
}

TEST_F(CameraTest, AGoalIsApproachedWithoutOvershootAndStaysPutWhileTheBasisTurns) {
  // The target at the origin; the orbit the goal gives; how near the eye ends and the goal stays.
  const Vec3 orbit{0, 5, 20};
  const struct {
    int mode;
    Vec3 eye, goal;
    float theta, phi, zoom, near, hold;
  } rows[] = {
      {0, {0, 0, 30}, {0, 0, 15}, kPi / 2, 0.0f, 15.0f, 1.6f, 1e-3f},  // comes to rest short rather than creeping
      {1, {0, 0, 30}, {0, 0, 15}, kPi / 2, 0.0f, 15.0f, 1e-2f, 1e-3f},
      {1, {20, 0, 0}, orbit, -kPi, std::asin(5 / Util::Length(orbit)), Util::Length(orbit), 0.05f, 1e-2f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "mode " << row.mode << " from x " << row.eye.x);
    Rest(row.eye, Vec3{}, row.mode);
    Send<Msg::cameraSetPosVecMsg>(row.goal);
    EXPECT_EQ(m_Camera.EyeGoal(), row.goal);
    EXPECT_NEAR(m_Camera.Theta(), row.theta, 1e-5f);
    EXPECT_NEAR(m_Camera.Phi(), row.phi, 1e-5f);
    EXPECT_NEAR(m_Camera.Zoom(), row.zoom, 1e-5f);
    EXPECT_EQ(m_Camera.CurrentEye(), row.eye);  // it springs there, it does not jump

    float previous = Util::Length(row.eye - row.goal);
    for (int frame = 0; frame < 150; ++frame) {
      Frame(m_Camera);
      ExpectNear(m_Camera.EyeGoal(), row.goal, row.hold);
      const float distance = Util::Length(m_Camera.CurrentEye() - row.goal);
      ASSERT_LE(distance, previous + 1e-4f) << "frame " << frame;
      // Along z, the way all three go, the eye never passes its goal.
      ASSERT_GE((m_Camera.CurrentEye().z - row.goal.z) * (row.eye.z - row.goal.z), 0.0f) << "frame " << frame;
      previous = distance;
    }
    EXPECT_LT(previous, row.near);
    EXPECT_EQ(m_Camera.EyeVelocity() == Vec3{}, row.mode == 0);
    // The published basis, looking down -z: side along x, third along the view.
    ExpectNear(m_Camera.Side(), {1, 0, 0}, 1e-2f);
    ExpectNear(m_Camera.Third(), {0, 0, -1}, 1e-2f);
    EXPECT_NEAR(m_Camera.DistanceSquared(), Util::LengthSquared(m_Camera.Target() - m_Camera.Eye()), 1e-3f);
  }
}

TEST_F(CameraTest, SteeringAndTheSpringsTakeAFrameOfAtMostFiftyMillisecondsAndStopAtTheLimits) {
  StartFrame(33);
  Send<Msg::cameraSetPhiMinMax>(-1.5f, 1.5f, false);
  Send<Msg::cameraUpdateThird>(Vec3{1, 1, 2});
  EXPECT_EQ(Orbit(), std::make_tuple(kPi / 2 + 0.033f * 1.2f, 1.0f - 0.033f * 1.2f, 20.0f));
  Send<Msg::cameraSetZoomMinMax>(3.0f, 30.0f, false);
  Send<Msg::cameraUpdateThird>(Vec3{0, 0, 2});
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 30.0f);
  Send<Msg::cameraUpdateThird>(Vec3{0, 0, 0.01f});
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 3.0f);
  StartFrame(400);
  const float theta = m_Camera.Theta();
  Send<Msg::cameraUpdateThird>(Vec3{-1, -100, 1});
  EXPECT_NEAR(m_Camera.Theta(), theta - 0.05f * 1.2f, 1e-6f);
  EXPECT_FLOAT_EQ(m_Camera.Phi(), 1.5f);

  // Three cameras spring after frames of 50, 5000 and 30 ms; one of 0 ms moves nothing.
  Camera other, third;
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{0, 0, 40}, Vec3{0, 0, 0});
  Send<Msg::cameraSetPosVecMsg>(Vec3{0, 10, 15});
  Send<Msg::cameraSetTargetPosVecMsg>(Vec3{3, 0, 0});
  Frame(m_Camera, 50);
  Frame(other, 5000);
  Frame(third, 30);
  EXPECT_EQ(std::make_pair(m_Camera.CurrentEye(), m_Camera.CurrentTarget()),
            std::make_pair(other.CurrentEye(), other.CurrentTarget()));
  EXPECT_NE(m_Camera.CurrentEye(), third.CurrentEye());
  const Vec3 eye = third.CurrentEye();
  Frame(third, 0);
  EXPECT_EQ(third.CurrentEye(), eye);
}

TEST_F(CameraTest, LimitMessagesSetTheLimitsOrClampOnceAndAssertOnAnEmptyRange) {
  Testing::AssertRecorder recorder;
  Send<Msg::cameraSetPhiMinMax>(0.2f, 0.5f, true);
  Send<Msg::cameraSetZoomMinMax>(12.0f, 40.0f, true);
  EXPECT_EQ(std::make_pair(m_Camera.Phi(), m_Camera.Zoom()), std::make_pair(0.5f, 12.0f));
  EXPECT_EQ(Limits(), std::make_tuple(-kPi / 2, kPi / 2, 3.0f, 20000.0f));
  // Setting limits leaves the values for the next steering or placement to hold.
  Send<Msg::cameraSetPhiMinMax>(-0.1f, 0.3f, false);
  Send<Msg::cameraSetZoomMinMax>(4.0f, 8.0f, false);
  EXPECT_EQ(std::make_pair(m_Camera.Phi(), m_Camera.Zoom()), std::make_pair(0.5f, 12.0f));
  EXPECT_EQ(Limits(), std::make_tuple(-0.1f, 0.3f, 4.0f, 8.0f));
  EXPECT_EQ(recorder.Count(), 0u);

  // Min not below max: the assertion (worded for zoom in both), then the limits as given; a clamp
  // with the range the wrong way round asserts nothing.
  Send<Msg::cameraSetPhiMinMax>(0.5f, 0.5f, false);
  Send<Msg::cameraSetZoomMinMax>(50.0f, 10.0f, false);
  Send<Msg::cameraSetZoomMinMax>(9.0f, 2.0f, true);
  const std::string head = Testing::AssertRecorder::Head(
      "minMax[0] < minMax[1]",
      "Trying to assign a minimum zoom distance that is larger than the maximum zoom distance.",
      "Source\\Graphics\\graphics_camera");
  EXPECT_EQ(recorder.Heads(), (std::vector<std::string>{head, head}));
  EXPECT_EQ(Limits(), std::make_tuple(0.5f, 0.5f, 50.0f, 10.0f));
}

TEST_F(CameraTest, PullBackPutsTheEyeGoalTwelveUnitsOutAlongItsLineThenTheZoomLimitsApply) {
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{11, 22, 32}, Vec3{10, 20, 30});  // 3 units out
  Send<Msg::cameraPullBackMsg>();
  ExpectNear(m_Camera.EyeGoal(), {14, 28, 38}, 1e-5f);
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 12.0f);
  EXPECT_NEAR(m_Camera.Phi(), std::asin(2.0f / 3.0f), 1e-6f);
  Send<Msg::cameraSetZoomMinMax>(15.0f, 100.0f, false);
  Send<Msg::cameraPullBackMsg>();
  Frame(m_Camera);
  ExpectNear(m_Camera.EyeGoal() - m_Camera.CurrentTarget(), Vec3{1, 2, 2} * 5.0f, 1e-3f);

  // With the eye goal on the target goal there is no line: the angles stay and nothing breaks.
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{1, 1, 1}, Vec3{1, 1, 1});
  const auto orbit = Orbit();
  Send<Msg::cameraPullBackMsg>();
  EXPECT_EQ(std::get<0>(Orbit()), std::get<0>(orbit));
  EXPECT_EQ(std::get<1>(Orbit()), std::get<1>(orbit));
  Frame(m_Camera);
  EXPECT_TRUE(std::isfinite(Util::Length(m_Camera.Eye())));
}

TEST_F(CameraTest, RepulsionModeOneIgnoresPushesAndLetsASlowEyeCreep) {
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    // A push moves a resting eye in mode 0 only.
    Rest({0, 0, 20}, {0, 0, 0}, mode);
    Frame(m_Camera);
    Send<Msg::cameraRepulsiveMsg>(Vec3{0, 1000, 0});
    Frame(m_Camera);
    EXPECT_NEAR(m_Camera.CurrentEye().y, mode == 0 ? 0.3f * 1000 * 0.033f * 0.033f : 0.0f, 1e-3f);
    // A goal one unit off: too slow a start, so mode 0 stays at rest, mode 1 moves.
    Rest({0, 0, 20}, {0, 0, 0}, mode);
    Send<Msg::cameraSetPosVecMsg>(Vec3{0, 0, 19});
    Frame(m_Camera);  // one step of a spring of stiffness 20 from rest
    EXPECT_NEAR(m_Camera.CurrentEye().z, mode == 1 ? 20 - 20 * 0.033f * 0.033f : 20.0f, 1e-5f);
    for (int frame = 1; frame < 10; ++frame) Frame(m_Camera);
    EXPECT_EQ(m_Camera.CurrentEye().z < 19.8f, mode == 1);
    EXPECT_GE(m_Camera.CurrentEye().z, 19.0f);
  }
}

TEST_F(CameraTest, UpAndViewVectorsAndTheHardElevationLimit) {
  Send<Msg::cameraSetUpVecMsg>(Vec3{0, 0, 2});
  Send<Msg::cameraSetUpVecMsg>(Vec3{0, 0, 0});  // no direction: kept
  EXPECT_EQ(m_Camera.Up(), (Vec3{0, 0, 1}));
  Send<Msg::cameraSetUpVecMsg>(Vec3{0, 1, 0});
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{0, 0, 10}, Vec3{0, 0, 0});
  Send<Msg::cameraSetViewVecMsg>(Vec3{0, -6, -8});  // the eye goal 10 behind and 6 above
  ExpectNear(m_Camera.EyeGoal(), {0, 6, 8}, 1e-6f);
  EXPECT_NEAR(m_Camera.Phi(), std::asin(0.6f), 1e-6f);

  // Nearly overhead: the phi limits allow it, the hard limit of 1.2 does not.
  Send<Msg::cameraSetPhiMinMax>(-1.5f, 1.5f, false);
  Send<Msg::cameraSetPosVecMsg>(Vec3{0, 20, 1});
  EXPECT_FLOAT_EQ(m_Camera.Phi(), 1.5f);
  Frame(m_Camera);
  EXPECT_FLOAT_EQ(m_Camera.Phi(), 1.2f);
  const Vec3 offset = m_Camera.EyeGoal() - m_Camera.CurrentTarget();
  EXPECT_NEAR(std::asin(offset.y / Util::Length(offset)), 1.2f, 1e-3f);

  // Looking straight down the up axis leaves the basis as it was, never NaN.
  const Vec3 side = m_Camera.Side();
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{0, 30, 0}, Vec3{0, 0, 0});
  EXPECT_EQ(m_Camera.Side(), side);
  Frame(m_Camera);
  EXPECT_NEAR(Util::Length(m_Camera.Third()), 1.0f, 1e-5f);
  EXPECT_TRUE(std::isfinite(Util::Length(m_Camera.Eye())));
}

TEST_F(CameraTest, TheTargetFollowsAVisualUntilItGoesOrAnotherTargetIsSet) {
  auto* entity = new Game::Entity();
  auto* visual = new Gfx::Visual(entity);
  entity->SetVisual(visual);
  entity->SetPosition({5, 6, 7});
  Send<Msg::cameraSetTargetObjMsg>(visual);
  EXPECT_EQ(m_Camera.TargetGoal(), (Vec3{5, 6, 7}));
  entity->SetPosition({8, 6, 7});
  Frame(m_Camera);
  EXPECT_EQ(m_Camera.TargetGoal(), (Vec3{8, 6, 7}));
  EXPECT_NEAR(m_Camera.CurrentTarget().x, 100 * 8 * 0.033f * 0.033f, 1e-4f);  // one step of stiffness 100

  // Another visual going changes nothing; the followed one going, by whatever path, ends it.
  delete new Gfx::Visual(entity);
  EXPECT_EQ(m_Camera.FollowedVisual(), visual);
  delete entity;
  EXPECT_EQ(m_Camera.FollowedVisual(), nullptr);
  Frame(m_Camera);
  EXPECT_EQ(m_Camera.TargetGoal(), (Vec3{8, 6, 7}));

  // A new target position, or an entity without a visual, ends it too.
  Game::Entity second;
  second.SetVisual(new Gfx::Visual(&second));
  Send<Msg::cameraSetTargetObjMsg>(second.GetVisual());
  Send<Msg::cameraSetTargetPosVecMsg>(Vec3{1, 1, 1});
  EXPECT_EQ(std::make_pair(m_Camera.FollowedVisual(), m_Camera.TargetGoal()),
            std::make_pair(static_cast<const Gfx::Visual*>(nullptr), Vec3{1, 1, 1}));
  Send<Msg::cameraSetTargetObjMsg>(second.GetVisual());
  Send<Msg::cameraSetTargetObjMsg>(nullptr);
  EXPECT_EQ(m_Camera.FollowedVisual(), nullptr);
}
