#include "Graphics/GraphicsFacade.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "Core/Clock.h"
#include "Core/Window.h"
#include "Game/Entity.h"
#include "Graphics/Camera.h"
#include "Graphics/Effects.h"
#include "Graphics/GL.h"
#include "Graphics/GlyphAtlas.h"
#include "Graphics/GraphicsFactory.h"
#include "Graphics/Material.h"
#include "Graphics/Model.h"
#include "Graphics/RenderContext.h"
#include "Graphics/RenderPass.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Visuals.h"
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

// The built-in shapes at unit size; visuals scale them with their owners.
constexpr float kBuiltInSize = 1.0f;

ModelOwner Owned(std::unique_ptr<Model> model) {
  return ModelOwner(model.release(), [](Model* m) { delete m; });
}

// A pick id as a colour: its low byte in red, its next byte in green.
void PickColor(uint32_t id) { glColor3f((id & 255u) / 255.0f, ((id >> 8) & 255u) / 255.0f, 0.0f); }

}  // namespace

GraphicsFacade::~GraphicsFacade() { Release(); }

void GraphicsFacade::Release() {
  delete m_ScreenText;
  m_ScreenText = nullptr;
  if (GraphicsFactory::Exists()) {
    GraphicsFactory::Instance().Shutdown();
    GraphicsFactory::Destroy();
  }
  delete m_Resources;  // GL objects first
  m_Resources = nullptr;
  m_GlyphAtlas = -1;
  delete m_Effects;
  m_Effects = nullptr;
  delete m_Camera;
  m_Camera = nullptr;
  delete m_Context;
  m_Context = nullptr;
  m_LightPositions.clear();
  m_LightColors.clear();
  m_DebugLines.clear();
}

int GraphicsFacade::Init() {
  Release();
  m_Camera = new Camera;
  m_Camera->Reset();
  m_Context = new RenderContext;
  const bool gl = StartGL();
  if (gl) {
    m_Resources = new ResourceManager;
    m_Resources->loadMaterials();
    m_Context->SizeQueues(m_Resources->RenderQueueCount());
    RegisterBuiltInModels();
  }
  GraphicsFactory::Instance().Init();
  m_Effects = new Effects;
  if (gl) {
    auto atlas = std::make_unique<GlyphAtlas>();
    m_GlyphAtlas = m_Resources->AddTexture(GlyphAtlas::kName, std::move(atlas));
  }
  m_ScreenText = new VisualText(nullptr, "", kScreenTextSize, false);
  m_DebugDraw = false;
  m_FireflyRadius = 10.0f;
  m_LightAmount = 0.9f;
  if (gl) {
    m_Resources->CreateRenderTargets(m_Context->m_Width, m_Context->m_Height);
    ShowLoadingScreen();
  }
  Msg::MailMan::Instance().Post(
      new Msg::graphicsResMsg(static_cast<int32_t>(m_Context->m_Width), static_cast<int32_t>(m_Context->m_Height)));
  m_AmbientScale = 2.0f;
  SetLighting();
  m_WindowWidth = static_cast<float>(m_Context->m_Width);
  m_WindowHeight = static_cast<float>(m_Context->m_Height);
  return 0;
}

void GraphicsFacade::RegisterBuiltInModels() {
  m_Resources->AddModel(kDiamondPlane, Owned(MakeDiamondPlane(kBuiltInSize)));
  m_Resources->AddModel(kEndBox, Owned(MakeEndBox(kBuiltInSize)));
  m_Resources->AddModel(kSkyBox, Owned(MakeSkyBox(kBuiltInSize)));
  // A spline is made from its points by whoever draws one; the name stands for an empty model.
  m_Resources->AddModel(kSpline, Owned(std::make_unique<Model>(kSpline)));
}

const GlyphAtlas* GraphicsFacade::GetGlyphAtlas() const {
  return m_Resources ? dynamic_cast<const GlyphAtlas*>(m_Resources->GetTexture(m_GlyphAtlas)) : nullptr;
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
  // The walk cycle follows the character's speed.
  const float step = static_cast<float>(Clock::Instance().FrameTime()) * m_WalkFactor;
  VertexAnimation::ForEachLive([step](VertexAnimation& animation) { animation.Advance(step); });
  if (m_Camera) m_Camera->Update();
  if (!m_Resources) return;
  SetView();
  SubmitVisuals();
  m_Resources->RunPasses();
  m_Context->ClearQueues();
  ClearLights();
  EndFrame();
}

void GraphicsFacade::SubmitVisuals() {
  if (!m_Context) return;
  m_Context->m_RegionMask = 7;
  Visual::ForEachLive([](Visual& visual) { visual.Submit(); });
}

void GraphicsFacade::EndFrame() {
  if (m_DebugDraw) DrawDebugLines();
  m_DebugLines.clear();
  if (m_Context) m_Context->m_DrawingToBackBuffer = false;
  if (Core::Window::Exists()) Core::Window::Instance().SwapBuffers();
}

void GraphicsFacade::DrawDebugLines() {
  if (!m_Resources || !m_Context) return;
  m_Resources->UseNoShader();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(m_Context->m_Projection.m);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(m_Context->m_View.m);
  glBegin(GL_LINES);
  for (const DebugLine& line : m_DebugLines) {
    glColor3f(line.m_Color.x, line.m_Color.y, line.m_Color.z);
    glVertex3f(line.m_Start.x, line.m_Start.y, line.m_Start.z);
    glVertex3f(line.m_End.x, line.m_End.y, line.m_End.z);
  }
  glEnd();
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void GraphicsFacade::ShowLoadingScreen() {
  if (!m_Resources || !m_Context) return;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  m_Context->m_DrawingToBackBuffer = true;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // A catalogue without the loading screen's material shows the cleared window instead.
  if (Material* material = m_Resources->GetMaterial(m_Resources->FindMaterial("gLoadScreen"))) {
    material->Begin();
    FullScreenQuad(1, 1);
    material->End();
  }
  EndFrame();
}

void GraphicsFacade::Shutdown() { Release(); }

void GraphicsFacade::AddLight(const Msg::Vec4& position, const Msg::Vec4& color) {
  m_LightPositions.push_back(position);
  m_LightColors.push_back(color);
}

void GraphicsFacade::ClearLights() {
  m_LightPositions.clear();
  m_LightColors.clear();
}

uint32_t GraphicsFacade::PickAt(int32_t x, int32_t y) {
  ClearLights();
  if (!m_Resources || !m_Context) return 0;
  const auto width = static_cast<int32_t>(m_Context->m_Width), height = static_cast<int32_t>(m_Context->m_Height);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, width, height);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  m_Resources->UseNoShader();
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(m_Context->m_Projection.m);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(m_Context->m_View.m);
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  for (GLenum state : {GL_BLEND, GL_DITHER, GL_LIGHTING, GL_TEXTURE_2D, GL_ALPHA_TEST}) glDisable(state);
  glEnable(GL_DEPTH_TEST);
  Visual::ForEachLive([](Visual& visual) {
    PickColor(visual.PickId());
    visual.DrawOverlay();
  });
  glPopAttrib();
  // A point outside the window is over no visual. Rows count up from the bottom.
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  float rgb[3] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(x, height - 1 - y, 1, 1, GL_RGB, GL_FLOAT, rgb);
  return static_cast<uint32_t>(std::lround(rgb[0] * 255.0f)) +
         256u * static_cast<uint32_t>(std::lround(rgb[1] * 255.0f));
}

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

void GraphicsFacade::Receive(const Util::Handle<Msg::gameFireflySpawnMsg>& message) {
  if (m_Effects) m_Effects->SpawnFireflies(message->m_Position, message->m_Second, message->m_Count, message->m_Kind);
}

void GraphicsFacade::Receive(const Util::Handle<Msg::gameLanternPositionMsg>& message) {
  if (m_Effects) m_Effects->MoveToLantern(message->m_Position);
}

void GraphicsFacade::Receive(const Util::Handle<Msg::gameFireflyCollidedMsg>& message) {
  if (m_Effects) m_Effects->Burst(message->m_Position);
}

void GraphicsFacade::Receive(const Util::Handle<Msg::debugSetLineLayerMsg>& message) {
  m_DebugLayer = message->m_Layer;
}

void GraphicsFacade::Receive(const Util::Handle<Msg::debugAddLineMsg>& message) {
  m_DebugLines.push_back({message->m_Start, message->m_End, message->m_Third, m_DebugLayer});
}

void GraphicsFacade::Receive(const Util::Handle<Msg::debugSetMsg>& message) { m_DebugDraw = message->m_On; }

void GraphicsFacade::Receive(const Util::Handle<Msg::debugMsg>&) { m_DebugDraw = !m_DebugDraw; }

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsSetBlendFourMsg>& message) {
  if (!m_Context) return;
  const Msg::Vec4& b = message->m_Blend;
  const float weights[4] = {b.x, b.y, b.z, b.w};
  std::copy(weights, weights + 4, m_Context->m_BlendFour);
}

void GraphicsFacade::Receive(const Util::Handle<Msg::addWaterfallMsg>& message) {
  const Msg::addWaterfallMsg& m = *message.Get();
  const Util::Vec3 points[4] = {m.m_P1, m.m_P2, m.m_P3, m.m_P4};
  if (m_Effects) m_Effects->AddWaterfall(points, m.m_Segments, m.m_Value);
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsSetFadeMsg>& message) { m_FadeAmount = message->m_Fade; }

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsDododWalkStateMsg>& message) {
  m_WalkFactor = message->m_WalkState;
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsLanternMsg>& message) {
  m_FireflyRadius = message->m_Lantern.x;
  m_LengthAmount = message->m_Lantern.y;
  m_LightAmount = message->m_Lantern.z;
}

// The five light values of a firefly system: red, green, blue, special and radius, shared by all
// its fireflies.
void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsLightVecMsg>& message) {
  const Msg::graphicsLightVecMsg& m = *message.Get();
  if (!m.m_Positions) return;
  const std::array<float, 5>& v = m.m_Lights;
  for (int32_t i = 0; i < m.m_Count; ++i)
    AddLight({m.m_Positions[i].x, m.m_Positions[i].y, m.m_Positions[i].z, v[4]}, {v[0], v[1], v[2], v[3]});
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsLightMsg>& message) {
  AddLight(message->m_Position, message->m_Color);
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsVineColorMsg>& message) {
  if (m_Context) m_Context->m_VineColor = std::min(message->m_Amount, 1.0f);
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsFOVMsg>& message) {
  if (m_Context) m_Context->m_TargetFieldOfView = message->m_Growth;
}

void GraphicsFacade::Receive(const Util::Handle<Msg::graphicsPickMsg>& message) {
  const uint32_t id = PickAt(message->m_X, message->m_Y);
  Game::Entity* owner = nullptr;
  if (id != 0)
    for (Visual* visual : Visual::All())
      if (visual->PickId() == id) {
        owner = visual->Owner();
        break;
      }
  Msg::MailMan::Instance().Post(new Msg::graphicsPickedMsg(owner));
}

}  // namespace Gfx
