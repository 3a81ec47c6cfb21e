#include "Graphics/MeshBuilder.h"

#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace Gfx {
namespace {

using Util::Vec3;

Vec3 Get3(const float v[3]) { return {v[0], v[1], v[2]}; }
void Set3(float out[3], const Vec3& v) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

// Some unit vector at right angles to a unit vector.
Vec3 AnyPerpendicular(const Vec3& n) {
  const Vec3 axis = std::fabs(n.x) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  return Util::Normalize(Util::Cross(n, axis));
}

}  // namespace

uint32_t MeshBuilder::AddVertex(const Vec3& position, const Vec3& normal, const Vec3& color, float u, float v) {
  Vertex vertex{};
  Set3(vertex.Position, position);
  Set3(vertex.Normal, Util::Normalize(normal));
  Set3(vertex.Color, color);
  vertex.uvCoord[0] = u;
  vertex.uvCoord[1] = v;
  m_Mesh.m_Vertices.push_back(vertex);
  return m_Mesh.VertexCount() - 1;
}

void MeshBuilder::AddTriangle(uint32_t a, uint32_t b, uint32_t c) {
  m_Mesh.m_Indices.insert(m_Mesh.m_Indices.end(), {a, b, c});
}

void MeshBuilder::AddFace(const std::vector<Vec3>& corners, const Vec3& normal, const Vec3& color, float uvScale) {
  if (corners.size() < 3) return;
  // The plane across the normal's largest axis carries the texture.
  const Vec3 n = Util::Normalize(normal);
  const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  const int drop = ax >= ay && ax >= az ? 0 : (ay >= az ? 1 : 2);
  const uint32_t first = VertexCount();
  for (const Vec3& c : corners) {
    const float u = drop == 0 ? c.z : c.x;
    const float v = drop == 1 ? c.z : c.y;
    AddVertex(c, n, color, u * uvScale, v * uvScale);
  }
  Vec3 winding{};
  for (size_t i = 1; i + 1 < corners.size(); ++i) {
    winding += Util::Cross(corners[i] - corners[0], corners[i + 1] - corners[0]);
  }
  const bool reversed = Util::Dot(winding, n) < 0.0f;
  for (uint32_t i = 1; i + 1 < corners.size(); ++i) {
    if (reversed) {
      AddTriangle(first, first + i + 1, first + i);
    } else {
      AddTriangle(first, first + i, first + i + 1);
    }
  }
}

void MeshBuilder::AddFlatTriangle(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& color, float uvScale) {
  AddFace({a, b, c}, Util::Cross(b - a, c - a), color, uvScale);
}

void MeshBuilder::SmoothNormals(uint32_t first) {
  using Key = std::tuple<float, float, float>;
  std::map<Key, Vec3> sums;
  std::vector<Vertex>& vertices = m_Mesh.m_Vertices;
  const std::vector<uint32_t>& indices = m_Mesh.m_Indices;
  auto key = [&](uint32_t i) { return Key{vertices[i].Position[0], vertices[i].Position[1], vertices[i].Position[2]}; };
  for (size_t t = 0; t + 2 < indices.size(); t += 3) {
    const uint32_t a = indices[t], b = indices[t + 1], c = indices[t + 2];
    if (a < first || b < first || c < first) continue;
    // The cross product's length is twice the area: larger faces weigh more.
    const Vec3 face = Util::Cross(Get3(vertices[b].Position) - Get3(vertices[a].Position),
                                  Get3(vertices[c].Position) - Get3(vertices[a].Position));
    for (uint32_t i : {a, b, c}) sums[key(i)] += face;
  }
  for (uint32_t i = first; i < vertices.size(); ++i) {
    const auto found = sums.find(key(i));
    if (found == sums.end()) continue;
    const Vec3 n = Util::Normalize(found->second);
    if (Util::LengthSquared(n) > 0.0f) Set3(vertices[i].Normal, n);
  }
}

void MeshBuilder::ComputeTangents() {
  std::vector<Vertex>& vertices = m_Mesh.m_Vertices;
  const std::vector<uint32_t>& indices = m_Mesh.m_Indices;
  std::vector<Vec3> tangents(vertices.size()), bitangents(vertices.size());
  for (size_t t = 0; t + 2 < indices.size(); t += 3) {
    const Vertex& a = vertices[indices[t]];
    const Vertex& b = vertices[indices[t + 1]];
    const Vertex& c = vertices[indices[t + 2]];
    const Vec3 e1 = Get3(b.Position) - Get3(a.Position), e2 = Get3(c.Position) - Get3(a.Position);
    const float du1 = b.uvCoord[0] - a.uvCoord[0], dv1 = b.uvCoord[1] - a.uvCoord[1];
    const float du2 = c.uvCoord[0] - a.uvCoord[0], dv2 = c.uvCoord[1] - a.uvCoord[1];
    const float r = du1 * dv2 - du2 * dv1;
    if (std::fabs(r) < 1e-12f) continue;
    const Vec3 tangent = (e1 * dv2 - e2 * dv1) * (1.0f / r);
    const Vec3 bitangent = (e2 * du1 - e1 * du2) * (1.0f / r);
    for (size_t k = 0; k < 3; ++k) {
      tangents[indices[t + k]] += tangent;
      bitangents[indices[t + k]] += bitangent;
    }
  }
  for (size_t i = 0; i < vertices.size(); ++i) {
    Vec3 n = Util::Normalize(Get3(vertices[i].Normal));
    if (Util::LengthSquared(n) == 0.0f) n = {0, 1, 0};
    Vec3 tangent = Util::Normalize(tangents[i] - n * Util::Dot(n, tangents[i]));
    if (Util::LengthSquared(tangent) < 0.5f) tangent = AnyPerpendicular(n);
    const float handedness = Util::Dot(Util::Cross(n, tangent), bitangents[i]) < 0.0f ? -1.0f : 1.0f;
    Set3(vertices[i].Tangent, tangent);
    Set3(vertices[i].Bitangent, Util::Cross(n, tangent) * handedness);
  }
}

}  // namespace Gfx
