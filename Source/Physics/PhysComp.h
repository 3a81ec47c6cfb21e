// PhysComp: an entity's physics component, its body and collision hull.
//
// Every component is on the registry of physics components while it lives and comes from the
// pool of its size. The owning entity deletes it and forwards its transform changes here: a
// translation of the hull when the entity moves, a rotation by angles in degrees, a uniform scale
// by a ratio, and the velocity. The body, the hull and the step come with the physics system;
// until then there is no hull and the forwarded changes have nothing to act on. Main thread only.
#pragma once

#include "Util/Allocator.h"
#include "Util/AutoList.h"
#include "Util/Vec3.h"

namespace Game {
class Entity;
}

namespace Phy {

class PhysComp : public Util::AutoList<PhysComp>, public Util::Pooled<PhysComp> {
 public:
  explicit PhysComp(Game::Entity* owner) : m_Owner(owner) {}
  ~PhysComp() override = default;
  PhysComp(const PhysComp&) = delete;
  PhysComp& operator=(const PhysComp&) = delete;

  Game::Entity* Owner() const { return m_Owner; }

  virtual bool HasHull() const { return false; }
  virtual void TranslateHull(const Util::Vec3& d);
  virtual void RotateHull(const Util::Vec3& degrees);
  virtual void ScaleHull(float ratio);
  virtual void SetVelocity(const Util::Vec3& velocity);

 private:
  Game::Entity* m_Owner;
};

}  // namespace Phy
