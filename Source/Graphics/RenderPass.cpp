#include "Graphics/RenderPass.h"

#include "Graphics/GraphicsFacade.h"
#include "Graphics/Material.h"
#include "Graphics/RenderContext.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Visual.h"

namespace Gfx {

void DrawQueue(int material, int queue, bool lit) {
  const GraphicsFacade& facade = GraphicsFacade::Instance();
  ResourceManager* resources = facade.GetResourceManager();
  const RenderContext* context = facade.GetRenderContext();
  Material* drawn = resources ? resources->GetMaterial(material) : nullptr;
  if (!drawn || !context) return;
  drawn->Begin();
  for (Visual* visual : context->QueueOf(queue)) lit ? visual->DrawLit() : visual->Draw();
  drawn->End();
}

void RenderPass::AddState(std::unique_ptr<RenderState> state) {
  if (state) m_States.push_back(std::move(state));
}

void RenderPass::Begin() {
  if (!m_Enabled) return;
  for (const std::unique_ptr<RenderState>& state : m_States) state->Begin();
}

void RenderPass::Render() {
  if (!m_Enabled) return;
  for (int material : m_Materials) DrawQueue(material, material, false);
}

void RenderPass::End() {
  if (!m_Enabled) return;
  for (const std::unique_ptr<RenderState>& state : m_States) state->End();
}

}  // namespace Gfx
