// The built-in models: shapes made in memory from sizes the caller gives.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "Core/Clock.h"
#include "Graphics/MeshBuilder.h"
#include "Graphics/Model.h"

namespace Gfx {
namespace {

using Util::Vec3;

constexpr Vec3 kWhite{1.0f, 1.0f, 1.0f};
constexpr int kSplineSides = 6;

std::unique_ptr<Model> Finish(const char* name, MeshBuilder& builder) {
  auto model = std::make_unique<Model>(name);
  if (builder.VertexCount() > 0) {
    builder.ComputeTangents();
    model->Meshes().push_back(builder.Take());
  }
  model->UpdateBounds();
  model->SetLoadTime(Clock::Instance().Now());
  return model;
}

// The six faces of the box from −size to +size, facing out (sign 1) or in (sign −1).
void AddBox(MeshBuilder& builder, float size, float sign) {
  for (int axis = 0; axis < 3; ++axis) {
    for (float side : {-1.0f, 1.0f}) {
      float n[3] = {0, 0, 0};
      n[axis] = side;
      // Two axes across the face, then its four corners round it.
      const int u = (axis + 1) % 3, v = (axis + 2) % 3;
      std::vector<Vec3> corners;
      for (const auto& c : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
        float p[3];
        p[axis] = side * size;
        p[u] = c.first * size;
        p[v] = c.second * size;
        corners.push_back({p[0], p[1], p[2]});
      }
      const uint32_t first = builder.VertexCount();
      builder.AddFace(corners, Vec3{n[0], n[1], n[2]} * sign, kWhite);
      // Each face maps the whole texture.
      const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
      for (int k = 0; k < 4; ++k) {
        Vertex& vertex = builder.VertexAt(first + k);
        vertex.uvCoord[0] = uv[k][0];
        vertex.uvCoord[1] = uv[k][1];
      }
    }
  }
}

}  // namespace

std::unique_ptr<Model> MakeDiamondPlane(float size) {
  MeshBuilder builder(kDiamondPlane);
  builder.AddFace({{size, 0, 0}, {0, 0, -size}, {-size, 0, 0}, {0, 0, size}}, {0, 1, 0}, kWhite);
  return Finish(kDiamondPlane, builder);
}

std::unique_ptr<Model> MakeEndBox(float size) {
  MeshBuilder builder(kEndBox);
  AddBox(builder, size, 1.0f);
  return Finish(kEndBox, builder);
}

std::unique_ptr<Model> MakeSkyBox(float size) {
  MeshBuilder builder(kSkyBox);
  AddBox(builder, size, -1.0f);
  return Finish(kSkyBox, builder);
}

std::unique_ptr<Model> MakeSpline(const std::vector<Vec3>& points, float radius) {
  std::vector<Vec3> path;
  for (const Vec3& p : points) {
    if (path.empty() || p != path.back()) path.push_back(p);
  }
  MeshBuilder builder(kSpline);
  if (path.size() < 2) return Finish(kSpline, builder);

  // A ring round every point, in a frame carried along the path so that the tube does not twist.
  std::vector<std::vector<Vec3>> rings;
  Vec3 side{};
  for (size_t i = 0; i < path.size(); ++i) {
    const Vec3 ahead = path[std::min(i + 1, path.size() - 1)] - path[i > 0 ? i - 1 : 0];
    const Vec3 along = Util::Normalize(ahead);
    side = Util::Normalize(side - along * Util::Dot(side, along));
    if (Util::LengthSquared(side) < 0.5f) {
      side = Util::Normalize(Util::Cross(along, std::fabs(along.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0}));
    }
    const Vec3 up = Util::Cross(along, side);
    std::vector<Vec3> ring;
    for (int k = 0; k < kSplineSides; ++k) {
      const float angle = 2.0f * 3.14159265f * k / kSplineSides;
      ring.push_back(path[i] + (side * std::cos(angle) + up * std::sin(angle)) * radius);
    }
    rings.push_back(ring);
  }
  // The sides, smooth round the tube; u runs round it and v along it.
  float travelled = 0.0f;
  std::vector<uint32_t> previous;
  for (size_t i = 0; i < path.size(); ++i) {
    if (i > 0) travelled += Util::Length(path[i] - path[i - 1]);
    std::vector<uint32_t> current;
    for (int k = 0; k <= kSplineSides; ++k) {
      const Vec3& p = rings[i][k % kSplineSides];
      current.push_back(builder.AddVertex(p, p - path[i], kWhite, static_cast<float>(k) / kSplineSides, travelled));
    }
    if (i > 0) {
      for (int k = 0; k < kSplineSides; ++k) {
        builder.AddTriangle(previous[k], previous[k + 1], current[k + 1]);
        builder.AddTriangle(previous[k], current[k + 1], current[k]);
      }
    }
    previous = current;
  }
  builder.AddFace(rings.front(), path.front() - path[1], kWhite);
  builder.AddFace(rings.back(), path.back() - path[path.size() - 2], kWhite);
  return Finish(kSpline, builder);
}

}  // namespace Gfx
