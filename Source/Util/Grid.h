// Grid: the spatial lattice that decides which entities are simulated and how often their scripts
// run. Not built yet beyond the operations other systems call, so that they can be written now.
#pragma once

#include <cstdint>
#include <set>

#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Game {
class Entity;
}
namespace Gfx {
class Visual;
}
namespace Phy {
class PhysComp;
}
namespace Spt {
class Script;
}

namespace Util {

class Grid : public Util::Singleton<Grid> {
 public:
  static constexpr int kTiers = 3;

  // The index of the cell holding a point; points outside the lattice fall in its border cells.
  static uint32_t CellIndex(const Vec3& point);

  void Add(Game::Entity* entity, bool always);
  void Remove(Game::Entity* entity);
  // Files the entity again after its bounds have moved into other cells.
  void Move(Game::Entity* entity);

  void Update();
  void Shutdown();

  // This frame's tiers: 0 near, 1 middle, 2 far; ordered by object identity.
  const std::set<Gfx::Visual*>& TierVisuals(int tier) const { return m_Visuals[tier]; }
  const std::set<Phy::PhysComp*>& TierPhysics(int tier) const { return m_Physics[tier]; }
  const std::set<Spt::Script*>& TierScripts(int tier) const { return m_Scripts[tier]; }

 private:
  friend class Util::Singleton<Grid>;
  Grid() : Singleton(true) {}

  std::set<Gfx::Visual*> m_Visuals[kTiers];
  std::set<Phy::PhysComp*> m_Physics[kTiers];
  std::set<Spt::Script*> m_Scripts[kTiers];
};

}  // namespace Util
