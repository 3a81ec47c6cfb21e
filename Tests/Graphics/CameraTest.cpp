#include "Graphics/Camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
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

using Gfx::Camera;
using Util::Vec3;

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

template <class M, class... Args>
void Send(Args&&... args) {
  Msg::Send(new M(std::forward<Args>(args)...));
}

// Keeps the camera's info messages in the order they are delivered.
class InfoRecorder : public Msg::MailBox {
 public:
  void Receive(const Util::Handle<Msg::cameraGetInfoMsg>& message) override {
    m_Infos.emplace_back(message->m_Kind, message->m_Value);
  }
  std::vector<std::pair<int32_t, Vec3>> m_Infos;
};

class CameraTest : public testing::Test {
 protected:
  void SetUp() override { Clock::Instance().SetTimeSource(m_Time); }
  void TearDown() override {
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
    if (!Msg::MailMan::Exists()) return;
    Msg::MailMan::Instance().Shutdown();
    Msg::MailMan::Destroy();
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
  // The eye at `eye` looking at the target at `target`, with its goal where it is, so it rests.
  void Rest(const Vec3& eye, const Vec3& target) {
    Send<Msg::cameraSetPosTarVecImmediateMsg>(eye, target);
    Send<Msg::cameraSetPosVecMsg>(eye);
  }
  // The eye and the target both on their goals.
  void ExpectAt(const Vec3& eye, const Vec3& target) {
    EXPECT_EQ(m_Camera.CurrentEye(), eye);
    EXPECT_EQ(m_Camera.EyeGoal(), eye);
    EXPECT_EQ(m_Camera.CurrentTarget(), target);
    EXPECT_EQ(m_Camera.TargetGoal(), target);
  }
  void ExpectOrbit(float theta, float phi, float zoom, float tolerance = 1e-6f) {
    EXPECT_NEAR(m_Camera.Theta(), theta, tolerance);
    EXPECT_NEAR(m_Camera.Phi(), phi, tolerance);
    EXPECT_NEAR(m_Camera.Zoom(), zoom, tolerance);
  }
  std::tuple<float, float, float, float> Limits() const {
    return {m_Camera.PhiMin(), m_Camera.PhiMax(), m_Camera.ZoomMin(), m_Camera.ZoomMax()};
  }

  Testing::FakeTimeSource m_Time;
  Camera m_Camera;
};

const std::tuple<float, float, float, float> kStartLimits{-kPi / 2, kPi / 2, 3.0f, 20000.0f};

}  // namespace

TEST_F(CameraTest, ResetStartsBehindTheTargetAndTheFirstGoalIsAboveAndBehindIt) {
  Rest({5, 5, 5}, {1, 2, 3});
  Send<Msg::cameraSetModeMsg>(1);
  Frame(m_Camera);
  m_Camera.Reset();

  ExpectAt({0, 0, -1000}, {0, 0, -1110});
  EXPECT_EQ(m_Camera.EyeVelocity(), Vec3{});
  ExpectOrbit(kPi / 2, 1.0f, 10.0f);
  EXPECT_EQ(m_Camera.ViewMode(), 1);
  EXPECT_EQ(m_Camera.RepulsionMode(), 0);
  EXPECT_EQ(m_Camera.DistanceSquared(), -1.0f);
  EXPECT_EQ(m_Camera.Up(), (Vec3{0, 1, 0}));
  EXPECT_EQ(Limits(), kStartLimits);

  // The eye is on the +z side of the target, and theta π/2 keeps the goal on that side.
  Frame(m_Camera);
  ExpectNear(m_Camera.EyeGoal(), {0, 10 * std::sin(1.0f), -1110 + 10 * std::cos(1.0f)}, 1e-3f);
  EXPECT_LT(m_Camera.CurrentEye().z, -1000.0f);
  EXPECT_GT(m_Camera.CurrentEye().z, m_Camera.EyeGoal().z);
}

TEST_F(CameraTest, ImmediateJumpsLandExactlyAtOnceAndStopTheSprings) {
  // Set the springs moving first: a jump must not carry that motion on.
  Send<Msg::cameraSetPosVecMsg>(Vec3{300, 0, 0});
  Frame(m_Camera);
  ASSERT_NE(m_Camera.EyeVelocity(), Vec3{});
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{1.5f, 2.25f, -3}, Vec3{7, 8, 9.125f});
  EXPECT_EQ(m_Camera.EyeVelocity(), Vec3{});
  ExpectAt({1.5f, 2.25f, -3}, {7, 8, 9.125f});
  Send<Msg::cameraSetPosVecImmediateMsg>(Vec3{-4, 5, 6});
  ExpectAt({-4, 5, 6}, {7, 8, 9.125f});
  Send<Msg::cameraSetTarVecImmediateMsg>(Vec3{10, 11, 12});
  ExpectAt({-4, 5, 6}, {10, 11, 12});
  Send<Msg::cameraSetTargetPosVecMsg>(Vec3{-1, -2, -3});
  ExpectAt({-4, 5, 6}, {-1, -2, -3});
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
    m_Camera.Reset();
    Send<Msg::cameraSetModeMsg>(row.mode);
    Send<Msg::cameraSetPosTarVecImmediateMsg>(row.eye, Vec3{});
    Send<Msg::cameraSetPosVecMsg>(row.goal);
    EXPECT_EQ(m_Camera.EyeGoal(), row.goal);
    ExpectOrbit(row.theta, row.phi, row.zoom, 1e-5f);
    EXPECT_EQ(m_Camera.CurrentEye(), row.eye);  // it springs there, it does not jump

    float previous = Util::Length(row.eye - row.goal);
    for (int frame = 0; frame < 150; ++frame) {
      Frame(m_Camera);
      ExpectNear(m_Camera.EyeGoal(), row.goal, row.hold);
      const float distance = Util::Length(m_Camera.CurrentEye() - row.goal);
      ASSERT_LE(distance, previous + 1e-4f) << "frame " << frame;
      // Along z, the way all three go, the eye never passes its goal.
      ASSERT_GE((m_Camera.CurrentEye().z - row.goal.z) * (row.eye.z - row.goal.z), 0.0f)
          << "overshoot, frame " << frame;
      previous = distance;
    }
    EXPECT_LT(previous, row.near);
    if (row.mode == 0) {
      EXPECT_EQ(m_Camera.EyeVelocity(), Vec3{});
    }
    // The published basis: side and third level and square to up, third along the view.
    EXPECT_NEAR(Util::Dot(m_Camera.Side(), m_Camera.Up()), 0.0f, 1e-5f);
    EXPECT_NEAR(Util::Dot(m_Camera.Third(), m_Camera.Up()), 0.0f, 1e-5f);
    EXPECT_NEAR(Util::Dot(m_Camera.Side(), m_Camera.Third()), 0.0f, 1e-5f);
    EXPECT_NEAR(Util::Length(m_Camera.Third()), 1.0f, 1e-5f);
    ExpectNear(m_Camera.Third(), {0, 0, -1}, 1e-2f);
    EXPECT_NEAR(m_Camera.DistanceSquared(), Util::LengthSquared(m_Camera.Target() - m_Camera.Eye()), 1e-3f);
  }
}

TEST_F(CameraTest, ThirdPersonSteeringScalesWithTheFrameAndZoomStopsAtItsMaximum) {
  StartFrame(33);
  Send<Msg::cameraSetPhiMinMax>(-1.5f, 1.5f, false);
  Send<Msg::cameraUpdateThird>(Vec3{1, 1, 2});
  ExpectOrbit(kPi / 2 + 0.033f * 1.2f, 1.0f - 0.033f * 1.2f, 20.0f);

  Send<Msg::cameraSetZoomMinMax>(3.0f, 30.0f, false);
  Send<Msg::cameraUpdateThird>(Vec3{0, 0, 2});
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 30.0f);
  Send<Msg::cameraUpdateThird>(Vec3{0, 0, 0.01f});
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 3.0f);

  // A long frame steers as far as a 50 ms one.
  StartFrame(400);
  const float theta = m_Camera.Theta();
  Send<Msg::cameraUpdateThird>(Vec3{-1, -100, 1});
  EXPECT_NEAR(m_Camera.Theta(), theta - 0.05f * 1.2f, 1e-6f);
  EXPECT_FLOAT_EQ(m_Camera.Phi(), 1.5f);  // held by the phi maximum
}

TEST_F(CameraTest, LimitMessagesSetTheLimitsOrClampOnceAndAssertOnAnEmptyRange) {
  Testing::AssertRecorder recorder;
  Send<Msg::cameraSetPhiMinMax>(0.2f, 0.5f, true);
  Send<Msg::cameraSetZoomMinMax>(12.0f, 40.0f, true);
  EXPECT_FLOAT_EQ(m_Camera.Phi(), 0.5f);
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 12.0f);
  EXPECT_EQ(Limits(), kStartLimits);

  // Setting limits leaves the values for the next steering or placement to hold.
  Send<Msg::cameraSetPhiMinMax>(-0.1f, 0.3f, false);
  Send<Msg::cameraSetZoomMinMax>(4.0f, 8.0f, false);
  EXPECT_FLOAT_EQ(m_Camera.Phi(), 0.5f);
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 12.0f);
  EXPECT_EQ(Limits(), std::make_tuple(-0.1f, 0.3f, 4.0f, 8.0f));
  EXPECT_EQ(recorder.Count(), 0u);

  // Min not below max: the assertion (worded for zoom in both), then the limits as given.
  const std::string text =
      "Assert \"minMax[0] < minMax[1]\" failed\n"
      "Comment: Trying to assign a minimum zoom distance that is larger than the maximum zoom distance.\n"
      "File: Source\\Graphics\\graphics_camera\n";
  Send<Msg::cameraSetPhiMinMax>(0.5f, 0.5f, false);
  Send<Msg::cameraSetZoomMinMax>(50.0f, 10.0f, false);
  ASSERT_EQ(recorder.Count(), 2u);
  EXPECT_EQ(recorder.Texts()[0].substr(0, text.size()), text);
  EXPECT_EQ(recorder.Texts()[1].substr(0, text.size()), text);
  EXPECT_EQ(Limits(), std::make_tuple(0.5f, 0.5f, 50.0f, 10.0f));
  // A clamp with the range the wrong way round asserts nothing.
  Send<Msg::cameraSetZoomMinMax>(9.0f, 2.0f, true);
  EXPECT_EQ(recorder.Count(), 2u);
}

TEST_F(CameraTest, PullBackPutsTheEyeGoalTwelveUnitsOutAlongItsLineThenTheZoomLimitsApply) {
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{11, 22, 32}, Vec3{10, 20, 30});  // 3 units out
  Send<Msg::cameraPullBackMsg>();
  ExpectNear(m_Camera.EyeGoal(), {14, 28, 38}, 1e-5f);
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 12.0f);
  EXPECT_NEAR(m_Camera.Phi(), std::asin(2.0f / 3.0f), 1e-6f);

  Send<Msg::cameraSetZoomMinMax>(15.0f, 100.0f, false);
  Send<Msg::cameraPullBackMsg>();
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 15.0f);
  Frame(m_Camera);
  ExpectNear(m_Camera.EyeGoal() - m_Camera.CurrentTarget(), Vec3{1, 2, 2} * 5.0f, 1e-3f);

  // With the eye goal on the target goal there is no line: the angles stay and nothing breaks.
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{1, 1, 1}, Vec3{1, 1, 1});
  const float phi = m_Camera.Phi(), theta = m_Camera.Theta();
  Send<Msg::cameraPullBackMsg>();
  EXPECT_EQ(m_Camera.Phi(), phi);
  EXPECT_EQ(m_Camera.Theta(), theta);
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 15.0f);
  Frame(m_Camera);
  EXPECT_TRUE(std::isfinite(m_Camera.Eye().x + m_Camera.Eye().y + m_Camera.Eye().z));
}

TEST_F(CameraTest, RepulsionModeOneIgnoresPushesAndLetsASlowEyeCreep) {
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    // A push moves a resting eye in mode 0 only.
    m_Camera.Reset();
    Send<Msg::cameraSetModeMsg>(mode);
    Rest({0, 0, 20}, {0, 0, 0});
    Frame(m_Camera);
    Send<Msg::cameraRepulsiveMsg>(Vec3{0, 1000, 0});
    Frame(m_Camera);
    EXPECT_NEAR(m_Camera.CurrentEye().y, mode == 0 ? 0.3f * 1000 * 0.033f * 0.033f : 0.0f, 1e-3f);

    // A goal one unit off: too slow a start, so mode 0 stays at rest, mode 1 moves.
    m_Camera.Reset();
    Send<Msg::cameraSetModeMsg>(mode);
    Rest({0, 0, 20}, {0, 0, 0});
    Send<Msg::cameraSetPosVecMsg>(Vec3{0, 0, 19});
    for (int frame = 0; frame < 10; ++frame) Frame(m_Camera);
    if (mode == 0) {
      EXPECT_EQ(m_Camera.CurrentEye().z, 20.0f);
    } else {
      EXPECT_LT(m_Camera.CurrentEye().z, 19.8f);
      EXPECT_GE(m_Camera.CurrentEye().z, 19.0f);
    }
  }
}

TEST_F(CameraTest, AFrameLongerThanFiftyMillisecondsIsIntegratedAsFifty) {
  Camera other, third;
  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{0, 0, 40}, Vec3{0, 0, 0});
  Send<Msg::cameraSetPosVecMsg>(Vec3{0, 10, 15});
  Send<Msg::cameraSetTargetPosVecMsg>(Vec3{3, 0, 0});

  Frame(m_Camera, 50);
  Frame(other, 5000);
  Frame(third, 30);
  EXPECT_EQ(m_Camera.CurrentEye(), other.CurrentEye());
  EXPECT_EQ(m_Camera.CurrentTarget(), other.CurrentTarget());
  EXPECT_NE(m_Camera.CurrentEye(), third.CurrentEye());
  // A frame of 0 ms moves nothing.
  const Vec3 eye = third.CurrentEye();
  Frame(third, 0);
  EXPECT_EQ(third.CurrentEye(), eye);
}

TEST_F(CameraTest, EveryUpdatePostsFiveInfoMessagesInKindOrderZeroOneThreeFourTwo) {
  InfoRecorder recorder;
  Rest({3, 4, 25}, {1, 2, 3});
  Frame(m_Camera);
  EXPECT_TRUE(recorder.m_Infos.empty());  // posted, not sent
  EXPECT_EQ(Msg::MailMan::Instance().Queued(), 5u);
  Msg::MailMan::Instance().Deliver();

  ASSERT_EQ(recorder.m_Infos.size(), 5u);
  const int32_t kinds[] = {0, 1, 3, 4, 2};
  const Vec3 values[] = {m_Camera.Eye(), m_Camera.Target(), m_Camera.Up(), m_Camera.Side(), m_Camera.Third()};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(recorder.m_Infos[i].first, kinds[i]);
    EXPECT_EQ(recorder.m_Infos[i].second, values[i]);
  }
  EXPECT_EQ(m_Camera.Eye(), m_Camera.CurrentEye());
  EXPECT_EQ(m_Camera.Target(), m_Camera.CurrentTarget());
}

TEST_F(CameraTest, UpAndViewVectorsAndTheHardElevationLimit) {
  Send<Msg::cameraSetUpVecMsg>(Vec3{0, 0, 2});
  EXPECT_EQ(m_Camera.Up(), (Vec3{0, 0, 1}));
  Send<Msg::cameraSetUpVecMsg>(Vec3{0, 0, 0});  // no direction: kept
  EXPECT_EQ(m_Camera.Up(), (Vec3{0, 0, 1}));
  Send<Msg::cameraSetUpVecMsg>(Vec3{0, 1, 0});

  Send<Msg::cameraSetPosTarVecImmediateMsg>(Vec3{0, 0, 10}, Vec3{0, 0, 0});
  Send<Msg::cameraSetViewVecMsg>(Vec3{0, -6, -8});  // the eye goal 10 behind and 6 above
  ExpectNear(m_Camera.EyeGoal(), {0, 6, 8}, 1e-6f);
  EXPECT_FLOAT_EQ(m_Camera.Zoom(), 10.0f);
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
  EXPECT_NEAR(Util::Length(m_Camera.Side()), 1.0f, 1e-5f);
  EXPECT_NEAR(Util::Length(m_Camera.Third()), 1.0f, 1e-5f);
  EXPECT_TRUE(std::isfinite(m_Camera.Eye().x + m_Camera.Eye().y + m_Camera.Eye().z));
}

TEST_F(CameraTest, TheTargetFollowsAVisualUntilItGoesOrAnotherTargetIsSet) {
  auto* entity = new Game::Entity();
  auto* visual = new Gfx::Visual(entity);
  entity->SetVisual(visual);
  entity->SetPosition({5, 6, 7});
  Send<Msg::cameraSetTargetObjMsg>(visual);
  EXPECT_EQ(m_Camera.FollowedVisual(), visual);
  EXPECT_EQ(m_Camera.TargetGoal(), (Vec3{5, 6, 7}));

  entity->SetPosition({8, 6, 7});
  Frame(m_Camera);
  EXPECT_EQ(m_Camera.TargetGoal(), (Vec3{8, 6, 7}));
  EXPECT_GT(m_Camera.CurrentTarget().x, 0.0f);  // springing towards it

  // Another visual going changes nothing; the followed one going, by whatever path, ends it.
  delete new Gfx::Visual(entity);
  EXPECT_EQ(m_Camera.FollowedVisual(), visual);
  delete entity;
  EXPECT_EQ(m_Camera.FollowedVisual(), nullptr);
  Frame(m_Camera);
  EXPECT_EQ(m_Camera.TargetGoal(), (Vec3{8, 6, 7}));

  // A new target position, or an entity without a visual, ends it too.
  auto* second = new Game::Entity();
  second->SetVisual(new Gfx::Visual(second));
  Send<Msg::cameraSetTargetObjMsg>(second->GetVisual());
  Send<Msg::cameraSetTargetPosVecMsg>(Vec3{1, 1, 1});
  EXPECT_EQ(m_Camera.FollowedVisual(), nullptr);
  EXPECT_EQ(m_Camera.TargetGoal(), (Vec3{1, 1, 1}));
  Send<Msg::cameraSetTargetObjMsg>(second->GetVisual());
  Send<Msg::cameraSetTargetObjMsg>(nullptr);
  EXPECT_EQ(m_Camera.FollowedVisual(), nullptr);
  delete second;
}

TEST_F(CameraTest, TheGraphicsFacadeOwnsTheCameraFromInitToShutdown) {
  Gfx::GraphicsFacade& facade = Gfx::GraphicsFacade::Instance();
  EXPECT_EQ(facade.GetCamera(), nullptr);
  facade.Init();  // posts the window size
  const size_t posted = Msg::MailMan::Instance().Queued();
  ASSERT_NE(facade.GetCamera(), nullptr);
  EXPECT_EQ(facade.GetCamera()->CurrentEye(), (Vec3{0, 0, -1000}));
  StartFrame(33);
  facade.Update();
  EXPECT_EQ(Msg::MailMan::Instance().Queued(), posted + 5u);
  facade.Shutdown();
  EXPECT_EQ(facade.GetCamera(), nullptr);
  facade.Update();  // nothing to update
  EXPECT_EQ(Msg::MailMan::Instance().Queued(), posted + 5u);
  Gfx::GraphicsFacade::Destroy();
}
