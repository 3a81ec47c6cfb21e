// Grid: the spatial lattice that decides which entities are simulated and how often their scripts
// run. 12 × 12 × 12 cubic cells of 128 units spanning x from −1024 to 512 and y and z from 0 to
// 1536; points outside fall in the border cells.
//
// Owns its cells, each holding the entities that overlap it and their physics components, and a
// registry of the entities it holds: the cells of each one's bounding box as last filed, its flag
// and its physics component. An entity is listed in exactly the cells of its recorded box, and in
// the always set (flag set: its script runs every frame wherever it is) or the passive set.
//
// Handles eManAddedMsg (add, with the script flag), eManRemovedMsg (remove, by the entity's ID;
// the notice is sent while the entity still lives) and cameraGetInfoMsg kind 0 (the camera's
// position). Created at the end of start-up, when it files every entity already alive; adding an
// entity it already holds changes nothing. Entities moving across cells call Move. Update runs
// once per frame after the delivery of the mail: it marks the near block of 2 × 2 × 2 cells around
// the camera (and the player's cell) and the far shell around it, and sorts the entities into three
// tiers: 0 near (scripts every frame), 1 far (every second frame), 2 the rest of the passive
// entities (every fifth frame). Main thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "Messaging/MailBox.h"
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

class Grid : public Util::Singleton<Grid>, public Msg::MailBox {
 public:
  static constexpr int kTiers = 3;
  static constexpr uint32_t kCellsPerAxis = 12;
  static constexpr uint32_t kCellCount = kCellsPerAxis * kCellsPerAxis * kCellsPerAxis;
  static constexpr float kCellSize = 128.0f;

  using Entities = std::set<Game::Entity*>;
  using Cells = std::set<int32_t>;

  // The index of the cell holding a point; points outside the lattice, and coordinates that are
  // not numbers, fall in its border cells.
  static uint32_t CellIndex(const Vec3& point);

  // Files an entity in the cells of its bounding box; flag set: into the always set, else the
  // passive set. An entity already held stays as it is.
  void Add(Game::Entity* entity, bool always);
  void Remove(Game::Entity* entity);
  // Files the entity again after its bounds have moved into other cells.
  void Move(Game::Entity* entity);

  // This frame's active cells and tiers, around the camera and the player's character.
  void Update();
  // The same for a given position of the player's character; none: the camera's block alone.
  void Update(const Vec3* playerPosition);
  // Lets go of every entity and empties every set.
  void Shutdown();

  // This frame's tiers: 0 near, 1 middle, 2 far; ordered by object identity.
  const std::set<Gfx::Visual*>& TierVisuals(int tier) const { return m_Visuals[tier]; }
  const std::set<Phy::PhysComp*>& TierPhysics(int tier) const { return m_Physics[tier]; }
  const std::set<Spt::Script*>& TierScripts(int tier) const { return m_Scripts[tier]; }

  const Cells& NearCells() const { return m_NearCells; }
  const Cells& FarCells() const { return m_FarCells; }
  const Entities& NearEntities() const { return m_NearEntities; }
  const Entities& FarEntities() const { return m_FarEntities; }
  // This frame's third tier: the passive entities outside the far cells.
  const Entities& RestEntities() const { return m_Rest; }
  const Entities& AlwaysEntities() const { return m_Always; }
  const Entities& PassiveEntities() const { return m_Passive; }
  const Entities& CellEntities(uint32_t cell) const;
  const std::set<Phy::PhysComp*>& CellPhysics(uint32_t cell) const;
  bool Holds(Game::Entity* entity) const { return m_Registry.count(entity) != 0; }
  size_t Count() const { return m_Registry.size(); }
  const Vec3& CameraPosition() const { return m_CameraPosition; }

  // True when every entity held is listed in exactly the cells of its recorded box (with its
  // physics component), in the always or the passive set as its flag says, and found by its ID,
  // and the cells list nothing else.
  bool Validate() const;

  void Receive(const Util::Handle<Msg::eManRemovedMsg>& message) override;
  void Receive(const Util::Handle<Msg::eManAddedMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraGetInfoMsg>& message) override;

 private:
  friend class Util::Singleton<Grid>;
  Grid();
  ~Grid() override;

  struct Cell {
    Entities m_Entities;
    std::set<Phy::PhysComp*> m_Physics;
  };

  struct Scratch;  // the storage the sets of each frame are rebuilt with

  struct Record {
    Game::Entity* m_Entity;
    uint32_t m_MinCell;  // cell of the bounding box's minimum corner
    uint32_t m_MaxCell;  // cell of its maximum corner
    uint8_t m_Flag;
    int32_t m_Id;  // the entity's ID, by which removal notices name it
    Game::Entity* m_Key;
    Phy::PhysComp* m_Physics;  // not owned; none for an entity without a body
  };

  void File(const Record& record);
  void Unfile(const Record& record);
  void FillTier(int tier, const std::vector<Game::Entity*>& entities);

  std::unique_ptr<Cell[]> m_Cells;
  Cells m_NearCells;
  Cells m_FarCells;
  Entities m_Always;
  Entities m_NearEntities;
  Entities m_FarEntities;
  Entities m_Passive;
  std::set<Gfx::Visual*> m_Visuals[kTiers];
  std::set<Phy::PhysComp*> m_Physics[kTiers];
  std::set<Spt::Script*> m_Scripts[kTiers];
  std::map<Game::Entity*, Record> m_Registry;
  Vec3 m_CameraPosition;

  // The entities held, by ID: removal notices name the entity by its ID only.
  std::unordered_map<int32_t, Game::Entity*> m_ById;
  Entities m_Rest;  // this frame's third tier of entities
  std::unique_ptr<Scratch> m_Scratch;
};

}  // namespace Util
