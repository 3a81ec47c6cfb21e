// AutoList: the registry of every live instance of a class, in creation order, so that systems find
// all mailboxes, entities, visuals, bodies, scripts and sounds without keeping lists of their own.
//
//   class Entity : public Util::AutoList<Entity> { ... };
//   for (Entity* e : Util::AutoList<Entity>::All()) ...
//
// The registry is an array of slots in creation order; each instance knows its slot, so it joins
// the end when constructed and empties exactly its own slot, without a search, when destroyed.
// Empty slots are closed up once no walk is running and they make up half the array. A walk is a
// run over contiguous memory (a broadcast to every mailbox costs little more than a loop of
// virtual calls). A copy is a new instance with an entry of its own. Main thread only.
//
// All() is for walks that create and destroy no instances. ForEachLive() copes with both: an
// instance destroyed during the walk is not visited after its destruction, and an instance created
// during the walk is not visited by it (it was not live when the walk began). Walks may nest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace Util {

template <class T>
class AutoList {
 public:
  class Iterator {
   public:
    explicit Iterator(size_t slot) : m_Slot(Skip(slot)) {}
    T* operator*() const { return static_cast<T*>(s_Registry.slots[m_Slot]); }
    Iterator& operator++() {
      m_Slot = Skip(m_Slot + 1);
      return *this;
    }
    bool operator!=(const Iterator& other) const { return m_Slot != other.m_Slot; }
    bool operator==(const Iterator& other) const { return m_Slot == other.m_Slot; }

   private:
    static size_t Skip(size_t slot) {
      while (slot < s_Registry.size && !s_Registry.slots[slot]) ++slot;
      return slot;
    }
    size_t m_Slot;
  };

  struct Range {
    Iterator begin() const { return Iterator(0); }
    Iterator end() const { return Iterator(s_Registry.size); }
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
    const size_t end = r.size;
    ++r.walks;
    // The array may move when the visit creates instances: each slot is read afresh.
    for (size_t slot = 0; slot < end; ++slot)
      if (AutoList* node = r.slots[slot]) visit(*static_cast<T*>(node));
    if (--r.walks == 0) CloseUpIfSparse();
  }

  // True when every slot's instance knows its slot, the counts are right and creation order holds.
  static bool Validate() {
    const Registry& r = s_Registry;
    size_t count = 0;
    const AutoList* prev = nullptr;
    for (size_t slot = 0; slot < r.size; ++slot) {
      const AutoList* node = r.slots[slot];
      if (!node) continue;
      if (node->m_Slot != slot || (prev && prev->m_Serial >= node->m_Serial)) return false;
      ++count;
      prev = node;
    }
    return count == r.count && r.size <= r.capacity;
  }

  // The instance this entry stands for.
  T* Object() { return static_cast<T*>(this); }

 protected:
  AutoList() { Link(); }
  AutoList(const AutoList&) { Link(); }
  AutoList& operator=(const AutoList&) { return *this; }
  virtual ~AutoList() { Unlink(); }

 private:
  // Plain data, constant-initialised and never destroyed, so the registry outlives every static
  // instance of T; the array goes back to the heap whenever the registry empties.
  struct Registry {
    AutoList** slots;
    size_t size;      // slots in use, empty ones included
    size_t capacity;
    size_t count;     // live instances
    uint64_t nextSerial;
    uint32_t walks;   // ForEachLive walks in progress
  };

  void Link() {
    Registry& r = s_Registry;
    if (r.size == r.capacity) {
      const size_t capacity = r.capacity ? 2 * r.capacity : 16;
      auto** slots = static_cast<AutoList**>(std::realloc(r.slots, capacity * sizeof(AutoList*)));
      if (!slots) std::abort();  // no memory left for a registry entry: nothing sensible remains
      r.slots = slots;
      r.capacity = capacity;
    }
    m_Serial = r.nextSerial++;
    m_Slot = r.size;
    r.slots[r.size++] = this;
    ++r.count;
  }

  void Unlink() {
    Registry& r = s_Registry;
    r.slots[m_Slot] = nullptr;
    --r.count;
    if (r.walks == 0) CloseUpIfSparse();
  }

  static void CloseUpIfSparse() {
    Registry& r = s_Registry;
    while (r.size > 0 && !r.slots[r.size - 1]) --r.size;
    if (r.count == 0) {
      std::free(r.slots);
      r.slots = nullptr;
      r.size = r.capacity = 0;
      return;
    }
    if (2 * r.count > r.size) return;
    size_t kept = 0;
    for (size_t slot = 0; slot < r.size; ++slot) {
      if (AutoList* node = r.slots[slot]) {
        node->m_Slot = kept;
        r.slots[kept++] = node;
      }
    }
    r.size = kept;
  }

  size_t m_Slot = 0;
  uint64_t m_Serial = 0;

  static inline Registry s_Registry{};
};

}  // namespace Util
