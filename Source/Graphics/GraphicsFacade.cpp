#include "Graphics/GraphicsFacade.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

#include "Core/Window.h"
#include "Graphics/Camera.h"
#include "Graphics/GL.h"
#include "Graphics/RenderContext.h"
#include "Graphics/RenderPass.h"
#include "Graphics/ResourceManager.h"
#include "Messaging/Messages.h"
#include "Util/Assert.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_dire";
constexpr int kOpenGl2Line = 652;

// The passes each switch turns on (when on is true) or off.
struct SwitchedPass {
  const char* name;
  bool whenOn;
};
const SwitchedPass kShadowPasses[] = {
    {"IsCaster", true}, {"BlurVSM", true}, {"StaticLighting", true}, {"StaticLightingNoShadows", false}};
const SwitchedPass kPostOnePasses[] = {{"PostProcessEdgeDetect", true}, {"LightRay", true}, {"LightRaySimple", false}};
const SwitchedPass kPostTwoPasses[] = {{"PostProcessGritty", true}, {"Feedbacker", true}, {"Aux2ToBackbuffer", false}};

template <size_t N>
void Refresh(ResourceManager* resources, const SwitchedPass (&passes)[N], bool on) {
  if (!resources) return;
  for (const SwitchedPass& switched : passes)
    if (RenderPass* pass = resources->GetPass(switched.name)) pass->SetEnabled(on == switched.whenOn);
}

bool HasGlContext() { return Core::Window::Exists() && Core::Window::Instance().Handle() != nullptr; }

}  // namespace

GraphicsFacade::~GraphicsFacade() { Release(); }

void GraphicsFacade::Release() {
  delete m_Resources;  // GL objects first
  m_Resources = nullptr;
  delete m_Camera;
  m_Camera = nullptr;
  delete m_Context;
  m_Context = nullptr;
}

int GraphicsFacade::Init() {
  Release();
  m_Camera = new Camera;
  m_Camera->Reset();
  m_Context = new RenderContext;
  if (StartGL()) {
    m_Resources = new ResourceManager;
    m_Resources->loadMaterials();
    m_Context->SizeQueues(m_Resources->RenderQueueCount());
    m_Resources->CreateRenderTargets(m_Context->m_Width, m_Context->m_Height);
  }
  m_FireflyRadius = 10.0f;
  m_LightAmount = 0.9f;
  m_AmbientScale = 2.0f;
  SetLighting();
  m_WindowWidth = static_cast<float>(m_Context->m_Width);
  m_WindowHeight = static_cast<float>(m_Context->m_Height);
  return 0;
}

bool GraphicsFacade::StartGL() {
  if (!HasGlContext()) return false;
  RenderContext& c = *m_Context;
  c.m_Width = Core::Window::Instance().Width();
  c.m_Height = Core::Window::Instance().Height();
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glDisable(GL_FOG);
  glDisable(GL_LIGHTING);
  glDisable(GL_STENCIL_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(c.m_FieldOfView, c.m_Height ? static_cast<double>(c.m_Width) / c.m_Height : 1.0, c.m_Near, c.m_Far);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  LookFromCamera();
  glEnable(GL_DEPTH_TEST);
  // The depth states restore less-or-equal: it is the renderer's own test, so that a pass may draw
  // the same surfaces again over the depth an earlier pass left.
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glViewport(0, 0, static_cast<GLsizei>(c.m_Width), static_cast<GLsizei>(c.m_Height));
  glEnable(GL_POLYGON_OFFSET_LINE);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.0f, 1.0f);
  if (glewInit() != GLEW_OK) {
    std::printf("GLEW failed to init\n");
    return false;
  }
  if (!GLEW_VERSION_2_0) {
    std::printf("OpenGL 2.0 not supported\n");
    Util::Assert(false, "GLEW_VERSION_2_0", "OpenGL 2.0 not supported. The application requires OpenGL 2.0 to run.",
                 kAssertFile, kOpenGl2Line);
    return false;
  }
  return true;
}

void GraphicsFacade::LookFromCamera() const {
  const Util::Vec3 eye = m_Camera->Eye();
  const Util::Vec3 target = m_Camera->Target();
  const Util::Vec3 up = m_Camera->Up();
  // Before the camera's first update eye and target coincide: there is no view to look along yet.
  if (Util::LengthSquared(target - eye) == 0.0f) return;
  gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
}

void GraphicsFacade::SetLighting() {
  if (m_Context) m_Context->SetLighting(m_LightAbove, m_LightBelow, m_LightHue, m_AmbientScale);
}

void GraphicsFacade::Update() {
  if (m_Camera) m_Camera->Update();
}

void GraphicsFacade::Shutdown() { Release(); }

void GraphicsFacade::AdaptToWindowSize() {
  if (!m_Resources || !m_Context) return;
  RenderContext& c = *m_Context;
  c.m_Width = Core::Window::Instance().Width();
  c.m_Height = Core::Window::Instance().Height();
  m_WindowWidth = static_cast<float>(c.m_Width);
  m_WindowHeight = static_cast<float>(c.m_Height);
  glViewport(0, 0, static_cast<GLsizei>(c.m_Width), static_cast<GLsizei>(c.m_Height));
  m_Resources->RebuildResources(c.m_Width, c.m_Height);
}

void GraphicsFacade::SetView() {
  if (!m_Context || !m_Camera || !m_Resources) return;
  RenderContext& c = *m_Context;
  c.m_PreviousViewProjection = c.ViewProjection();
  c.m_Eye = m_Camera->Eye();
  c.m_Target = m_Camera->Target();
  c.m_Up = m_Camera->Up();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  LookFromCamera();
  c.m_FieldOfView += std::clamp(c.m_TargetFieldOfView - c.m_FieldOfView, RenderContext::kMaxFovDecrease,
                                RenderContext::kMaxFovIncrease);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(c.m_FieldOfView, c.m_Height ? static_cast<double>(c.m_Width) / c.m_Height : 1.0, c.m_Near, c.m_Far);
  glMatrixMode(GL_MODELVIEW);
  c.CaptureMatrices();
}

void GraphicsFacade::FullScreenQuad(uint32_t xDivisor, uint32_t yDivisor) {
  if (!m_Context) return;
  glViewport(0, 0, static_cast<GLsizei>(m_Context->m_Width / std::max(xDivisor, 1u)),
             static_cast<GLsizei>(m_Context->m_Height / std::max(yDivisor, 1u)));
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0.0, 1.0, 0.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(0.0f, 0.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(1.0f, 0.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(0.0f, 1.0f);
  glEnd();
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void GraphicsFacade::RefreshShadowPasses() { Refresh(m_Resources, kShadowPasses, m_ShadowMapping); }

void GraphicsFacade::RefreshPostPasses() {
  Refresh(m_Resources, kPostOnePasses, m_PostProcessingOne);
  Refresh(m_Resources, kPostTwoPasses, m_PostProcessingTwo);
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsSetFilterMsg>& message) {
  if (message->m_Filter == 1 || message->m_Filter == 0) {
    const bool on = message->m_Filter == 1;
    m_PostProcessingOne = m_PostProcessingTwo = on;
    m_AmbientScale = on ? 2.0f : 6.0f;
    SetLighting();
  }
  RefreshPostPasses();
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsSetShadowMsg>& message) {
  if (message->m_Shadow == 1 || message->m_Shadow == 0) m_ShadowMapping = message->m_Shadow == 1;
  RefreshShadowPasses();
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsSetResMsg>& message) {
  if (!Core::Window::Exists()) return;
  // The window refuses the index it already has and indices past its list.
  Core::Window::Instance().SetResolution(message->m_Resolution);
  AdaptToWindowSize();
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsPassMsg>& message) {
  if (!m_Resources) return;
  std::istringstream words(message->m_Pass);
  std::string name, word;
  words >> name >> word;
  const bool value = word == "enable";
  if (name == "all") {
    for (int i = 0; i < m_Resources->PassCount(); ++i) m_Resources->GetPassAt(i)->SetEnabled(value);
  } else if (name == "ShadowMapping") {
    m_ShadowMapping = value;
    RefreshShadowPasses();
  } else if (name == "PostProcessingOne" || name == "PostProcessingTwo") {
    (name == "PostProcessingOne" ? m_PostProcessingOne : m_PostProcessingTwo) = value;
    RefreshPostPasses();
  } else if (RenderPass* pass = m_Resources->GetPass(name)) {
    pass->SetEnabled(value);
  }
}

}  // namespace Gfx
