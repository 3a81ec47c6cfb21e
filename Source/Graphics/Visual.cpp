#include "Graphics/Visual.h"

#include <algorithm>
#include <cmath>

#include "Game/Entity.h"
#include "Graphics/Camera.h"
#include "Graphics/GL.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/LightScissor.h"
#include "Graphics/Material.h"
#include "Graphics/ModelDrawing.h"
#include "Graphics/RenderContext.h"
#include "Graphics/ResourceManager.h"
#include "Util/Assert.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_visual";

// Pick ids are never reused within a run, so a picked colour names one visual only.
uint32_t s_LastPickId = 0;

ResourceManager* Resources() {
  return GraphicsFacade::Exists() ? GraphicsFacade::Instance().GetResourceManager() : nullptr;
}

// The eye-space position of a world point under the frame's view.
Util::Vec3 ToEye(const Mat4& view, const Util::Vec3& p) {
  const float* m = view.m;
  return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
          m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// How far a point lies outside a box (0 inside).
float DistanceToBox(const Util::BoundingBox& box, const Util::Vec3& p) {
  const float dx = std::max({box.m_Min.x - p.x, 0.0f, p.x - box.m_Max.x});
  const float dy = std::max({box.m_Min.y - p.y, 0.0f, p.y - box.m_Max.y});
  const float dz = std::max({box.m_Min.z - p.z, 0.0f, p.z - box.m_Max.z});
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

Visual::Visual(Game::Entity* owner) : m_Owner(owner), m_PickId(++s_LastPickId) {}

Visual::~Visual() { Camera::ForgetVisual(this); }

Util::Vec3 Visual::Position() const { return m_Owner ? m_Owner->GetPosition() : Util::Vec3{}; }

float Visual::Scale() const { return m_Owner ? m_Owner->GetScale().x : 1.0f; }

Model* Visual::GetModel() const {
  ResourceManager* resources = Resources();
  return resources ? resources->GetModel(m_ModelIndex) : nullptr;
}

Util::BoundingBox Visual::WorldBounds(const Util::Vec3& position, float scale) const {
  const Util::Vec3 centre = (m_Bounds.m_Min + m_Bounds.m_Max) * 0.5f;
  const Util::Vec3 half = (m_Bounds.m_Max - m_Bounds.m_Min) * 0.5f;
  const Util::Mat3 rotation = m_Owner ? m_Owner->GetRotationMatrix() : Util::Mat3{};
  const float s = std::fabs(scale);
  const Util::Vec3 at = rotation * centre * scale + position;
  Util::Vec3 reach;
  float* out[3] = {&reach.x, &reach.y, &reach.z};
  for (int i = 0; i < 3; ++i)
    *out[i] = s * (std::fabs(rotation.m[i][0]) * half.x + std::fabs(rotation.m[i][1]) * half.y +
                   std::fabs(rotation.m[i][2]) * half.z);
  return {at - reach, at + reach};
}

bool Visual::InView(Frustum& frustum, const Util::Vec3& position, float scale) {
  return frustum.TestBox(WorldBounds(position, scale), m_LastPlane) != Frustum::Side::Outside;
}

void Visual::Queue() {
  if (m_Material < 0 || !GraphicsFacade::Exists()) return;
  if (RenderContext* context = GraphicsFacade::Instance().GetRenderContext()) context->Queue(m_Material, this);
}

void Visual::Submit() {
  if (m_Material < 0 || m_ModelIndex < 0 || !GraphicsFacade::Exists()) return;
  RenderContext* context = GraphicsFacade::Instance().GetRenderContext();
  if (!context) return;
  if (!m_NeverCull && !InView(context->m_Frustum, DrawPosition(), Scale())) return;
  context->Queue(m_Material, this);
}

void Visual::Place(const Util::Vec3& position, float scale) const {
  const Util::Mat3 r = m_Owner ? m_Owner->GetRotationMatrix() : Util::Mat3{};
  // Column-major: element (row, column) at column × 4 + row.
  const float m[16] = {r.m[0][0] * scale, r.m[1][0] * scale, r.m[2][0] * scale, 0.0f,
                       r.m[0][1] * scale, r.m[1][1] * scale, r.m[2][1] * scale, 0.0f,
                       r.m[0][2] * scale, r.m[1][2] * scale, r.m[2][2] * scale, 0.0f,
                       position.x,        position.y,        position.z,        1.0f};
  glMultMatrixf(m);
}

void Visual::Draw() {
  Model* model = GetModel();
  if (!model) return;
  const ModelDisplayLists& lists = ModelDisplayLists::Of(*model);
  glPushMatrix();
  Place(DrawPosition(), Scale());
  lists.Draw();
  glPopMatrix();
}

void Visual::ForEachLight(const Util::BoundingBox* box, const std::function<void()>& draw) const {
  if (!GraphicsFacade::Exists()) return;
  const GraphicsFacade& facade = GraphicsFacade::Instance();
  const RenderContext* context = facade.GetRenderContext();
  const std::vector<Msg::Vec4>& positions = facade.LightPositions();
  const std::vector<Msg::Vec4>& colors = facade.LightColors();
  if (!context) return;
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (size_t i = 0; i < positions.size() && i < colors.size(); ++i) {
    const Msg::Vec4& p = positions[i];
    // A light adds nothing past its radius: one that cannot reach the box is not drawn, and one
    // that can is drawn only over the pixels its sphere covers.
    if (box && DistanceToBox(*box, {p.x, p.y, p.z}) >= p.w) continue;
    const Util::Vec3 eye = ToEye(context->m_View, {p.x, p.y, p.z});
    GLint rect[4];
    const LightReach reach = LightRect(context->m_Projection, eye, p.w, context->m_Near, viewport, rect);
    if (reach == LightReach::Outside) continue;
    if (reach == LightReach::Rect) {
      glEnable(GL_SCISSOR_TEST);
      glScissor(rect[0], rect[1], rect[2], rect[3]);
    } else {
      glDisable(GL_SCISSOR_TEST);
    }
    glMultiTexCoord4f(GL_TEXTURE1, eye.x, eye.y, eye.z, p.w);
    glMultiTexCoord4f(GL_TEXTURE2, colors[i].x, colors[i].y, colors[i].z, colors[i].w);
    draw();
  }
  glDisable(GL_SCISSOR_TEST);
}

void Visual::DrawLit() {
  Model* model = GetModel();
  if (!model) return;
  const ModelDisplayLists& lists = ModelDisplayLists::Of(*model);
  const Util::Vec3 at = DrawPosition();
  const float scale = Scale();
  const Util::BoundingBox box = WorldBounds(at, scale);
  glPushMatrix();
  Place(at, scale);
  ForEachLight(&box, [&lists] { lists.DrawPlain(); });
  glPopMatrix();
}

void Visual::DrawOverlay() {
  Model* model = GetModel();
  if (!model) return;
  if (ResourceManager* resources = Resources()) resources->UseNoShader();
  const ModelDisplayLists& lists = ModelDisplayLists::Of(*model);
  glPushMatrix();
  Place(DrawPosition(), Scale());
  lists.DrawPlain();
  glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glColor3f(0.0f, 0.0f, 0.5f);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  lists.DrawPlain();
  glPopAttrib();
  glPopMatrix();
}

void Visual::Rebuild() {
  Model* model = GetModel();
  if (!model) return;
  model->SetDrawData(nullptr);
  ModelDisplayLists::Of(*model);
}

void Visual::ReleaseModelData() {}

void Visual::Reload() {
  ReleaseModelData();
  Model* model = GetModel();
  if (!model) return;
  // A built-in shape has no file to read again: only names of the file forms are read.
  const std::string& file = model->FileName();
  for (const char* form : {"xml", "XML", "BIN"})
    if (file.find(form) != std::string::npos) {
      model->Load(file.c_str());
      break;
    }
  m_Bounds = model->Bounds();
  Rebuild();
}

void Visual::GetColor(float color[4]) const {
  for (int i = 0; i < 4; ++i) color[i] = 0.0f;
}

void Visual::SetColor(const float[4]) {}

float Visual::GetRadius() const { return 0.0f; }

void Visual::SetRadius(float) {}

void Visual::setMaterial() {
  UTIL_ASSERT_EXPR(false, "false", "setMaterial:: never call this!");
  setMaterial(kFallbackMaterial);
}

void Visual::setMaterial(const std::string& name) {
  ResourceManager* resources = Resources();
  SetMaterialIndex(resources ? resources->loadMaterial(name) : -1);
}

void Visual::SetMaterialIndex(int material) {
  ResourceManager* resources = Resources();
  const Material* found = resources ? resources->GetMaterial(material) : nullptr;
  m_Material = found ? material : -1;
  m_Texture = found ? found->TextureIndex() : -1;
  m_Shader = found ? found->ShaderIndex() : -1;
}

void Visual::SetModel(const std::string& file) {
  ResourceManager* resources = Resources();
  if (!resources) return;
  m_ModelIndex = resources->LoadModelIndex(file);
  const Model* model = resources->GetModel(m_ModelIndex);
  m_Bounds = model ? model->Bounds() : Util::BoundingBox{};
  ModelChanged();
}

bool Visual::Covers(const Util::Vec3&, float) const { return false; }

bool Visual::Validate() const {
  if (m_PickId == 0 || m_PickId > s_LastPickId) return false;
  ResourceManager* resources = Resources();
  if (!resources) return m_Material == -1 && m_ModelIndex == -1;
  const Material* material = resources->GetMaterial(m_Material);
  if (material ? (material->TextureIndex() != m_Texture || material->ShaderIndex() != m_Shader) : m_Material != -1)
    return false;
  return m_ModelIndex == -1 || resources->GetModel(m_ModelIndex) != nullptr;
}

}  // namespace Gfx
