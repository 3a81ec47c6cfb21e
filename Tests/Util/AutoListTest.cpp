#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "Util/AutoList.h"

namespace {

class Node : public Util::AutoList<Node> {
 public:
  explicit Node(int id) : m_Id(id) {}
  int m_Id;
};

using Registry = Util::AutoList<Node>;
using Ids = std::vector<int>;
using Nodes = std::vector<std::unique_ptr<Node>>;

// Nodes numbered 1 to count, in that order.
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
Ids LiveWalk(int at = 0, const std::function<void(Node&)>& during = nullptr) {
  Ids seen;
  Registry::ForEachLive([&](Node& n) {
    seen.push_back(n.m_Id);
    if (n.m_Id == at) during(n);
  });
  return seen;
}

}  // namespace

TEST(AutoList, InstancesAreListedInCreationOrderAndLeaveWithTheirOwnEntryOnly) {
  Nodes nodes = Make(3);
  EXPECT_EQ(All(), (Ids{1, 2, 3}));
  nodes[1].reset();
  EXPECT_EQ(All(), (Ids{1, 3}));
  nodes[0].reset();
  EXPECT_EQ(All(), (Ids{3}));
  nodes.push_back(std::make_unique<Node>(4));
  EXPECT_EQ(All(), (Ids{3, 4}));
  EXPECT_EQ(Registry::Count(), 2u);
  EXPECT_EQ(nodes[3]->Object(), nodes[3].get());
  EXPECT_TRUE(Registry::Validate());
}

TEST(AutoList, ACopyIsANewInstanceAtTheEnd) {
  Node a(1);
  Node b(2);
  Node copy(a);
  EXPECT_EQ(All(), (Ids{1, 2, 1}));
  b = a;  // assignment changes the value, not the registry
  EXPECT_EQ(All(), (Ids{1, 1, 1}));
  EXPECT_EQ(Registry::Count(), 3u);
}

TEST(AutoList, ThousandsRemovedInRandomOrderLeaveTheRestInOrder) {
  Nodes nodes = Make(5000);
  std::vector<size_t> order(nodes.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(3));
  for (size_t i = 0; i < order.size() / 2; ++i) nodes[order[i]].reset();
  Ids expected;
  for (const auto& n : nodes)
    if (n) expected.push_back(n->m_Id);
  EXPECT_EQ(All(), expected);
  EXPECT_TRUE(Registry::Validate());
  nodes.clear();
  EXPECT_EQ(Registry::Count(), 0u);
  EXPECT_TRUE(Registry::Validate());
}

TEST(AutoListWalk, InstanceDestroyedAheadOfTheWalkIsSkippedAndTheLastOneEndsItCleanly) {
  Nodes nodes = Make(3);
  EXPECT_EQ(LiveWalk(1, [&](Node&) { nodes[1].reset(); }), (Ids{1, 3}));
  EXPECT_EQ(LiveWalk(1, [&](Node&) { nodes[2].reset(); }), (Ids{1}));
  EXPECT_TRUE(Registry::Validate());
}

TEST(AutoListWalk, InstanceDestroyingItselfLetsTheWalkGoOn) {
  Nodes nodes = Make(3);
  EXPECT_EQ(LiveWalk(2, [&](Node&) { nodes[1].reset(); }), (Ids{1, 2, 3}));
  EXPECT_EQ(All(), (Ids{1, 3}));
}

TEST(AutoListWalk, InstanceCreatedDuringTheWalkWaitsForTheNextOne) {
  Nodes nodes = Make(1);
  EXPECT_EQ(LiveWalk(1, [&](Node&) { nodes.push_back(std::make_unique<Node>(10)); }), (Ids{1}));
  EXPECT_EQ(LiveWalk(), (Ids{1, 10}));
}

TEST(AutoListWalk, NestedWalksBothStepAroundADestroyedInstance) {
  Nodes nodes = Make(3);
  Ids inner;
  const Ids outer = LiveWalk(1, [&](Node&) { inner = LiveWalk(1, [&](Node&) { nodes[1].reset(); }); });
  EXPECT_EQ(inner, (Ids{1, 3}));
  EXPECT_EQ(outer, (Ids{1, 3}));
}
