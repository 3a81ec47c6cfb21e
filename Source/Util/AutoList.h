// AutoList: the registry of every live instance of a class, in creation order, so that systems find
// all mailboxes, entities, visuals, bodies, scripts and sounds without keeping lists of their own.
//
//   class Entity : public Util::AutoList<Entity> { ... };
//   for (Entity* e : Util::AutoList<Entity>::All()) ...
//
// The registry is intrusive: each instance is its own list node, so an instance joins the end of
// the list when constructed and takes out exactly its own entry, without a search, when destroyed.
// A copy is a new instance with an entry of its own. Main thread only.
//
// All() is for walks that create and destroy no instances. ForEachLive() copes with both: an
// instance destroyed during the walk is not visited after its destruction (the walk steps around
// it, even when it is the next one due), and an instance created during the walk is not visited by
// it (it was not live when the walk began). Walks may nest.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Util {

template <class T>
class AutoList {
 public:
  class Iterator {
   public:
    explicit Iterator(AutoList* node) : m_Node(node) {}
    T* operator*() const { return static_cast<T*>(m_Node); }
    Iterator& operator++() {
      m_Node = m_Node->m_Next;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return m_Node != other.m_Node; }
    bool operator==(const Iterator& other) const { return m_Node == other.m_Node; }

   private:
    AutoList* m_Node;
  };

  struct Range {
    Iterator begin() const { return Iterator(s_Registry.head); }
    Iterator end() const { return Iterator(nullptr); }
  };

  static Range All() { return Range(); }
  static size_t Count() { return s_Registry.count; }
  // How many instances have ever been created. With Count() it tells whether the registry changed:
  // a creation raises this, a destruction lowers Count().
  static uint64_t Created() { return s_Registry.nextSerial; }

  // Calls visit(T&) for every instance live when the walk began and still live when its turn comes.
  template <class Visit>
  static void ForEachLive(Visit&& visit) {
    Registry& r = s_Registry;
    Walk walk{r.head, r.nextSerial, r.walks};
    r.walks = &walk;
    while (walk.next && walk.next->m_Serial < walk.limit) {
      AutoList* node = walk.next;
      walk.next = node->m_Next;
      visit(*static_cast<T*>(node));
    }
    r.walks = walk.outer;
  }

  // True when the links run both ways, the count is right and creation order holds.
  static bool Validate() {
    const Registry& r = s_Registry;
    size_t count = 0;
    const AutoList* prev = nullptr;
    for (const AutoList* node = r.head; node; node = node->m_Next) {
      if (node->m_Prev != prev || ++count > r.count) return false;
      if (prev && prev->m_Serial >= node->m_Serial) return false;
      prev = node;
    }
    return prev == r.tail && count == r.count;
  }

  // The instance this entry stands for.
  T* Object() { return static_cast<T*>(this); }

 protected:
  AutoList() { Link(); }
  AutoList(const AutoList&) { Link(); }
  AutoList& operator=(const AutoList&) { return *this; }
  virtual ~AutoList() { Unlink(); }

 private:
  // A walk in progress: where it goes next and where it stops.
  struct Walk {
    AutoList* next;
    uint64_t limit;
    Walk* outer;
  };

  struct Registry {
    AutoList* head;
    AutoList* tail;
    size_t count;
    uint64_t nextSerial;
    Walk* walks;
  };

  void Link() {
    Registry& r = s_Registry;
    m_Serial = r.nextSerial++;
    m_Prev = r.tail;
    m_Next = nullptr;
    (r.tail ? r.tail->m_Next : r.head) = this;
    r.tail = this;
    ++r.count;
  }

  void Unlink() {
    Registry& r = s_Registry;
    for (Walk* w = r.walks; w; w = w->outer)
      if (w->next == this) w->next = m_Next;
    (m_Prev ? m_Prev->m_Next : r.head) = m_Next;
    (m_Next ? m_Next->m_Prev : r.tail) = m_Prev;
    m_Prev = m_Next = nullptr;
    --r.count;
  }

  AutoList* m_Prev = nullptr;
  AutoList* m_Next = nullptr;
  uint64_t m_Serial = 0;

  // Constant-initialised, so the registry outlives every static instance of T.
  static inline Registry s_Registry{};
};

}  // namespace Util
