// PhysicsManager: advances the physics components of the active grid cells once per frame.
//
// Owns nothing but its working lists. Reads the clock's frame time and the grid's far and near
// cells with the physics components filed in them; writes the bodies' entities (position,
// velocity, bounds, touched list) and asks the grid to re-file those whose bounds changed cells.
// Posts a collisionMsg (first entity, second entity) for every touching pair; handles no message.
// Builds the physics components of entity definitions (the Physics element) while it exists.
// Runs at frame step 8, after the grid's update and before the scripts. Main thread only.
//
// The step: dt = frame time × 0.001, at most 0.06 s (a frame of no time moves nothing). The far
// cells are processed, then the near ones; a body in two cells is integrated once (in the first)
// but tested in both, and its touched list holds the contacts of the last. Processing a cell, its
// bodies taken in the order their entities were made:
//  1. Every component with a hull is a body; a body that is movable and moving or accelerating
//     (squared speed or acceleration at least 0.01) is a mover. Bodies' touched lists are
//     emptied. Every component of the cell is integrated (PhysComp::Integrate).
//  2. Each body is tested against the movers listed before it (a mover against the movers before
//     itself): a pair whose hulls collide, or where a particle of one crossed the other's hull
//     during the step, touches. Then a collisionMsg is posted, each entity joins the other's
//     touched list, each body's particles are pushed out of the other's hull
//     (PhysComp::ResolveParticles), and a struck body with particles becomes a mover (once),
//     tested against the movers after it.
//  3. Each mover with particles reads them back (PhysComp::ReadBack): its hull takes their shape
//     and its entity follows the hull, unless it rests: nothing pushed it vertically, it stands on
//     something, and it moved at most √0.005. Movers whose bounds changed cells, and point-like
//     bodies that moved across cells, are re-filed.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "Messaging/MailBox.h"
#include "Physics/AABB.h"
#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Game {
class Entity;
}

namespace Phy {

class PhysComp;

class PhysicsManager : public Util::Singleton<PhysicsManager>, public Msg::MailBox {
 public:
  static constexpr float kLongestStep = 0.06f;

  // The engine's frame step: Step with the clock's frame time.
  void Update();
  void Step(double frameMs);
  // The length of the last step, in seconds.
  float StepLength() const { return m_StepLength; }
  // True when the point lies inside a hull (of any body filed in the point's grid cell; of any
  // body at all before the grid exists).
  bool CheckCollision(const Util::Vec3& point) const;

 private:
  friend class Util::Singleton<PhysicsManager>;
  PhysicsManager();
  ~PhysicsManager() override;

  struct Body {
    PhysComp* m_Physics;
    bool m_Mover;
    uint32_t m_MinCell, m_MaxCell;  // the grid cells of its bounds' corners when it became a mover
  };
  // The hull's bounds and where its particles were during the step, kept apart from the bodies
  // for the pair test's first look.
  struct Reach {
    Util::Vec3 m_Min, m_Max;
  };

  void ProcessCell(const std::set<PhysComp*>& cell);
  void BecomeMover(size_t body);
  void FindReach(size_t body);
  bool Touching(size_t a, size_t b) const;

  float m_StepLength = 0.0f;
  uint32_t m_Steps = 0;
  std::vector<PhysComp*> m_Cell;
  std::vector<Body> m_Bodies;
  std::vector<Reach> m_Reach;
  std::vector<size_t> m_Movers;
  std::vector<PhysComp*> m_Stepped;
  std::vector<Game::Entity*> m_Refile;
};

}  // namespace Phy
