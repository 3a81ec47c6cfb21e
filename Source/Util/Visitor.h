// IVisitor: a walker over a tree of interior nodes and leaves that stand for objects. Each element
// calls the visitor's operation for its kind; an element the visitor accepts without looking any
// further hands its objects over through VisitAccepted. Finish runs once the walk is done.
#pragma once

namespace Util {

template <class Node, class Leaf, class Object>
class IVisitor {
 public:
  virtual ~IVisitor() = default;
  virtual void VisitAccepted(Object* object) = 0;
  virtual void VisitLeaf(Leaf& leaf) = 0;
  virtual void VisitNode(Node& node) = 0;
  virtual void Finish() {}
};

}  // namespace Util
