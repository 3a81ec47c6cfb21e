// The pool's own layout, patterns and free-time checks. The sanitizer build hands out heap blocks
// instead, so these run in the ordinary build only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Util/Allocator.h"

using Testing::AssertRecorder;
using Util::AllocatorConfig;
using Util::BlockPool;
using Texts = std::vector<std::string>;

namespace {

bool AllAre(const unsigned char* from, size_t count, unsigned char value) {
  return std::all_of(from, from + count, [value](unsigned char c) { return c == value; });
}

std::string Reported(const std::string& expression, const std::string& comment) {
  return AssertRecorder::Head(expression, comment, "Source\\Util\\util_allocator");
}

// No assertion may fail, the pools' own destructions included, unless a test clears what it expected.
class Pool : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_Asserts.Texts(), Texts{}); }
  // The assertions reported so far, cleared.
  Texts Heads() {
    const Texts heads = m_Asserts.Heads();
    m_Asserts.Clear();
    return heads;
  }
  AssertRecorder m_Asserts;
};

}  // namespace

TEST_F(Pool, PagesHoldFourGuardedAlignedSlotsHandedOutFromTheTopWithTheirFillPatterns) {
  EXPECT_EQ(BlockPool(8, Util::ShippedAllocatorConfig()).Stats().PageSize_, 136u);  // 8 + 4 × 32
  BlockPool pool(40, Util::ShippedAllocatorConfig());  // 40 + 2 × 8 guard bytes, rounded up to 64
  std::vector<unsigned char*> got;
  for (int i = 0; i < 4; ++i) got.push_back(static_cast<unsigned char*>(pool.Allocate()));
  for (int i = 1; i < 4; ++i) EXPECT_EQ(got[i - 1] - got[i], 64);
  EXPECT_EQ(pool.Stats().PagesInUse_, 1u);
  got.push_back(static_cast<unsigned char*>(pool.Allocate()));
  EXPECT_EQ(pool.Stats().PagesInUse_, 2u);
  EXPECT_EQ(pool.Stats().FreeObjects_, 3u);

  unsigned char* block = got[4];
  EXPECT_TRUE(AllAre(block, 40, BlockPool::ALLOCATED_PATTERN));
  EXPECT_TRUE(AllAre(block - 8, 8, BlockPool::PAD_PATTERN) && AllAre(block + 40, 16, BlockPool::PAD_PATTERN));
  // The block below is still unused: past its free-list link it is as the new page was filled.
  EXPECT_TRUE(AllAre(block - 64 + sizeof(void*), 40 - sizeof(void*), BlockPool::UNALLOCATED_PATTERN));
  pool.Free(block);
  EXPECT_TRUE(AllAre(block + sizeof(void*), 40 - sizeof(void*), BlockPool::FREED_PATTERN));
  for (unsigned char* b : got)
    if (b != block) pool.Free(b);
}

// With debugging off and without guards, blocks are carved, counted and recycled alike.
TEST_F(Pool, ThousandsFreedInRandomOrderAreCountedAndAllComeBackAlignedBeforeANewPage) {
  for (bool debug : {true, false}) {
    AllocatorConfig config = Util::ShippedAllocatorConfig();
    config.DebugOn_ = debug;
    config.PadBytes_ = debug ? 8 : 0;
    BlockPool pool(40, config);
    std::vector<void*> blocks;
    for (int i = 0; i < 4000; ++i) blocks.push_back(pool.Allocate());
    std::shuffle(blocks.begin(), blocks.end(), std::mt19937(7));
    for (size_t i = 0; i < blocks.size(); i += 2) pool.Free(blocks[i]);
    EXPECT_TRUE(pool.Validate());
    for (size_t i = 1; i < blocks.size(); i += 2) pool.Free(blocks[i]);
    const Util::AllocatorStats& s = pool.Stats();
    EXPECT_EQ(
        (std::vector<uint32_t>{s.Allocations_, s.Deallocations_, s.ObjectsInUse_, s.MostObjects_, s.FreeObjects_}),
        (std::vector<uint32_t>{4000, 4000, 0, 4000, 4000}));
    EXPECT_EQ(pool.Allocate(), blocks.back());  // last freed, first out
    std::set<void*> again{blocks.back()};
    for (int i = 1; i < 4000; ++i) again.insert(pool.Allocate());
    EXPECT_EQ(again, std::set<void*>(blocks.begin(), blocks.end()));
    EXPECT_EQ(s.PagesInUse_, 1000u);
    for (void* b : again) EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % BlockPool::kAlignment, 0u);
    EXPECT_TRUE(pool.Validate());
    for (void* b : again) pool.Free(b);
  }
}

// Each damaged guard byte is reported, those before the block first, then those after in order.
TEST_F(Pool, WritesJustOutsideABlockAreReportedByteByByteOnItsFreeAndTheBlockIsTakenBack) {
  BlockPool pool(16, Util::ShippedAllocatorConfig());
  auto* block = static_cast<unsigned char*>(pool.Allocate());
  block[-8] = block[16] = block[17] = 1;
  pool.Free(block);
  const std::string after = Reported("postPadding[i] == PAD_PATTERN", "Invalid memory write after memory block.");
  EXPECT_EQ(Heads(), (Texts{Reported("prePadding[i] == PAD_PATTERN", "Invalid memory write before memory block."),
                            after, after}));
  EXPECT_EQ(pool.Stats().ObjectsInUse_, 0u);
  EXPECT_FALSE(pool.Validate());  // the damage is still there to be seen
}

TEST_F(Pool, ASecondFreeAPointerIntoABlockOrOneOutsideEveryPageIsReportedAndDropped) {
  BlockPool pool(16, Util::ShippedAllocatorConfig());
  char* block = static_cast<char*>(pool.Allocate());  // the top slot of the page
  char* freed = static_cast<char*>(pool.Allocate());
  auto foreign = std::make_unique<char[]>(64);
  pool.Free(freed);
  pool.Free(freed);
  pool.Free(block + 4);
  pool.Free(block - pool.SlotSize() * 3 - 2);  // inside the page's first guard: a negative distance
  pool.Free(foreign.get() + 16);
  pool.Free(block - pool.SlotSize() * 3 - 8 - pool.LinkBytes());  // the page's own first byte: the bound is strict
  const std::string boundary =
      Reported("!(distFromStart % (Size + Config_.PadBytes_ * 2))", "ValidateBoundary: Freeing invalid address.");
  const std::string address = Reported("false", "ValidateAddress: Freeing invalid address.");
  EXPECT_EQ(Heads(), (Texts{Reported("Object != freeList", "CheckMultiFree: Object already freed."), boundary, boundary,
                            address, address}));
  EXPECT_EQ(pool.Stats().Deallocations_, 1u);
  EXPECT_TRUE(pool.Validate());
  // The free list holds the freed block once: two allocations give two different blocks.
  void* again[2] = {pool.Allocate(), pool.Allocate()};
  EXPECT_NE(again[0], again[1]);
  for (void* p : {static_cast<void*>(block), again[0], again[1]}) pool.Free(p);
}

TEST_F(Pool, AForgedFreeListLinkIsReportedAndDroppedAndThePoolStaysUsable) {
  BlockPool pool(16, Util::ShippedAllocatorConfig());
  void* a = pool.Allocate();
  void* b = pool.Allocate();
  pool.Free(a);
  pool.Free(b);
  auto foreign = std::make_unique<char[]>(64);
  char* forged = foreign.get() + 16;
  std::memcpy(b, &forged, sizeof forged);  // a stale write into a freed block's link word
  EXPECT_EQ(pool.Allocate(), b);
  std::set<void*> next;
  for (int i = 0; i < 3; ++i) next.insert(pool.Allocate());
  EXPECT_EQ(Heads(), Texts{Reported("listed", "ValidateFreeList: Allocating invalid address.")});
  EXPECT_EQ(next.count(forged), 0u);
  EXPECT_EQ(next.count(a), 1u);
  EXPECT_EQ(pool.Stats().PagesInUse_, 1u);  // the page's other free blocks were not lost
  EXPECT_TRUE(pool.Validate());
  next.insert(b);
  for (void* p : next) pool.Free(p);
}

TEST_F(Pool, PagesBeyondTheLimitOrRefusedByTheHeapAreReported) {
  AllocatorConfig config = Util::ShippedAllocatorConfig();
  config.MaxPages_ = 1;
  BlockPool limited(16, config);
  std::vector<void*> blocks;
  for (int i = 0; i < 5; ++i) blocks.push_back(limited.Allocate());
  EXPECT_EQ(Heads(), Texts{Reported("(!Config_.MaxPages_) || (Stats_.PagesInUse_ < Config_.MaxPages_)",
                                    "The page limit has been reached for this allocator.")});
  EXPECT_EQ(limited.Stats().PagesInUse_, 2u);  // still made
  for (void* b : blocks) limited.Free(b);

  BlockPool refused(16, Util::ShippedAllocatorConfig(), {[](size_t) -> void* { return nullptr; }, [](void*) {}});
  EXPECT_EQ(refused.Allocate(), nullptr);
  EXPECT_EQ(Heads(), Texts{Reported("newPageListHead", "Sorry, You don't have enough memory!")});
  EXPECT_EQ(refused.Stats().ObjectsInUse_, 0u);
  EXPECT_TRUE(refused.Validate());
}

TEST_F(Pool, DestroyedWithBlocksInUseItReportsALeakAndKeepsItsPagesForThem) {
  static int released = 0;
  const Util::PageSource counted{[](size_t bytes) { return std::malloc(bytes); },
                                 [](void* page) {
                                   ++released;
                                   std::free(page);
                                 }};
  for (bool leak : {false, true}) {
    BlockPool pool(16, Util::ShippedAllocatorConfig(), counted);
    void* block = pool.Allocate();
    if (!leak) pool.Free(block);
  }
  EXPECT_EQ(Heads(), Texts{Reported("Stats_.ObjectsInUse_ == 0", "Memory leak!")});
  EXPECT_EQ(released, 1);
}

namespace {
struct Leaky : Util::Pooled<Leaky> {
  char bytes[72];
};
}  // namespace

TEST(PoolExit, ABlockStillInUseAtProgramExitIsReportedAsALeak) {
  EXPECT_EXIT(
      {
        Util::SetAssertHandler(nullptr);  // the default prints to standard error
        new Leaky;
        std::exit(0);
      },
      testing::ExitedWithCode(0), "Comment: Memory leak!");
}
