#include "Game/Entity.h"

#include <unordered_map>

#include "Game/EntityDefinition.h"
#include "Graphics/Visual.h"
#include "Physics/PhysComp.h"
#include "Script/Script.h"
#include "Sound/Sound.h"
#include "Util/Grid.h"

namespace Game {
namespace {

// Incremented before each entity takes its value, so the first ID of a run is 2. Never reused.
int32_t s_LastID = 1;

// Every live entity by its ID: what tells a stale reference from a live one.
std::unordered_map<int32_t, Entity*>& LiveEntities() {
  // Never destroyed: an entity deleted while the program exits must still find the map.
  static auto* live = new std::unordered_map<int32_t, Entity*>;
  return *live;
}

// Replaces an owned component, deleting the one held before.
template <class T>
void Replace(T*& held, T* given) {
  if (held == given) return;
  delete held;
  held = given;
}

}  // namespace

Entity::Entity(const char* definitionPath) : m_ID(++s_LastID), m_Scale{1.0f, 1.0f, 1.0f} {
  LiveEntities().emplace(m_ID, this);
  ReadEntityDefinition(*this, definitionPath);
}

Entity::Entity() : m_ID(++s_LastID) {
  LiveEntities().emplace(m_ID, this);
  for (auto& row : m_RotationMatrix.m)
    for (float& value : row) value = 0.0f;
}

Entity::~Entity() {
  LiveEntities().erase(m_ID);
  // Whatever deletes an entity (the manager, or Lua collecting one a script built), the grid must
  // not keep pointing at it or at its components.
  if (Util::Grid::Exists()) Util::Grid::Instance().Remove(this);
  delete m_Visual;
  delete m_Physics;
  delete m_Script;
  delete m_Sound;
}

Entity* Entity::Live(int32_t id) {
  const auto found = LiveEntities().find(id);
  return found == LiveEntities().end() ? nullptr : found->second;
}

EntityRef::EntityRef(Entity* entity) : m_Entity(entity), m_Id(entity ? entity->GetID() : 0) {}

Entity* EntityRef::Get() const { return m_Entity && Entity::Live(m_Id) == m_Entity ? m_Entity : nullptr; }

void Entity::Rename(const char* baseName) { m_Name = std::string(baseName ? baseName : "") + std::to_string(m_ID); }

// The grid's tiers hold components: it hears of every replacement before it could use a stale one.
void Entity::SetVisual(Gfx::Visual* visual) {
  Replace(m_Visual, visual);
  if (Util::Grid::Exists()) Util::Grid::Instance().ComponentsChanged(this);
}

void Entity::SetPhysics(Phy::PhysComp* physics) {
  Replace(m_Physics, physics);
  if (Util::Grid::Exists()) Util::Grid::Instance().ComponentsChanged(this);
}

void Entity::SetScript(Spt::Script* script) {
  Replace(m_Script, script);
  if (Util::Grid::Exists()) Util::Grid::Instance().ComponentsChanged(this);
}

void Entity::SetSound(Snd::Sound* sound) { Replace(m_Sound, sound); }

bool Entity::ScriptFlag() const { return m_Script && m_Script->Flag(); }

void Entity::Refile(uint32_t minBefore, uint32_t maxBefore) {
  const bool crossed =
      Util::Grid::CellIndex(m_Bounds.Min()) != minBefore || Util::Grid::CellIndex(m_Bounds.Max()) != maxBefore;
  // Before the grid exists and after it is gone there is nothing to re-file.
  if (crossed && Util::Grid::Exists()) {
    ++m_GridMoves;
    Util::Grid::Instance().Move(this);
  }
}

void Entity::SetPosition(const Util::Vec3& p) {
  const Util::Vec3 d = p - m_Position;
  if (m_Physics && m_Physics->HasHull()) m_Physics->TranslateHull(d);
  const uint32_t minBefore = Util::Grid::CellIndex(m_Bounds.Min());
  const uint32_t maxBefore = Util::Grid::CellIndex(m_Bounds.Max());
  m_Bounds.Translate(d);
  Refile(minBefore, maxBefore);
  m_Position = p;
}

void Entity::SetPositionOnly(const Util::Vec3& p) {
  m_Bounds.Translate(p - m_Position);
  m_Position = p;
}

void Entity::SetRotation(const Util::Vec3& degrees) {
  if (m_Physics && m_Physics->HasHull()) {
    const uint32_t minBefore = Util::Grid::CellIndex(m_Bounds.Min());
    const uint32_t maxBefore = Util::Grid::CellIndex(m_Bounds.Max());
    m_Physics->RotateHull(degrees);
    Refile(minBefore, maxBefore);
  }
  m_Rotation = degrees;
  m_RotationMatrix = Util::Mat3::FromEulerDegrees(degrees);
}

void Entity::SetRotationMatrix(const Util::Mat3& m) {
  m_Rotation = Util::Vec3{};
  m_RotationMatrix = m;
}

void Entity::SetScale(const Util::Vec3& s) {
  if (m_Physics && m_Physics->HasHull() && m_Scale.x != 0.0f) {
    const uint32_t minBefore = Util::Grid::CellIndex(m_Bounds.Min());
    const uint32_t maxBefore = Util::Grid::CellIndex(m_Bounds.Max());
    m_Physics->ScaleHull(s.x / m_Scale.x);
    Refile(minBefore, maxBefore);
  }
  m_Scale = s;
}

void Entity::SetVelocity(const Util::Vec3& v) {
  if (m_Physics) m_Physics->SetVelocity(v);
  m_Velocity = v;
}

void Entity::SetBounds(const Phy::AABB& b) { m_Bounds = b; }

}  // namespace Game
