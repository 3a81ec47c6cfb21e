#include "Graphics/GraphicsFacade.h"

#include "Graphics/Camera.h"

namespace Gfx {

GraphicsFacade::~GraphicsFacade() { delete m_Camera; }

int GraphicsFacade::Init() {
  delete m_Camera;
  m_Camera = new Camera;
  m_Camera->Reset();
  return 0;
}

void GraphicsFacade::Update() {
  if (m_Camera) m_Camera->Update();
}

void GraphicsFacade::Shutdown() {
  delete m_Camera;
  m_Camera = nullptr;
}

void GraphicsFacade::AdaptToWindowSize() {}

}  // namespace Gfx
