// MeshBuilder: makes meshes in code, for the built-in models, the generated model files and the
// island maker. Triangles face the side from which their corners run counter-clockwise. Normals
// come from the caller (smooth surfaces) or from the face (flat shading); tangents and bitangents
// are derived from the uv layout once the geometry is complete.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Graphics/Model.h"
#include "Util/Vec3.h"

namespace Gfx {

class MeshBuilder {
 public:
  explicit MeshBuilder(std::string name) { m_Mesh.m_Name = std::move(name); }

  uint32_t VertexCount() const { return m_Mesh.VertexCount(); }
  Vertex& VertexAt(uint32_t i) { return m_Mesh.m_Vertices[i]; }

  uint32_t AddVertex(const Util::Vec3& position, const Util::Vec3& normal, const Util::Vec3& color, float u, float v);
  void AddTriangle(uint32_t a, uint32_t b, uint32_t c);

  // A flat convex polygon with vertices of its own, all with the normal given; the corners may
  // run either way round, the triangles are wound to face along the normal. Texture coordinates
  // project the corners onto the plane across the normal's largest axis, scaled by `uvScale`.
  void AddFace(const std::vector<Util::Vec3>& corners, const Util::Vec3& normal, const Util::Vec3& color,
               float uvScale = 1.0f);
  // A flat triangle facing the way its corners run counter-clockwise.
  void AddFlatTriangle(const Util::Vec3& a, const Util::Vec3& b, const Util::Vec3& c, const Util::Vec3& color,
                       float uvScale = 1.0f);

  // Replaces the normals of the vertices from `first` on by the area-weighted average of the
  // faces around each position, so that vertices at one position (a uv seam) share one normal.
  void SmoothNormals(uint32_t first = 0);
  // Tangent along increasing u and bitangent, both unit length and at right angles to the
  // normal; where the uv layout gives no direction, any pair at right angles.
  void ComputeTangents();

  const Mesh& Get() const { return m_Mesh; }
  Mesh Take() { return std::move(m_Mesh); }

 private:
  Mesh m_Mesh;
};

}  // namespace Gfx
