#include "Physics/PhysComp.h"

#include <algorithm>
#include <cmath>

#include "Game/Entity.h"
#include "Physics/CollidableSet.h"
#include "Physics/Geometry.h"
#include "Physics/HullIO.h"
#include "Util/Assert.h"
#include "Util/BinaryStream.h"

namespace Phy {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Physics\\phys_physcomp";

using Util::Vec3;

constexpr float kMoving = 0.01f;         // squared speed or acceleration below which a body is at rest
constexpr float kDamping = 0.99f;        // particle velocity kept each step
constexpr float kRestDistance = 0.005f;  // squared distance a resting body may have moved
constexpr float kDriveIn = 0.0125f;      // share of a step's travel beyond which a body drives into another
constexpr float kThrowOut = 2.25f;       // penetrations a driving particle is thrown out further
constexpr float kDeepest = 0.25f;        // share of its thinnest side a body may go into another in a step
constexpr float kInside = -1.0f;         // a particle that was inside already
constexpr float kMissed = -2.0f;         // a particle that touches nothing

// Takes away the part of a velocity that goes along n (a unit vector into what was hit).
void StopInward(Vec3& w, const Vec3& n) {
  const float inward = Util::Dot(w, n);
  if (inward > 0.0f) w -= n * inward;
}

bool Finite(float v) { return std::isfinite(v); }

}  // namespace

PhysComp::PhysComp(Game::Entity* owner) : m_Owner(owner) {}

void PhysComp::Join(Collidable*& hull, Collidable* shape) {
  if (!hull) {
    hull = shape;
  } else if (hull->IsSet()) {
    hull->Add(shape);
  } else {
    auto* set = new CollidableSet();
    set->Add(hull);
    set->Add(shape);
    hull = set;
  }
}

PhysComp::PhysComp(const PhysComp& other) : AutoList(other), Pooled(other), m_Owner(other.m_Owner) {
  CopyBody(other);
  if (other.m_Hull) SetHull(other.m_Hull->Clone());
}

PhysComp& PhysComp::operator=(const PhysComp& other) {
  if (this == &other) return *this;
  CopyBody(other);
  FreeParticles();
  delete m_Hull;
  m_Hull = nullptr;
  if (other.m_Hull) SetHull(other.m_Hull->Clone());
  return *this;
}

// The ghost flag and the hull offset go with the body: a copy of a ghost is a ghost, and its hull
// sits where the original's does relative to its entity.
void PhysComp::CopyBody(const PhysComp& other) {
  m_Mass = other.m_Mass;
  m_InverseMass = other.m_InverseMass;
  m_Elasticity = other.m_Elasticity;
  m_Accel = other.m_Accel;
  m_HullOffset = other.m_HullOffset;
  m_AccelOnce = other.m_AccelOnce;
  m_Ghost = other.m_Ghost;
  m_Stepped = false;
  m_Turned = other.m_Turned;
}

PhysComp::~PhysComp() {
  delete m_Hull;
  // Touched lists outlive the step that filled them: none may keep naming this entity.
  if (!m_Listed || !m_Owner) return;
  for (PhysComp* other : AutoList<PhysComp>::All()) {
    if (other == this || !other->m_Owner) continue;
    std::vector<Game::Entity*>& touched = other->m_Owner->Touched();
    touched.erase(std::remove(touched.begin(), touched.end(), m_Owner), touched.end());
  }
}

void PhysComp::SetMass(float mass) {
  m_Mass = mass;
  m_InverseMass = 1.0f / mass;
}

void PhysComp::SetInverseMass(float inverseMass) {
  m_InverseMass = inverseMass;
  m_Mass = inverseMass == 0.0f ? kLargestMass : std::min(1.0f / inverseMass, kLargestMass);
}

void PhysComp::FreeParticles() {
  m_ParticlePositions.clear();
  m_ParticleVelocities.clear();
  m_Held.clear();
}

void PhysComp::FitOwnerBounds() {
  if (m_Owner && m_Hull) m_Owner->SetBounds(m_Hull->GetBounds());
}

void PhysComp::SyncParticles() {
  if (!m_ParticlePositions.empty()) m_Hull->WriteParticles(m_ParticlePositions.data());
}

void PhysComp::TranslateAll(const Vec3& delta) {
  m_Hull->Translate(delta);
  for (Vec3& p : m_ParticlePositions) p += delta;
  if (m_Settled) m_Settled->Translate(delta);
}

void PhysComp::AddHull(Collidable* shape) {
  if (!UTIL_ASSERT_EXPR(shape != nullptr, "toAdd", "Adding a Null Collidable to a Physics Component")) return;
  Collidable* hull = m_Hull;
  Join(hull, shape);
  m_Hull = nullptr;  // the joined hull keeps every shape of the old one
  SetHull(hull);
  FitOwnerBounds();
  m_HullOffset = m_Hull->GetCenter() - (m_Owner ? m_Owner->GetPosition() : Vec3{});
}

void PhysComp::SetHull(Collidable* shape) {
  if (shape != m_Hull) delete m_Hull;
  m_Hull = shape;
  m_Settled.reset();
  if (!m_Hull || m_InverseMass == 0.0f || m_Ghost) {
    FreeParticles();
    return;
  }
  const size_t count = static_cast<size_t>(m_Hull->GetParticleCount());
  m_ParticlePositions.resize(count);
  m_ParticleVelocities.assign(count, Vec3{});
  m_Held.assign(count, 0);
  m_Hull->WriteParticles(m_ParticlePositions.data());
  MeasureThinnest();
  Settle();
}

void PhysComp::Settle() {
  if (m_ParticlePositions.empty()) return;
  if (!m_Settled || !m_Settled->CopyFrom(*m_Hull)) m_Settled.reset(m_Hull->Clone());
}

void PhysComp::MeasureThinnest() {
  m_Thinnest = 0.0f;
  for (size_t box = 0; box + 8 <= m_ParticlePositions.size(); box += 8) {
    const Vec3* p = &m_ParticlePositions[box];
    for (int corner : {1, 3, 4}) {
      const float side = Util::Length(p[corner] - p[0]);
      m_Thinnest = box == 0 && corner == 1 ? side : std::min(m_Thinnest, side);
    }
  }
}

void PhysComp::MoveTo(const Vec3& position) {
  if (m_Hull) TranslateAll(position + m_HullOffset - m_Hull->GetCenter());
}

void PhysComp::TranslateHull(const Vec3& delta) {
  if (m_Hull) TranslateAll(delta);
}

// The hull turns from the orientation it was last given to the one the angles name, about the
// owner's position, so that repeated angles leave it where it is.
void PhysComp::RotateHull(const Vec3& degrees) {
  if (!m_Hull) return;
  const Util::Mat3 target = Util::Mat3::FromEulerDegrees(degrees);
  const Vec3 pivot = m_Owner ? m_Owner->GetPosition() : Vec3{};
  m_Hull->Turn(target * Geometry::Transposed(m_Turned), pivot);
  m_Turned = target;
  SyncParticles();
  Settle();
  m_HullOffset = m_Hull->GetCenter() - pivot;
  FitOwnerBounds();
}

void PhysComp::ScaleHull(float ratio) {
  if (!m_Hull || !(ratio > 0.0f) || !std::isfinite(ratio)) return;
  m_Hull->Scale(ratio);
  SyncParticles();
  MeasureThinnest();
  Settle();
  FitOwnerBounds();
}

void PhysComp::Scale(const Vec3& v) {
  float largest = v.y > v.x ? v.y : v.x;
  if (v.z >= largest) largest = v.z;
  ScaleHull(largest);
}

void PhysComp::SetVelocity(const Vec3& velocity) {
  std::fill(m_ParticleVelocities.begin(), m_ParticleVelocities.end(), velocity);
}

bool PhysComp::Integrate(float dt) {
  if (m_Stepped) return false;
  m_Stepped = true;
  const Vec3 a = GetTotalAccel();
  m_AccelOnce = Vec3{};
  if (m_InverseMass == 0.0f || !m_Owner) return true;  // immovable
  const Vec3 v = m_Owner->GetVelocity();
  if (!m_Hull || m_Ghost) {
    // A point, or a ghost carrying its hull: the position moves with the old velocity.
    if (m_Hull) m_Hull->Translate(v * dt);
    m_Owner->SetPositionOnly(m_Owner->GetPosition() + v * dt);
    m_Owner->SetVelocityOnly(v + a * dt);
    return true;
  }
  if (m_ParticlePositions.empty() || (Util::LengthSquared(v) < kMoving && Util::LengthSquared(a) < kMoving))
    return true;
  m_Hull->WriteParticles(m_ParticlePositions.data());
  std::fill(m_Held.begin(), m_Held.end(), 0);
  for (size_t i = 0; i < m_ParticlePositions.size(); ++i) {
    Vec3& w = m_ParticleVelocities[i];
    w += a * dt;
    w *= kDamping;
    m_ParticlePositions[i] += w * dt;
  }
  m_Hull->ReadParticles(m_ParticlePositions.data());
  SyncParticles();
  return true;
}

// A particle's way this step is taken relative to the other hull, which may have moved too. A
// particle that entered the other hull during this step is stopped where its way entered (found
// exactly, however fast and thin the hull: nothing passes through) and loses its speed into the
// surface; a particle inside by no more than the resting distance counts as on the surface; one
// that was deeper inside already is pushed out as the design says. When a particle would have
// gone deeper than a quarter of the body's thinnest side, the whole body goes back to the moment
// its first particle touched and stops going that way, so that a fast body is stopped whole rather
// than flattened against the surface. Particles that touched are held while the box relaxes.
// A penetration within the resting distance is a resting contact: the particle loses its speed
// into the surface and no push is passed on. A deeper one is answered as the design says: driving
// in, a particle that was inside already is thrown out a further 2.25 penetrations (and let go,
// so that the box is not thrown with it), the particle loses its speed into the surface, and both
// bodies get the push, each particle passing on its share of its body's (the whole push for each
// of a face's four corners returned a landing body faster than it came); grazing on a mostly
// vertical contact, friction and a bounce.
void PhysComp::ResolveParticles(PhysComp& other, float dt, uint32_t step) {
  if (m_ParticlePositions.empty() || other.m_Ghost || !other.m_Hull || !m_Owner) return;
  const Collidable& hull = *other.m_Hull;
  const size_t count = m_ParticlePositions.size();
  // Each particle's way this step, and where along it (0 to 1) it entered the hull; kInside
  // when it was inside before the step and still is, kMissed when it touches nothing.
  static std::vector<Vec3> start, end;
  static std::vector<float> entry;
  start.resize(count);
  end.assign(m_ParticlePositions.begin(), m_ParticlePositions.end());
  entry.assign(count, kMissed);
  float first = 1.0f, deepest = 0.0f;
  const Vec3 carried = other.Travel(dt);
  for (size_t i = 0; i < count; ++i) {
    start[i] = end[i] - m_ParticleVelocities[i] * dt + carried;
    float t = 0.0f;
    if (hull.ContainsPoint(start[i])) {
      // Inside by no more than the resting distance (a resting particle, but for rounding): it
      // starts on the surface. Deeper, it was inside already.
      Vec3 out = start[i];
      hull.PushToNearestFace(out);
      if (Util::LengthSquared(out - start[i]) > kRestDistance) {
        if (hull.ContainsPoint(end[i])) entry[i] = kInside;
        continue;
      }
      start[i] = out;
    }
    if (hull.SegmentEnters(start[i], end[i], t)) {
      entry[i] = t;
      first = std::min(first, t);
      deepest = std::max(deepest, Util::LengthSquared(end[i] - start[i]) * (1.0f - t) * (1.0f - t));
    }
  }
  const bool rewind = deepest > kDeepest * kDeepest * m_Thinnest * m_Thinnest;
  if (rewind) {
    // The whole body stops where it first touched: none of it goes on into the hull.
    size_t toucher = 0;
    while (entry[toucher] != first) ++toucher;
    const Vec3 way = Util::Normalize(end[toucher] - start[toucher]);
    for (Vec3& w : m_ParticleVelocities) StopInward(w, way);
  }

  const float e = m_Elasticity * other.m_Elasticity;
  const float k = 1.0f / dt;
  const float share = 1.0f / static_cast<float>(count);
  const Vec3 u = m_Owner->GetVelocity();
  for (size_t i = 0; i < count; ++i) {
    Vec3& p = m_ParticlePositions[i];
    Vec3& w = m_ParticleVelocities[i];
    if (rewind) p = start[i] + (end[i] - start[i]) * first;  // the ways were taken before the stop
    const bool entered = entry[i] >= 0.0f;
    if (entry[i] == kMissed || (rewind && entered && entry[i] > first)) continue;
    Vec3 s = p;
    if (entered) {
      p = start[i] + (end[i] - start[i]) * entry[i];
      s = end[i];
    } else {
      hull.PushOut(start[i], p);
    }
    m_Held[i] = 1;
    const Vec3 d = s - p;
    const float depth = Util::LengthSquared(d);
    if (!(depth > 0.0f)) continue;
    const Vec3 n = d * (1.0f / std::sqrt(depth));
    const bool vertical = d.x * d.x + d.z * d.z < d.y * d.y;
    if (vertical && d.y < 0.0f) m_SupportedIn = step;
    const float along = Util::Dot(d, u);
    if (depth <= kRestDistance) {
      StopInward(w, n);
    } else if (along > Util::LengthSquared(u) * dt * kDriveIn) {
      if (!entered) {
        p -= d * kThrowOut;
        m_Held[i] = 0;  // thrown clear: relaxation may draw it back
      }
      StopInward(w, n);
      m_AccelOnce += d * (-k * m_InverseMass * share);
      other.m_AccelOnce += d * (k * other.m_InverseMass * share);
    } else if (along > 0.0f && vertical) {
      m_AccelOnce += u * (-dt * m_InverseMass * share);
      w *= -e;
    } else if (entered) {
      StopInward(w, n);
    }
  }
}

bool PhysComp::PassedThrough(const PhysComp& other, float dt) const {
  if (!other.m_Hull) return false;
  const Vec3 carried = other.Travel(dt);
  for (size_t i = 0; i < m_ParticlePositions.size(); ++i) {
    float t = 0.0f;
    const Vec3& p = m_ParticlePositions[i];
    if (other.m_Hull->SegmentEnters(p - m_ParticleVelocities[i] * dt + carried, p, t)) return true;
  }
  return false;
}

Vec3 PhysComp::Travel(float dt) const {
  Vec3 sum;
  for (const Vec3& w : m_ParticleVelocities) sum += w;
  return m_ParticleVelocities.empty() ? sum : sum * (dt / static_cast<float>(m_ParticleVelocities.size()));
}

// The hull takes the particles' shape. A body rests when nothing pushed it up or down this step,
// it stands on something, and its hull moved less than the resting distance: it keeps its place
// (its hull goes back to where it last stood still, turned as it was, so that resting bodies do
// not creep) and its particles stop. Otherwise its entity follows the hull.
void PhysComp::ReadBack(uint32_t step) {
  if (m_ParticlePositions.empty() || !m_Hull || !m_Owner) return;
  m_Hull->ReadParticles(m_ParticlePositions.data(), m_Held.data());
  SyncParticles();
  std::fill(m_Held.begin(), m_Held.end(), 0);
  Vec3 average;
  for (const Vec3& w : m_ParticleVelocities) average += w;
  average *= 1.0f / static_cast<float>(m_ParticleVelocities.size());
  const Vec3 p = m_Hull->GetCenter() - m_HullOffset;
  const Vec3& position = m_Owner->GetPosition();
  if (m_AccelOnce.y != 0.0f || Util::LengthSquared(p - position) > kRestDistance || m_SupportedIn != step) {
    m_Owner->SetPositionOnly(p);
    m_Owner->SetVelocityOnly(average);
    Settle();
    FitOwnerBounds();
    return;
  }
  if (m_Settled && m_Hull->CopyFrom(*m_Settled)) {
    SyncParticles();
  } else {
    TranslateAll(position - p);
  }
  std::fill(m_ParticleVelocities.begin(), m_ParticleVelocities.end(), Vec3{});
}

void PhysComp::Write(Util::BinaryStream& stream) const {
  const float scalars[] = {m_Mass, m_InverseMass, m_Elasticity};
  stream.WriteArray(scalars, 3);
  stream.Write(m_Accel);
  stream.Write(m_HullOffset);
  const uint8_t flags[] = {static_cast<uint8_t>(m_Ghost), 0, 0, 0, static_cast<uint8_t>(m_Hull != nullptr)};
  stream.WriteArray(flags, 5);
  if (m_Hull) WriteHull(stream, m_Hull);
}

PhysComp* PhysComp::Read(Util::BinaryStream& stream, Game::Entity* owner) {
  float scalars[3] = {};
  Vec3 accel, offset;
  uint8_t flags[5] = {};
  stream.ReadArray(scalars, 3);
  stream.Read(accel);
  stream.Read(offset);
  stream.ReadArray(flags, 5);
  if (stream.Failed() || !Finite(scalars[0]) || !Finite(scalars[1]) || !Finite(scalars[2]) ||
      !Geometry::Finite(accel) || !Geometry::Finite(offset) || !(scalars[0] > 0.0f) || scalars[1] < 0.0f ||
      flags[0] > 1 || flags[4] > 1)
    return nullptr;
  Collidable* hull = nullptr;
  if (flags[4] && !ReadHull(stream, hull)) return nullptr;
  auto* body = new PhysComp(owner);
  body->m_Mass = scalars[0];
  body->m_InverseMass = scalars[1];
  body->m_Elasticity = scalars[2];
  body->m_Accel = accel;
  body->m_Ghost = flags[0] != 0;
  if (hull) body->AddHull(hull);
  body->m_HullOffset = offset;
  return body;
}

bool PhysComp::Validate() const {
  if (m_ParticlePositions.size() != m_ParticleVelocities.size()) return false;
  const bool particles = m_Hull && m_InverseMass != 0.0f && !m_Ghost;
  if (m_ParticlePositions.size() != (particles ? static_cast<size_t>(m_Hull->GetParticleCount()) : 0u)) return false;
  for (size_t i = 0; i < m_ParticlePositions.size(); ++i)
    if (!Geometry::Finite(m_ParticlePositions[i]) || !Geometry::Finite(m_ParticleVelocities[i])) return false;
  if (!Geometry::Finite(m_Accel) || !Geometry::Finite(m_AccelOnce) || !Geometry::Finite(m_HullOffset)) return false;
  const bool massAgrees =
      m_InverseMass == 0.0f ? m_Mass == kLargestMass : std::fabs(m_Mass * m_InverseMass - 1.0f) < 1e-4f;
  return m_InverseMass >= 0.0f && massAgrees && (!m_Hull || m_Hull->Validate());
}

}  // namespace Phy
