// PhysComp: an entity's physics component, its body and collision hull.
//
// Owns its hull (a Collidable tree, or none) and, for a solid movable body (inverse mass not 0,
// not a ghost), the hull's particles with a velocity each. Reads and writes its owner's position,
// velocity, bounds (kept equal to the hull's) and touched list. Every component is on the
// registry of physics components while it lives and comes from the pool of its size; the owning
// entity deletes it and forwards its transform changes here: a translation when the entity moves,
// its rotation angles, a uniform scale ratio, and its velocity. Main thread only.
//
// The hull follows its entity: built from a definition it is placed at the entity's position,
// turned by its rotation and scaled by its x scale; it is kept turned to the orientation the
// entity's angles name (the shared Euler routine, about the entity's position), so that it and
// the entity's visual always agree. The particles follow every change made to the hull from
// outside the physics step.
//
// The motion: explicit Euler integration of the entity for a body without a hull and for a ghost;
// for a solid movable body, of its particles (velocity += acceleration × dt, damped by 0.99, then
// position += velocity × dt), after which the hull relaxes and adopts them. A body with
// `inverse_mass` 0 never moves; a solid movable one whose hull has no particles (a sphere or an
// axis-aligned box) does not move either. The contacts and the read-back are described with
// ResolveParticles and ReadBack; what they add to the design's response is what makes a landing
// body settle and keeps any body, however fast, from passing through another: particles stopped
// where their way entered a hull (the whole body when it would go deep), particles on a surface
// held while the box relaxes to its own shape, and a resting body kept exactly where it stood. PhysicsManager runs the
// step (PhysicsManager.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Util/Allocator.h"
#include "Util/AutoList.h"
#include "Util/Vec3.h"

namespace Game {
class Entity;
}
namespace Util {
class BinaryStream;
class XmlReader;
}  // namespace Util

namespace Phy {

class Collidable;

class PhysComp : public Util::AutoList<PhysComp>, public Util::Pooled<PhysComp> {
 public:
  // The mass of a body whose inverse mass is 0: the largest float.
  static constexpr float kLargestMass = 3.4028235e38f;
  static constexpr float kDefaultElasticity = 0.5f;

  // Mass 1, no hull, at rest.
  explicit PhysComp(Game::Entity* owner);
  // Copies the body's values (the ghost flag and the hull offset included) and a clone of the
  // hull, with fresh particles at rest; the copy has the same owner until SetOwner.
  PhysComp(const PhysComp& other);
  PhysComp& operator=(const PhysComp& other);
  ~PhysComp() override;

  // Built from the Physics element the reader stands on, for `owner`: null, with the reason in
  // `error`, when the element holds a value that is not a number or that no body can have.
  static PhysComp* FromDefinition(Game::Entity* owner, Util::XmlReader& reader, std::string& error);
  // The binary form: mass, inverse mass, elasticity, accel and hullOffset (floats), the ghost
  // byte, three bytes 0, a byte 1 when the hull record follows (HullIO.h), then that record.
  void Write(Util::BinaryStream& stream) const;
  // Reads what Write writes; null (nothing built) when the stream ends early or holds values no
  // body has.
  static PhysComp* Read(Util::BinaryStream& stream, Game::Entity* owner);

  Game::Entity* Owner() const { return m_Owner; }
  void SetOwner(Game::Entity* owner) { m_Owner = owner; }

  float Mass() const { return m_Mass; }
  float InverseMass() const { return m_InverseMass; }
  float Elasticity() const { return m_Elasticity; }
  bool IsGhost() const { return m_Ghost; }
  bool IsStepped() const { return m_Stepped; }
  // mass and inverse mass together: 1 / mass; 0 for an inverse mass of 0 gives the largest mass.
  void SetMass(float mass);
  void SetInverseMass(float inverseMass);
  void SetElasticity(float elasticity) { m_Elasticity = elasticity; }
  // Before the hull is given: a ghost has no particles.
  void SetGhost(bool ghost) { m_Ghost = ghost; }
  const Util::Vec3& HullOffset() const { return m_HullOffset; }

  const Collidable* Hull() const { return m_Hull; }
  virtual bool HasHull() const { return m_Hull != nullptr; }
  // Takes the shape over: it becomes the hull, joins the hull when that is a set, or forms a new
  // set with the old hull. The owner's bounds become the hull's and hullOffset the way from the
  // owner's position to the hull's centre. A null shape is a misuse, reported and ignored.
  void AddHull(Collidable* shape);
  // Replaces the hull (the old one is deleted unless it is the same shape) and, for a solid
  // movable body, takes the hull's particles, at rest.
  void SetHull(Collidable* shape);
  // Moves the hull so that its centre is hullOffset from the position.
  void MoveTo(const Util::Vec3& position);

  // What the entity forwards: its move, its new rotation angles (degrees), its scale ratio (one
  // that is not a positive number leaves the hull as it is: no hull shrinks to nothing) and its
  // velocity (every particle's).
  virtual void TranslateHull(const Util::Vec3& delta);
  virtual void RotateHull(const Util::Vec3& degrees);
  virtual void ScaleHull(float ratio);
  virtual void SetVelocity(const Util::Vec3& velocity);
  // The same under the design's names: Rotate turns to the angles, Scale by the largest of the
  // three components (x over y, z over the winner on ties).
  void Rotate(const Util::Vec3& degrees) { RotateHull(degrees); }
  void Scale(const Util::Vec3& v);

  const Util::Vec3& GetAccel() const { return m_Accel; }
  const Util::Vec3& GetAccelOnce() const { return m_AccelOnce; }
  Util::Vec3 GetTotalAccel() const { return m_Accel + m_AccelOnce; }
  void SetAccel(const Util::Vec3& a) { m_Accel = a; }
  void SetAccelOnce(const Util::Vec3& a) { m_AccelOnce = a; }
  void AddAccel(const Util::Vec3& a) { m_Accel += a; }
  void AddAccelOnce(const Util::Vec3& a) { m_AccelOnce += a; }
  void AddForce(const Util::Vec3& f) { m_Accel += f * m_InverseMass; }
  void AddForceOnce(const Util::Vec3& f) { m_AccelOnce += f * m_InverseMass; }
  void SetForce(const Util::Vec3& f) { m_Accel = f * m_InverseMass; }
  void SetForceOnce(const Util::Vec3& f) { m_AccelOnce = f * m_InverseMass; }

  int32_t ParticleCount() const { return static_cast<int32_t>(m_ParticlePositions.size()); }
  const Util::Vec3* ParticlePositions() const { return m_ParticlePositions.data(); }
  const Util::Vec3* ParticleVelocities() const { return m_ParticleVelocities.data(); }

  // The step's parts, run by PhysicsManager.
  // One step of motion; nothing once stepped in this frame. True when it ran.
  bool Integrate(float dt);
  void ClearStepped() { m_Stepped = false; }
  // Pushes this body's particles out of the other's hull (nothing for a ghost hull, or without
  // particles) and answers the contact; `step` numbers the physics step.
  void ResolveParticles(PhysComp& other, float dt, uint32_t step);
  // True when a particle of this body crossed the other's hull during this step.
  bool PassedThrough(const PhysComp& other, float dt) const;
  // How far the body's particles went in a step of dt, on average (nothing for a body without).
  Util::Vec3 Travel(float dt) const;
  // After the contacts: the hull takes its shape from the particles and the owner follows it, or
  // the body rests (see PhysicsManager.h).
  void ReadBack(uint32_t step);
  // Whether another body's touched list may name this one's owner (so that it is struck off
  // when the owner goes).
  void MarkListed() { m_Listed = true; }

  // True when the particles match the hull's count, every value is a number, and the inverse
  // mass and mass agree.
  bool Validate() const;

 private:
  // The rule by which shapes join a hull: the first is the hull, later ones join it when it is a
  // set, or form a new set with it.
  static void Join(Collidable*& hull, Collidable* shape);
  void CopyBody(const PhysComp& other);
  void FreeParticles();
  // The owner's bounds become the hull's.
  void FitOwnerBounds();
  void TranslateAll(const Util::Vec3& delta);
  // The particles take the hull's shape again after a change from outside the step, and the
  // hull as it now stands is where a resting body goes back to.
  void SyncParticles();
  void Settle();
  // The thinnest side of the hull's boxes, from their particles (eight to a box).
  void MeasureThinnest();

  Game::Entity* m_Owner;
  float m_Mass = 1.0f;
  float m_InverseMass = 1.0f;
  float m_Elasticity = kDefaultElasticity;
  Util::Vec3 m_Accel;
  Util::Vec3 m_HullOffset;
  bool m_Ghost = false;
  bool m_Stepped = false;
  Collidable* m_Hull = nullptr;
  Util::Vec3 m_AccelOnce;
  std::vector<Util::Vec3> m_ParticlePositions;
  std::vector<Util::Vec3> m_ParticleVelocities;

  Util::Mat3 m_Turned;                    // the rotation the hull has been given
  uint32_t m_SupportedIn = ~0u;           // the step in which a particle last rested on something
  float m_Thinnest = 0.0f;                // the thinnest side of the hull's boxes
  std::unique_ptr<Collidable> m_Settled;  // the hull as it last stood still: a resting body goes back to it
  std::vector<uint8_t> m_Held;            // the particles that met another hull in this step
  bool m_Listed = false;
};

}  // namespace Phy
