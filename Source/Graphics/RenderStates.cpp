// The render state kinds (RS_ classes) and the table of their keywords and parameter texts.
// Parameter texts are read with ordinary stream extraction, word by word.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "Graphics/Camera.h"
#include "Graphics/GL.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/Material.h"
#include "Graphics/RenderContext.h"
#include "Graphics/RenderPass.h"
#include "Graphics/RenderTarget.h"
#include "Graphics/ResourceManager.h"
#include "Util/Assert.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_renderpass";
constexpr const char* kBackBuffer = "BackBuffer";
constexpr int kWindow = -1;  // target index of the back buffer
constexpr int kShadowSize = 512;
// The texture unit whose texture matrix carries the shadow transform to the shaders that receive
// shadows: from the eye space of the frame's camera to the shadow map's [0, 1] coordinates.
constexpr GLenum kShadowMatrixUnit = GL_TEXTURE7;

ResourceManager* Resources() { return GraphicsFacade::Instance().GetResourceManager(); }
RenderContext* Context() { return GraphicsFacade::Instance().GetRenderContext(); }

template <class T>
T Read(std::istream& in) {
  T value{};
  in >> value;
  return value;
}

// The index of a target named in a state; the assertion of the lookup when there is none (-2).
int TargetIndex(const std::string& name) {
  if (name == kBackBuffer) return kWindow;
  ResourceManager* resources = Resources();
  return resources ? resources->FindRenderTargetChecked(name) : -2;
}

int MaterialIndex(const std::string& name) {
  ResourceManager* resources = Resources();
  return resources ? resources->loadMaterial(name) : -1;
}

const RenderTarget* Target(int index) {
  ResourceManager* resources = Resources();
  return resources ? resources->RenderTargetAt(index) : nullptr;
}

void FullViewport() {
  if (const RenderContext* context = Context())
    glViewport(0, 0, static_cast<GLsizei>(context->m_Width), static_cast<GLsizei>(context->m_Height));
}

class RS_TargetBuffer : public RenderState {
 public:
  explicit RS_TargetBuffer(const std::string& name) : m_Target(TargetIndex(name)) {}
  void Begin() override {
    if (m_Target == kWindow) {
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      if (RenderContext* context = Context()) context->m_DrawingToBackBuffer = true;
    } else if (const RenderTarget* target = Target(m_Target)) {
      target->BindForDrawing();
    }
  }
  void End() override {
    if (RenderContext* context = Context()) context->m_DrawingToBackBuffer = false;
  }

 private:
  int m_Target;
};

class RS_SourceBuffer : public RenderState {
 public:
  RS_SourceBuffer(int unit, int index, int single, const std::string& name)
      : m_Unit(unit), m_Index(index), m_Single(single), m_Target(TargetIndex(name)) {}
  void Begin() override {
    if (const RenderTarget* target = Target(m_Target)) target->BindForSampling(m_Unit, m_Index, m_Single);
  }

 private:
  int m_Unit;
  int m_Index;
  int m_Single;
  int m_Target;
};

// Blend factor codes: "SourceAlpha" 0, "InvSourceAlpha" 1, "One" 2.
int BlendCode(const std::string& word) {
  if (word == "SourceAlpha") return 0;
  if (word == "InvSourceAlpha") return 1;
  if (word == "One") return 2;
  return -1;
}

GLenum BlendFactor(int code, GLenum unknown) {
  switch (code) {
    case 0:
      return GL_SRC_ALPHA;
    case 1:
      return GL_ONE_MINUS_SRC_ALPHA;
    case 2:
      return GL_ONE;
    default:
      return unknown;
  }
}

class RS_BlendMode : public RenderState {
 public:
  RS_BlendMode(const std::string& source, const std::string& destination)
      : m_Source(BlendFactor(BlendCode(source), GL_SRC_ALPHA)),
        m_Destination(BlendFactor(BlendCode(destination), GL_ONE_MINUS_SRC_ALPHA)) {}
  void Begin() override {
    glEnable(GL_BLEND);
    glBlendFunc(m_Source, m_Destination);
  }
  void End() override { glDisable(GL_BLEND); }

 private:
  GLenum m_Source;
  GLenum m_Destination;
};

class RS_NoDepth : public RenderState {
 public:
  void Begin() override { glDepthMask(GL_FALSE); }
  void End() override { glDepthMask(GL_TRUE); }
};

// A divisor of 0 would divide the window size by zero: it is reported and read as 1.
uint32_t Divisor(std::istream& in) {
  const uint32_t divisor = Read<uint32_t>(in);
  if (divisor) return divisor;
  std::printf("RenderPass::createStateFrom: FULLSCREENQUAD divisor 0 read as 1\n");
  return 1;
}

class RS_FullScreenQuad : public RenderState {
 public:
  RS_FullScreenQuad(uint32_t x, uint32_t y) : m_X(x), m_Y(y) {}
  void Begin() override { GraphicsFacade::Instance().FullScreenQuad(m_X, m_Y); }
  void End() override { FullViewport(); }

 private:
  uint32_t m_X;
  uint32_t m_Y;
};

class RS_Material : public RenderState {
 public:
  explicit RS_Material(const std::string& name) : m_Material(MaterialIndex(name)) {}
  void Begin() override {
    if (Material* material = MaterialAt()) material->Begin();
  }
  void End() override {
    if (Material* material = MaterialAt()) material->End();
  }

 private:
  Material* MaterialAt() const {
    ResourceManager* resources = Resources();
    return resources ? resources->GetMaterial(m_Material) : nullptr;
  }
  int m_Material;
};

class RS_CullFace : public RenderState {
 public:
  explicit RS_CullFace(const std::string& word) : m_Face(word == "Front" ? GL_FRONT : GL_BACK) {}
  void Begin() override { glCullFace(m_Face); }
  void End() override { glCullFace(GL_BACK); }

 private:
  GLenum m_Face;
};

class RS_DepthFunction : public RenderState {
 public:
  explicit RS_DepthFunction(const std::string& word) : m_Function(word == "GreaterEqual" ? GL_GEQUAL : GL_LEQUAL) {}
  void Begin() override { glDepthFunc(m_Function); }
  void End() override { glDepthFunc(GL_LEQUAL); }

 private:
  GLenum m_Function;
};

class RS_Render : public RenderState {
 public:
  explicit RS_Render(const std::string& name) : m_Material(MaterialIndex(name)) {}
  void Begin() override { DrawQueue(m_Material, m_Material, false); }

 private:
  int m_Material;
};

// The lights are drawn over the visuals of queue 0, each visual once per light.
class RS_RenderL : public RenderState {
 public:
  explicit RS_RenderL(const std::string& name) : m_Material(MaterialIndex(name)) {}
  void Begin() override { DrawQueue(m_Material, 0, true); }

 private:
  int m_Material;
};

class RS_Clear : public RenderState {
 public:
  void Begin() override { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
};

class RS_DepthBias : public RenderState {
 public:
  void Begin() override { glEnable(GL_POLYGON_OFFSET_FILL); }
  void End() override { glDisable(GL_POLYGON_OFFSET_FILL); }
};

class RS_WindowSize : public RenderState {
 public:
  RS_WindowSize(uint32_t width, uint32_t height) : m_Width(width), m_Height(height) {}
  void Begin() override {
    RenderContext* context = Context();
    if (!context) return;
    m_SavedWidth = context->m_Width;
    m_SavedHeight = context->m_Height;
    context->m_Width = m_Width;
    context->m_Height = m_Height;
  }
  void End() override {
    RenderContext* context = Context();
    if (!context) return;
    context->m_Width = m_SavedWidth;
    context->m_Height = m_SavedHeight;
  }

 private:
  uint32_t m_Width;
  uint32_t m_Height;
  uint32_t m_SavedWidth = 0;
  uint32_t m_SavedHeight = 0;
};

class RS_ShadowTransform : public RenderState {
 public:
  void Begin() override {
    RenderContext* context = Context();
    const Camera* camera = GraphicsFacade::Instance().GetCamera();
    if (!context) return;
    glViewport(0, 0, kShadowSize, kShadowSize);
    // Snapped to half units, so that the shadow map does not shimmer as the camera glides.
    Util::Vec3 p = camera ? camera->Target() : Util::Vec3{};
    p.x = std::floor(2.0f * p.x) * 0.5f;
    p.z = std::floor(2.0f * p.z) * 0.5f;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(p.x, p.y + 64.0f, p.z, p.x, p.y, p.z, 1.0f, 0.0f, 0.0f);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-64.0, 64.0, -64.0, 64.0, 8.0, 256.0);
    glGetFloatv(GL_MODELVIEW_MATRIX, context->m_ShadowView.m);
    glGetFloatv(GL_PROJECTION_MATRIX, context->m_ShadowProjection.m);
    PublishShadowMatrix(*context);
    glMatrixMode(GL_MODELVIEW);
  }
  void End() override {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    FullViewport();
  }

 private:
  // Receivers are drawn later with the camera's view: eye space → world → shadow clip → [0, 1].
  static void PublishShadowMatrix(const RenderContext& context) {
    Mat4 bias;
    for (int i : {0, 5, 10}) bias.m[i] = 0.5f;
    for (int i : {12, 13, 14}) bias.m[i] = 0.5f;
    const Mat4 shadow = bias * context.m_ShadowProjection * context.m_ShadowView * Inverse(context.m_View);
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glActiveTexture(kShadowMatrixUnit);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(shadow.m);
    glActiveTexture(GL_TEXTURE0);
    glMatrixMode(static_cast<GLenum>(matrixMode));
  }
};

using State = std::unique_ptr<RenderState>;

struct StateKind {
  const char* keyword;
  int words;  // of the parameter text
  State (*build)(std::istream& parameters);
};

const StateKind kStates[] = {
    {"TARGET", 1, [](std::istream& in) -> State { return std::make_unique<RS_TargetBuffer>(Read<std::string>(in)); }},
    {"SOURCE", 4,
     [](std::istream& in) -> State {
       const int unit = Read<int>(in);
       const int index = Read<int>(in);
       const int single = Read<int>(in);
       return std::make_unique<RS_SourceBuffer>(unit, index, single, Read<std::string>(in));
     }},
    {"BLEND", 2,
     [](std::istream& in) -> State {
       const std::string source = Read<std::string>(in);
       return std::make_unique<RS_BlendMode>(source, Read<std::string>(in));
     }},
    {"NODEPTH", 0, [](std::istream&) -> State { return std::make_unique<RS_NoDepth>(); }},
    {"FULLSCREENQUAD", 2,
     [](std::istream& in) -> State {
       const uint32_t x = Divisor(in);
       return std::make_unique<RS_FullScreenQuad>(x, Divisor(in));
     }},
    {"MATERIAL", 1, [](std::istream& in) -> State { return std::make_unique<RS_Material>(Read<std::string>(in)); }},
    {"CULL", 1, [](std::istream& in) -> State { return std::make_unique<RS_CullFace>(Read<std::string>(in)); }},
    {"DEPTH", 1, [](std::istream& in) -> State { return std::make_unique<RS_DepthFunction>(Read<std::string>(in)); }},
    {"RENDER", 1, [](std::istream& in) -> State { return std::make_unique<RS_Render>(Read<std::string>(in)); }},
    {"RENDERL", 1, [](std::istream& in) -> State { return std::make_unique<RS_RenderL>(Read<std::string>(in)); }},
    {"CLEAR", 0, [](std::istream&) -> State { return std::make_unique<RS_Clear>(); }},
    {"DEPTHBIAS", 0, [](std::istream&) -> State { return std::make_unique<RS_DepthBias>(); }},
    {"WINDOWSIZE", 2,
     [](std::istream& in) -> State {
       const uint32_t width = Read<uint32_t>(in);
       return std::make_unique<RS_WindowSize>(width, Read<uint32_t>(in));
     }},
    {"SHADOWTRANSFORM", 0, [](std::istream&) -> State { return std::make_unique<RS_ShadowTransform>(); }},
};

const StateKind* StateNamed(const std::string& keyword) {
  for (const StateKind& kind : kStates)
    if (keyword == kind.keyword) return &kind;
  return nullptr;
}

}  // namespace

int StateParameterWords(const std::string& keyword) {
  const StateKind* kind = StateNamed(keyword);
  return kind ? kind->words : -1;
}

std::unique_ptr<RenderState> RenderPass::createStateFrom(const std::string& type, const std::string& parameters) {
  const StateKind* kind = StateNamed(type);
  if (!UTIL_ASSERT_EXPR(kind != nullptr, "false", "RenderPass::createStateFrom: Invalid render state type\n"))
    return nullptr;
  std::istringstream in(parameters);
  return kind->build(in);
}

}  // namespace Gfx
