// ModelDrawing: what a model is drawn with, compiled once from its meshes and hung on the model
// (Model::SetDrawData), which owns it; visuals make it on their first draw and again on Rebuild.
//
// Two display lists per model. The full list sets every array a material's shader reads, all with
// the 68-byte stride of the records: normals, texture unit 0 ← uvCoord, unit 1 ← Tangent, unit 2 ←
// Bitangent, the vertex colours and the positions, and draws the triangles with 32-bit indices.
// The plain list draws the same triangles with positions and normals only: lit drawing hands
// every light over as constant texture coordinates on units 1 and 2, and picking draws in one
// flat colour, so neither may be overwritten by arrays. Only drawable meshes are compiled.
// Needs the GL context; main thread only.
#pragma once

#include <cstdint>

#include "Graphics/Model.h"

namespace Gfx {

class ModelDisplayLists : public ModelDrawData {
 public:
  explicit ModelDisplayLists(const Model& model);
  ~ModelDisplayLists() override;
  ModelDisplayLists(const ModelDisplayLists&) = delete;
  ModelDisplayLists& operator=(const ModelDisplayLists&) = delete;

  void Draw() const;
  void DrawPlain() const;

  // The lists of a model, compiled now when it has none yet (or holds drawing data of another kind).
  static const ModelDisplayLists& Of(Model& model);

 private:
  uint32_t m_Full = 0;  // 0: nothing to draw
  uint32_t m_Plain = 0;
};

// Draws the arrays as they stand, without compiling: the records' normals, colours, texture
// coordinates (units 0 to 2) and positions, or positions and normals only when `plain`.
void DrawVertexArrays(const Vertex* vertices, const uint32_t* indices, uint32_t indexCount, bool plain);

}  // namespace Gfx
