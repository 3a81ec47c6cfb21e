// Camera: the game's one view camera. Orbits a target point in spherical coordinates about its up
// axis; the eye and the target follow their goals on damped springs, so every change of view is
// smooth unless an immediate message asks for a jump. The target may follow a visual.
//
// Owned by the graphics facade, which resets it at start-up and calls Update once per frame in its
// rendering step; the renderer reads the published eye, target and basis. Reads the frame time of
// the clock, the followed visual's position and the game state's target filter and camera forces.
// Handles the camera messages (jumps, pull-back, steering, up vector, limits, view vector, target
// position and object, mode, repulsion forces) during delivery, and posts five cameraGetInfoMsg at
// the end of every Update: kinds 0 eye, 1 target, 3 up, 4 side, 2 third, in that order.
//
// Angles in radians, distances in world units. The orbit is expressed in the camera's own frame:
// x along side, y along up, z back from the target towards the eye (the opposite of third), so
// theta π/2 and phi 0 put the eye straight behind the target on the current line of view. The frame
// turns with the line of view (every Update and every jump) and theta turns back by as much, so the
// eye goal stays where it is in the world while the eye swings towards it.
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "Messaging/MailBox.h"
#include "Util/AutoList.h"
#include "Util/Vec3.h"

namespace Gfx {

class Visual;

class Camera : public Msg::MailBox, public Util::AutoList<Camera> {
 public:
  // Spring constants: the eye critically damped, the target five times stiffer.
  static constexpr float kEyeStiffness = 20.0f;
  static constexpr float kTargetStiffness = 5.0f * kEyeStiffness;
  // Hard elevation range, in addition to the phi limits: the eye never reaches the up axis.
  static constexpr float kHardPhiLimit = 1.2f;
  // Longest frame the springs integrate, in milliseconds; a stall never throws them far off.
  static constexpr double kMaxFrameMs = 50.0;
  // Distance from the target goal to which a pull-back puts the eye goal.
  static constexpr float kPullBackDistance = 12.0f;
  // The game's view mode; the only one there is.
  static constexpr int32_t kDefaultViewMode = 1;

  Camera();
  ~Camera() override = default;

  // Start-up values: eye and target in front of the start island, no motion, no followed visual.
  void Reset();
  // One frame of both springs, then publishes the view and posts the five info messages.
  void Update();

  // What the renderer reads after Update.
  const Util::Vec3& Eye() const { return m_PublishedEye; }
  const Util::Vec3& Target() const { return m_PublishedTarget; }
  const Util::Vec3& Up() const { return m_Up; }
  const Util::Vec3& Side() const { return m_Side; }
  const Util::Vec3& Third() const { return m_Third; }
  int32_t ViewMode() const { return m_ViewMode; }
  // Squared eye-to-target distance after the last Update; −1 before the first.
  float DistanceSquared() const { return m_DistanceSquared; }

  // The springs' state, for the editor and for checks.
  const Util::Vec3& CurrentEye() const { return m_Eye; }
  const Util::Vec3& EyeGoal() const { return m_EyeGoal; }
  const Util::Vec3& EyeVelocity() const { return m_EyeVelocity; }
  const Util::Vec3& CurrentTarget() const { return m_Target; }
  const Util::Vec3& TargetGoal() const { return m_TargetGoal; }
  float Theta() const { return m_Theta; }
  float Phi() const { return m_Phi; }
  float Zoom() const { return m_Zoom; }
  float PhiMin() const { return m_PhiLimits[0]; }
  float PhiMax() const { return m_PhiLimits[1]; }
  float ZoomMin() const { return m_ZoomLimits[0]; }
  float ZoomMax() const { return m_ZoomLimits[1]; }
  int32_t RepulsionMode() const { return m_RepulsionMode; }
  const Visual* FollowedVisual() const { return m_FollowedVisual; }
  // A visual that is going away (however its entity ends): a camera following it stops and keeps
  // the last target goal it had. Called by every visual's destructor.
  static void ForgetVisual(const Visual* visual);
  void Receive(const Util::Handle<Msg::cameraSetModeMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraRepulsiveMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetPosTarVecImmediateMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetTarVecImmediateMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetPosVecImmediateMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraPullBackMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraUpdateThird>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetUpVecMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetPhiMinMax>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetZoomMinMax>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetViewVecMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetTargetPosVecMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetPosVecMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraSetTargetObjMsg>& message) override;

 private:
  // Eye goal := point; theta, phi and zoom follow from it, then phi and zoom are held to their limits.
  void SetEyeGoal(const Util::Vec3& point);
  // The azimuth of an offset from the target in the current basis.
  float Azimuth(const Util::Vec3& offset) const;
  // side and third from the line of view; kept as they are when the view runs along up.
  void UpdateBasis();
  void Follow(Visual* visual);
  void StopFollowing();

  Util::Vec3 m_PublishedEye;
  Util::Vec3 m_PublishedTarget;
  Util::Vec3 m_Up{0.0f, 1.0f, 0.0f};
  Util::Vec3 m_Side;
  Util::Vec3 m_Third;
  int32_t m_ViewMode = kDefaultViewMode;
  Visual* m_FollowedVisual = nullptr;  // not owned
  float m_DistanceSquared = -1.0f;

  Util::Vec3 m_Eye;
  Util::Vec3 m_EyeGoal;
  Util::Vec3 m_EyeVelocity;
  float m_Theta = 0.0f;
  float m_Phi = 0.0f;
  float m_Zoom = 0.0f;
  float m_PhiLimits[2];
  float m_ZoomLimits[2] = {3.0f, 20000.0f};

  Util::Vec3 m_Target;
  Util::Vec3 m_TargetGoal;
  Util::Vec3 m_FilteredTargetGoal;
  Util::Vec3 m_TargetVelocity;

  Util::Vec3 m_Push;
  int32_t m_RepulsionMode = 0;
  std::vector<Util::Vec3> m_PushForces;  // this frame's; cleared, never freed, by Update

  float m_EyeStiffness = kEyeStiffness;
  float m_EyeDamping;
  float m_TargetStiffness = kTargetStiffness;
  float m_TargetDamping;
};

}  // namespace Gfx
