// BoundingHierarchy: the frame of bounding-volume trees. A tree is made of elements, each with a box
// and a depth: roots, which own their children and bound them all, leaves, which bound what they
// stand for, and none elements, which bound nothing. A visitor walks a tree: each element calls the
// visitor's operation for its kind, and the visitor decides whether to go on into a root's children.
//
// A root's box is the union of its children's boxes and its depth one more than its deepest child's.
// None elements are pooled and bound the empty box, which leaves any union unchanged.
#pragma once

#include <memory>
#include <vector>

#include "Util/Allocator.h"
#include "Util/Vec3.h"

namespace Util {

struct BoundingBox {
  Vec3 m_Min;
  Vec3 m_Max;

  // The box that contains nothing: every union with it gives the other box.
  static BoundingBox Empty();
  // The smallest box holding both.
  static BoundingBox Union(const BoundingBox& a, const BoundingBox& b);
};

class BoundingRoot;
class BoundingLeaf;
class BoundingNone;

class BoundingVisitor {
 public:
  virtual ~BoundingVisitor() = default;
  virtual void VisitRoot(BoundingRoot& root) = 0;
  virtual void VisitLeaf(BoundingLeaf& leaf) = 0;
  virtual void VisitNone(BoundingNone& none) = 0;
};

class BoundingElement {
 public:
  virtual ~BoundingElement() = default;
  virtual void Accept(BoundingVisitor& visitor) = 0;

  const BoundingBox& Box() const { return m_Box; }
  int Depth() const { return m_Depth; }

 protected:
  BoundingElement(const BoundingBox& box, int depth) : m_Box(box), m_Depth(depth) {}

  BoundingBox m_Box;
  int m_Depth;
};

class BoundingRoot : public BoundingElement {
 public:
  // Takes the children over; a root needs at least one.
  explicit BoundingRoot(std::vector<std::unique_ptr<BoundingElement>> children);
  void Accept(BoundingVisitor& visitor) override { visitor.VisitRoot(*this); }

  const std::vector<std::unique_ptr<BoundingElement>>& Children() const { return m_Children; }

 private:
  std::vector<std::unique_ptr<BoundingElement>> m_Children;
};

class BoundingLeaf : public BoundingElement {
 public:
  explicit BoundingLeaf(const BoundingBox& box) : BoundingElement(box, 0) {}
  void Accept(BoundingVisitor& visitor) override { visitor.VisitLeaf(*this); }
};

class BoundingNone : public BoundingElement, public Pooled<BoundingNone> {
 public:
  BoundingNone() : BoundingElement(BoundingBox::Empty(), 0) {}
  void Accept(BoundingVisitor& visitor) override { visitor.VisitNone(*this); }
};

}  // namespace Util
