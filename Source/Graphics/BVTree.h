// The bounding-volume tree of large geometry and the FrustumCuller that walks it, so that whole
// subtrees are accepted or rejected with one box test.
//
// Interior nodes (BVNode; the top one a BVRoot) own their children and may carry an object;
// leaves (BVLeaf) stand for an object. Objects are not owned by the tree. The culler visits the
// root: a node outside the frustum hides everything below it; a node straddling it is counted
// and its children are culled in turn; a node inside accepts every object below it without
// another test. A leaf not outside accepts its object. Accepting an object calls its Accept,
// which hands it to drawing.
//
// MeshTree splits a mesh's triangles into such a tree (see BuildMeshTree) and collects, at each
// cull, the index ranges of the leaves in view. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Graphics/Frustum.h"
#include "Util/BoundingHierarchy.h"
#include "Util/Visitor.h"

namespace Gfx {

class FrustumCuller;
struct Mesh;

// What a tree element stands for.
class BVObject {
 public:
  virtual ~BVObject() = default;
  virtual void Accept() = 0;
};

class BVElement {
 public:
  virtual ~BVElement() = default;
  // Tests the box through the culler and goes on as the result says.
  virtual void Cull(FrustumCuller& culler) = 0;
  // Hands over every object at and below this element, without testing.
  virtual void Accept(FrustumCuller& culler) = 0;

  const Util::BoundingBox& Box() const { return m_Box; }
  uint8_t& LastPlane() { return m_LastPlane; }

 protected:
  explicit BVElement(const Util::BoundingBox& box) : m_Box(box) {}

  Util::BoundingBox m_Box;
  uint8_t m_LastPlane = 0;
};

class BVNode : public BVElement {
 public:
  // The box is the union of the children's boxes (and `box`, for a node with an object of its
  // own that reaches further).
  explicit BVNode(std::vector<std::unique_ptr<BVElement>> children, BVObject* object = nullptr,
                  const Util::BoundingBox& box = Util::BoundingBox::Empty());

  void Cull(FrustumCuller& culler) override;
  void Accept(FrustumCuller& culler) override;

  const std::vector<std::unique_ptr<BVElement>>& Children() const { return m_Children; }
  BVObject* Object() const { return m_Object; }

  // Every descendant's box lies within its parent's.
  bool Validate() const;

 private:
  std::vector<std::unique_ptr<BVElement>> m_Children;
  BVObject* m_Object;
};

class BVRoot final : public BVNode {
 public:
  using BVNode::BVNode;
};

class BVLeaf : public BVElement {
 public:
  BVLeaf(const Util::BoundingBox& box, BVObject* object) : BVElement(box), m_Object(object) {}

  void Cull(FrustumCuller& culler) override;
  void Accept(FrustumCuller& culler) override;

  BVObject* Object() const { return m_Object; }

 private:
  BVObject* m_Object;
};

class FrustumCuller : public Util::IVisitor<BVNode, BVLeaf, BVObject> {
 public:
  explicit FrustumCuller(Frustum& frustum) : m_Frustum(frustum) {}

  // One walk of the tree, then Finish.
  void Cull(BVRoot& root);

  void VisitAccepted(BVObject* object) override;
  void VisitLeaf(BVLeaf& leaf) override;
  void VisitNode(BVNode& node) override;

 private:
  Frustum& m_Frustum;
};

// A range of a mesh's index array: whole triangles.
struct IndexRange {
  uint32_t m_First;
  uint32_t m_Count;
};

// A tree over a mesh's triangles and the ranges of its index array in view after the last cull.
class MeshTree {
 public:
  MeshTree() = default;
  MeshTree(const MeshTree&) = delete;
  MeshTree& operator=(const MeshTree&) = delete;

  // Null for a mesh without triangles.
  BVRoot* Root() const { return m_Root.get(); }
  const std::vector<IndexRange>& Leaves() const { return m_Leaves; }
  // The ranges in view, in the order they were accepted.
  const std::vector<IndexRange>& Visible() const { return m_Visible; }

  // Collects the ranges in view of the frustum (in the mesh's own coordinates).
  void Cull(Frustum& frustum);

 private:
  friend std::unique_ptr<MeshTree> BuildMeshTree(Mesh& mesh, uint32_t leafTriangles);
  class Range;

  std::unique_ptr<BVRoot> m_Root;
  std::vector<IndexRange> m_Leaves;
  std::vector<std::unique_ptr<BVObject>> m_Objects;
  std::vector<IndexRange> m_Visible;
};

// Splits the mesh's triangles in two at the median of their centres along the longest axis of
// the centres' box, again and again, until a part has at most `leafTriangles` (at least 1). The
// mesh's triangles are reordered so that every leaf's triangles lie together in its index array;
// the mesh's shape is unchanged. A mesh whose indices are not all in range gets an empty tree.
std::unique_ptr<MeshTree> BuildMeshTree(Mesh& mesh, uint32_t leafTriangles = 64);

}  // namespace Gfx
