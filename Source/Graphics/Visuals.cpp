#include "Graphics/Visuals.h"

#include "Graphics/GL.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/ModelDrawing.h"
#include "Graphics/RenderContext.h"
#include "Graphics/ResourceManager.h"

namespace Gfx {
namespace {

RenderContext* Context() { return GraphicsFacade::Exists() ? GraphicsFacade::Instance().GetRenderContext() : nullptr; }

int FindMaterial(const char* name) {
  const ResourceManager* resources =
      GraphicsFacade::Exists() ? GraphicsFacade::Instance().GetResourceManager() : nullptr;
  return resources ? resources->FindMaterial(name) : -1;
}

void UseNoShader() {
  if (ResourceManager* resources = GraphicsFacade::Exists() ? GraphicsFacade::Instance().GetResourceManager() : nullptr)
    resources->UseNoShader();
}

}  // namespace

// ---- VisualLight ---------------------------------------------------------------------------------

VisualLight::VisualLight(Game::Entity* owner, const float color[4], const Util::Vec3& offset, float radius)
    : Visual(owner), m_Color{color[0], color[1], color[2], color[3]}, m_Offset(offset), m_Radius(radius) {
  SetMaterialIndex(FindMaterial(kMaterial));
}

void VisualLight::Submit() {
  const Util::Vec3 at = DrawPosition();
  if (GraphicsFacade::Exists())
    GraphicsFacade::Instance().AddLight({at.x, at.y, at.z, m_Radius}, {m_Color[0], m_Color[1], m_Color[2], m_Color[3]});
  if (m_HasModel) Visual::Submit();
}

void VisualLight::GetColor(float color[4]) const {
  for (int i = 0; i < 4; ++i) color[i] = m_Color[i];
}

void VisualLight::SetColor(const float color[4]) {
  for (int i = 0; i < 4; ++i) m_Color[i] = color[i];
}

// ---- Visual2D ------------------------------------------------------------------------------------

Visual2D::Visual2D(Game::Entity* owner, const Rect& corners, const TexRect& texture, bool billboard)
    : Visual(owner), m_Corners(corners), m_Texture(texture), m_Billboard(billboard) {}

void Visual2D::SetCorners(float left, float top, float right, float bottom) {
  m_Corners.x0 = left;
  m_Corners.y0 = top;
  m_Corners.x1 = right;
  m_Corners.y1 = bottom;
}

void Visual2D::SetTexture(float left, float top, float right, float bottom) { m_Texture = {left, top, right, bottom}; }

void Visual2D::Submit() { Queue(); }

void Visual2D::Quad() const {
  const Rect& r = m_Corners;
  const TexRect& t = m_Texture;
  glBegin(GL_QUADS);
  glTexCoord2f(t.u0, t.v0);
  glVertex3f(r.x0, r.y0, r.z0);
  glTexCoord2f(t.u0, t.v1);
  glVertex3f(r.x0, r.y1, r.z1);
  glTexCoord2f(t.u1, t.v1);
  glVertex3f(r.x1, r.y1, r.z1);
  glTexCoord2f(t.u1, t.v0);
  glVertex3f(r.x1, r.y0, r.z0);
  glEnd();
}

void Visual2D::Draw() {
  const RenderContext* context = Context();
  if (!context) return;
  glDisable(GL_CULL_FACE);
  if (m_Billboard) {
    const float height = static_cast<float>(context->m_Height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, context->m_Width, context->m_Height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(height, height, 1.0f);
    Quad();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
  } else {
    glPushMatrix();
    Place(Position(), Scale());
    Quad();
    glPopMatrix();
  }
  glEnable(GL_CULL_FACE);
}

void Visual2D::DrawOverlay() {
  UseNoShader();
  Draw();
}

// ---- VisualDynamic, VisualDynamiker --------------------------------------------------------------

void VisualDynamic::SetArrays(const Vertex* vertices, uint32_t vertexCount, const uint32_t* indices,
                              uint32_t indexCount) {
  m_Vertices = vertices;
  m_VertexCount = vertexCount;
  m_Indices = indices;
  m_IndexCount = indexCount;
}

void VisualDynamic::Submit() { Queue(); }

void VisualDynamic::DrawArrays(bool plain) const {
  if (!m_Vertices || !m_Indices || m_VertexCount == 0 || m_IndexCount == 0) return;
  glPushMatrix();
  Place(Position(), Scale());
  DrawVertexArrays(m_Vertices, m_Indices, m_IndexCount, plain);
  glPopMatrix();
}

void VisualDynamic::Draw() { DrawArrays(false); }

void VisualDynamic::DrawLit() {
  ForEachLight(nullptr, [this] { DrawArrays(true); });
}

void VisualDynamic::DrawOverlay() {
  UseNoShader();
  DrawArrays(true);
}

VisualDynamiker::VisualDynamiker(Game::Entity* owner, std::unique_ptr<VertexGenerator> generator)
    : VisualDynamic(owner), m_Generator(std::move(generator)) {}

void VisualDynamiker::Draw() {
  if (!m_Generator) return;
  m_Generator->Generate(m_Frame);
  const std::vector<uint32_t>& indices = m_Generator->Indices();
  SetArrays(m_Frame.data(), static_cast<uint32_t>(m_Frame.size()), indices.data(),
            static_cast<uint32_t>(indices.size()));
  DrawArrays(false);
}

// ---- VertexAnimation ------------------------------------------------------------------------------

VertexAnimation::VertexAnimation(AnimatedModel model)
    : m_Model(std::move(model)), m_Track(m_Model.MakeTrack(VertexTrack::kLoop)) {
  m_Track.Play();
}

void VertexAnimation::Generate(std::vector<Vertex>& out) {
  if (m_Model.Frames().empty()) {
    out.clear();
    return;
  }
  m_Model.BeginBlend(out);
  m_Model.Blend(m_Track, 1.0f, out);
}

const std::vector<uint32_t>& VertexAnimation::Indices() const {
  static const std::vector<uint32_t> kNone;
  return m_Model.Frames().empty() ? kNone : m_Model.gIndices();
}

}  // namespace Gfx
