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

std::vector<int> Ids() {
  std::vector<int> ids;
  for (Node* n : Registry::All()) ids.push_back(n->m_Id);
  return ids;
}

std::vector<int> LiveWalk(const std::function<void(Node&)>& during) {
  std::vector<int> seen;
  Registry::ForEachLive([&](Node& n) {
    seen.push_back(n.m_Id);
    during(n);
  });
  return seen;
}

}  // namespace

TEST(AutoList, InstancesAreListedInCreationOrderAndLeaveWithTheirOwnEntryOnly) {
  auto a = std::make_unique<Node>(1);
  auto b = std::make_unique<Node>(2);
  auto c = std::make_unique<Node>(3);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3}));
  b.reset();
  EXPECT_EQ(Ids(), (std::vector<int>{1, 3}));
  a.reset();
  EXPECT_EQ(Ids(), (std::vector<int>{3}));
  auto d = std::make_unique<Node>(4);
  EXPECT_EQ(Ids(), (std::vector<int>{3, 4}));
  EXPECT_EQ(Registry::Count(), 2u);
  EXPECT_EQ(d->Object(), d.get());
  EXPECT_TRUE(Registry::Validate());
}

TEST(AutoList, ACopyIsANewInstanceAtTheEnd) {
  Node a(1);
  Node b(2);
  Node copy(a);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 1}));
  b = a;  // assignment changes the value, not the registry
  EXPECT_EQ(Ids(), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(Registry::Count(), 3u);
}

TEST(AutoList, ThousandsRemovedInRandomOrderLeaveTheRestInOrder) {
  std::vector<std::unique_ptr<Node>> nodes;
  for (int i = 0; i < 5000; ++i) nodes.push_back(std::make_unique<Node>(i));
  std::vector<size_t> order(nodes.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(3));
  for (size_t i = 0; i < order.size() / 2; ++i) nodes[order[i]].reset();
  std::vector<int> expected;
  for (const auto& n : nodes)
    if (n) expected.push_back(n->m_Id);
  EXPECT_EQ(Ids(), expected);
  EXPECT_TRUE(Registry::Validate());
  nodes.clear();
  EXPECT_EQ(Registry::Count(), 0u);
  EXPECT_TRUE(Registry::Validate());
}

TEST(AutoListWalk, InstanceDestroyedAheadOfTheWalkIsSkipped) {
  auto a = std::make_unique<Node>(1);
  auto b = std::make_unique<Node>(2);
  auto c = std::make_unique<Node>(3);
  EXPECT_EQ(LiveWalk([&](Node& n) {
              if (n.m_Id == 1) b.reset();
            }),
            (std::vector<int>{1, 3}));
}

TEST(AutoListWalk, InstanceDestroyingItselfLetsTheWalkGoOn) {
  std::vector<Node*> nodes{new Node(1), new Node(2), new Node(3)};
  EXPECT_EQ(LiveWalk([](Node& n) {
              if (n.m_Id == 2) delete &n;
            }),
            (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 3}));
  delete nodes[0];
  delete nodes[2];
}

TEST(AutoListWalk, LastInstanceDestroyedEndsTheWalkCleanly) {
  auto a = std::make_unique<Node>(1);
  auto b = std::make_unique<Node>(2);
  EXPECT_EQ(LiveWalk([&](Node& n) {
              if (n.m_Id == 1) b.reset();
            }),
            (std::vector<int>{1}));
  EXPECT_TRUE(Registry::Validate());
}

TEST(AutoListWalk, InstanceCreatedDuringTheWalkWaitsForTheNextOne) {
  Node a(1);
  std::vector<std::unique_ptr<Node>> born;
  EXPECT_EQ(LiveWalk([&](Node&) { born.push_back(std::make_unique<Node>(10 + static_cast<int>(born.size()))); }),
            (std::vector<int>{1}));
  EXPECT_EQ(LiveWalk([](Node&) {}), (std::vector<int>{1, 10}));
}

TEST(AutoListWalk, NestedWalksBothStepAroundADestroyedInstance) {
  auto a = std::make_unique<Node>(1);
  auto b = std::make_unique<Node>(2);
  auto c = std::make_unique<Node>(3);
  std::vector<int> inner;
  const std::vector<int> outer = LiveWalk([&](Node& n) {
    if (n.m_Id != 1) return;
    inner = LiveWalk([&](Node& m) {
      if (m.m_Id == 1) b.reset();
    });
  });
  EXPECT_EQ(inner, (std::vector<int>{1, 3}));
  EXPECT_EQ(outer, (std::vector<int>{1, 3}));
}
