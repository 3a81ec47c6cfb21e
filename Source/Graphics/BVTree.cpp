#include "Graphics/BVTree.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "Graphics/Model.h"

namespace Gfx {
namespace {

bool Within(const Util::BoundingBox& inner, const Util::BoundingBox& outer) {
  return inner.m_Min.x >= outer.m_Min.x && inner.m_Min.y >= outer.m_Min.y && inner.m_Min.z >= outer.m_Min.z &&
         inner.m_Max.x <= outer.m_Max.x && inner.m_Max.y <= outer.m_Max.y && inner.m_Max.z <= outer.m_Max.z;
}

float Axis(const Util::Vec3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

struct Triangle {
  uint32_t m_Corners[3];
  Util::BoundingBox m_Box;
  Util::Vec3 m_Centre;
};

}  // namespace

BVNode::BVNode(std::vector<std::unique_ptr<BVElement>> children, BVObject* object, const Util::BoundingBox& box)
    : BVElement(box), m_Children(std::move(children)), m_Object(object) {
  for (const std::unique_ptr<BVElement>& child : m_Children) m_Box = Util::BoundingBox::Union(m_Box, child->Box());
}

void BVNode::Cull(FrustumCuller& culler) { culler.VisitNode(*this); }

void BVNode::Accept(FrustumCuller& culler) {
  culler.VisitAccepted(m_Object);
  for (const std::unique_ptr<BVElement>& child : m_Children) child->Accept(culler);
}

bool BVNode::Validate() const {
  for (const std::unique_ptr<BVElement>& child : m_Children) {
    if (!Within(child->Box(), m_Box)) return false;
    const auto* node = dynamic_cast<const BVNode*>(child.get());
    if (node && !node->Validate()) return false;
  }
  return true;
}

void BVLeaf::Cull(FrustumCuller& culler) { culler.VisitLeaf(*this); }

void BVLeaf::Accept(FrustumCuller& culler) { culler.VisitAccepted(m_Object); }

void FrustumCuller::Cull(BVRoot& root) {
  root.Cull(*this);
  Finish();
}

void FrustumCuller::VisitAccepted(BVObject* object) {
  if (object) object->Accept();
}

void FrustumCuller::VisitLeaf(BVLeaf& leaf) {
  if (m_Frustum.TestBox(leaf.Box(), leaf.LastPlane()) != Frustum::Side::Outside) leaf.Accept(*this);
}

void FrustumCuller::VisitNode(BVNode& node) {
  switch (m_Frustum.TestBox(node.Box(), node.LastPlane())) {
    case Frustum::Side::Outside:
      return;
    case Frustum::Side::Inside:
      node.Accept(*this);
      return;
    case Frustum::Side::Straddling:
      m_Frustum.CountStraddle();
      // The node's own object is partly in view; what lies below is decided child by child.
      VisitAccepted(node.Object());
      for (const std::unique_ptr<BVElement>& child : node.Children()) child->Cull(*this);
      return;
  }
}

// A leaf's share of the mesh, handed to the tree's list of ranges in view.
class MeshTree::Range : public BVObject {
 public:
  Range(std::vector<IndexRange>& visible, IndexRange range) : m_Visible(visible), m_Range(range) {}
  void Accept() override { m_Visible.push_back(m_Range); }

 private:
  std::vector<IndexRange>& m_Visible;
  IndexRange m_Range;
};

void MeshTree::Cull(Frustum& frustum) {
  m_Visible.clear();
  if (!m_Root) return;
  FrustumCuller culler(frustum);
  culler.Cull(*m_Root);
}

std::unique_ptr<MeshTree> BuildMeshTree(Mesh& mesh, uint32_t leafTriangles) {
  auto tree = std::make_unique<MeshTree>();
  const size_t count = mesh.m_Indices.size() / 3;
  if (count == 0 || mesh.m_Vertices.empty() || !mesh.Validate()) return tree;
  leafTriangles = std::max(leafTriangles, 1u);

  std::vector<Triangle> triangles(count);
  for (size_t t = 0; t < count; ++t) {
    Triangle& triangle = triangles[t];
    triangle.m_Box = Util::BoundingBox::Empty();
    for (int k = 0; k < 3; ++k) {
      triangle.m_Corners[k] = mesh.m_Indices[t * 3 + k];
      const float* p = mesh.m_Vertices[triangle.m_Corners[k]].Position;
      triangle.m_Box = Util::BoundingBox::Union(triangle.m_Box, {{p[0], p[1], p[2]}, {p[0], p[1], p[2]}});
    }
    triangle.m_Centre = (triangle.m_Box.m_Min + triangle.m_Box.m_Max) * 0.5f;
  }

  std::vector<uint32_t> reordered;
  reordered.reserve(mesh.m_Indices.size());
  MeshTree& out = *tree;
  auto leaf = [&](size_t begin, size_t end) -> std::unique_ptr<BVElement> {
    Util::BoundingBox box = Util::BoundingBox::Empty();
    const IndexRange range{static_cast<uint32_t>(reordered.size()), static_cast<uint32_t>((end - begin) * 3)};
    for (size_t t = begin; t < end; ++t) {
      box = Util::BoundingBox::Union(box, triangles[t].m_Box);
      reordered.insert(reordered.end(), std::begin(triangles[t].m_Corners), std::end(triangles[t].m_Corners));
    }
    out.m_Leaves.push_back(range);
    out.m_Objects.push_back(std::make_unique<MeshTree::Range>(out.m_Visible, range));
    return std::make_unique<BVLeaf>(box, out.m_Objects.back().get());
  };
  // The children of a node over triangles [begin, end): two halves split at the median centre.
  std::function<std::vector<std::unique_ptr<BVElement>>(size_t, size_t)> split = [&](size_t begin, size_t end) {
    std::vector<std::unique_ptr<BVElement>> children;
    if (end - begin <= leafTriangles) {
      children.push_back(leaf(begin, end));
      return children;
    }
    Util::BoundingBox centres = Util::BoundingBox::Empty();
    for (size_t t = begin; t < end; ++t) {
      centres = Util::BoundingBox::Union(centres, {triangles[t].m_Centre, triangles[t].m_Centre});
    }
    const Util::Vec3 extent = centres.m_Max - centres.m_Min;
    const int axis = extent.x >= extent.y && extent.x >= extent.z ? 0 : (extent.y >= extent.z ? 1 : 2);
    const size_t middle = begin + (end - begin) / 2;
    std::nth_element(
        triangles.begin() + begin, triangles.begin() + middle, triangles.begin() + end,
        [axis](const Triangle& a, const Triangle& b) { return Axis(a.m_Centre, axis) < Axis(b.m_Centre, axis); });
    for (const auto& [from, to] : {std::pair{begin, middle}, std::pair{middle, end}}) {
      if (to - from <= leafTriangles) {
        children.push_back(leaf(from, to));
      } else {
        children.push_back(std::make_unique<BVNode>(split(from, to)));
      }
    }
    return children;
  };
  tree->m_Root = std::make_unique<BVRoot>(split(0, count));
  // Indices past the last whole triangle stay at the end, outside every leaf.
  reordered.insert(reordered.end(), mesh.m_Indices.begin() + count * 3, mesh.m_Indices.end());
  mesh.m_Indices = std::move(reordered);
  return tree;
}

}  // namespace Gfx
