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

// Sorts a list of pointers into the order of their sets and drops repeats.
template <class T>
void SortUnique(std::vector<T*>& list) {
  std::sort(list.begin(), list.end(), std::less<T*>());
  list.erase(std::unique(list.begin(), list.end()), list.end());
}

// Makes an ordered set equal to a sorted list without repeats, touching only the members that
// differ: from one frame to the next most of them stay, and the set keeps their nodes.
template <class T>
void Sync(std::set<T*>& set, const std::vector<T*>& sorted) {
  auto at = set.begin();
  for (T* item : sorted) {
    while (at != set.end() && std::less<T*>()(*at, item)) at = set.erase(at);
    if (at != set.end() && *at == item)
      ++at;
    else
      set.insert(at, item);
  }
  set.erase(at, set.end());
}

}  // namespace

// This frame's sets as sorted lists, before they are copied into the sets; kept to reuse their storage.
struct Grid::Scratch {
  std::vector<Game::Entity*> m_Near, m_InFarCells, m_Far, m_Rest;
  std::vector<Gfx::Visual*> m_Visuals;
  std::vector<Phy::PhysComp*> m_Physics, m_NearPhysics;
  std::vector<Spt::Script*> m_Scripts;
};

Grid::Grid() : Singleton(true), m_Cells(new Cell[kCellCount]), m_Scratch(new Scratch) {
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
  const Record record{
      entity, CellIndex(bounds.Min()), CellIndex(bounds.Max()), static_cast<uint8_t>(always), entity->GetID(),
      entity, entity->GetPhysics()};
  File(record);
  (always ? m_Always : m_Passive).insert(entity);
  m_Registry.emplace(entity, record);
  m_ById[record.m_Id] = entity;
}

void Grid::Remove(Game::Entity* entity) {
  const auto found = m_Registry.find(entity);
  if (found == m_Registry.end()) return;
  const Record& record = found->second;
  Unfile(record);
  m_Always.erase(entity);
  m_Passive.erase(entity);
  m_ById.erase(record.m_Id);
  // Nothing of this frame may point at the entity's components once they are gone.
  m_NearEntities.erase(entity);
  m_FarEntities.erase(entity);
  m_Rest.erase(entity);
  for (int tier = 0; tier < kTiers; ++tier) {
    m_Visuals[tier].erase(entity->GetVisual());
    m_Physics[tier].erase(entity->GetPhysics());
    m_Physics[tier].erase(record.m_Physics);
    m_Scripts[tier].erase(entity->GetScript());
  }
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
  record.m_Physics = entity->GetPhysics();
  File(record);
}

void Grid::File(const Record& record) {
  ForEachCell(record.m_MinCell, record.m_MaxCell, [&](uint32_t index) {
    m_Cells[index].m_Entities.insert(record.m_Entity);
    if (record.m_Physics) m_Cells[index].m_Physics.insert(record.m_Physics);
  });
}

void Grid::Unfile(const Record& record) {
  ForEachCell(record.m_MinCell, record.m_MaxCell, [&](uint32_t index) {
    m_Cells[index].m_Entities.erase(record.m_Entity);
    if (record.m_Physics) m_Cells[index].m_Physics.erase(record.m_Physics);
  });
}

void Grid::Update() {
  const Vec3* player = Game::Player::Exists() ? Game::Player::Instance().DododPosition() : nullptr;
  Update(player);
}

void Grid::Update(const Vec3* playerPosition) {
  m_NearCells.clear();
  m_FarCells.clear();
  if (playerPosition) m_NearCells.insert(static_cast<int32_t>(CellIndex(*playerPosition)));

  // The camera's base cell: the lower corner of the 2 × 2 × 2 block nearest to it.
  const int32_t bx = (TruncLimited(m_CameraPosition.x + 1024.0f, 64, 1471) - 64) >> 7;
  const int32_t by = (TruncLimited(m_CameraPosition.y, 64, 1471) - 64) >> 7;
  const int32_t bz = (TruncLimited(m_CameraPosition.z, 64, 1471) - 64) >> 7;
  const int32_t last = static_cast<int32_t>(kCellsPerAxis) - 1;
  for (int32_t z = std::max(bz - 1, 0); z <= std::min(bz + 2, last); ++z)
    for (int32_t y = std::max(by - 1, 0); y <= std::min(by + 2, last); ++y)
      for (int32_t x = std::max(bx - 1, 0); x <= std::min(bx + 2, last); ++x) {
        const bool near = x - bx >= 0 && x - bx <= 1 && y - by >= 0 && y - by <= 1 && z - bz >= 0 && z - bz <= 1;
        (near ? m_NearCells : m_FarCells).insert(static_cast<int32_t>(Index(x, y, z)));
      }

  Scratch& s = *m_Scratch;
  s.m_Near.assign(m_Always.begin(), m_Always.end());
  for (int32_t index : m_NearCells)
    s.m_Near.insert(s.m_Near.end(), m_Cells[index].m_Entities.begin(), m_Cells[index].m_Entities.end());
  SortUnique(s.m_Near);
  s.m_InFarCells.clear();
  for (int32_t index : m_FarCells)
    s.m_InFarCells.insert(s.m_InFarCells.end(), m_Cells[index].m_Entities.begin(), m_Cells[index].m_Entities.end());
  SortUnique(s.m_InFarCells);
  // The rest is taken before the near entities leave the far ones, so a passive entity in a near
  // cell is in the first tier and in the third.
  const std::less<Game::Entity*> order;
  s.m_Rest.clear();
  std::set_difference(m_Passive.begin(), m_Passive.end(), s.m_InFarCells.begin(), s.m_InFarCells.end(),
                      std::back_inserter(s.m_Rest), order);
  s.m_Far.clear();
  std::set_difference(s.m_InFarCells.begin(), s.m_InFarCells.end(), s.m_Near.begin(), s.m_Near.end(),
                      std::back_inserter(s.m_Far), order);
  Sync(m_NearEntities, s.m_Near);
  Sync(m_FarEntities, s.m_Far);
  Sync(m_Rest, s.m_Rest);

  FillTier(0, s.m_Near);
  FillTier(1, s.m_Far);
  FillTier(2, s.m_Rest);
}

void Grid::FillTier(int tier, const std::vector<Game::Entity*>& entities) {
  Scratch& s = *m_Scratch;
  s.m_Visuals.clear();
  s.m_Physics.clear();
  s.m_Scripts.clear();
  for (Game::Entity* entity : entities) {
    if (Gfx::Visual* visual = entity->GetVisual()) s.m_Visuals.push_back(visual);
    if (Phy::PhysComp* physics = entity->GetPhysics()) s.m_Physics.push_back(physics);
    if (Spt::Script* script = entity->GetScript()) s.m_Scripts.push_back(script);
  }
  // Bodies near the camera are stepped with the middle tier's as well.
  if (tier == 0) s.m_NearPhysics = s.m_Physics;
  if (tier == 1) s.m_Physics.insert(s.m_Physics.end(), s.m_NearPhysics.begin(), s.m_NearPhysics.end());
  SortUnique(s.m_Visuals);
  SortUnique(s.m_Physics);
  SortUnique(s.m_Scripts);
  Sync(m_Visuals[tier], s.m_Visuals);
  Sync(m_Physics[tier], s.m_Physics);
  Sync(m_Scripts[tier], s.m_Scripts);
}

void Grid::Shutdown() {
  for (uint32_t index = 0; index < kCellCount; ++index) {
    m_Cells[index].m_Entities.clear();
    m_Cells[index].m_Physics.clear();
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
  }
  m_Registry.clear();
  m_ById.clear();
  *m_Scratch = Scratch();
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
      listed = listed && m_Cells[index].m_Entities.count(entity) != 0;
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
    entitiesInCells += m_Cells[index].m_Entities.size();
    physicsInCells += m_Cells[index].m_Physics.size();
  }
  return entitiesInCells == entityListings && physicsInCells == physicsListings;
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
