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
// entity it already holds changes nothing. Entities moving across cells call Move, and entities
// whose components change call ComponentsChanged. Update runs once per frame after the delivery
// of the mail: it marks the near block of 2 × 2 × 2 cells around the camera (and the player's
// cell) and the far shell around it, and sorts the entities into three tiers: 0 near (scripts
// every frame), 1 far (every second frame), 2 the rest of the passive entities (every fifth
// frame). The tiers are kept from frame to frame and only the entities whose place may have
// changed are sorted again: those in cells that became or stopped being near or far, and those
// added, moved or given other components since the last update. So a frame costs the same per
// entity however many the grid holds. Main thread only.
#pragma once

#include <cstdint>
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
  // The entity's visual, physics component or script was replaced: the tiers and cells hold the
  // new ones from now on, and never the old ones.
  void ComponentsChanged(Game::Entity* entity);

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
  // Changes whenever a script joins or leaves a tier, so that a reader may keep a copy of the
  // tiers for as long as it stays the same.
  uint64_t ScriptTiersVersion() const { return m_ScriptTiersVersion; }

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
  // and the cells list nothing else; and when the sets of this frame hold exactly what sorting
  // every entity afresh would give (once the entities changed since the last update are sorted).
  bool Validate() const;

  void Receive(const Util::Handle<Msg::eManRemovedMsg>& message) override;
  void Receive(const Util::Handle<Msg::eManAddedMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraGetInfoMsg>& message) override;

 private:
  friend class Util::Singleton<Grid>;
  Grid();
  ~Grid() override;

  struct Record;
  struct Cell {
    Entities m_Entities;
    std::set<Phy::PhysComp*> m_Physics;
    std::vector<Record*> m_Records;  // the same entities' records, in no order
  };

  struct Record {
    Game::Entity* m_Entity = nullptr;
    uint32_t m_MinCell = 0;  // cell of the bounding box's minimum corner
    uint32_t m_MaxCell = 0;  // cell of its maximum corner
    uint8_t m_Flag = 0;
    int32_t m_Id = 0;  // the entity's ID, by which removal notices name it
    Game::Entity* m_Key = nullptr;
    Phy::PhysComp* m_Physics = nullptr;  // not owned; none for an entity without a body
    // Where the entity stands in this frame's sets, and the components the tiers hold for it.
    Gfx::Visual* m_Visual = nullptr;
    Spt::Script* m_Script = nullptr;
    bool m_Near = false;
    bool m_Far = false;
    bool m_Rest = false;
    // Where each sits in the sets of the tiers that hold it, so that leaving a set takes no search.
    Entities::iterator m_EntityAt[kTiers];
    std::set<Gfx::Visual*>::iterator m_VisualAt[kTiers];
    std::set<Spt::Script*>::iterator m_ScriptAt[kTiers];
    std::set<Phy::PhysComp*>::iterator m_PhysicsAt[kTiers];
    uint32_t m_Sorted = 0;    // the update that last sorted it
    bool m_Unsorted = false;  // waiting for the next update to sort it
  };
  using Mask = std::vector<uint8_t>;  // per cell: kNear, kFar, both or neither

  void File(Record& record);
  void Unfile(Record& record);
  void Sort(Record& record);
  void Unsorted(Record& record);
  void Place(Record& record, bool near, bool far, bool rest);
  void Expected(const Record& record, bool& near, bool& far, bool& rest) const;

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
  std::unordered_map<Game::Entity*, Record> m_Registry;
  Vec3 m_CameraPosition;

  // The entities held, by ID: removal notices name the entity by its ID only.
  std::unordered_map<int32_t, Game::Entity*> m_ById;
  Entities m_Rest;                        // this frame's third tier of entities
  Mask m_Mask;                            // this frame's near and far cells
  int64_t m_Block = -1;                   // the camera's base cell and the player's cell they came from
  std::vector<Game::Entity*> m_Unsorted;  // added, moved or changed since the last update
  uint32_t m_Updates = 0;
  uint64_t m_ScriptTiersVersion = 0;
};

}  // namespace Util
