#include "Game/EntityManager.h"

#include <cstring>
#include <set>

#include "Game/Entity.h"
#include "Graphics/Visual.h"
#include "Messaging/Messages.h"
#include "Util/Allocator.h"

namespace Game {
namespace {

constexpr const char* kAssertFile = "Source\\Game\\game_entitymanager";

}  // namespace

// A list node owns its entity.
struct EntityManager::Node : public Util::Pooled<Node> {
  Entity* entity;
  Node* next;
  Node* prev;
};

EntityManager::~EntityManager() {
  // Whatever is left goes now, so that no entity outlives its owner.
  if (!UTIL_ASSERT_EXPR(m_frst == nullptr, "m_frst == 0",
                        "Entity manager destructor being called with entities still active."))
    Shutdown();
}

Entity* EntityManager::CreateEntity(const char* path) {
  if (!path) return nullptr;
  Entity* entity = Append(new Entity(path));
  Msg::MailMan::Instance().Post(new Msg::eManAddedMsg(entity, entity->ScriptFlag()));
  return entity;
}

Entity* EntityManager::CreateLight(const char* path, const float color[4], float radius) {
  if (!path) return nullptr;
  Entity* entity = Append(new Entity(path));
  Msg::MailMan::Instance().Post(new Msg::eManAddedMsg(entity, false));
  if (Gfx::Visual* visual = entity->GetVisual()) {
    if (color) visual->SetColor(color);
    visual->SetRadius(radius);
  }
  return entity;
}

Entity* EntityManager::Append(Entity* entity) {
  Node* node = new Node{};
  node->entity = entity;
  node->prev = m_Last;
  (m_Last ? m_Last->next : m_frst) = node;
  m_Last = node;
  ++m_Count;
  return entity;
}

template <class Match>
EntityManager::Node* EntityManager::Find(Match&& match) const {
  for (Node* node = m_frst; node; node = node->next)
    if (match(*node->entity)) return node;
  return nullptr;
}

namespace {

auto NameContains(const char* text) {
  return [text](const Entity& e) { return text && std::strstr(e.GetName(), text) != nullptr; };
}
auto NameIs(const char* text) {
  return [text](const Entity& e) { return text && std::strcmp(e.GetName(), text) == 0; };
}
auto IdIs(int32_t id) {
  return [id](const Entity& e) { return e.GetID() == id; };
}
auto Is(const Entity* entity) {
  return [entity](const Entity& e) { return &e == entity; };
}

}  // namespace

Entity* EntityManager::FindByName(const char* text) const {
  const Node* node = Find(NameContains(text));
  return node ? node->entity : nullptr;
}

Entity* EntityManager::FindByFullName(const char* text) const {
  const Node* node = Find(NameIs(text));
  return node ? node->entity : nullptr;
}

Entity* EntityManager::FindByID(int32_t id) const {
  const Node* node = Find(IdIs(id));
  return node ? node->entity : nullptr;
}

bool EntityManager::RemoveByName(const char* text) {
  Node* node = Find(NameContains(text));
  if (node) Remove(node);
  return node != nullptr;
}

bool EntityManager::RemoveByFullName(const char* text) {
  Node* node = Find(NameIs(text));
  if (node) Remove(node);
  return node != nullptr;
}

bool EntityManager::RemoveByPtr(const Entity* entity) {
  Node* node = entity ? Find(Is(entity)) : nullptr;
  if (node) Remove(node);
  return node != nullptr;
}

bool EntityManager::RemoveByID(int32_t id) {
  Node* node = Find(IdIs(id));
  if (node) Remove(node);
  return node != nullptr;
}

void EntityManager::Remove(Node* node) {
  (node->prev ? node->prev->next : m_frst) = node->next;
  (node->next ? node->next->prev : m_Last) = node->prev;
  --m_Count;
  // Receivers still find the entity alive (and on the registry of entities), no longer listed.
  Msg::Send(new Msg::eManRemovedMsg(node->entity->GetName(), node->entity->GetID()));
  delete node->entity;
  delete node;
}

void EntityManager::Shutdown() {
  while (m_frst) Remove(m_frst);
}

std::vector<Entity*> EntityManager::Entities() const {
  std::vector<Entity*> entities;
  entities.reserve(m_Count);
  for (const Node* node = m_frst; node; node = node->next) entities.push_back(node->entity);
  return entities;
}

bool EntityManager::Validate() const {
  if ((m_frst == nullptr) != (m_Last == nullptr)) return false;
  std::set<const Entity*> seen;
  const Node* prev = nullptr;
  for (const Node* node = m_frst; node; node = node->next) {
    if (node->prev != prev || !node->entity || !seen.insert(node->entity).second) return false;
    if (prev && prev->entity->GetID() >= node->entity->GetID()) return false;
    prev = node;
  }
  return prev == m_Last && seen.size() == m_Count;
}

void EntityManager::Receive(const Util::Handle<Msg::eManAddMsg>& message) { CreateEntity(message->m_File.Get()); }

void EntityManager::Receive(const Util::Handle<Msg::eManAddAtMsg>& message) {
  Entity* entity = CreateEntity(message->m_File.Get());
  if (!entity) return;
  entity->SetPosition(message->m_Position);
  entity->SetRotation(message->m_Rotation);
}

void EntityManager::Receive(const Util::Handle<Msg::eManRemoveByNameMsg>& message) { RemoveByName(message->m_Name.Get()); }

void EntityManager::Receive(const Util::Handle<Msg::eManRemoveByFullNameMsg>& message) {
  RemoveByFullName(message->m_FullName.Get());
}

void EntityManager::Receive(const Util::Handle<Msg::eManRemoveByPtrMsg>& message) { 
  // A removal queued for an entity that has died since names nothing, even if a newer entity
  // now lives in its memory.
  RemoveByPtr(message->m_Entity.Get());
}

}  // namespace Game
