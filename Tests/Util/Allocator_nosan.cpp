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

unsigned char* Bytes(void* p) { return static_cast<unsigned char*>(p); }

bool AllAre(const unsigned char* from, size_t count, unsigned char value) {
  return std::all_of(from, from + count, [value](unsigned char c) { return c == value; });
}

AllocatorConfig Shipped() { return Util::ShippedAllocatorConfig(); }

// A failed assertion of the pool, as the recorder keeps it.
std::string Reported(const std::string& expression, const std::string& comment) {
  return AssertRecorder::Head(expression, comment, "Source\\Util\\util_allocator");
}

// No assertion may fail, the pools' own destructions included, unless a test clears what it expected.
class PoolTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_Asserts.Texts(), Texts{}); }
  AssertRecorder m_Asserts;
};
class PoolLayout : public PoolTest {};
class PoolStats : public PoolTest {};
class PoolChecks : public PoolTest {};
class PoolPages : public PoolTest {};

}  // namespace

TEST_F(PoolLayout, ShippedPagesHoldFourGuardedAlignedSlotsBehindOneLinkWord) {
  BlockPool pool(8, Shipped());
  EXPECT_EQ(pool.LinkBytes(), 8u);
  EXPECT_EQ(pool.SlotSize(), 32u);  // 8 + 2 x 8 guard bytes, rounded up to 16
  EXPECT_EQ(pool.Stats().PageSize_, 136u);
  EXPECT_EQ(BlockPool(100, Shipped()).SlotSize(), 128u);
  EXPECT_EQ(BlockPool(48, Shipped()).SlotSize(), 64u);
}

TEST_F(PoolLayout, FirstPageHandsOutItsBlocksFromTheTopThenASecondPageFollows) {
  BlockPool pool(24, Shipped());
  std::vector<char*> got;
  for (int i = 0; i < 4; ++i) got.push_back(static_cast<char*>(pool.Allocate()));
  EXPECT_EQ(pool.Stats().PagesInUse_, 1u);
  EXPECT_EQ(pool.Stats().FreeObjects_, 0u);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(got[i - 1] - got[i], static_cast<ptrdiff_t>(pool.SlotSize()));
  for (char* block : got) EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % BlockPool::kAlignment, 0u);

  got.push_back(static_cast<char*>(pool.Allocate()));
  EXPECT_EQ(pool.Stats().PagesInUse_, 2u);
  EXPECT_EQ(pool.Stats().FreeObjects_, 3u);
  for (char* block : got) pool.Free(block);
  EXPECT_TRUE(pool.Validate());
}

TEST_F(PoolLayout, NewHandedOutAndFreedMemoryCarryTheirPatternsWhichValidateChecks) {
  BlockPool pool(32, Shipped());
  unsigned char* block = Bytes(pool.Allocate());
  EXPECT_TRUE(AllAre(block, 32, BlockPool::ALLOCATED_PATTERN));
  EXPECT_TRUE(AllAre(block - 8, 8, BlockPool::PAD_PATTERN));
  EXPECT_TRUE(AllAre(block + 32, pool.SlotSize() - 32 - 8, BlockPool::PAD_PATTERN));
  // The block below is still unused: past its free-list link it is as the new page was filled.
  unsigned char* unused = block - pool.SlotSize();
  EXPECT_TRUE(AllAre(unused + sizeof(void*), 32 - sizeof(void*), BlockPool::UNALLOCATED_PATTERN));

  pool.Free(block);
  EXPECT_TRUE(AllAre(block + sizeof(void*), 32 - sizeof(void*), BlockPool::FREED_PATTERN));
  EXPECT_TRUE(pool.Validate());
  block[20] = 0;  // a write into a free block: Validate sees it
  EXPECT_FALSE(pool.Validate());
  block[20] = BlockPool::FREED_PATTERN;
  EXPECT_TRUE(pool.Validate());
  EXPECT_EQ(pool.Allocate(), block);  // last freed, first out
  pool.Free(block);
}

// The pool goes empty at the end: its destruction reports nothing.
TEST_F(PoolStats, CountAllocationsFreesAndKeepThePeak) {
  BlockPool pool(16, Shipped());
  std::vector<void*> blocks;
  for (int i = 0; i < 6; ++i) blocks.push_back(pool.Allocate());
  for (void* b : blocks) pool.Free(b);
  pool.Free(pool.Allocate());
  const Util::AllocatorStats& s = pool.Stats();
  EXPECT_EQ((std::vector<uint32_t>{s.Allocations_, s.Deallocations_, s.ObjectsInUse_, s.MostObjects_, s.FreeObjects_}),
            (std::vector<uint32_t>{7, 7, 0, 6, 8}));
  EXPECT_TRUE(pool.Validate());
}

TEST_F(PoolChecks, SecondFreeOfABlockIsReportedAndDropped) {
  BlockPool pool(16, Shipped());
  void* a = pool.Allocate();
  void* b = pool.Allocate();
  pool.Free(a);
  pool.Free(a);
  EXPECT_EQ(m_Asserts.Heads(), Texts{Reported("Object != freeList", "CheckMultiFree: Object already freed.")});
  m_Asserts.Clear();
  EXPECT_EQ(pool.Stats().ObjectsInUse_, 1u);
  EXPECT_EQ(pool.Stats().Deallocations_, 1u);
  EXPECT_TRUE(pool.Validate());
  // The free list holds the block once: two allocations give two different blocks.
  void* c = pool.Allocate();
  void* d = pool.Allocate();
  EXPECT_NE(c, d);
  for (void* p : {b, c, d}) pool.Free(p);
}

TEST_F(PoolChecks, WritesJustOutsideABlockAreReportedByteByByteOnItsFreeAndTheBlockIsTakenBack) {
  BlockPool pool(16, Shipped());
  unsigned char* after = Bytes(pool.Allocate());
  unsigned char* before = Bytes(pool.Allocate());
  unsigned char* both = Bytes(pool.Allocate());
  after[16] = 0;
  pool.Free(after);
  before[-1] = 0;
  pool.Free(before);
  EXPECT_EQ(m_Asserts.Heads(),
            (Texts{Reported("postPadding[i] == PAD_PATTERN", "Invalid memory write after memory block."),
                   Reported("prePadding[i] == PAD_PATTERN", "Invalid memory write before memory block.")}));
  m_Asserts.Clear();
  // Each damaged byte: those before the block first, then those after, in byte order.
  both[-8] = 1;
  both[16] = 1;
  both[17] = 1;
  pool.Free(both);
  EXPECT_EQ(m_Asserts.Comments(),
            (Texts{"Invalid memory write before memory block.", "Invalid memory write after memory block.",
                   "Invalid memory write after memory block."}));
  m_Asserts.Clear();
  EXPECT_EQ(pool.Stats().ObjectsInUse_, 0u);
  EXPECT_EQ(pool.Stats().FreeObjects_, 4u);
  EXPECT_FALSE(pool.Validate());  // the damage is still there to be seen
}
TEST_F(PoolChecks, APointerIntoABlockOrOutsideEveryPageFailsTheBoundaryOrAddressCheckAndIsDropped) {
  BlockPool pool(16, Shipped());
  char* block = static_cast<char*>(pool.Allocate());  // the top slot of the page
  auto foreign = std::make_unique<char[]>(64);
  pool.Free(block + 4);
  pool.Free(block - pool.SlotSize() * 3 - 2);  // inside the page's first guard: a negative distance
  pool.Free(foreign.get() + 16);
  pool.Free(block - pool.SlotSize() * 3 - 8 - pool.LinkBytes());  // the page's own first byte: the bound is strict
  const std::string boundary =
      Reported("!(distFromStart % (Size + Config_.PadBytes_ * 2))", "ValidateBoundary: Freeing invalid address.");
  const std::string address = Reported("false", "ValidateAddress: Freeing invalid address.");
  EXPECT_EQ(m_Asserts.Heads(), (Texts{boundary, boundary, address, address}));
  m_Asserts.Clear();
  EXPECT_EQ(pool.Stats().ObjectsInUse_, 1u);
  EXPECT_EQ(pool.Stats().Deallocations_, 0u);
  EXPECT_TRUE(pool.Validate());
  pool.Free(block);
}
TEST_F(PoolChecks, AForgedFreeListLinkIsReportedAndDroppedAndThePoolStaysUsable) {
  BlockPool pool(16, Shipped());
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
  EXPECT_EQ(m_Asserts.Heads(), Texts{Reported("listed", "ValidateFreeList: Allocating invalid address.")});
  m_Asserts.Clear();
  EXPECT_EQ(next.count(forged), 0u);
  EXPECT_EQ(next.count(a), 1u);
  EXPECT_EQ(pool.Stats().PagesInUse_, 1u);  // the page's other free blocks were not lost
  EXPECT_TRUE(pool.Validate());
  next.insert(b);
  for (void* p : next) pool.Free(p);
}
TEST_F(PoolChecks, PoolDestroyedWithBlocksInUseReportsALeakAndKeepsTheirMemory) {
  auto pool = std::make_unique<BlockPool>(16, Shipped());
  char* live = static_cast<char*>(pool->Allocate());
  pool->Free(pool->Allocate());
  pool.reset();
  EXPECT_EQ(m_Asserts.Heads(), Texts{Reported("Stats_.ObjectsInUse_ == 0", "Memory leak!")});
  m_Asserts.Clear();
  live[0] = 'x';  // still ours to touch: the page was not given back
  EXPECT_EQ(live[0], 'x');
}

TEST_F(PoolPages, PageBeyondTheLimitIsReportedAndStillMade) {
  AllocatorConfig config = Shipped();
  config.MaxPages_ = 1;
  BlockPool pool(16, config);
  std::vector<void*> blocks;
  for (int i = 0; i < 5; ++i) blocks.push_back(pool.Allocate());
  EXPECT_EQ(m_Asserts.Heads(), Texts{Reported("(!Config_.MaxPages_) || (Stats_.PagesInUse_ < Config_.MaxPages_)",
                                              "The page limit has been reached for this allocator.")});
  m_Asserts.Clear();
  EXPECT_EQ(pool.Stats().PagesInUse_, 2u);
  EXPECT_NE(blocks[4], nullptr);
  for (void* b : blocks) pool.Free(b);
}

TEST_F(PoolPages, RefusedPageIsReportedAndTheAllocationGivesNull) {
  static int refusals;
  refusals = 0;
  Util::PageSource stingy{[](size_t) -> void* {
                            ++refusals;
                            return nullptr;
                          },
                          [](void*) {}};
  BlockPool pool(16, Shipped(), stingy);
  EXPECT_EQ(pool.Allocate(), nullptr);
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(m_Asserts.Heads(), Texts{Reported("newPageListHead", "Sorry, You don't have enough memory!")});
  m_Asserts.Clear();
  EXPECT_EQ(pool.Stats().PagesInUse_, 0u);
  EXPECT_EQ(pool.Stats().ObjectsInUse_, 0u);
  EXPECT_TRUE(pool.Validate());
}

TEST_F(PoolPages, ManyPagesFreedInRandomOrderStaySoundAndAreReused) {
  BlockPool pool(40, Shipped());
  std::vector<void*> blocks;
  for (int i = 0; i < 4000; ++i) blocks.push_back(pool.Allocate());
  EXPECT_EQ(pool.Stats().PagesInUse_, 1000u);
  EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
  std::shuffle(blocks.begin(), blocks.end(), std::mt19937(7));
  for (size_t i = 0; i < blocks.size(); i += 2) pool.Free(blocks[i]);
  EXPECT_TRUE(pool.Validate());
  for (size_t i = 1; i < blocks.size(); i += 2) pool.Free(blocks[i]);
  EXPECT_TRUE(pool.Validate());
  // Every block comes back out before another page is made.
  std::set<void*> again;
  for (int i = 0; i < 4000; ++i) again.insert(pool.Allocate());
  EXPECT_EQ(again, std::set<void*>(blocks.begin(), blocks.end()));
  EXPECT_EQ(pool.Stats().PagesInUse_, 1000u);
  for (void* b : again) pool.Free(b);
}

TEST_F(PoolPages, WithDebuggingOffBlocksAreCarvedAlikeAndRecycled) {
  AllocatorConfig config = Shipped();
  config.DebugOn_ = false;
  BlockPool pool(16, config);
  char* a = static_cast<char*>(pool.Allocate());
  char* b = static_cast<char*>(pool.Allocate());
  EXPECT_EQ(a - b, static_cast<ptrdiff_t>(pool.SlotSize()));
  pool.Free(b);
  EXPECT_EQ(pool.Allocate(), b);
  pool.Free(a);
  pool.Free(b);
  EXPECT_TRUE(pool.Validate());
}

TEST_F(PoolPages, PadlessPoolsKeepBlocksAligned) {
  AllocatorConfig config = Shipped();
  config.PadBytes_ = 0;
  BlockPool pool(12, config);
  std::vector<void*> blocks;
  for (int i = 0; i < 5; ++i) blocks.push_back(pool.Allocate());
  for (void* block : blocks) EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % BlockPool::kAlignment, 0u);
  EXPECT_TRUE(pool.Validate());
  for (void* block : blocks) pool.Free(block);
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
