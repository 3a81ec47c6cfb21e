#include "Physics/CollidableSet.h"

#include "Physics/HeightMap.h"
#include "Physics/OBB.h"
#include "Physics/Sphere.h"
#include "Util/Assert.h"
#include "Util/BinaryStream.h"

namespace Phy {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Physics\\phys_collidable_set";

}  // namespace

using Util::Vec3;

CollidableSet::CollidableSet(const CollidableSet& other) : Collidable(other) {
  for (const Collidable* child : other.m_Children) Add(child->Clone());
}

bool CollidableSet::CopyFrom(const Collidable& other) {
  if (other.GetType() != kTypeSet) return false;
  const auto& set = static_cast<const CollidableSet&>(other);
  if (set.GetChildCount() != GetChildCount()) return false;
  for (int32_t i = 0; i < GetChildCount(); ++i)
    if (set.Child(i)->GetType() != Child(i)->GetType()) return false;
  for (int32_t i = 0; i < GetChildCount(); ++i) m_Children[static_cast<size_t>(i)]->CopyFrom(*set.Child(i));
  return true;
}

Collidable* CollidableSet::GetChild(int32_t index) {
  return index >= 0 && index < GetChildCount() ? m_Children[static_cast<size_t>(index)] : nullptr;
}

bool CollidableSet::Add(Collidable* shape) {
  if (!UTIL_ASSERT(shape != nullptr, "Null object being added to a collidable set")) return false;
  m_Children.push_back(shape);
  m_ParticleCount += shape->GetParticleCount();
  return true;
}

void CollidableSet::RemoveChild(int32_t index) {
  if (index < 0 || index >= GetChildCount()) return;
  Collidable* child = m_Children[static_cast<size_t>(index)];
  m_ParticleCount -= child->GetParticleCount();
  m_Children.erase(m_Children.begin() + index);
  delete child;
}

void CollidableSet::RemoveAll() {
  for (Collidable* child : m_Children) delete child;
  m_Children.clear();
  m_ParticleCount = 0;
}

AABB CollidableSet::GetBounds() const {
  if (m_Children.empty()) return AABB();
  AABB bounds = m_Children.front()->GetBounds();
  for (const Collidable* child : m_Children) bounds = bounds.Union(child->GetBounds());
  return bounds;
}

Vec3 CollidableSet::GetCenter() const {
  Vec3 sum;
  for (const Collidable* child : m_Children) sum += child->GetCenter();
  return m_Children.empty() ? sum : sum * (1.0f / static_cast<float>(m_Children.size()));
}

void CollidableSet::WriteParticles(Vec3* points) const {
  for (const Collidable* child : m_Children) {
    child->WriteParticles(points);
    points += child->GetParticleCount();
  }
}

void CollidableSet::ReadParticles(Vec3* points, const uint8_t* held) {
  for (Collidable* child : m_Children) {
    child->ReadParticles(points, held);
    points += child->GetParticleCount();
    if (held) held += child->GetParticleCount();
  }
}

void CollidableSet::PushOut(const Vec3& from, Vec3& point) const {
  for (const Collidable* child : m_Children)
    if (child->ContainsPoint(point)) child->PushOut(from, point);
}

void CollidableSet::PushToNearestFace(Vec3& point) const {
  for (const Collidable* child : m_Children)
    if (child->ContainsPoint(point)) child->PushToNearestFace(point);
}

bool CollidableSet::SegmentEnters(const Vec3& from, const Vec3& to, float& t) const {
  bool enters = false;
  for (const Collidable* child : m_Children) {
    float childT = 0.0f;
    if (child->SegmentEnters(from, to, childT) && (!enters || childT < t)) {
      t = childT;
      enters = true;
    }
  }
  return enters;
}

void CollidableSet::Translate(const Vec3& d) {
  for (Collidable* child : m_Children) child->Translate(d);
}

void CollidableSet::Scale(float factor) {
  for (Collidable* child : m_Children) child->Scale(factor);
}

void CollidableSet::Place(const Vec3& center, const Vec3& degrees) {
  for (Collidable* child : m_Children) child->Place(center, degrees);
}

void CollidableSet::Turn(const Util::Mat3& rotation, const Vec3& pivot) {
  for (Collidable* child : m_Children) child->Turn(rotation, pivot);
}

bool CollidableSet::ContainsPoint(const Vec3& p) const {
  for (const Collidable* child : m_Children)
    if (child->ContainsPoint(p)) return true;
  return false;
}

bool CollidableSet::CollidesWithHeightMap(const HeightMap& other) const {
  for (const Collidable* child : m_Children)
    if (child->CollidesWithHeightMap(other)) return true;
  return false;
}

bool CollidableSet::CollidesWithOBB(const OBB& other) const {
  for (const Collidable* child : m_Children)
    if (child->CollidesWithOBB(other)) return true;
  return false;
}

bool CollidableSet::CollidesWithAABB(const AABB& other) const {
  for (const Collidable* child : m_Children)
    if (child->CollidesWithAABB(other)) return true;
  return false;
}

bool CollidableSet::CollidesWithSphere(const Sphere& other) const {
  for (const Collidable* child : m_Children)
    if (child->CollidesWithSphere(other)) return true;
  return false;
}

bool CollidableSet::CollidesWithSet(const CollidableSet& other) const {
  for (const Collidable* mine : m_Children)
    for (const Collidable* theirs : other.m_Children)
      if (mine->Collides(*theirs)) return true;
  return false;
}

// The children's records go from the last child to the first.
void CollidableSet::Write(Util::BinaryStream& stream) const {
  stream.Write(static_cast<int32_t>(kTypeSet));
  stream.Write(GetChildCount());
  for (auto child = m_Children.rbegin(); child != m_Children.rend(); ++child) (*child)->Write(stream);
}

bool CollidableSet::Validate() const {
  int32_t particles = 0;
  for (const Collidable* child : m_Children) {
    if (!child || !child->Validate()) return false;
    particles += child->GetParticleCount();
  }
  return particles == m_ParticleCount;
}

}  // namespace Phy
