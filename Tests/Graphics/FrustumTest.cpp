#include "Graphics/Frustum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "Graphics/BVTree.h"
#include "Graphics/Model.h"

using Gfx::Frustum;
using Util::BoundingBox;
using Util::Vec3;

namespace {

// A 60-degree perspective from 1 to 100, and a view turned `yaw` radians about y from `eye`; both
// column-major as OpenGL keeps them.
struct View {
  float m_Projection[16];
  float m_Modelview[16];

  View(float yaw, const Vec3& eye)
      : m_Projection{1.7320508f / 1.5f, 0, 0, 0, 0, 1.7320508f, 0, 0, 0, 0, -101.0f / 99, -1, 0, 0, -200.0f / 99, 0},
        m_Modelview{std::cos(yaw),
                    0,
                    std::sin(yaw),
                    0,
                    0,
                    1,
                    0,
                    0,
                    -std::sin(yaw),
                    0,
                    std::cos(yaw),
                    0,
                    -(std::cos(yaw) * eye.x - std::sin(yaw) * eye.z),
                    -eye.y,
                    -(std::sin(yaw) * eye.x + std::cos(yaw) * eye.z),
                    1} {}

  // How far inside the clip box a point is, in clip coordinates (negative outside).
  float Margin(const Vec3& p) const {
    float eye[4] = {p.x, p.y, p.z, 1}, clip[4] = {};
    for (const float* m : {m_Modelview, m_Projection}) {
      for (int r = 0; r < 4; ++r) clip[r] = m[r] * eye[0] + m[4 + r] * eye[1] + m[8 + r] * eye[2] + m[12 + r] * eye[3];
      std::copy(clip, clip + 4, eye);
    }
    return std::min({clip[3] - std::fabs(clip[0]), clip[3] - std::fabs(clip[1]), clip[3] - std::fabs(clip[2])});
  }

  Frustum Planes() const {
    Frustum frustum;
    frustum.FromMatrices(m_Projection, m_Modelview);
    return frustum;
  }
};

// Where a box lies, from its eight corners: outside when all are outside one plane.
Frustum::Side BruteForce(const Frustum& frustum, const BoundingBox& box) {
  bool straddling = false;
  for (int plane = 0; plane < Frustum::kPlanes; ++plane) {
    int out = 0;
    for (int corner = 0; corner < 8; ++corner) {
      const Vec3 p{corner & 1 ? box.m_Max.x : box.m_Min.x, corner & 2 ? box.m_Max.y : box.m_Min.y,
                   corner & 4 ? box.m_Max.z : box.m_Min.z};
      out += frustum.Distance(plane, p) > 0.0f;
    }
    if (out == 8) return Frustum::Side::Outside;
    straddling = straddling || out > 0;
  }
  return straddling ? Frustum::Side::Straddling : Frustum::Side::Inside;
}

TEST(Frustum, PlanesAgreeWithClipSpaceAndBoxesWithTheirCorners) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> coordinate(-120.0f, 120.0f), size(0.0f, 30.0f);
  for (const View& view : {View(0.0f, {}), View(0.7f, {5, 2, -3}), View(-2.5f, {-40, 10, 20})}) {
    Frustum frustum = view.Planes();
    for (int i = 0; i < 2000; ++i) {
      const Vec3 p{coordinate(random), coordinate(random) * 0.3f, coordinate(random)};
      const float margin = view.Margin(p);
      if (std::fabs(margin) < 1e-2f) continue;  // too close to a plane for float rounding to agree
      EXPECT_EQ(frustum.Contains(p), margin > 0.0f);
    }
    for (int i = 0; i < 2000; ++i) {
      const Vec3 low{coordinate(random), coordinate(random) * 0.3f, coordinate(random)};
      const BoundingBox box{low, low + Vec3{size(random), size(random), size(random)}};
      uint8_t last = static_cast<uint8_t>(i % 6);
      EXPECT_EQ(frustum.TestBox(box, last), BruteForce(frustum, box));
    }
  }
}

TEST(Frustum, ATouchingCornerIsNotRejectedAndTheRejectingPlaneIsTriedFirst) {
  Frustum frustum;
  for (int plane = 0; plane < Frustum::kPlanes; ++plane) frustum.SetPlane(plane, 0, -1, 0, -1000);
  frustum.SetPlane(Frustum::kLeft, 1, 0, 0, -1);  // outside where x > 1
  uint8_t last = 0;
  EXPECT_NE(frustum.TestBox({{1, 0, 0}, {2, 1, 1}}, last), Frustum::Side::Outside);
  EXPECT_EQ(frustum.TestBox({{1.001f, 0, 0}, {2, 1, 1}}, last), Frustum::Side::Outside);

  Frustum view = View(0.0f, {}).Planes();
  // Nearer than the near plane and wide across the sides: only the near plane rejects it.
  const BoundingBox behind{{-20, -20, -0.8f}, {20, 20, -0.5f}};
  last = 0;
  EXPECT_EQ(view.TestBox(behind, last), Frustum::Side::Outside);
  EXPECT_EQ(last, Frustum::kNear);
  const Frustum::Statistics before = view.GetStatistics();
  EXPECT_EQ(before.m_PlaneTests, 5u);
  EXPECT_EQ(view.TestBox(behind, last), Frustum::Side::Outside);
  EXPECT_EQ(view.GetStatistics().m_PlaneTests, before.m_PlaneTests + 1);
  EXPECT_EQ(view.GetStatistics().m_Rejected, 2u);
}

struct Counter : Gfx::BVObject {
  void Accept() override { ++m_Accepted; }
  int m_Accepted = 0;
};

TEST(FrustumCuller, InsideNodesAcceptWithoutTestsAndStraddlingOnesDescend) {
  Frustum frustum = View(0.0f, {}).Planes();
  std::vector<Counter> objects(12);
  auto leaf = [&](int object, const BoundingBox& box) { return std::make_unique<Gfx::BVLeaf>(box, &objects[object]); };
  std::vector<std::unique_ptr<Gfx::BVElement>> inside;
  for (int i = 0; i < 10; ++i) inside.push_back(leaf(i, {{-1.0f + 0.1f * i, -1, -20}, {0, 0, -19}}));
  std::vector<std::unique_ptr<Gfx::BVElement>> top;
  top.push_back(std::make_unique<Gfx::BVNode>(std::move(inside)));
  top.push_back(leaf(10, {{-1, -1, 10}, {1, 1, 11}}));      // behind the eye, left of the left plane
  top.push_back(leaf(11, {{-5, -5, -50}, {500, 5, -40}}));  // across the right plane
  Gfx::BVRoot root(std::move(top));
  ASSERT_TRUE(root.Validate());

  Gfx::FrustumCuller(frustum).Cull(root);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(objects[i].m_Accepted, i == 10 ? 0 : 1) << i;
  // The root straddles; the inside node costs six tests and its ten leaves none; the leaf behind
  // falls to the first plane tried.
  EXPECT_EQ(frustum.GetStatistics().m_Straddling, 1u);
  EXPECT_EQ(frustum.GetStatistics().m_PlaneTests, 6u + 6u + 1u + 6u);
}

TEST(MeshTree, CullingKeepsExactlyTheLeavesInViewAndTheMeshUnchanged) {
  const auto island = Gfx::LoadModel("../../Assets/Models/Island.BIN");
  ASSERT_TRUE(island) << "build the generated_assets target";
  Gfx::Mesh mesh = island->Meshes().at(0);
  auto triangles = [](const Gfx::Mesh& m) {
    std::multiset<std::vector<uint32_t>> set;
    for (size_t t = 0; t < m.m_Indices.size(); t += 3) set.insert({&m.m_Indices[t], &m.m_Indices[t] + 3});
    return set;
  };
  const auto tree = Gfx::BuildMeshTree(mesh, 8);
  ASSERT_TRUE(tree->Root());
  EXPECT_TRUE(tree->Root()->Validate());
  EXPECT_EQ(triangles(mesh), triangles(island->Meshes()[0]));

  std::mt19937 random(3);
  std::uniform_real_distribution<float> angle(-3.14f, 3.14f), offset(-30.0f, 30.0f);
  for (int trial = 0; trial < 20; ++trial) {
    Frustum frustum = View(angle(random), {offset(random), 5, offset(random)}).Planes();
    tree->Cull(frustum);
    std::set<uint32_t> expected, visible;
    for (const Gfx::IndexRange& range : tree->Leaves()) {
      BoundingBox box = BoundingBox::Empty();
      for (uint32_t i = range.m_First; i < range.m_First + range.m_Count; ++i) {
        const float* p = mesh.m_Vertices[mesh.m_Indices[i]].Position;
        box = BoundingBox::Union(box, {{p[0], p[1], p[2]}, {p[0], p[1], p[2]}});
      }
      if (BruteForce(frustum, box) != Frustum::Side::Outside) expected.insert(range.m_First);
    }
    for (const Gfx::IndexRange& range : tree->Visible()) visible.insert(range.m_First);
    EXPECT_EQ(visible, expected);
    EXPECT_EQ(visible.size(), tree->Visible().size());  // none handed over twice
  }
}

}  // namespace
