// The shapes the engine makes: the built-in models, and the model files the build generates into
// the asset tree, read as the game reads them.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include "Graphics/Model.h"
#include "Util/Vec3.h"

namespace {

using Position = std::tuple<float, float, float>;
using Util::Vec3;

Vec3 V(const float v[3]) { return {v[0], v[1], v[2]}; }
Position At(const Gfx::Vertex& v) { return {v.Position[0], v.Position[1], v.Position[2]}; }

// Checks that every edge, by position, is crossed once each way (closed and consistently wound)
// and that every corner's normal leans the way its face does; returns the enclosed volume, which
// is positive for a surface facing out.
double CheckClosed(const Gfx::Mesh& mesh) {
  std::map<std::pair<Position, Position>, int> edges;
  double volume = 0.0;
  for (size_t t = 0; t < mesh.m_Indices.size(); t += 3) {
    const Gfx::Vertex* corner[3];
    for (int k = 0; k < 3; ++k) corner[k] = &mesh.m_Vertices[mesh.m_Indices[t + k]];
    for (int k = 0; k < 3; ++k) {
      ++edges[{At(*corner[k]), At(*corner[(k + 1) % 3])}];
      --edges[{At(*corner[(k + 1) % 3]), At(*corner[k])}];
    }
    const Vec3 a = V(corner[0]->Position), b = V(corner[1]->Position), c = V(corner[2]->Position);
    volume += Util::Dot(a, Util::Cross(b, c)) / 6.0;
    for (int k = 0; k < 3; ++k) EXPECT_GT(Util::Dot(V(corner[k]->Normal), Util::Cross(b - a, c - a)), 0.0f);
  }
  int open = 0;
  for (const auto& edge : edges) open += edge.second != 0;
  EXPECT_EQ(open, 0);
  return volume;
}

TEST(BuiltInModel, BoxesFaceTheirWayAndTheSplineIsATube) {
  EXPECT_NEAR(CheckClosed(Gfx::MakeEndBox(2.0f)->Meshes().at(0)), 64.0, 1e-3);
  EXPECT_NEAR(CheckClosed(Gfx::MakeSkyBox(2.0f)->Meshes().at(0)), -64.0, 1e-3);
  // A straight tube of length seven: a hexagonal prism.
  EXPECT_NEAR(CheckClosed(Gfx::MakeSpline({{0, 0, 0}, {0, 0, 0}, {4, 0, 0}, {7, 0, 0}}, 0.5f)->Meshes().at(0)),
              7.0 * 6 * 0.25 * std::sin(3.14159265 / 3) / 2, 1e-3);
  CheckClosed(Gfx::MakeSpline({{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {4, 3, -2}}, 0.5f)->Meshes().at(0));
  EXPECT_TRUE(Gfx::MakeSpline({{1, 1, 1}, {1, 1, 1}}, 1.0f)->Meshes().empty());
  EXPECT_EQ(Gfx::MakeDiamondPlane(3.0f)->Bounds().m_Max, (Vec3{3, 0, 3}));
}

class GeneratedModel : public testing::TestWithParam<const char*> {};

TEST_P(GeneratedModel, IsClosedFacesOutAndHasUnitTangentFrames) {
  const std::string path = std::string("../../Assets/Models/") + GetParam();
  const auto model = Gfx::LoadModel(path.c_str());
  ASSERT_TRUE(model) << path << " is missing: build the generated_assets target";
  ASSERT_EQ(model->Meshes().size(), 1u);
  const Gfx::Mesh& mesh = model->Meshes()[0];
  ASSERT_TRUE(mesh.Drawable() && model->Validate());
  ASSERT_EQ(mesh.IndexCount() % 3, 0u);
  for (const Gfx::Vertex& v : mesh.m_Vertices) {
    for (const float* unit : {v.Normal, v.Tangent, v.Bitangent}) EXPECT_NEAR(Util::Length(V(unit)), 1.0f, 1e-4f);
    EXPECT_NEAR(Util::Dot(V(v.Normal), V(v.Tangent)), 0.0f, 1e-4f);
    EXPECT_NEAR(Util::Dot(V(v.Normal), V(v.Bitangent)), 0.0f, 1e-4f);
    for (float c : v.Color) EXPECT_TRUE(c >= 0.0f && c <= 1.0f);
  }
  EXPECT_GT(CheckClosed(mesh), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Assets, GeneratedModel,
                         testing::Values("UnitSphere34.BIN", "default.BIN", "armCapsule.BIN", "Dodod.BIN",
                                         "Lantern.BIN", "Island.BIN", "Tree.BIN", "TreeRound.BIN", "Stone.BIN",
                                         "LanternPost.BIN"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
