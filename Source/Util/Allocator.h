// Allocator: fixed-size block pools, one per block size, for every message and the small objects
// that come and go by the thousand (entities, components, sounds, bounding nodes, the player).
//
// Owns its pages; reads nothing. Main thread only. A pool grows page by page and never shrinks
// while the game runs; its pages go back to the heap when the pool dies at program exit, where it
// reports "Memory leak!" if blocks are still in use (and then keeps the pages, so that an object
// that outlives its pool still has its memory).
//
// With debugging on (the shipped setting) every block sits between guard bytes, new, handed-out and
// freed memory carry fill patterns, and every free is checked: the address must be a block of this
// pool, not already free, and its guard bytes untouched. A free that fails the address or the
// double-free check is reported and then dropped, so that the free list never holds a foreign or
// repeated block. Every block taken from the free list is checked the same way: one that a stray
// write forged is reported, and the list is made again from the blocks the pool knows are free.
// Each check costs the same however many pages or free blocks the pool has.
//
//   class Entity : public Util::AutoList<Entity>, public Util::Pooled<Entity> { ... };
//
// In the sanitizer build (HM_SANITIZE) the blocks come from the general heap, one by one, so that
// the sanitizer sees every access; the statistics and the leak report stay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "Util/Singleton.h"

namespace Util {

struct AllocatorConfig {
  uint32_t ObjectsPerPage_ = 4;  // blocks carved from each page
  uint32_t MaxPages_ = 0;        // page limit; 0 means none
  bool DebugOn_ = true;          // fill patterns and free-time checks
  uint32_t PadBytes_ = 8;        // guard bytes before and after every block
};

struct AllocatorStats {
  uint32_t FreeObjects_ = 0;    // blocks on the free list
  uint32_t ObjectsInUse_ = 0;   // blocks handed out and not yet freed
  uint32_t PagesInUse_ = 0;     // pages allocated so far
  uint32_t PageSize_ = 0;       // bytes per page
  uint32_t MostObjects_ = 0;    // high-water mark of ObjectsInUse_
  uint32_t Allocations_ = 0;    // total allocations
  uint32_t Deallocations_ = 0;  // total frees
};

// Where a pool's pages come from. The heap unless a test wants a page refused.
struct PageSource {
  void* (*Acquire)(size_t bytes);
  void (*Release)(void* page);
};
PageSource HeapPages();

// One pool of blocks of one size under one configuration. The singleton Allocator<N> below is the
// pool the game uses; a BlockPool of its own serves tests and benchmarks.
class BlockPool {
 public:
  // Blocks are aligned for any object.
  static constexpr size_t kAlignment = alignof(std::max_align_t);

  static constexpr unsigned char UNALLOCATED_PATTERN = 0xAA;
  static constexpr unsigned char PAD_PATTERN = 0xDD;
  static constexpr unsigned char ALLOCATED_PATTERN = 0xBB;
  static constexpr unsigned char FREED_PATTERN = 0xCC;

  BlockPool(size_t blockSize, const AllocatorConfig& config, PageSource pages = HeapPages());
  ~BlockPool();
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  // One block of BlockSize() bytes (the size asked for, or a link word if that is more), or null
  // when no page could be had.
  void* Allocate();
  // Takes back a block from Allocate of this pool; null is ignored.
  void Free(void* block);

  // True when the lists, the statistics and (with debugging) the guard bytes and the fill of the
  // free blocks agree with each other.
  bool Validate() const;

  const AllocatorConfig& Config() const { return Config_; }
  const AllocatorStats& Stats() const { return Stats_; }
  size_t BlockSize() const { return m_BlockSize; }
  // The page layout: the link word's share, then slots of SlotSize() bytes each.
  size_t LinkBytes() const { return m_LinkBytes; }
  size_t SlotSize() const { return m_SlotSize; }

 private:
  struct Place {
    int64_t page = -1;          // index into m_Pages, or -1 when no page holds the address
    int64_t distFromStart = 0;  // from the first block of that page
    bool onBoundary = false;    // the address starts a block
    size_t slot = 0;            // that block's number among all slots, when on a boundary
  };

  bool NewPage();
  void RelinkFreeBlocks();
  Place Locate(const char* address) const;
  bool CheckFree(char* block, const Place& place);
  char* PrePad(char* block) const { return block - Config_.PadBytes_; }
  char* PostPad(char* block) const { return block + m_BlockSize; }
  bool GuardsIntact(char* block) const;
  bool UntouchedWhileFree(const unsigned char* block) const;
  void CountAllocation();
  void CountFree();

  AllocatorConfig Config_;
  AllocatorStats Stats_;
  char* PageList_ = nullptr;  // newest page; its first word links to the previous one
  void* FreeList_ = nullptr;  // first free block; its first word links to the next free block

  size_t m_BlockSize;
  size_t m_LinkBytes;
  size_t m_SlotSize;
  size_t m_PostPadBytes;
  PageSource m_Source;
  // Page lookup without a walk: the address space is cut into buckets of at least a page, a page
  // is filed under the one or two buckets it touches, so a bucket holds at most three pages. The
  // buckets in use sit in an open-addressed table.
  struct Bucket {
    uintptr_t key = 0;
    uint32_t pages[3] = {};
    uint32_t count = 0;  // 0: this table entry is unused
  };
  void FilePage(uintptr_t key, uint32_t page);
  const Bucket* FindBucket(uintptr_t key) const;
  size_t TableIndex(uintptr_t key) const;

  unsigned m_BucketShift;
  std::vector<Bucket> m_Buckets;  // a power of two long, at most half full
  size_t m_BucketsUsed = 0;
  std::vector<char*> m_Pages;        // page bases in allocation order
  std::vector<uint8_t> m_FreeSlots;  // per slot of every page: 1 while the block is on the free list
};

// The configuration every Allocator is built with.
inline AllocatorConfig ShippedAllocatorConfig() { return AllocatorConfig(); }

// The pool for blocks of N bytes: created on first use, destroyed at program exit.
template <size_t N>
class Allocator : public Singleton<Allocator<N>>, public BlockPool {
 public:
  ~Allocator() override { s_Destroyed = true; }
  // True once the pool has died at exit; a block freed after that stays where it is.
  static bool Destroyed() { return s_Destroyed; }

 private:
  friend class Singleton<Allocator<N>>;
  Allocator() : Singleton<Allocator<N>>(false), BlockPool(N, ShippedAllocatorConfig()) {}

  static inline bool s_Destroyed = false;
};

// Gives T its class-level allocation from the pool of its own size. An object of a class derived
// from T with a different size goes to the general heap instead: it has no pool of its size here.
template <class T>
class Pooled {
 public:
  static void* operator new(std::size_t size) noexcept {
    if (size != sizeof(T)) return ::operator new(size, std::nothrow);
    return Allocator<sizeof(T)>::Instance().Allocate();
  }
  static void operator delete(void* block, std::size_t size) noexcept {
    if (!block) return;
    if (size != sizeof(T)) {
      ::operator delete(block);
      return;
    }
    if (Allocator<sizeof(T)>::Destroyed()) return;
    Allocator<sizeof(T)>::Instance().Free(block);
  }
};

}  // namespace Util
