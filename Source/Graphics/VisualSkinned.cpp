#include "Graphics/VisualSkinned.h"

#include <cstdio>
#include <string>

#include "Core/Clock.h"
#include "Game/Entity.h"
#include "Graphics/GL.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/ModelDrawing.h"
#include "Graphics/ResourceManager.h"
#include "Util/XmlReader.h"

namespace Gfx {

VisualSkinned::VisualSkinned(Game::Entity* owner, SkinnedMesh mesh, std::unique_ptr<AnimationController> controller)
    : Visual(owner), m_Mesh(std::move(mesh)), m_Controller(std::move(controller)) {
  m_Mesh.Deform(m_Controller->SkinMatrices(), m_Posed);
}

void VisualSkinned::SetRoles(int32_t idle, int32_t walk) {
  const auto valid = [this](int32_t n) { return n >= 0 && n < m_Controller->NumTracks() ? n : -1; };
  m_Idle = valid(idle);
  m_Walk = valid(walk);
  m_Controller->StopAll();
  m_Controller->PlayTrack(m_Idle);
  m_Walking = false;
}

void VisualSkinned::Animate(float ms) {
  const Util::Vec3 velocity = Owner() ? Owner()->GetVelocity() : Util::Vec3{};
  const bool walking = m_Walk >= 0 && velocity.x * velocity.x + velocity.z * velocity.z > kWalkSpeed * kWalkSpeed;
  if (walking != m_Walking) {
    walking ? m_Controller->PlayTrack(m_Walk) : m_Controller->StopTrack(m_Walk);
    m_Walking = walking;
  }
  if (m_Controller->Update(ms) == 0) m_Mesh.Deform(m_Controller->SkinMatrices(), m_Posed);
}

void VisualSkinned::Submit() {
  Animate(static_cast<float>(Clock::Instance().FrameTime()));
  Queue();
}

void VisualSkinned::DrawPosed() const {
  const std::vector<uint32_t>& indices = m_Mesh.BindMesh().m_Indices;
  DrawVertexArrays(m_Posed.data(), indices.data(), static_cast<uint32_t>(indices.size()), false);
}

void VisualSkinned::Draw() {
  glPushMatrix();
  Place(DrawPosition(), Scale());
  DrawPosed();
  glPopMatrix();
}

void VisualSkinned::DrawLit() {
  const std::vector<uint32_t>& indices = m_Mesh.BindMesh().m_Indices;
  glPushMatrix();
  Place(DrawPosition(), Scale());
  ForEachLight(nullptr,
               [&] { DrawVertexArrays(m_Posed.data(), indices.data(), static_cast<uint32_t>(indices.size()), true); });
  glPopMatrix();
}

void VisualSkinned::DrawOverlay() {
  if (GraphicsFacade::Exists())
    if (ResourceManager* resources = GraphicsFacade::Instance().GetResourceManager()) resources->UseNoShader();
  const std::vector<uint32_t>& indices = m_Mesh.BindMesh().m_Indices;
  glPushMatrix();
  Place(DrawPosition(), Scale());
  DrawVertexArrays(m_Posed.data(), indices.data(), static_cast<uint32_t>(indices.size()), true);
  glPopMatrix();
}

void VisualSkinned::Build(Game::Entity& entity, Util::XmlReader& reader) {
  if (!reader.Enter()) return;
  const std::string skeletonFile = reader.Get<std::string>("skeleton");
  const std::string meshFile = reader.Get<std::string>("mesh");
  const std::string material = reader.Get<std::string>("material");
  const std::string idleFile = reader.Get<std::string>("idle");
  const std::string walkFile = reader.Get<std::string>("walk");
  reader.Leave();

  Skeleton skeleton;
  SkinnedMesh mesh;
  if (!skeleton.Load(skeletonFile.c_str()) || !mesh.Load(meshFile.c_str())) {
    std::printf("VisualSkinned: %s has no skinned visual\n", entity.GetName());
    return;
  }
  if (mesh.BonesNeeded() > skeleton.BoneCount()) {
    std::printf("VisualSkinned: %s follows %u bones, its skeleton %s has %zu; %s has no skinned visual\n",
                meshFile.c_str(), mesh.BonesNeeded(), skeletonFile.c_str(), skeleton.BoneCount(), entity.GetName());
    return;
  }
  const size_t bones = skeleton.BoneCount();
  auto controller = std::make_unique<AnimationController>(std::move(skeleton));
  int32_t roles[2] = {-1, -1};
  const std::string* files[2] = {&idleFile, &walkFile};
  for (int i = 0; i < 2; ++i) {
    SkeletalTrack track(VertexTrack::kLoop, {});
    if (!files[i]->empty() && SkeletalTrack::Load(files[i]->c_str(), bones, track))
      roles[i] = controller->AddTrack(std::move(track));
  }
  auto visual = std::make_unique<VisualSkinned>(&entity, std::move(mesh), std::move(controller));
  visual->SetRoles(roles[0], roles[1]);
  if (!material.empty()) visual->setMaterial(material);
  entity.SetVisual(visual.release());
}

}  // namespace Gfx
