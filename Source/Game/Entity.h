// Entity: the one kind of game object. A name and an ID, the transform every system shares
// (position, rotation angles and matrix, scale, velocity, bounds), the entities it touched in the
// last physics step, and up to four components: a visual, a physics component, a script and a
// sound.
//
// The entity owns its components and deletes them with itself (visual, physics, script, sound);
// they point back at it without owning it. It has no behaviour and no update of its own: physics
// moves it, its script steers it, the renderer draws its visual. Entities are built from
// definition files (EntityDefinition.h) by the EntityManager, which owns them, or bare for a
// script. Every live entity is on the registry of entities and comes from the pool of its size.
//
// Moving an entity keeps its bounds and its physics hull with it and, when the bounds' corners
// change grid cells, asks the spatial grid (when there is one) to re-file it. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Physics/AABB.h"
#include "Util/Allocator.h"
#include "Util/AutoList.h"
#include "Util/Vec3.h"

namespace Gfx {
class Visual;
}
namespace Phy {
class PhysComp;
}
namespace Spt {
class Script;
}
namespace Snd {
class Sound;
}

namespace Game {

class Entity : public Util::AutoList<Entity>, public Util::Pooled<Entity> {
 public:
  // Built from a definition file; a file that cannot be opened gives an entity with no name and
  // no components (the XML layer reports it). Null reads nothing.
  explicit Entity(const char* definitionPath);
  // Bare: an ID, no name, no components, and every transform value zero.
  Entity();
  ~Entity() override;
  Entity(const Entity&) = delete;
  Entity& operator=(const Entity&) = delete;

  // Unique for the run: the first entity gets 2, each later one the next number.
  int32_t GetID() const { return m_ID; }
  // The entity with that ID while it lives, however it was built; null otherwise.
  static Entity* Live(int32_t id);
  // The full name, base name then ID ("Vine7"); "" for an entity without a name, never null.
  const char* GetName() const { return m_Name.c_str(); }
  // The full name becomes the base (null reads as "") followed by the ID.
  void Rename(const char* baseName);

  Gfx::Visual* GetVisual() const { return m_Visual; }
  Phy::PhysComp* GetPhysics() const { return m_Physics; }
  Spt::Script* GetScript() const { return m_Script; }
  Snd::Sound* GetSound() const { return m_Sound; }
  // For the builders of definition files: the entity takes the component over; one given while
  // another is held replaces it, and the earlier one is deleted.
  void SetVisual(Gfx::Visual* visual);
  void SetPhysics(Phy::PhysComp* physics);
  void SetScript(Spt::Script* script);
  void SetSound(Snd::Sound* sound);
  // The script component's flag; false without a script.
  bool ScriptFlag() const;

  const Util::Vec3& GetPosition() const { return m_Position; }
  // The angles in degrees last set; zero after a matrix was set directly.
  const Util::Vec3& GetRotation() const { return m_Rotation; }
  const Util::Mat3& GetRotationMatrix() const { return m_RotationMatrix; }
  const Util::Vec3& GetScale() const { return m_Scale; }
  const Util::Vec3& GetVelocity() const { return m_Velocity; }
  const Phy::AABB& GetBounds() const { return m_Bounds; }
  // The entities this one touched in the last physics step (not owned).
  std::vector<Entity*>& Touched() { return m_Touched; }

  // Moves the hull (when the physics component has one) and the bounds by the change, asks the
  // grid to re-file the entity when a corner of the bounds changed cells, and stores p.
  void SetPosition(const Util::Vec3& p);
  // Moves the bounds and stores p; for positions the grid already knows of.
  void SetPositionOnly(const Util::Vec3& p);
  // Angles in degrees: the hull (when there is one) turns to them, the matrix is rebuilt from
  // them, and the bounds follow the hull.
  void SetRotation(const Util::Vec3& degrees);
  // The matrix as given; the angles become zero.
  void SetRotationMatrix(const Util::Mat3& m);
  // The hull (when there is one) scales uniformly by new x / old x (the x ratio for all axes; not
  // at all from an old x of 0, which has no ratio), and the bounds follow it.
  void SetScale(const Util::Vec3& s);
  // The physics component gets the velocity too.
  void SetVelocity(const Util::Vec3& v);
  // Stores v alone; for the velocity physics has worked out itself.
  void SetVelocityOnly(const Util::Vec3& v) { m_Velocity = v; }
  void SetBounds(const Phy::AABB& b);

  // How many times this entity has asked the grid to re-file it (diagnostics and tests).
  uint32_t GridMoves() const { return m_GridMoves; }

 private:
  int32_t m_ID;
  std::string m_Name;
  Gfx::Visual* m_Visual = nullptr;
  Phy::PhysComp* m_Physics = nullptr;
  Spt::Script* m_Script = nullptr;
  Snd::Sound* m_Sound = nullptr;
  std::vector<Entity*> m_Touched;
  Util::Vec3 m_Position;
  Util::Vec3 m_Rotation;
  Util::Mat3 m_RotationMatrix;
  Util::Vec3 m_Scale;
  Util::Vec3 m_Velocity;
  Phy::AABB m_Bounds;
  uint32_t m_GridMoves = 0;

  // Asks the grid to re-file the entity when a corner of its bounds is no longer in the cell it
  // was in.
  void Refile(uint32_t minBefore, uint32_t maxBefore);
};

}  // namespace Game
