// CollidableSet: a composite shape (type 3) that owns its children, any shapes, sets included.
// It collides with what any child collides with, contains what any child contains, and its
// particles are its children's, one slice after another in child order.
#pragma once

#include <vector>

#include "Physics/AABB.h"

namespace Phy {

class CollidableSet : public Collidable {
 public:
  CollidableSet() = default;
  CollidableSet(const CollidableSet& other);
  CollidableSet& operator=(const CollidableSet&) = delete;
  ~CollidableSet() override { RemoveAll(); }

  Collidable* Clone() const override { return new CollidableSet(*this); }
  bool CopyFrom(const Collidable& other) override;
  int32_t GetType() const override { return kTypeSet; }
  AABB GetBounds() const override;
  // The child at the index; null out of range.
  Collidable* GetChild(int32_t index) override;
  const Collidable* Child(int32_t index) const { return m_Children[static_cast<size_t>(index)]; }
  int32_t GetChildCount() const override { return static_cast<int32_t>(m_Children.size()); }
  // Appends the shape (a null shape is a misuse, reported and refused).
  bool Add(Collidable* shape) override;
  void RemoveChild(int32_t index) override;
  void RemoveAll() override;
  bool IsSet() const override { return true; }

  Util::Vec3 GetCenter() const override;
  int32_t GetParticleCount() const override { return m_ParticleCount; }
  void WriteParticles(Util::Vec3* points) const override;
  void ReadParticles(Util::Vec3* points, const uint8_t* held = nullptr) override;
  void PushOut(const Util::Vec3& from, Util::Vec3& point) const override;
  void PushToNearestFace(Util::Vec3& point) const override;
  bool SegmentEnters(const Util::Vec3& from, const Util::Vec3& to, float& t) const override;
  void Translate(const Util::Vec3& d) override;
  void Scale(float factor) override;
  void Place(const Util::Vec3& center, const Util::Vec3& degrees) override;
  void Turn(const Util::Mat3& rotation, const Util::Vec3& pivot) override;
  bool ContainsPoint(const Util::Vec3& p) const override;
  bool Collides(const Collidable& other) const override { return other.CollidesWithSet(*this); }
  bool CollidesWithHeightMap(const HeightMap& other) const override;
  bool CollidesWithOBB(const OBB& other) const override;
  bool CollidesWithAABB(const AABB& other) const override;
  bool CollidesWithSphere(const Sphere& other) const override;
  bool CollidesWithSet(const CollidableSet& other) const override;
  void Write(Util::BinaryStream& stream) const override;
  bool Validate() const override;

 private:
  int32_t m_ParticleCount = 0;
  std::vector<Collidable*> m_Children;
};

}  // namespace Phy
