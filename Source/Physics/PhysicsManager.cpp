#include "Physics/PhysicsManager.h"

#include <algorithm>
#include <functional>

#include "Core/Clock.h"
#include "Game/Entity.h"
#include "Game/EntityDefinition.h"
#include "Messaging/Messages.h"
#include "Physics/Collidable.h"
#include "Physics/Geometry.h"
#include "Physics/PhysComp.h"
#include "Util/ErrorLog.h"
#include "Util/Grid.h"
#include "Util/XmlReader.h"

namespace Phy {
namespace {

using Util::Vec3;

constexpr float kMoving = 0.01f;  // squared speed or acceleration from which a body is a mover

// The Physics element of an entity definition: the entity's body, or a report and none.
void BuildPhysics(Game::Entity& entity, Util::XmlReader& reader) {
  std::string error;
  if (PhysComp* body = PhysComp::FromDefinition(&entity, reader, error)) {
    entity.SetPhysics(body);
    return;
  }
  Util::ErrorLog::Instance().Error(reader.Path() + ": Physics element refused, the entity has no body: " + error +
                                   "\n");
}

}  // namespace

PhysicsManager::PhysicsManager() : Singleton(true) { Game::RegisterElementBuilder("Physics", BuildPhysics); }

PhysicsManager::~PhysicsManager() { Game::RegisterElementBuilder("Physics", nullptr); }

void PhysicsManager::Update() { Step(Clock::Instance().FrameTime()); }

void PhysicsManager::Step(double frameMs) {
  const float dt = std::min(static_cast<float>(frameMs * 0.001), kLongestStep);
  if (!(dt > 0.0f)) return;
  m_StepLength = dt;
  ++m_Steps;
  if (!Util::Grid::Exists()) return;
  const Util::Grid& grid = Util::Grid::Instance();
  for (int32_t cell : grid.FarCells()) ProcessCell(grid.CellPhysics(static_cast<uint32_t>(cell)));
  for (int32_t cell : grid.NearCells()) ProcessCell(grid.CellPhysics(static_cast<uint32_t>(cell)));
  for (PhysComp* body : m_Stepped) body->ClearStepped();
  m_Stepped.clear();
}

void PhysicsManager::ProcessCell(const std::set<PhysComp*>& cell) {
  // The cell's set changes as bodies are re-filed: work on a copy, in the order the entities
  // were made rather than the order of their addresses, so that a scene runs the same every time.
  m_Cell.assign(cell.begin(), cell.end());
  std::sort(m_Cell.begin(), m_Cell.end(), [](const PhysComp* a, const PhysComp* b) {
    const int32_t ida = a->Owner() ? a->Owner()->GetID() : 0, idb = b->Owner() ? b->Owner()->GetID() : 0;
    return ida != idb ? ida < idb : std::less<const PhysComp*>()(a, b);
  });
  m_Bodies.clear();
  m_Movers.clear();
  m_Refile.clear();
  for (PhysComp* physics : m_Cell) {
    Game::Entity* entity = physics->Owner();
    const bool body = physics->Hull() && entity;
    if (body) {
      const bool moving = Util::LengthSquared(entity->GetVelocity()) >= kMoving ||
                          Util::LengthSquared(physics->GetTotalAccel()) >= kMoving;
      m_Bodies.push_back({physics, false, 0, 0});
      if (physics->InverseMass() != 0.0f && moving) BecomeMover(m_Bodies.size() - 1);
      entity->Touched().clear();
    }
    const uint32_t minBefore = entity ? Util::Grid::CellIndex(entity->GetBounds().Min()) : 0;
    const uint32_t maxBefore = entity ? Util::Grid::CellIndex(entity->GetBounds().Max()) : 0;
    if (physics->Integrate(m_StepLength)) m_Stepped.push_back(physics);
    // A point-like body is never a mover, but it moves all the same.
    if (!body && entity &&
        (Util::Grid::CellIndex(entity->GetBounds().Min()) != minBefore ||
         Util::Grid::CellIndex(entity->GetBounds().Max()) != maxBefore))
      m_Refile.push_back(entity);
  }
  m_Reach.resize(m_Bodies.size());
  for (size_t i = 0; i < m_Bodies.size(); ++i) FindReach(i);

  for (size_t i = 0; i < m_Bodies.size(); ++i) {
    for (size_t m = 0; m < m_Movers.size(); ++m) {
      const size_t j = m_Movers[m];
      if (j == i) break;
      const Reach &ri = m_Reach[i], &rj = m_Reach[j];
      if (!(ri.m_Max.x > rj.m_Min.x && ri.m_Min.x < rj.m_Max.x && ri.m_Max.z > rj.m_Min.z && ri.m_Min.z < rj.m_Max.z &&
            ri.m_Max.y > rj.m_Min.y && ri.m_Min.y < rj.m_Max.y) ||
          !Touching(i, j))
        continue;
      Body& a = m_Bodies[i];
      Body& b = m_Bodies[j];
      Game::Entity* first = a.m_Physics->Owner();
      Game::Entity* second = b.m_Physics->Owner();
      Msg::MailMan::Instance().Post(new Msg::collisionMsg(first, second));
      first->Touched().push_back(second);
      second->Touched().push_back(first);
      a.m_Physics->MarkListed();
      b.m_Physics->MarkListed();
      a.m_Physics->ResolveParticles(*b.m_Physics, m_StepLength, m_Steps);
      b.m_Physics->ResolveParticles(*a.m_Physics, m_StepLength, m_Steps);
      FindReach(i);
      FindReach(j);
      if (a.m_Physics->ParticleCount() > 0 && !a.m_Mover) BecomeMover(i);
    }
  }

  for (size_t m = 0; m < m_Movers.size(); ++m) {
    const Body& body = m_Bodies[m_Movers[m]];
    body.m_Physics->ReadBack(m_Steps);
    const Phy::AABB& bounds = body.m_Physics->Owner()->GetBounds();
    if (Util::Grid::CellIndex(bounds.Min()) != body.m_MinCell || Util::Grid::CellIndex(bounds.Max()) != body.m_MaxCell)
      m_Refile.push_back(body.m_Physics->Owner());
  }
  for (Game::Entity* entity : m_Refile) Util::Grid::Instance().Move(entity);
}

void PhysicsManager::BecomeMover(size_t index) {
  Body& body = m_Bodies[index];
  const AABB& bounds = body.m_Physics->Owner()->GetBounds();
  body.m_Mover = true;
  body.m_MinCell = Util::Grid::CellIndex(bounds.Min());
  body.m_MaxCell = Util::Grid::CellIndex(bounds.Max());
  m_Movers.push_back(index);
}

void PhysicsManager::FindReach(size_t index) {
  const PhysComp& physics = *m_Bodies[index].m_Physics;
  const AABB bounds = physics.Hull()->GetBounds();
  Reach& reach = m_Reach[index];
  reach = {bounds.m_Min, bounds.m_Max};
  const Vec3* p = physics.ParticlePositions();
  const Vec3* w = physics.ParticleVelocities();
  for (int32_t i = 0; i < physics.ParticleCount(); ++i) {
    const Vec3 from = p[i] - w[i] * m_StepLength;
    reach.m_Min = Geometry::Min(reach.m_Min, Geometry::Min(p[i], from));
    reach.m_Max = Geometry::Max(reach.m_Max, Geometry::Max(p[i], from));
  }
}

// The bodies' reaches overlap; now their hulls, or the ways their particles went.
bool PhysicsManager::Touching(size_t a, size_t b) const {
  const PhysComp& first = *m_Bodies[a].m_Physics;
  const PhysComp& second = *m_Bodies[b].m_Physics;
  return first.Hull()->Collides(*second.Hull()) || first.PassedThrough(second, m_StepLength) ||
         second.PassedThrough(first, m_StepLength);
}

bool PhysicsManager::CheckCollision(const Vec3& point) const {
  auto inside = [&point](const PhysComp* physics) { return physics->Hull() && physics->Hull()->ContainsPoint(point); };
  if (Util::Grid::Exists()) {
    const std::set<PhysComp*>& cell = Util::Grid::Instance().CellPhysics(Util::Grid::CellIndex(point));
    return std::any_of(cell.begin(), cell.end(), inside);
  }
  for (const PhysComp* physics : Util::AutoList<PhysComp>::All())
    if (inside(physics)) return true;
  return false;
}

}  // namespace Phy
