#include "Util/BoundingHierarchy.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Support/AssertRecorder.h"

using namespace Util;

namespace {

using Children = std::vector<std::unique_ptr<BoundingElement>>;

// Walks a whole tree, noting the kind of every element in the order met.
class Walker : public BoundingVisitor {
 public:
  void VisitRoot(BoundingRoot& root) override {
    m_Path += "R";
    for (const auto& child : root.Children()) child->Accept(*this);
  }
  void VisitLeaf(BoundingLeaf&) override { m_Path += "L"; }
  void VisitNone(BoundingNone&) override { m_Path += "N"; }
  std::string m_Path;
};

std::unique_ptr<BoundingElement> Leaf(Vec3 min, Vec3 max) {
  return std::make_unique<BoundingLeaf>(BoundingBox{min, max});
}

}  // namespace

TEST(BoundingHierarchy, ARootBoundsItsChildrenAndIsOneDeeperThanTheDeepest) {
  Children inner;
  inner.push_back(Leaf({0, 0, 0}, {1, 1, 1}));
  inner.push_back(std::make_unique<BoundingNone>());
  Children outer;
  outer.push_back(std::make_unique<BoundingRoot>(std::move(inner)));
  outer.push_back(Leaf({-5, 2, 0.5f}, {-4, 3, 9}));
  BoundingRoot root(std::move(outer));

  EXPECT_EQ(root.Depth(), 2);
  EXPECT_EQ(root.Children()[0]->Depth(), 1);
  EXPECT_EQ(root.Box().m_Min, (Vec3{-5, 0, 0}));
  EXPECT_EQ(root.Box().m_Max, (Vec3{1, 3, 9}));
  // A none element bounds nothing: the inner root's box is its leaf's.
  EXPECT_EQ(root.Children()[0]->Box().m_Min, (Vec3{0, 0, 0}));
  EXPECT_EQ(root.Children()[0]->Box().m_Max, (Vec3{1, 1, 1}));

  Walker walker;
  root.Accept(walker);
  EXPECT_EQ(walker.m_Path, "RRLNL");
}

TEST(BoundingHierarchy, ARootWithoutChildrenAsserts) {
  Testing::AssertRecorder recorder;
  BoundingRoot root{Children{}};
  EXPECT_EQ(recorder.Heads(),
            std::vector<std::string>{Testing::AssertRecorder::Head(
                "numChildren > 0", "BVRoot: initialization with 0 children", "..\\..\\Source\\Util\\util_grid")});
  EXPECT_EQ(root.Depth(), 1);
  EXPECT_EQ(root.Box().m_Min.x, BoundingBox::Empty().m_Min.x);
}
