// SkinnedMesh: a mesh bound to a skeleton. Each vertex follows up to four bones, each with a
// weight; deforming blends the bones' skinning matrices by the weights (linear blend skinning)
// and moves the positions and turns the normals, tangents and bitangents of the bind-pose mesh.
//
// File (XML, read through the file layer): a <Header>, then a <Mesh> with <int name="Subsets"> and
// that many <Subset>, each with <int name="Indices">, <int name="Vertices">, the <Index> elements
// (<int name="id">, counted from the subset's first vertex) and the <Vertex> elements. A vertex has
// the model file's vectors (<Position>, <Normal>, <Color>, <Tangent>, <Bitangent> with floats "x",
// "y", "z"; <uvCoord> with "x", "y"), a <BoneID> vector of up to four <int name="id"> bone indices
// (bone order of the skeleton) and a <BoneWeight> vector of the matching <float name="weight">.
// Weights are scaled to sum to 1; a vertex without weight follows bone 0. A file that cannot be
// read, or whose counts disagree with its elements, is reported on standard output and refused.
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "Graphics/Model.h"
#include "Graphics/RenderContext.h"

namespace Gfx {

struct SkinInfluence {
  static constexpr int kMax = 4;
  uint32_t m_Bones[kMax] = {0, 0, 0, 0};
  float m_Weights[kMax] = {1.0f, 0.0f, 0.0f, 0.0f};
};

class SkinnedMesh {
 public:
  // Reads the file in place of the mesh; false when refused, which leaves the mesh as it was.
  bool Load(const char* path);
  // A mesh and one influence per vertex (weights as given).
  void Set(Mesh mesh, std::vector<SkinInfluence> influences);

  const Mesh& BindMesh() const { return m_Mesh; }
  const std::vector<SkinInfluence>& Influences() const { return m_Influences; }
  // The largest bone index any vertex follows, plus one; 0 without vertices.
  uint32_t BonesNeeded() const;

  // The bind-pose vertices moved by the skinning matrices (one per bone, at least BonesNeeded()).
  // `out` is resized to the vertex count; colours and texture coordinates are copied.
  void Deform(const std::vector<Mat4>& skin, std::vector<Vertex>& out) const;

  // The mesh is valid and every vertex has its influence.
  bool Validate() const;

 private:
  Mesh m_Mesh;
  std::vector<SkinInfluence> m_Influences;
};

}  // namespace Gfx
