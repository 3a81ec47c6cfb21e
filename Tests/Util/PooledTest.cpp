// Pooled classes and the per-size pool singletons, as the rest of the engine sees them. Runs in
// both builds: the sanitizer build hands out heap blocks but keeps the same statistics.
#include <gtest/gtest.h>

#include "Support/AssertRecorder.h"
#include "Util/Allocator.h"

namespace {

struct Counted : Util::Pooled<Counted> {
  explicit Counted(int v) : value(v) {}
  virtual ~Counted() { ++destroyed; }
  int value;
  char payload[180];
  static inline int destroyed = 0;
};

// Same size as Counted, different class: the same pool.
struct Twin : Util::Pooled<Twin> {
  virtual ~Twin() = default;
  int value;
  char payload[180];
};
static_assert(sizeof(Twin) == sizeof(Counted));

// Larger than its pooled base: no pool of its size here, so the general heap.
struct Bigger : Counted {
  Bigger() : Counted(0) {}
  char more[64];
};

using CountedPool = Util::Allocator<sizeof(Counted)>;

}  // namespace

TEST(PooledClass, EveryPoolIsBuiltWithTheShippedConfiguration) {
  const Util::AllocatorConfig& c = CountedPool::Instance().Config();
  EXPECT_EQ(c.ObjectsPerPage_, 4u);
  EXPECT_EQ(c.MaxPages_, 0u);
  EXPECT_TRUE(c.DebugOn_);
  EXPECT_EQ(c.PadBytes_, 8u);
  EXPECT_EQ(Util::Allocator<8>::Instance().Stats().PageSize_, 136u);
}

TEST(PooledClass, NewAndDeleteGoThroughThePoolOfTheClassSizeWhichClassesOfEqualSizeShare) {
  Testing::AssertRecorder recorder;
  const Util::AllocatorStats before = CountedPool::Instance().Stats();
  const Util::AllocatorStats& now = CountedPool::Instance().Stats();
  Counted* a = new Counted(7);
  Counted* b = new Counted(8);
  Twin* twin = new Twin;
  EXPECT_EQ(now.ObjectsInUse_, before.ObjectsInUse_ + 3);
  EXPECT_EQ(now.Allocations_, before.Allocations_ + 3);
  EXPECT_EQ(a->value + b->value, 15);
  const int destroyed = Counted::destroyed;
  delete a;
  delete b;
  delete twin;
  EXPECT_EQ(Counted::destroyed, destroyed + 2);
  EXPECT_EQ(now.ObjectsInUse_, before.ObjectsInUse_);
  EXPECT_EQ(now.Deallocations_, before.Deallocations_ + 3);
  EXPECT_GE(now.MostObjects_, before.ObjectsInUse_ + 3);
  EXPECT_TRUE(CountedPool::Instance().Validate());
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(PooledClass, DerivedClassOfAnotherSizeUsesTheGeneralHeapAndDeletingNullIsHarmless) {
  Testing::AssertRecorder recorder;
  const uint32_t allocations = CountedPool::Instance().Stats().Allocations_;
  Counted* bigger = new Bigger;
  EXPECT_EQ(CountedPool::Instance().Stats().Allocations_, allocations);
  delete bigger;  // through the base: the deleting destructor passes the real size
  Counted* none = nullptr;
  delete none;
  CountedPool::Instance().Free(nullptr);
  EXPECT_EQ(CountedPool::Instance().Stats().Allocations_, allocations);
  EXPECT_TRUE(CountedPool::Instance().Validate());
  EXPECT_EQ(recorder.Count(), 0u);
}
