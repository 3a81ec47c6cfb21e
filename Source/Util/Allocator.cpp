// The block pool.
//
// Page layout (N = block size, P = PadBytes_, K = ObjectsPerPage_, A = kAlignment, 16 on x86-64):
//   [link word][P guard | N block | Q guard] x K
// The link word holds the previous page. It takes L bytes, the smallest share of at least one
// pointer that puts the first block on an A boundary (8 bytes with P = 8); each slot takes
// S = N + 2P rounded up to a multiple of A, so every block is A-aligned, and the rounding goes to
// the guard after the block (Q = S - N - P >= P). Block i of a page starts at page + L + P + i S;
// PageSize_ = L + K S (136 bytes for N = 8 in the shipped configuration).
//
// Invariants, with debugging on (Validate checks them all):
// - the page list, walked from PageList_, is m_Pages newest first, PagesInUse_ long;
// - every page is filed in m_Buckets under (page >> m_BucketShift) and under the bucket of its
//   last byte; 2^m_BucketShift >= PageSize_, so no bucket is touched by more than three pages;
// - the free list holds only block starts of this pool's pages, each once, FreeObjects_ of them,
//   and m_FreeSlots is 1 for exactly those slots; FreeObjects_ + ObjectsInUse_ = K PagesInUse_;
// - guard bytes hold PAD_PATTERN, and a free block holds FREED_PATTERN (UNALLOCATED_PATTERN if
//   it was never handed out) after its link word, unless somebody wrote where they should not.
// So a free finds its page with one bucket lookup and knows from one flag whether the block is
// already free: the verdicts of a walk over the page list and the free list, at constant cost.
#include "Util/Allocator.h"

#include <algorithm>
#include <cstring>

#ifdef HM_SANITIZE
constexpr bool kBlocksFromHeap = true;
#else
constexpr bool kBlocksFromHeap = false;
#endif

namespace Util {
namespace {

constexpr const char* kAssertFile = "Source\\Util\\util_allocator";

size_t RoundUp(size_t value, size_t multiple) { return (value + multiple - 1) / multiple * multiple; }

void* AcquireFromHeap(size_t bytes) {
  return ::operator new(bytes, std::align_val_t(BlockPool::kAlignment), std::nothrow);
}

void ReleaseToHeap(void* page) { ::operator delete(page, std::align_val_t(BlockPool::kAlignment)); }

// The first word of a page or of a free block is a link.
void* LinkOf(const void* at) {
  void* next;
  std::memcpy(&next, at, sizeof next);
  return next;
}

void SetLink(void* at, const void* next) { std::memcpy(at, &next, sizeof next); }

unsigned ShiftCovering(size_t bytes) {
  unsigned shift = 0;
  while ((size_t{1} << shift) < bytes) ++shift;
  return shift;
}

}  // namespace

PageSource HeapPages() { return PageSource{AcquireFromHeap, ReleaseToHeap}; }

BlockPool::BlockPool(size_t blockSize, const AllocatorConfig& config, PageSource pages)
    : Config_(config), m_BlockSize(std::max(blockSize, sizeof(void*))), m_Source(pages) {
  const size_t pad = Config_.PadBytes_;
  m_LinkBytes = RoundUp(sizeof(void*) + pad, kAlignment) - pad;
  m_SlotSize = RoundUp(m_BlockSize + 2 * pad, kAlignment);
  m_PostPadBytes = m_SlotSize - m_BlockSize - pad;
  Stats_.PageSize_ = static_cast<uint32_t>(m_LinkBytes + Config_.ObjectsPerPage_ * m_SlotSize);
  m_BucketShift = ShiftCovering(Stats_.PageSize_);
}

BlockPool::~BlockPool() {
  // Objects still alive may yet be destroyed by their owners during exit; their pages stay.
  if (!UTIL_ASSERT(Stats_.ObjectsInUse_ == 0, "Memory leak!")) return;
  while (PageList_) {
    char* page = PageList_;
    PageList_ = static_cast<char*>(LinkOf(page));
    m_Source.Release(page);
  }
}

void BlockPool::CountAllocation() {
  ++Stats_.Allocations_;
  ++Stats_.ObjectsInUse_;
  Stats_.MostObjects_ = std::max(Stats_.MostObjects_, Stats_.ObjectsInUse_);
}

void BlockPool::CountFree() {
  ++Stats_.Deallocations_;
  --Stats_.ObjectsInUse_;
}

bool BlockPool::NewPage() {
  UTIL_ASSERT_EXPR(!Config_.MaxPages_ || Stats_.PagesInUse_ < Config_.MaxPages_,
                   "(!Config_.MaxPages_) || (Stats_.PagesInUse_ < Config_.MaxPages_)",
                   "The page limit has been reached for this allocator.");
  char* newPageListHead = static_cast<char*>(m_Source.Acquire(Stats_.PageSize_));
  if (!UTIL_ASSERT(newPageListHead, "Sorry, You don't have enough memory!")) return false;
  ++Stats_.PagesInUse_;
  char* page = newPageListHead;
  if (Config_.DebugOn_) std::memset(page, UNALLOCATED_PATTERN, Stats_.PageSize_);
  SetLink(page, PageList_);
  PageList_ = page;

  const uint32_t index = static_cast<uint32_t>(m_Pages.size());
  m_Pages.push_back(page);
  const uintptr_t first = reinterpret_cast<uintptr_t>(page) >> m_BucketShift;
  const uintptr_t last = (reinterpret_cast<uintptr_t>(page) + Stats_.PageSize_ - 1) >> m_BucketShift;
  FilePage(first, index);
  if (last != first) FilePage(last, index);
  m_FreeSlots.resize(m_FreeSlots.size() + Config_.ObjectsPerPage_, 1);

  // Carved in address order onto the head of the free list: the last block goes out first.
  const size_t pad = Config_.PadBytes_;
  for (uint32_t i = 0; i < Config_.ObjectsPerPage_; ++i) {
    char* block = page + m_LinkBytes + pad + i * m_SlotSize;
    if (pad > 0 && Config_.DebugOn_) {
      std::memset(PrePad(block), PAD_PATTERN, pad);
      std::memset(PostPad(block), PAD_PATTERN, m_PostPadBytes);
    }
    SetLink(block, FreeList_);
    FreeList_ = block;
    ++Stats_.FreeObjects_;
  }
  return true;
}

size_t BlockPool::TableIndex(uintptr_t key) const {
  // Fibonacci hashing: neighbouring buckets spread over the table.
  return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & (m_Buckets.size() - 1);
}

const BlockPool::Bucket* BlockPool::FindBucket(uintptr_t key) const {
  if (m_Buckets.empty()) return nullptr;
  for (size_t i = TableIndex(key);; i = (i + 1) & (m_Buckets.size() - 1)) {
    const Bucket& bucket = m_Buckets[i];
    if (bucket.count == 0) return nullptr;
    if (bucket.key == key) return &bucket;
  }
}

void BlockPool::FilePage(uintptr_t key, uint32_t page) {
  if (2 * (m_BucketsUsed + 1) > m_Buckets.size()) {
    std::vector<Bucket> old(std::max<size_t>(16, 2 * m_Buckets.size()));
    old.swap(m_Buckets);
    m_BucketsUsed = 0;
    for (const Bucket& bucket : old)
      for (uint32_t i = 0; i < bucket.count; ++i) FilePage(bucket.key, bucket.pages[i]);
  }
  size_t i = TableIndex(key);
  while (m_Buckets[i].count != 0 && m_Buckets[i].key != key) i = (i + 1) & (m_Buckets.size() - 1);
  Bucket& bucket = m_Buckets[i];
  if (bucket.count == 0) {
    bucket.key = key;
    ++m_BucketsUsed;
  }
  bucket.pages[bucket.count++] = page;
}

BlockPool::Place BlockPool::Locate(const char* address) const {
  Place place;
  const uintptr_t at = reinterpret_cast<uintptr_t>(address);
  const Bucket* bucket = FindBucket(at >> m_BucketShift);
  for (uint32_t i = 0; bucket && i < bucket->count; ++i) {
    const uintptr_t page = reinterpret_cast<uintptr_t>(m_Pages[bucket->pages[i]]);
    if (page < at && at < page + Stats_.PageSize_) {
      place.page = bucket->pages[i];
      place.distFromStart = static_cast<int64_t>(at - page) - static_cast<int64_t>(m_LinkBytes + Config_.PadBytes_);
      if (place.distFromStart >= 0) {
        // Offsets within a page fit 32 bits, and so divide faster.
        const uint32_t dist = static_cast<uint32_t>(place.distFromStart);
        const uint32_t slotSize = static_cast<uint32_t>(m_SlotSize);
        const uint32_t inPage = dist / slotSize;
        place.onBoundary = dist == inPage * slotSize;
        place.slot = place.page * Config_.ObjectsPerPage_ + inPage;
      }
      break;
    }
  }
  return place;
}

void* BlockPool::Allocate() {
  if (kBlocksFromHeap) {
    void* block = AcquireFromHeap(m_BlockSize);
    if (block) CountAllocation();
    return block;
  }
  for (;;) {
    if (!FreeList_ && !NewPage()) return nullptr;
    void* block = FreeList_;
    if (Config_.DebugOn_) {
      // A stray write into a freed block's link word forges the next block: what is handed out
      // must be a free block of this pool, or the list past it is not to be trusted.
      const Place place = Locate(static_cast<char*>(block));
      const bool listed = place.onBoundary && m_FreeSlots[place.slot];
      if (!UTIL_ASSERT(listed, "ValidateFreeList: Allocating invalid address.")) {
        RelinkFreeBlocks();
        continue;
      }
      m_FreeSlots[place.slot] = 0;
    }
    FreeList_ = LinkOf(block);
    --Stats_.FreeObjects_;
    CountAllocation();
    if (Config_.DebugOn_) std::memset(block, ALLOCATED_PATTERN, m_BlockSize);
    return block;
  }
}

void BlockPool::RelinkFreeBlocks() {
  // The free flags know every free block; the damaged list is dropped and made again from them.
  FreeList_ = nullptr;
  Stats_.FreeObjects_ = 0;
  for (size_t slot = 0; slot < m_FreeSlots.size(); ++slot) {
    if (!m_FreeSlots[slot]) continue;
    char* block = m_Pages[slot / Config_.ObjectsPerPage_] + m_LinkBytes + Config_.PadBytes_ +
                  slot % Config_.ObjectsPerPage_ * m_SlotSize;
    SetLink(block, FreeList_);
    FreeList_ = block;
    ++Stats_.FreeObjects_;
  }
}

bool BlockPool::CheckFree(char* block, const Place& place) {
  if (place.page < 0) {
    UTIL_ASSERT(false, "ValidateAddress: Freeing invalid address.");
    return false;
  }
  if (!UTIL_ASSERT_EXPR(place.onBoundary, "!(distFromStart % (Size + Config_.PadBytes_ * 2))",
                        "ValidateBoundary: Freeing invalid address."))
    return false;
  if (!UTIL_ASSERT_EXPR(!m_FreeSlots[place.slot], "Object != freeList", "CheckMultiFree: Object already freed."))
    return false;
  // A damaged guard is reported byte by byte; the block itself is sound and is taken back.
  const size_t pad = Config_.PadBytes_;
  if (pad > 0 && !GuardsIntact(block)) {
    const unsigned char* prePadding = reinterpret_cast<unsigned char*>(PrePad(block));
    const unsigned char* postPadding = reinterpret_cast<unsigned char*>(PostPad(block));
    for (size_t i = 0; i < m_PostPadBytes; ++i) {
      if (i < pad)
        UTIL_ASSERT_EXPR(prePadding[i] == PAD_PATTERN, "prePadding[i] == PAD_PATTERN",
                         "Invalid memory write before memory block.");
      UTIL_ASSERT_EXPR(postPadding[i] == PAD_PATTERN, "postPadding[i] == PAD_PATTERN",
                       "Invalid memory write after memory block.");
    }
  }
  m_FreeSlots[place.slot] = 1;
  return true;
}

void BlockPool::Free(void* object) {
  if (!object) return;
  if (kBlocksFromHeap) {
    ReleaseToHeap(object);
    CountFree();
    return;
  }
  char* block = static_cast<char*>(object);
  if (Config_.DebugOn_) {
    if (!CheckFree(block, Locate(block))) return;
    std::memset(block, FREED_PATTERN, m_BlockSize);
  }
  SetLink(block, FreeList_);
  FreeList_ = block;
  ++Stats_.FreeObjects_;
  CountFree();
}

bool BlockPool::GuardsIntact(char* block) const {
  const size_t pad = Config_.PadBytes_;
  if (pad == 0) return true;
  const char* pre = PrePad(block);
  const char* post = PostPad(block);
  return std::all_of(pre, pre + pad, [](char c) { return static_cast<unsigned char>(c) == PAD_PATTERN; }) &&
         std::all_of(post, post + m_PostPadBytes, [](char c) { return static_cast<unsigned char>(c) == PAD_PATTERN; });
}

bool BlockPool::UntouchedWhileFree(const unsigned char* block) const {
  // Past its link word a free block is all freed pattern, or all new-page pattern if never used.
  const unsigned char* from = block + std::min(sizeof(void*), m_BlockSize);
  const unsigned char* to = block + m_BlockSize;
  return std::all_of(from, to, [](unsigned char c) { return c == FREED_PATTERN; }) ||
         std::all_of(from, to, [](unsigned char c) { return c == UNALLOCATED_PATTERN; });
}

bool BlockPool::Validate() const {
  const AllocatorStats& s = Stats_;
  if (s.Allocations_ - s.Deallocations_ != s.ObjectsInUse_ || s.MostObjects_ < s.ObjectsInUse_) return false;
  if (kBlocksFromHeap) return s.FreeObjects_ == 0 && s.PagesInUse_ == 0;

  if (s.FreeObjects_ + s.ObjectsInUse_ != s.PagesInUse_ * Config_.ObjectsPerPage_) return false;
  if (m_Pages.size() != s.PagesInUse_) return false;
  size_t pages = 0;
  for (const char* page = PageList_; page; page = static_cast<const char*>(LinkOf(page))) {
    if (pages >= m_Pages.size() || m_Pages[m_Pages.size() - 1 - pages] != page) return false;
    ++pages;
  }
  if (pages != m_Pages.size()) return false;
  for (size_t i = 0; i < m_Pages.size(); ++i) {
    const uintptr_t base = reinterpret_cast<uintptr_t>(m_Pages[i]);
    for (uintptr_t key : {base >> m_BucketShift, (base + s.PageSize_ - 1) >> m_BucketShift}) {
      const Bucket* bucket = FindBucket(key);
      if (!bucket || std::find(bucket->pages, bucket->pages + bucket->count, i) == bucket->pages + bucket->count)
        return false;
    }
  }

  size_t onList = 0;
  std::vector<uint8_t> seen(m_Pages.size() * Config_.ObjectsPerPage_, 0);
  for (const void* block = FreeList_; block; block = LinkOf(block)) {
    const Place place = Locate(static_cast<const char*>(block));
    if (++onList > s.FreeObjects_ || !place.onBoundary || seen[place.slot]) return false;
    seen[place.slot] = 1;
    if (Config_.DebugOn_ && (!m_FreeSlots[place.slot] || !UntouchedWhileFree(static_cast<const unsigned char*>(block))))
      return false;
  }
  if (onList != s.FreeObjects_) return false;
  if (!Config_.DebugOn_) return true;
  if (!std::equal(seen.begin(), seen.end(), m_FreeSlots.begin(), m_FreeSlots.end())) return false;
  for (char* page : m_Pages)
    for (uint32_t i = 0; i < Config_.ObjectsPerPage_; ++i)
      if (!GuardsIntact(page + m_LinkBytes + Config_.PadBytes_ + i * m_SlotSize)) return false;
  return true;
}

}  // namespace Util
