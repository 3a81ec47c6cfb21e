// The material property kinds (MP_ classes), the table of their keywords and parameter texts, and
// the game values a GAMEINFO property can set. Uniforms are looked up by name in the property's
// own program every time they are set; nothing is cached, so a rebuilt program is never missed.
#include <cmath>
#include <sstream>

#include "Core/Clock.h"
#include "Graphics/Camera.h"
#include "Graphics/GL.h"
#include "Graphics/GameValues.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/Material.h"
#include "Graphics/RenderContext.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Shader.h"
#include "Graphics/Texture.h"
#include "Util/Assert.h"
#include "Util/ErrorLog.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_material";

ResourceManager* Resources() { return GraphicsFacade::Instance().GetResourceManager(); }

GLint Location(int shader, const char* name) {
  ResourceManager* resources = Resources();
  const Shader* program = resources ? resources->GetShader(shader) : nullptr;
  return program ? glGetUniformLocation(program->Program(), name) : -1;
}

void Put(float* out, const Util::Vec3& v) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

// ---- The game values of GAMEINFO -----------------------------------------------------------------

enum class Input { None, Float, Vec3, Vec4, Mat4, Harmonics };

// What a game value is read from: the facade (its fields, camera and render context) and the
// property's own value.
struct Sources {
  const GraphicsFacade& facade;
  const RenderContext& context;
  const Camera* camera;
  float own;
};

Util::Vec3 CameraVector(const Sources& s, const Util::Vec3& (Camera::*vector)() const) {
  return s.camera ? (s.camera->*vector)() : Util::Vec3{};
}

using Value = void (*)(const Sources&, float* out);
using Effect = void (*)(bool begin);

struct GameInfoKind {
  const char* name;
  int kind;
  Input input;
  Value value;
  Effect effect;  // GL state set by Begin (true) and undone by End (false)
};

constexpr int kNoKind = 21;  // no name maps to it: a GAMEINFO with an unknown name sets nothing

const GameInfoKind kGameInfo[] = {
    {"UpVector", 0, Input::Vec3, [](const Sources& s, float* v) { Put(v, CameraVector(s, &Camera::Up)); }, nullptr},
    {"RightVector", 1, Input::Vec3, [](const Sources& s, float* v) { Put(v, CameraVector(s, &Camera::Side)); },
     nullptr},
    {"CameraPosition", 2, Input::Vec3, [](const Sources& s, float* v) { Put(v, CameraVector(s, &Camera::Eye)); },
     nullptr},
    {"CameraTarget", 3, Input::Vec3, [](const Sources& s, float* v) { Put(v, CameraVector(s, &Camera::Target)); },
     nullptr},
    {"ViewProjInverse", 4, Input::Mat4,
     [](const Sources& s, float* v) {
       const Mat4 m = Inverse(s.context.ViewProjection());
       std::copy(m.m, m.m + 16, v);
     },
     nullptr},
    // From this frame's clip space to last frame's: where a pixel was, for smearing along motion.
    {"MotionMatrix", 5, Input::Mat4,
     [](const Sources& s, float* v) {
       const Mat4 m = s.context.m_PreviousViewProjection * Inverse(s.context.ViewProjection());
       std::copy(m.m, m.m + 16, v);
     },
     nullptr},
    {"VineColor", 6, Input::Vec3, [](const Sources& s, float* v) { Put(v, VineColor(s.context.m_VineColor)); },
     nullptr},
    {"FocalDistance", 7, Input::Float,
     [](const Sources& s, float* v) {
       *v = Util::Length(CameraVector(s, &Camera::Eye) - CameraVector(s, &Camera::Target));
     },
     nullptr},
    {"Scale", 8, Input::Float, [](const Sources& s, float* v) { *v = s.own; }, nullptr},
    {"FFRadius", 9, Input::Float, [](const Sources& s, float* v) { *v = s.facade.FireflyRadius(); }, nullptr},
    {"LengthAmount", 10, Input::Float,
     [](const Sources& s, float* v) { *v = s.facade.LengthAmount() * s.facade.FireflyRadius(); }, nullptr},
    {"LightAmount", 11, Input::Float, [](const Sources& s, float* v) { *v = s.facade.LightAmount(); }, nullptr},
    {"FadeAmount", 12, Input::Float, [](const Sources& s, float* v) { *v = s.facade.FadeAmount(); }, nullptr},
    {"ScreenWidth", 13, Input::Float, [](const Sources& s, float* v) { *v = static_cast<float>(s.context.m_Width); },
     nullptr},
    {"ScreenHeight", 14, Input::Float, [](const Sources& s, float* v) { *v = static_cast<float>(s.context.m_Height); },
     nullptr},
    {"InvTanHalfFOV", 15, Input::Float,
     [](const Sources& s, float* v) { *v = 1.0f / std::tan(s.context.m_FieldOfView * 0.017453292f * 0.5f); }, nullptr},
    {"LightAbove", 16, Input::Vec3, [](const Sources& s, float* v) { Put(v, s.facade.LightAbove()); }, nullptr},
    {"LightBelow", 17, Input::Vec3, [](const Sources& s, float* v) { Put(v, s.facade.LightBelow()); }, nullptr},
    {"LightHue", 18, Input::Vec3, [](const Sources& s, float* v) { Put(v, s.facade.LightHue()); }, nullptr},
    {"LightAmbientScale", 19, Input::Float, [](const Sources& s, float* v) { *v = s.facade.AmbientScale(); }, nullptr},
    {"NoUpdate", 20, Input::None, nullptr, [](bool begin) { GraphicsFacade::Instance().SetUpdating(!begin); }},
    {"Doublesided", 22, Input::None, nullptr,
     [](bool begin) { begin ? glDisable(GL_CULL_FACE) : glEnable(GL_CULL_FACE); }},
    {"SphericalHarmonics", 23, Input::Harmonics,
     [](const Sources& s, float* v) {
       for (int i = 0; i < 6; ++i) Put(v + 3 * i, s.context.m_Harmonics[i]);
     },
     nullptr},
    {"TextFade", 24, Input::Vec3, [](const Sources&, float* v) { Put(v, TextFadeColor()); }, nullptr},
    {"TextSolid", 25, Input::None, nullptr, nullptr},
    {"VertexColor", 26, Input::None, nullptr,
     [](bool begin) { begin ? glEnable(GL_COLOR_MATERIAL) : glDisable(GL_COLOR_MATERIAL); }},
    {"BlendFour", 27, Input::Vec4,
     [](const Sources& s, float* v) { std::copy(s.context.m_BlendFour, s.context.m_BlendFour + 4, v); }, nullptr},
    // World up as the view sees it: the view matrix's second column.
    {"ViewUp", 28, Input::Vec3,
     [](const Sources& s, float* v) { std::copy(s.context.m_View.m + 4, s.context.m_View.m + 7, v); }, nullptr},
    {"GrassColorScale", 29, Input::Vec3, [](const Sources&, float* v) { Put(v, GrassColorScale()); }, nullptr},
    {"GrassColorBias", 30, Input::Vec3, [](const Sources&, float* v) { Put(v, GrassColorBias()); }, nullptr},
};

const GameInfoKind kUnknownGameInfo = {"", kNoKind, Input::None, nullptr, nullptr};

const GameInfoKind& GameInfoNamed(const std::string& name) {
  for (const GameInfoKind& kind : kGameInfo)
    if (name == kind.name) return kind;
  return kUnknownGameInfo;
}

const char* const kHarmonics[6] = {"SH0", "SHX", "SHY", "SHZ", "SH4", "SH5"};

// ---- The property kinds --------------------------------------------------------------------------

class MP_Shader : public MaterialProperty {
 public:
  explicit MP_Shader(int shader) : m_Shader(shader) {}
  void Begin() override {
    if (ResourceManager* resources = Resources()) resources->UseShader(m_Shader);
  }

 private:
  int m_Shader;
};

class MP_Texture : public MaterialProperty {
 public:
  MP_Texture(int texture, int unit) : m_Texture(texture), m_Unit(unit) {}
  void Begin() override {
    ResourceManager* resources = Resources();
    if (const Texture* texture = resources ? resources->GetTexture(m_Texture) : nullptr) texture->Bind(m_Unit);
  }

 private:
  int m_Texture;
  int m_Unit;
};

class MP_Uniform : public MaterialProperty {
 public:
  MP_Uniform(int shader, int value, const std::string& name) : m_Shader(shader), m_Value(value), m_Name(name) {}
  void Begin() override { glUniform1i(Location(m_Shader, m_Name.c_str()), m_Value); }

 private:
  int m_Shader;
  int m_Value;
  std::string m_Name;
};

class MP_GameInfo : public MaterialProperty {
 public:
  MP_GameInfo(int shader, const GameInfoKind& kind, float value) : m_Shader(shader), m_Kind(kind), m_Value(value) {}
  void Begin() override {
    if (m_Kind.effect) m_Kind.effect(true);
    if (!m_Kind.value) return;
    const GraphicsFacade& facade = GraphicsFacade::Instance();
    const RenderContext* context = facade.GetRenderContext();
    if (!context) return;
    float v[18] = {};
    m_Kind.value(Sources{facade, *context, facade.GetCamera(), m_Value}, v);
    const GLint at = Location(m_Shader, m_Kind.name);
    switch (m_Kind.input) {
      case Input::Float:
        glUniform1f(at, v[0]);
        break;
      case Input::Vec3:
        glUniform3fv(at, 1, v);
        break;
      case Input::Vec4:
        glUniform4fv(at, 1, v);
        break;
      case Input::Mat4:
        glUniformMatrix4fv(at, 1, GL_FALSE, v);
        break;
      case Input::Harmonics:
        for (int i = 0; i < 6; ++i) glUniform3fv(Location(m_Shader, kHarmonics[i]), 1, v + 3 * i);
        break;
      case Input::None:
        break;
    }
  }
  void End() override {
    if (m_Kind.effect) m_Kind.effect(false);
  }

 private:
  int m_Shader;
  const GameInfoKind& m_Kind;
  float m_Value;
};

class MP_Camera : public MaterialProperty {
 public:
  MP_Camera(int flag, int dest) : m_Flag(flag), m_Dest(dest) {}
  void Begin() override {
    const Camera* camera = GraphicsFacade::Instance().GetCamera();
    if (!camera || (m_Flag != 0 && m_Flag != 1)) return;
    const Util::Vec3 v = m_Flag == 0 ? camera->Side() : camera->Eye();
    const GLenum unit = GL_TEXTURE0 + static_cast<GLenum>(m_Dest);
    glClientActiveTexture(unit);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glMultiTexCoord3f(unit, v.x, v.y, v.z);
    // Arrays set up after this one expect unit 0 to be the client's unit.
    glClientActiveTexture(GL_TEXTURE0);
  }

 private:
  int m_Flag;
  int m_Dest;
};

class MP_Timer : public MaterialProperty {
 public:
  MP_Timer(float scale, int shader) : m_Scale(scale), m_Shader(shader) {}
  void Begin() override {
    m_Time += static_cast<float>(Clock::Instance().FrameTime() * 0.001) * m_Scale;
    glUniform1f(Location(m_Shader, "Timer"), m_Time);
  }

 private:
  float m_Scale;
  int m_Shader;
  float m_Time = 0.0f;
};

class MP_Blend : public MaterialProperty {
 public:
  MP_Blend(GLenum source, GLenum destination) : m_Source(source), m_Destination(destination) {}
  void Begin() override {
    glEnable(GL_BLEND);
    glBlendFunc(m_Source, m_Destination);
  }
  void End() override { glDisable(GL_BLEND); }

 private:
  GLenum m_Source;
  GLenum m_Destination;
};

class MP_NoDepth : public MaterialProperty {
 public:
  void Begin() override { glDepthMask(GL_FALSE); }
  void End() override { glDepthMask(GL_TRUE); }
};

class MP_AlphaTest : public MaterialProperty {
 public:
  explicit MP_AlphaTest(float reference) : m_Reference(reference) {}
  void Begin() override {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, m_Reference);
  }
  void End() override { glDisable(GL_ALPHA_TEST); }

 private:
  float m_Reference;
};

// ---- The keywords --------------------------------------------------------------------------------

using Property = std::unique_ptr<MaterialProperty>;

// The material's shader for a property that needs one; a property defined before any SHADER would
// set its input in no program, so it is reported now and does nothing when begun.
int ShaderFor(const Material& material, const char* keyword) {
  if (material.ShaderIndex() < 0)
    Util::ErrorLog::Instance().Error(std::string("Material::createPropertyFrom: ") + keyword +
                                     " comes before the material's SHADER\n");
  return material.ShaderIndex();
}

template <class T>
T Read(std::istream& in) {
  T value{};
  in >> value;
  return value;
}

uint8_t RegionMask(const std::string& word) {
  if (word == "REGION_NEIGHBORHOOD") return 1;
  if (word == "REGION_TOWN") return 2;
  if (word == "REGION_LOCAL") return 4;
  return Material::kAllRegions;
}

struct PropertyKind {
  const char* keyword;
  int words;  // of the parameter text
  Property (*build)(Material& material, std::istream& parameters);
};

const PropertyKind kProperties[] = {
    {"SHADER", 1,
     [](Material& m, std::istream& in) -> Property {
       ResourceManager* resources = Resources();
       if (!resources) return nullptr;
       m.SetShaderIndex(resources->loadShader(Read<std::string>(in)));
       return std::make_unique<MP_Shader>(m.ShaderIndex());
     }},
    {"TEXTURE", 2,
     [](Material& m, std::istream& in) -> Property {
       const int unit = Read<int>(in);
       ResourceManager* resources = Resources();
       if (!resources) return nullptr;
       m.SetTextureIndex(resources->loadTexture(Read<std::string>(in)));
       return std::make_unique<MP_Texture>(m.TextureIndex(), unit);
     }},
    {"UNIFORM", 2,
     [](Material& m, std::istream& in) -> Property {
       const int value = Read<int>(in);
       return std::make_unique<MP_Uniform>(ShaderFor(m, "UNIFORM"), value, Read<std::string>(in));
     }},
    {"TIMER", 1,
     [](Material& m, std::istream& in) -> Property {
       return std::make_unique<MP_Timer>(Read<float>(in), ShaderFor(m, "TIMER"));
     }},
    {"BLEND", 1,
     [](Material&, std::istream& in) -> Property {
       const std::string mode = Read<std::string>(in);
       if (mode == "PreMultipliedAlpha") return std::make_unique<MP_Blend>(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
       if (mode == "Alpha") return std::make_unique<MP_Blend>(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
       return std::make_unique<MP_Blend>(GL_SRC_ALPHA, GL_ONE);
     }},
    {"GAMEINFO", 1,
     [](Material& m, std::istream& in) -> Property {
       const std::string name = Read<std::string>(in);
       const GameInfoKind& kind = GameInfoNamed(name);
       if (kind.kind == kNoKind)
         Util::ErrorLog::Instance().Error("Material::createPropertyFrom: GAMEINFO " + name + " names no game value\n");
       const int shader = kind.value ? ShaderFor(m, "GAMEINFO") : m.ShaderIndex();
       return std::make_unique<MP_GameInfo>(shader, kind, 0.0f);
     }},
    {"CAMERADATA", 2,
     [](Material&, std::istream& in) -> Property {
       const int flag = Read<int>(in);
       return std::make_unique<MP_Camera>(flag, Read<int>(in));
     }},
    {"NODEPTH", 0, [](Material&, std::istream&) -> Property { return std::make_unique<MP_NoDepth>(); }},
    {"ALPHATEST", 1,
     [](Material&, std::istream& in) -> Property { return std::make_unique<MP_AlphaTest>(Read<float>(in)); }},
    {"SCALE", 1,
     [](Material& m, std::istream& in) -> Property {
       return std::make_unique<MP_GameInfo>(ShaderFor(m, "SCALE"), GameInfoNamed("Scale"), Read<float>(in));
     }},
    {"REGION", 1,
     [](Material& m, std::istream& in) -> Property {
       m.SetRegionMask(RegionMask(Read<std::string>(in)));
       return nullptr;
     }},
};

const PropertyKind* PropertyNamed(const std::string& keyword) {
  for (const PropertyKind& kind : kProperties)
    if (keyword == kind.keyword) return &kind;
  return nullptr;
}

}  // namespace

int PropertyParameterWords(const std::string& keyword) {
  const PropertyKind* kind = PropertyNamed(keyword);
  return kind ? kind->words : -1;
}

std::unique_ptr<MaterialProperty> Material::createPropertyFrom(const std::string& keyword,
                                                               const std::string& parameters) {
  const PropertyKind* kind = PropertyNamed(keyword);
  if (!UTIL_ASSERT_EXPR(kind != nullptr, "false", "Material::createPropertyFrom: Invalid property type\n"))
    return nullptr;
  std::istringstream in(parameters);
  return kind->build(*this, in);
}

}  // namespace Gfx
