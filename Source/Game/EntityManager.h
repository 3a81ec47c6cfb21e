// EntityManager: owns every entity built from a definition file, in a list in creation order.
//
// Creates entities on request (a definition file, optionally placed and turned) and announces
// each with eManAddedMsg, posted with the entity and its script flag; the spatial grid files the
// entity when that is delivered. Finds entities by name (a part of the full name), full name, ID
// or pointer, and removes them: the entity leaves the list, eManRemovedMsg (a copy of its full
// name and its ID) is sent at once, while the entity still lives, and then the entity and its
// components are destroyed. Every search and removal takes the earliest created match only.
//
// Handles eManAddMsg, eManAddAtMsg, eManRemoveByNameMsg, eManRemoveByFullNameMsg and
// eManRemoveByPtrMsg at the frame's delivery; scripts and gameplay code also call it directly.
// Created during start-up; Shutdown removes every entity, and the list must be empty when the
// manager is destroyed. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Messaging/MailBox.h"
#include "Util/Singleton.h"

namespace Game {

class Entity;

class EntityManager : public Util::Singleton<EntityManager>, public Msg::MailBox {
 public:
  // The new entity, appended to the list and announced; null (and nothing sent) for a null path.
  Entity* CreateEntity(const char* path);
  // As CreateEntity, announced with the flag false, then its visual (if any) takes the colour
  // (red, green, blue, alpha; null leaves it) and the radius.
  Entity* CreateLight(const char* path, const float color[4], float radius);

  // The earliest created entity whose full name contains text ("Vine" finds "Vine7").
  Entity* FindByName(const char* text) const;
  // The earliest created entity whose full name is text, byte for byte.
  Entity* FindByFullName(const char* text) const;
  Entity* FindByID(int32_t id) const;

  // Each removes the earliest created match; false when nothing matched. A pointer that is not
  // one of the manager's entities matches nothing and is never followed.
  bool RemoveByName(const char* text);
  bool RemoveByFullName(const char* text);
  bool RemoveByPtr(const Entity* entity);
  bool RemoveByID(int32_t id);

  // Removes every entity, earliest first, each announced as any removal.
  void Shutdown();

  size_t Count() const { return m_Count; }
  // The entities in creation order.
  std::vector<Entity*> Entities() const;
  // True when the list's links agree both ways, its head and tail and count are right, each
  // entity is listed once and the IDs rise along the list (creation order).
  bool Validate() const;

  void Receive(const Util::Handle<Msg::eManAddMsg>& message) override;
  void Receive(const Util::Handle<Msg::eManAddAtMsg>& message) override;
  void Receive(const Util::Handle<Msg::eManRemoveByNameMsg>& message) override;
  void Receive(const Util::Handle<Msg::eManRemoveByFullNameMsg>& message) override;
  void Receive(const Util::Handle<Msg::eManRemoveByPtrMsg>& message) override;

 private:
  friend class Util::Singleton<EntityManager>;
  struct Node;

  EntityManager() : Singleton(true) {}
  ~EntityManager() override;

  Entity* Append(Entity* entity);
  template <class Match>
  Node* Find(Match&& match) const;
  void Remove(Node* node);

  Node* m_frst = nullptr;  // earliest created
  Node* m_Last = nullptr;
  size_t m_Count = 0;
};

}  // namespace Game
