#include "Graphics/Camera.h"

#include <algorithm>
#include <cmath>

#include "Core/Clock.h"
#include "Game/Entity.h"
#include "Game/GlobalStateData.h"
#include "Graphics/Visual.h"
#include "Messaging/Messages.h"
#include "Util/Assert.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_camera";

constexpr float kPi = 3.14159265358979f;

// Unlike std::clamp, defined for limits given the wrong way round (a dismissed limit assertion
// leaves them so): below the minimum gives the minimum, else above the maximum gives the maximum.
float Clamp(float value, float low, float high) { return value < low ? low : (value > high ? high : value); }

// An angle difference brought into (−π, π], so an orbit crossing the back of the circle does not
// turn theta by a full turn.
float Wrap(float angle) {
  if (!std::isfinite(angle)) return 0.0f;
  while (angle > kPi) angle -= 2.0f * kPi;
  while (angle <= -kPi) angle += 2.0f * kPi;
  return angle;
}

// Sets one pair of limits, or holds the value inside the given range once, leaving the limits.
void SetLimits(float (&limits)[2], float& value, float min, float max, bool clampOnly) {
  if (clampOnly) {
    value = Clamp(value, min, max);
    return;
  }
  UTIL_ASSERT_EXPR(min < max, "minMax[0] < minMax[1]",
                   "Trying to assign a minimum zoom distance that is larger than the maximum zoom distance.");
  limits[0] = min;
  limits[1] = max;
}

}  // namespace

Camera::Camera()
    : m_PhiLimits{-0.5f * kPi, 0.5f * kPi},
      m_EyeDamping(2.0f * std::sqrt(kEyeStiffness)),
      m_TargetDamping(2.0f * std::sqrt(kTargetStiffness)) {
  Reset();
}

void Camera::Reset() {
  m_Eye = m_EyeGoal = {0.0f, 0.0f, -1000.0f};
  m_Target = m_TargetGoal = m_FilteredTargetGoal = {0.0f, 0.0f, -1110.0f};
  m_EyeVelocity = m_TargetVelocity = m_Push = {};
  m_RepulsionMode = 0;
  m_PushForces.clear();
  StopFollowing();
  m_Theta = 0.5f * kPi;
  m_Phi = 1.0f;
  m_Zoom = 10.0f;
  m_ViewMode = kDefaultViewMode;
  m_DistanceSquared = -1.0f;
  // The first Update expresses the orbit in a basis already, so it is built from the start view.
  m_PublishedEye = m_Eye;
  m_PublishedTarget = m_Target;
  UpdateBasis();
}

void Camera::Update() {
  const float dt = static_cast<float>(std::min(Clock::Instance().FrameTime(), kMaxFrameMs) * 0.001);

  if (m_FollowedVisual) m_TargetGoal = m_FollowedVisual->Position();
  m_FilteredTargetGoal = m_TargetGoal;
  if (Game::GlobalStateData::Exists()) {
    const Game::GlobalStateData& state = Game::GlobalStateData::Instance();
    m_FilteredTargetGoal = state.FilterCameraTarget(m_TargetGoal);
    const std::vector<Util::Vec3>& forces = state.CameraForces();
    m_PushForces.insert(m_PushForces.end(), forces.begin(), forces.end());
  }

  m_Phi = Clamp(m_Phi, -kHardPhiLimit, kHardPhiLimit);
  const float flat = std::cos(m_Phi);
  m_EyeGoal =
      m_Target +
      (m_Side * (flat * std::cos(m_Theta)) + m_Up * std::sin(m_Phi) - m_Third * (flat * std::sin(m_Theta))) * m_Zoom;
  const float azimuthBefore = Azimuth(m_Eye - m_Target);

  Util::Vec3 acceleration = -m_EyeStiffness * (m_Eye - m_EyeGoal) - m_EyeDamping * m_EyeVelocity;
  Util::Vec3 force;
  for (const Util::Vec3& push : m_PushForces) force += push;
  m_PushForces.clear();
  m_Push = 0.7f * m_Push + 0.3f * force;
  if (m_RepulsionMode == 0) acceleration += m_Push;
  m_EyeVelocity += acceleration * dt;
  if (m_RepulsionMode == 0 && Util::LengthSquared(m_EyeVelocity) < 1.0f) m_EyeVelocity = {};
  m_Eye += m_EyeVelocity * dt;

  m_TargetVelocity +=
      (-m_TargetStiffness * (m_Target - m_FilteredTargetGoal) - m_TargetDamping * m_TargetVelocity) * dt;
  m_Target += m_TargetVelocity * dt;

  // The basis turns with the line of view; theta turns back by as much, so the goal stays put.
  m_Theta -= Wrap(Azimuth(m_Eye - m_Target) - azimuthBefore);

  m_PublishedEye = m_Eye;
  m_PublishedTarget = m_Target;
  UpdateBasis();
  m_DistanceSquared = Util::LengthSquared(m_Target - m_Eye);

  struct Info {
    int32_t kind;
    const Util::Vec3& value;
  };
  const Info infos[] = {{0, m_PublishedEye}, {1, m_PublishedTarget}, {3, m_Up}, {4, m_Side}, {2, m_Third}};
  for (const Info& info : infos) Msg::MailMan::Instance().Post(new Msg::cameraGetInfoMsg(info.kind, info.value));
}

void Camera::SetEyeGoal(const Util::Vec3& point) {
  m_EyeGoal = point;
  const Util::Vec3 offset = point - m_Target;
  const float length = Util::Length(offset);
  // On the target itself there is no direction: the angles stay, only the distance changes.
  if (length > 0.0f) {
    m_Theta = Azimuth(offset);
    m_Phi = std::asin(Clamp(Util::Dot(offset, m_Up) / length, -1.0f, 1.0f));
  }
  m_Zoom = length;
  m_Phi = Clamp(m_Phi, m_PhiLimits[0], m_PhiLimits[1]);
  m_Zoom = Clamp(m_Zoom, m_ZoomLimits[0], m_ZoomLimits[1]);
}

float Camera::Azimuth(const Util::Vec3& offset) const {
  return std::atan2(-Util::Dot(offset, m_Third), Util::Dot(offset, m_Side));
}

void Camera::UpdateBasis() {
  const Util::Vec3 side = Util::Normalize(Util::Cross(m_Target - m_Eye, m_Up));
  if (side == Util::Vec3{}) return;
  m_Side = side;
  m_Third = Util::Normalize(Util::Cross(m_Up, m_Side));
}

void Camera::Follow(Visual* visual) {
  m_FollowedVisual = visual;
  m_TargetGoal = visual->Position();
}

void Camera::StopFollowing() { m_FollowedVisual = nullptr; }

void Camera::ForgetVisual(const Visual* visual) {
  for (Camera* camera : Util::AutoList<Camera>::All())
    if (camera->m_FollowedVisual == visual) camera->StopFollowing();
}

void Camera::Receive(const Util::Handle<Msg::cameraSetModeMsg>& message) { m_RepulsionMode = message->m_Mode; }

void Camera::Receive(const Util::Handle<Msg::cameraRepulsiveMsg>& message) { m_PushForces.push_back(message->m_Force); }

// A jump turns the line of view at once; the basis turns with it, so that theta keeps its meaning.
// What jumps also stops: the spring it sets, so no earlier motion carries on past the jump.
void Camera::Receive(const Util::Handle<Msg::cameraSetPosTarVecImmediateMsg>& message) {
  m_EyeGoal = m_Eye = message->m_Position;
  m_TargetGoal = m_Target = message->m_Target;
  m_EyeVelocity = m_TargetVelocity = Util::Vec3{};
  UpdateBasis();
}

void Camera::Receive(const Util::Handle<Msg::cameraSetTarVecImmediateMsg>& message) {
  m_TargetGoal = m_Target = message->m_Target;
  m_TargetVelocity = Util::Vec3{};
  UpdateBasis();
}

void Camera::Receive(const Util::Handle<Msg::cameraSetPosVecImmediateMsg>& message) {
  m_EyeGoal = m_Eye = message->m_Position;
  m_EyeVelocity = Util::Vec3{};
  UpdateBasis();
}

void Camera::Receive(const Util::Handle<Msg::cameraPullBackMsg>&) {
  const Util::Vec3 direction = Util::Normalize(m_EyeGoal - m_TargetGoal);
  SetEyeGoal(m_TargetGoal + direction * kPullBackDistance);
}

void Camera::Receive(const Util::Handle<Msg::cameraUpdateThird>& message) {
  const float s = static_cast<float>(std::min(Clock::Instance().FrameTime(), kMaxFrameMs) * 0.001 * 1.2);
  m_Theta += s * message->m_Third.x;
  m_Phi -= s * message->m_Third.y;
  m_Zoom *= message->m_Third.z;
  m_Phi = Clamp(m_Phi, m_PhiLimits[0], m_PhiLimits[1]);
  m_Zoom = Clamp(m_Zoom, m_ZoomLimits[0], m_ZoomLimits[1]);
}

// A vector without a direction leaves the up axis as it was.
void Camera::Receive(const Util::Handle<Msg::cameraSetUpVecMsg>& message) {
  const Util::Vec3 up = Util::Normalize(message->m_Up);
  if (up == Util::Vec3{}) return;
  m_Up = up;
  UpdateBasis();
}

void Camera::Receive(const Util::Handle<Msg::cameraSetPhiMinMax>& message) {
  SetLimits(m_PhiLimits, m_Phi, message->m_Min, message->m_Max, message->m_Clamp);
}

void Camera::Receive(const Util::Handle<Msg::cameraSetZoomMinMax>& message) {
  SetLimits(m_ZoomLimits, m_Zoom, message->m_Min, message->m_Max, message->m_Clamp);
}

// The view vector runs from the eye to the target: the eye goal lies that far behind the target.
void Camera::Receive(const Util::Handle<Msg::cameraSetViewVecMsg>& message) { SetEyeGoal(m_Target - message->m_View); }

void Camera::Receive(const Util::Handle<Msg::cameraSetTargetPosVecMsg>& message) {
  StopFollowing();
  m_TargetGoal = m_Target = message->m_Target;
  UpdateBasis();
}

void Camera::Receive(const Util::Handle<Msg::cameraSetPosVecMsg>& message) { SetEyeGoal(message->m_Position); }

// An entity without a visual sends none: the camera then stops following and keeps its target goal.
void Camera::Receive(const Util::Handle<Msg::cameraSetTargetObjMsg>& message) {
  if (message->m_Visual)
    Follow(message->m_Visual);
  else
    StopFollowing();
}

}  // namespace Gfx
