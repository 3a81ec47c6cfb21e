#include "Util/Grid.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

#include "Game/Entity.h"
#include "Game/Player.h"
#include "Messaging/Messages.h"
#include "Physics/AABB.h"
#include "Util/Assert.h"

namespace Util {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Util\\util_grid";

constexpr uint32_t kLayer = Grid::kCellsPerAxis * Grid::kCellsPerAxis;  // cells in one z layer

// trunc(value) limited to [low, high]; a value that is not a number gives low. The float is
// compared before it is converted, so no coordinate, however large, reaches an undefined cast.
int32_t TruncLimited(float value, int32_t low, int32_t high) {
  if (!(value > static_cast<float>(low))) return low;
  if (value >= static_cast<float>(high)) return high;
  return static_cast<int32_t>(value);
}

uint32_t Index(uint32_t x, uint32_t y, uint32_t z) { return x + Grid::kCellsPerAxis * (y + Grid::kCellsPerAxis * z); }

// Calls visit(index) for every cell of the box between two corner cells.
template <class Visit>
void ForEachCell(uint32_t minCell, uint32_t maxCell, Visit&& visit) {
  for (uint32_t z = minCell / kLayer; z <= maxCell / kLayer; ++z)
    for (uint32_t y = (minCell % kLayer) / Grid::kCellsPerAxis; y <= (maxCell % kLayer) / Grid::kCellsPerAxis; ++y)
      for (uint32_t x = minCell % Grid::kCellsPerAxis; x <= maxCell % Grid::kCellsPerAxis; ++x) visit(Index(x, y, z));
}

constexpr uint8_t kNear = 1;
constexpr uint8_t kFar = 2;

// Puts an item into a set, keeping where it went, or takes it out from there; none is never held.
template <class T>
void Hold(std::set<T*>& set, typename std::set<T*>::iterator& at, T* item, bool held) {
  if (!item) return;
  if (held)
    at = set.insert(item).first;
  else
    set.erase(at);
}

}  // namespace

Grid::Grid() : Singleton(true), m_Cells(new Cell[kCellCount]), m_Mask(kCellCount, 0) {
  // Entities built before the grid existed (their notices went by unseen) are filed now.
  for (Game::Entity* entity : AutoList<Game::Entity>::All()) Add(entity, entity->ScriptFlag());
}

Grid::~Grid() = default;

uint32_t Grid::CellIndex(const Vec3& point) {
  const uint32_t x = static_cast<uint32_t>(TruncLimited(point.x + 1024.0f, 0, 1535)) >> 7;
  const uint32_t y = static_cast<uint32_t>(TruncLimited(point.y, 0, 1535)) >> 7;
  const uint32_t z = static_cast<uint32_t>(TruncLimited(point.z, 0, 1535)) >> 7;
  return Index(x, y, z);
}

void Grid::Add(Game::Entity* entity, bool always) {
  if (!UTIL_ASSERT(entity != nullptr, "Trying to add a NULL entity to the grid")) return;
  if (Holds(entity)) return;
  const Phy::AABB& bounds = entity->GetBounds();
  Record& record = m_Registry[entity];
  record.m_Entity = record.m_Key = entity;
  record.m_MinCell = CellIndex(bounds.Min());
  record.m_MaxCell = CellIndex(bounds.Max());
  record.m_Flag = static_cast<uint8_t>(always);
  record.m_Id = entity->GetID();
  record.m_Physics = entity->GetPhysics();
  record.m_Visual = entity->GetVisual();
  record.m_Script = entity->GetScript();
  File(record);
  (always ? m_Always : m_Passive).insert(entity);
  m_ById[record.m_Id] = entity;
  Unsorted(record);
}

void Grid::Remove(Game::Entity* entity) {
  const auto found = m_Registry.find(entity);
  if (found == m_Registry.end()) return;
  Record& record = found->second;
  Unfile(record);
  m_Always.erase(entity);
  m_Passive.erase(entity);
  m_ById.erase(record.m_Id);
  // Nothing of this frame may point at the entity or its components once they are gone.
  Place(record, false, false, false);
  m_Registry.erase(found);
}

void Grid::Move(Game::Entity* entity) {
  const auto found = m_Registry.find(entity);
  if (found == m_Registry.end()) return;
  Record& record = found->second;
  Unfile(record);
  const Phy::AABB& bounds = entity->GetBounds();
  record.m_MinCell = CellIndex(bounds.Min());
  record.m_MaxCell = CellIndex(bounds.Max());
  File(record);
  Unsorted(record);
}

void Grid::Unsorted(Record& record) {
  if (record.m_Unsorted) return;  // once, however often it moves between two updates
  record.m_Unsorted = true;
  m_Unsorted.push_back(record.m_Entity);
}

void Grid::ComponentsChanged(Game::Entity* entity) {
  const auto found = m_Registry.find(entity);
  if (found == m_Registry.end()) return;
  Record& record = found->second;
  // The old components may be gone already: they are only taken out by their addresses.
  const bool near = record.m_Near, far = record.m_Far, rest = record.m_Rest;
  Place(record, false, false, false);
  Unfile(record);
  record.m_Physics = entity->GetPhysics();
  record.m_Visual = entity->GetVisual();
  record.m_Script = entity->GetScript();
  File(record);
  Place(record, near, far, rest);
}

void Grid::File(Record& record) {
  ForEachCell(record.m_MinCell, record.m_MaxCell, [&](uint32_t index) {
    m_Cells[index].m_Entities.insert(record.m_Entity);
    if (record.m_Physics) m_Cells[index].m_Physics.insert(record.m_Physics);
    m_Cells[index].m_Records.push_back(&record);
  });
}

void Grid::Unfile(Record& record) {
  ForEachCell(record.m_MinCell, record.m_MaxCell, [&](uint32_t index) {
    m_Cells[index].m_Entities.erase(record.m_Entity);
    if (record.m_Physics) m_Cells[index].m_Physics.erase(record.m_Physics);
    std::vector<Record*>& records = m_Cells[index].m_Records;
    const auto at = std::find(records.begin(), records.end(), &record);
    if (at == records.end()) return;
    *at = records.back();
    records.pop_back();
  });
}

void Grid::Update() {
  const Vec3* player = Game::Player::Exists() ? Game::Player::Instance().DododPosition() : nullptr;
  Update(player);
}

void Grid::Update(const Vec3* playerPosition) {
  ++m_Updates;
  // The camera's base cell: the lower corner of the 2 × 2 × 2 block nearest to it.
  const int32_t bx = (TruncLimited(m_CameraPosition.x + 1024.0f, 64, 1471) - 64) >> 7;
  const int32_t by = (TruncLimited(m_CameraPosition.y, 64, 1471) - 64) >> 7;
  const int32_t bz = (TruncLimited(m_CameraPosition.z, 64, 1471) - 64) >> 7;
  const int64_t player = playerPosition ? CellIndex(*playerPosition) : kCellCount;
  const int64_t block = Index(bx, by, bz) * (kCellCount + 1) + player;

  if (block != m_Block) {
    m_Block = block;
    Mask mask(kCellCount, 0);
    if (playerPosition) mask[player] |= kNear;
    const int32_t last = static_cast<int32_t>(kCellsPerAxis) - 1;
    for (int32_t z = std::max(bz - 1, 0); z <= std::min(bz + 2, last); ++z)
      for (int32_t y = std::max(by - 1, 0); y <= std::min(by + 2, last); ++y)
        for (int32_t x = std::max(bx - 1, 0); x <= std::min(bx + 2, last); ++x) {
          const bool near = x - bx >= 0 && x - bx <= 1 && y - by >= 0 && y - by <= 1 && z - bz >= 0 && z - bz <= 1;
          mask[Index(x, y, z)] |= near ? kNear : kFar;
        }
    m_NearCells.clear();
    m_FarCells.clear();
    for (uint32_t index = 0; index < kCellCount; ++index) {
      if (mask[index] & kNear) m_NearCells.insert(static_cast<int32_t>(index));
      if (mask[index] & kFar) m_FarCells.insert(static_cast<int32_t>(index));
    }
    // Only the entities of cells that changed their part can change theirs.
    m_Mask.swap(mask);
    for (uint32_t index = 0; index < kCellCount; ++index)
      if (mask[index] != m_Mask[index])
        for (Record* record : m_Cells[index].m_Records) Sort(*record);
  }
  for (Game::Entity* entity : m_Unsorted) {
    const auto found = m_Registry.find(entity);
    if (found == m_Registry.end()) continue;  // removed since
    found->second.m_Unsorted = false;
    Sort(found->second);
  }
  m_Unsorted.clear();
}

// Near: in a near cell or always; far: in a far cell and not near; the rest: passive and in no far
// cell (taken before the near entities leave the far ones, so a passive entity in a near cell is
// in the first tier and in the third).
void Grid::Expected(const Record& record, bool& near, bool& far, bool& rest) const {
  uint8_t parts = 0;
  ForEachCell(record.m_MinCell, record.m_MaxCell, [&](uint32_t index) { parts |= m_Mask[index]; });
  near = record.m_Flag != 0 || (parts & kNear) != 0;
  far = (parts & kFar) != 0 && !near;
  rest = record.m_Flag == 0 && (parts & kFar) == 0;
}

void Grid::Sort(Record& record) {
  if (record.m_Sorted == m_Updates) return;
  record.m_Sorted = m_Updates;
  bool near, far, rest;
  Expected(record, near, far, rest);
  Place(record, near, far, rest);
}

// Moves the entity and its components into the sets of its new part, touching only the sets
// whose membership changes. Bodies near the camera are stepped with the middle tier's as well.
void Grid::Place(Record& record, bool near, bool far, bool rest) {
  const bool was[kTiers] = {record.m_Near, record.m_Far, record.m_Rest};
  const bool now[kTiers] = {near, far, rest};
  Entities* entities[kTiers] = {&m_NearEntities, &m_FarEntities, &m_Rest};
  for (int tier = 0; tier < kTiers; ++tier) {
    if (was[tier] == now[tier]) continue;
    Hold(*entities[tier], record.m_EntityAt[tier], record.m_Entity, now[tier]);
    Hold(m_Visuals[tier], record.m_VisualAt[tier], record.m_Visual, now[tier]);
    Hold(m_Scripts[tier], record.m_ScriptAt[tier], record.m_Script, now[tier]);
    if (record.m_Script) ++m_ScriptTiersVersion;
    if (tier != 1) Hold(m_Physics[tier], record.m_PhysicsAt[tier], record.m_Physics, now[tier]);
  }
  if ((was[0] || was[1]) != (near || far)) Hold(m_Physics[1], record.m_PhysicsAt[1], record.m_Physics, near || far);
  record.m_Near = near;
  record.m_Far = far;
  record.m_Rest = rest;
}

void Grid::Shutdown() {
  for (uint32_t index = 0; index < kCellCount; ++index) {
    m_Cells[index].m_Entities.clear();
    m_Cells[index].m_Physics.clear();
    m_Cells[index].m_Records.clear();
  }
  m_NearCells.clear();
  m_FarCells.clear();
  m_Always.clear();
  m_NearEntities.clear();
  m_FarEntities.clear();
  m_Passive.clear();
  m_Rest.clear();
  for (int tier = 0; tier < kTiers; ++tier) {
    m_Visuals[tier].clear();
    m_Physics[tier].clear();
    m_Scripts[tier].clear();
    ++m_ScriptTiersVersion;
  }
  m_Registry.clear();
  m_ById.clear();
  m_Unsorted.clear();
  std::fill(m_Mask.begin(), m_Mask.end(), 0);
  m_Block = -1;
}

const Grid::Entities& Grid::CellEntities(uint32_t cell) const {
  return m_Cells[std::min(cell, kCellCount - 1)].m_Entities;
}

const std::set<Phy::PhysComp*>& Grid::CellPhysics(uint32_t cell) const {
  return m_Cells[std::min(cell, kCellCount - 1)].m_Physics;
}

bool Grid::Validate() const {
  size_t entityListings = 0;
  size_t physicsListings = 0;
  for (const auto& [entity, record] : m_Registry) {
    if (record.m_Entity != entity || record.m_Key != entity) return false;
    if (record.m_MinCell >= kCellCount || record.m_MaxCell >= kCellCount) return false;
    const bool always = record.m_Flag != 0;
    if ((m_Always.count(entity) != 0) != always || (m_Passive.count(entity) != 0) == always) return false;
    const auto byId = m_ById.find(record.m_Id);
    if (byId == m_ById.end() || byId->second != entity) return false;
    bool listed = true;
    ForEachCell(record.m_MinCell, record.m_MaxCell, [&](uint32_t index) {
      const std::vector<Record*>& records = m_Cells[index].m_Records;
      listed = listed && m_Cells[index].m_Entities.count(entity) != 0 &&
               std::count(records.begin(), records.end(), &record) == 1;
      ++entityListings;
      if (record.m_Physics) {
        listed = listed && m_Cells[index].m_Physics.count(record.m_Physics) != 0;
        ++physicsListings;
      }
    });
    if (!listed) return false;
  }
  if (m_ById.size() != m_Registry.size() || m_Always.size() + m_Passive.size() != m_Registry.size()) return false;
  // Every listing is accounted for by a record, so the cells hold nothing else.
  size_t entitiesInCells = 0;
  size_t physicsInCells = 0;
  for (uint32_t index = 0; index < kCellCount; ++index) {
    if (m_Cells[index].m_Records.size() != m_Cells[index].m_Entities.size()) return false;
    entitiesInCells += m_Cells[index].m_Entities.size();
    physicsInCells += m_Cells[index].m_Physics.size();
  }
  if (entitiesInCells != entityListings || physicsInCells != physicsListings) return false;

  // This frame's sets against sorting every entity afresh.
  for (uint32_t index = 0; index < kCellCount; ++index)
    if (((m_Mask[index] & kNear) != 0) != (m_NearCells.count(static_cast<int32_t>(index)) != 0) ||
        ((m_Mask[index] & kFar) != 0) != (m_FarCells.count(static_cast<int32_t>(index)) != 0))
      return false;
  const Entities unsorted(m_Unsorted.begin(), m_Unsorted.end());
  size_t members[3] = {}, visuals[kTiers] = {}, physics[kTiers] = {}, scripts[kTiers] = {};
  for (const auto& [entity, r] : m_Registry) {
    bool near, far, rest;
    Expected(r, near, far, rest);
    if (!unsorted.count(entity) && (near != r.m_Near || far != r.m_Far || rest != r.m_Rest)) return false;
    if (r.m_Visual != entity->GetVisual() || r.m_Script != entity->GetScript() || r.m_Physics != entity->GetPhysics())
      return false;
    const bool in[kTiers] = {r.m_Near, r.m_Far, r.m_Rest};
    const Entities* sets[kTiers] = {&m_NearEntities, &m_FarEntities, &m_Rest};
    for (int tier = 0; tier < kTiers; ++tier) {
      const bool body = in[tier] || (tier == 1 && r.m_Near);
      if ((sets[tier]->count(entity) != 0) != in[tier]) return false;
      if (r.m_Visual && (m_Visuals[tier].count(r.m_Visual) != 0) != in[tier]) return false;
      if (r.m_Script && (m_Scripts[tier].count(r.m_Script) != 0) != in[tier]) return false;
      if (r.m_Physics && (m_Physics[tier].count(r.m_Physics) != 0) != body) return false;
      members[tier] += in[tier];
      visuals[tier] += in[tier] && r.m_Visual;
      scripts[tier] += in[tier] && r.m_Script;
      physics[tier] += body && r.m_Physics;
    }
  }
  for (int tier = 0; tier < kTiers; ++tier) {
    const Entities* sets[kTiers] = {&m_NearEntities, &m_FarEntities, &m_Rest};
    if (sets[tier]->size() != members[tier] || m_Visuals[tier].size() != visuals[tier] ||
        m_Scripts[tier].size() != scripts[tier] || m_Physics[tier].size() != physics[tier])
      return false;
  }
  return true;
}

void Grid::Receive(const Util::Handle<Msg::eManRemovedMsg>& message) {
  const auto found = m_ById.find(message->m_Id);
  if (found != m_ById.end()) Remove(found->second);
}

// An entity removed before its notice of creation arrived is not filed.
void Grid::Receive(const Util::Handle<Msg::eManAddedMsg>& message) {
  if (Game::Entity* entity = message->m_Entity.Get()) Add(entity, message->m_Scripted);
}

void Grid::Receive(const Util::Handle<Msg::cameraGetInfoMsg>& message) {
  if (message->m_Kind == 0) m_CameraPosition = message->m_Value;
}

}  // namespace Util
