#include "Graphics/ModelDrawing.h"

#include <cstddef>

#include "Graphics/GL.h"

namespace Gfx {
namespace {

constexpr GLsizei kStride = sizeof(Vertex);

const float* Field(const Vertex* vertices, size_t offset) {
  return reinterpret_cast<const float*>(reinterpret_cast<const char*>(vertices) + offset);
}

void TexCoordArray(GLenum unit, GLint size, const float* data) {
  glClientActiveTexture(unit);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(size, GL_FLOAT, kStride, data);
}

void DisableTexCoordArray(GLenum unit) {
  glClientActiveTexture(unit);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

}  // namespace

void DrawVertexArrays(const Vertex* vertices, const uint32_t* indices, uint32_t indexCount, bool plain) {
  if (!vertices || !indices || indexCount == 0) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, kStride, Field(vertices, offsetof(Vertex, Position)));
  glEnableClientState(GL_NORMAL_ARRAY);
  glNormalPointer(GL_FLOAT, kStride, Field(vertices, offsetof(Vertex, Normal)));
  if (!plain) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(3, GL_FLOAT, kStride, Field(vertices, offsetof(Vertex, Color)));
    TexCoordArray(GL_TEXTURE0, 2, Field(vertices, offsetof(Vertex, uvCoord)));
    TexCoordArray(GL_TEXTURE1, 3, Field(vertices, offsetof(Vertex, Tangent)));
    TexCoordArray(GL_TEXTURE2, 3, Field(vertices, offsetof(Vertex, Bitangent)));
  }
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, indices);
  if (!plain) {
    for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) DisableTexCoordArray(unit);
    glDisableClientState(GL_COLOR_ARRAY);
    // The arrays leave the current colour undefined: the next flat drawing starts from white.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

ModelDisplayLists::ModelDisplayLists(const Model& model) {
  bool any = false;
  for (const Mesh& mesh : model.Meshes()) any = any || mesh.Drawable();
  if (!any) return;
  m_Full = glGenLists(2);
  if (!m_Full) return;
  m_Plain = m_Full + 1;
  // Client array state is not recorded in a list; the arrays are read once, while compiling.
  for (const bool plain : {false, true}) {
    glNewList(plain ? m_Plain : m_Full, GL_COMPILE);
    for (const Mesh& mesh : model.Meshes())
      if (mesh.Drawable()) DrawVertexArrays(mesh.m_Vertices.data(), mesh.m_Indices.data(), mesh.IndexCount(), plain);
    glEndList();
  }
}

ModelDisplayLists::~ModelDisplayLists() {
  if (m_Full) glDeleteLists(m_Full, 2);
}

void ModelDisplayLists::Draw() const {
  if (m_Full) glCallList(m_Full);
}

void ModelDisplayLists::DrawPlain() const {
  if (m_Plain) glCallList(m_Plain);
}

const ModelDisplayLists& ModelDisplayLists::Of(Model& model) {
  if (const auto* lists = dynamic_cast<const ModelDisplayLists*>(model.DrawData())) return *lists;
  model.SetDrawData(std::make_unique<ModelDisplayLists>(model));
  return static_cast<const ModelDisplayLists&>(*model.DrawData());
}

}  // namespace Gfx
