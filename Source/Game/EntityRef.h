// EntityRef: an entity named across time, by a queued message or by a system that keeps it from
// one frame to the next. An entity can die before the name is read, and the pool can build a new
// entity in its block: the reference holds the pointer and the ID together, and gives the entity
// back only while that same entity lives. It is never followed otherwise. Main thread only.
#pragma once

#include <cstdint>

namespace Game {

class Entity;

class EntityRef {
 public:
  EntityRef() = default;
  // Implicit, so that a sender writes the entity itself. Null names nothing.
  EntityRef(Entity* entity);  // NOLINT(google-explicit-constructor)

  // The entity while it lives; null once it died (or for a null reference).
  Entity* Get() const;
  // The ID it was made with (0 for null), known even after the entity died.
  int32_t Id() const { return m_Id; }
  // True when the reference was made from this entity (which need not be alive).
  bool Names(const Entity* entity) const { return entity && entity == m_Entity; }

 private:
  Entity* m_Entity = nullptr;
  int32_t m_Id = 0;
};

}  // namespace Game
