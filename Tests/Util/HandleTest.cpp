// Pooled objects, the handles that share them and the registries of live instances, as the rest of
// the engine sees them. Runs in both builds: the sanitizer build hands out heap blocks but keeps
// the same statistics.
#include "Util/Handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Util/Allocator.h"
#include "Util/AutoList.h"

using Testing::AssertRecorder;
using Texts = std::vector<std::string>;

namespace {

// Counts its deaths; pooled, so the last handle gives its block back too.
struct Witness : Util::Pooled<Witness> {
  explicit Witness(int* deaths) : m_Deaths(deaths) {}
  virtual ~Witness() { ++*m_Deaths; }
  int* m_Deaths;
  char m_Payload[300];
};
struct Twin : Util::Pooled<Twin> {  // the same size: the same pool
  virtual ~Twin() = default;
  char m_Payload[308];
};
struct Bigger : Witness {  // no pool of its size: the general heap
  using Witness::Witness;
  char m_More[64];
};
static_assert(sizeof(Twin) == sizeof(Witness));
using WitnessHandle = Util::Handle<Witness>;

struct Node : Util::AutoList<Node> {
  explicit Node(int id) : m_Id(id) {}
  int m_Id;
};
using Registry = Util::AutoList<Node>;
using Ids = std::vector<int>;
using Nodes = std::vector<std::unique_ptr<Node>>;

Nodes Make(int count) {
  Nodes nodes;
  for (int id = 1; id <= count; ++id) nodes.push_back(std::make_unique<Node>(id));
  return nodes;
}

Ids All() {
  Ids ids;
  for (Node* n : Registry::All()) ids.push_back(n->m_Id);
  return ids;
}

// The IDs a live walk visits; `during` runs when it visits the node numbered `at`.
Ids LiveWalk(int at, const std::function<void()>& during) {
  Ids seen;
  Registry::ForEachLive([&](Node& n) {
    seen.push_back(n.m_Id);
    if (n.m_Id == at) during();
  });
  return seen;
}

}  // namespace

TEST(Pooled, ClassesOfOneSizeShareTheShippedPoolOfThatSizeAndOthersUseTheHeap) {
  AssertRecorder recorder;
  auto& pool = Util::Allocator<sizeof(Witness)>::Instance();
  const Util::AllocatorConfig& c = pool.Config();
  EXPECT_EQ(std::make_tuple(c.ObjectsPerPage_, c.MaxPages_, c.DebugOn_, c.PadBytes_),
            std::make_tuple(4u, 0u, true, 8u));
  const Util::AllocatorStats before = pool.Stats();
  int deaths = 0;
  Witness* bigger = new Bigger(&deaths);
  Twin* twin = new Twin;
  EXPECT_EQ(pool.Stats().ObjectsInUse_, before.ObjectsInUse_ + 1);
  delete bigger;  // through the base: the deleting destructor passes the real size
  delete twin;
  delete static_cast<Twin*>(nullptr);
  EXPECT_EQ(pool.Stats().ObjectsInUse_, before.ObjectsInUse_);
  EXPECT_EQ(pool.Stats().Deallocations_, before.Deallocations_ + 1);
  EXPECT_TRUE(pool.Validate());
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(Handle, CopiesAndAssignmentsShareOneCountAndTheLastToGoDeletesTheObjectAndFreesItsBlock) {
  AssertRecorder recorder;
  const Util::AllocatorStats& pool = Util::Allocator<sizeof(Witness)>::Instance().Stats();
  const uint32_t inUse = pool.ObjectsInUse_;
  int deathsA = 0, deathsB = 0;
  {
    WitnessHandle first(new Witness(&deathsA));
    WitnessHandle a(first), b(first), c;
    c = b;
    WitnessHandle& alias = c;
    c = alias;  // itself: nothing changes
    EXPECT_EQ(first.References(), 4u);
    c = a;
    WitnessHandle other(new Witness(&deathsB));
    a = b = c = other;
    EXPECT_EQ(other.References(), 4u);
    EXPECT_EQ(pool.ObjectsInUse_, inUse + 2);
    first = WitnessHandle();  // the last handle to the first object
    EXPECT_EQ(deathsA, 1);
    EXPECT_EQ(pool.ObjectsInUse_, inUse + 1);
    EXPECT_FALSE(first.IsValid());
  }
  EXPECT_EQ(deathsB, 1);
  EXPECT_EQ(pool.ObjectsInUse_, inUse);
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(Handle, ANullHandleIsNotValidYetCountsAndDereferencingNothingIsReportedAndGivesNull) {
  AssertRecorder recorder;
  WitnessHandle empty, nothing(nullptr), copy(nothing);
  EXPECT_FALSE(nothing.IsValid());
  EXPECT_EQ(nothing.References(), 2u);
  EXPECT_EQ(empty.Get(), nullptr);
  EXPECT_EQ(nothing.operator->(), nullptr);
  const char* file = "Source\\Util\\util_handle";
  EXPECT_EQ(recorder.Heads(),
            (Texts{AssertRecorder::Head("m_objInst != 0", "Dereferencing a NULL handle", file),
                   AssertRecorder::Head("m_objInst->object != 0", "Handle has a NULL pointer for data", file)}));
}

TEST(AutoList, ThousandsDestroyedInRandomOrderLeaveTheRestInCreationOrder) {
  Nodes nodes = Make(5000);
  std::shuffle(nodes.begin(), nodes.end(), std::mt19937(3));
  nodes.resize(1250);  // past half the registry closes up, and the rest must still find their own entries
  Ids expected;
  for (const auto& n : nodes) expected.push_back(n->m_Id);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(All(), expected);
  EXPECT_TRUE(Registry::Validate());
}

// Instances are listed in creation order, copies too, and each leaves with its own entry only.
TEST(AutoList, ALiveWalkSkipsInstancesDestroyedBeforeTheirTurnAndLeavesThoseCreatedToTheNext) {
  Ids inner;
  const struct {
    int at;
    std::function<void(Nodes&)> during;
    Ids seen, after;
  } cases[] = {
      {1, [](Nodes& n) { n[1].reset(); }, {1, 3}, {1, 3}},
      {1, [](Nodes& n) { n[2].reset(); }, {1, 2}, {1, 2}},
      {2, [](Nodes& n) { n[1].reset(); }, {1, 2, 3}, {1, 3}},  // itself
      {1, [](Nodes& n) { n.push_back(std::make_unique<Node>(10)); }, {1, 2, 3}, {1, 2, 3, 10}},
      {3, [](Nodes& n) { n.push_back(std::make_unique<Node>(*n[0])), *n[1] = *n[2]; }, {1, 2, 3}, {1, 3, 3, 1}},
      {1, [&](Nodes& n) { inner = LiveWalk(1, [&] { n[1].reset(); }); }, {1, 3}, {1, 3}},  // nested
  };
  for (const auto& c : cases) {
    Nodes nodes = Make(3);
    EXPECT_EQ(LiveWalk(c.at, [&] { c.during(nodes); }), c.seen) << c.at;
    EXPECT_EQ(All(), c.after);
    EXPECT_TRUE(Registry::Validate());
  }
  EXPECT_EQ(inner, (Ids{1, 3}));
}
