#include "Graphics/RenderTarget.h"

#include <cstdio>

#include "Graphics/GL.h"

namespace Gfx {
namespace {

enum class Size { Window, Half, Fixed };
enum class Depth { None, Shared, Own };

struct TargetKind {
  const char* name;
  Size size;
  uint32_t fixed;  // width and height of a Fixed target
  GLint internalFormat;
  GLenum pixelType;
  GLint minFilter, magFilter, wrap;
  Depth depth;
  const char* failure;
};

constexpr const char* kLightPrepassFailure = "Could not create renderable texture for LightPrepass Buffer.";
constexpr const char* kLightFailure = "Could not create renderable texture for Light Buffer.";
constexpr const char* kAuxFailure = "Could not create renderable texture for Aux Buffer.";
constexpr const char* kShadowFailure = "Could not create renderable texture for Shadow Buffer.";

// The renderer's targets; the position is the index.
const TargetKind kTargets[RenderTarget::kCount] = {
    {"LightFirst", Size::Window, 0, GL_RGBA16F, GL_FLOAT, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, Depth::Shared,
     kLightPrepassFailure},
    {"Light", Size::Window, 0, GL_RGBA8, GL_UNSIGNED_BYTE, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, Depth::Shared,
     kLightFailure},
    {"Aux2", Size::Window, 0, GL_RGBA8, GL_UNSIGNED_BYTE, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, Depth::Shared,
     kLightFailure},
    {"Aux3", Size::Window, 0, GL_RGBA8, GL_UNSIGNED_BYTE, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, Depth::None,
     kAuxFailure},
    {"Aux0", Size::Half, 0, GL_RGBA8, GL_UNSIGNED_BYTE, GL_NEAREST, GL_LINEAR, GL_CLAMP_TO_EDGE, Depth::None,
     kAuxFailure},
    {"Aux1", Size::Half, 0, GL_RGBA8, GL_UNSIGNED_BYTE, GL_NEAREST, GL_LINEAR, GL_CLAMP_TO_EDGE, Depth::None,
     kAuxFailure},
    {"Shadow", Size::Fixed, 512, GL_RGBA16F, GL_FLOAT, GL_LINEAR, GL_LINEAR, GL_CLAMP, Depth::Own, kShadowFailure},
    {"ShadowAux0", Size::Fixed, 256, GL_RGBA16F, GL_FLOAT, GL_LINEAR, GL_LINEAR, GL_CLAMP, Depth::Own, kShadowFailure},
    {"ShadowAux1", Size::Fixed, 256, GL_RGBA16F, GL_FLOAT, GL_LINEAR, GL_LINEAR, GL_CLAMP, Depth::Own, kShadowFailure},
    {"Aux4", Size::Half, 0, GL_RGBA8, GL_UNSIGNED_BYTE, GL_NEAREST, GL_LINEAR, GL_CLAMP_TO_EDGE, Depth::None,
     kAuxFailure},
};

GLuint NewDepth(uint32_t width, uint32_t height) {
  GLuint depth = 0;
  glGenRenderbuffers(1, &depth);
  glBindRenderbuffer(GL_RENDERBUFFER, depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, static_cast<GLsizei>(width),
                        static_cast<GLsizei>(height));
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  return depth;
}

}  // namespace

const char* RenderTarget::NameOf(int index) { return index >= 0 && index < kCount ? kTargets[index].name : ""; }

RenderTarget::RenderTarget(int index, uint32_t windowWidth, uint32_t windowHeight) {
  const TargetKind& kind = kTargets[index >= 0 && index < kCount ? index : 0];
  m_Name = kind.name;
  switch (kind.size) {
    case Size::Window:
      m_Width = windowWidth;
      m_Height = windowHeight;
      break;
    case Size::Half:
      m_Width = windowWidth / 2;
      m_Height = windowHeight / 2;
      break;
    case Size::Fixed:
      m_Width = m_Height = kind.fixed;
      break;
  }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, kind.minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, kind.magFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, kind.wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kind.wrap);
  glTexImage2D(GL_TEXTURE_2D, 0, kind.internalFormat, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height), 0,
               GL_RGBA, kind.pixelType, nullptr);
  glBindTexture(GL_TEXTURE_2D, 0);
  m_Textures.push_back(texture);

  if (kind.depth == Depth::Shared) m_Depth = BufferFactory::Instance().SharedDepth();
  if (kind.depth == Depth::Own) {
    m_Depth = NewDepth(m_Width, m_Height);
    m_OwnsDepth = true;
  }

  glGenFramebuffers(1, &m_Framebuffer);
  BindForDrawing();
  m_Complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (!m_Complete) std::printf("%s\n", kind.failure);
  // A new texture holds whatever memory it was given: a pass that reads a target before it was
  // first drawn (an echo of the last frame) would show it, different from run to run.
  if (m_Complete) {
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | (m_Depth ? GL_DEPTH_BUFFER_BIT : 0u));
    glPopAttrib();
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

RenderTarget::~RenderTarget() {
  glDeleteFramebuffers(1, &m_Framebuffer);
  glDeleteTextures(static_cast<GLsizei>(m_Textures.size()), m_Textures.data());
  if (m_OwnsDepth) glDeleteRenderbuffers(1, &m_Depth);
}

void RenderTarget::BindForDrawing() const {
  glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
  GLenum buffers[8];
  const int count = TextureCount() < 8 ? TextureCount() : 8;
  for (int i = 0; i < count; ++i) {
    buffers[i] = GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i);
    glFramebufferTexture2D(GL_FRAMEBUFFER, buffers[i], GL_TEXTURE_2D, m_Textures[static_cast<size_t>(i)], 0);
  }
  if (m_Depth) glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_Depth);
  glDrawBuffers(count, buffers);
}

void RenderTarget::BindForSampling(int unit, int index, int single) const {
  const int count = single ? 1 : TextureCount();
  for (int k = 0; k < count; ++k) {
    const int texture = index + k;
    if (texture < 0 || texture >= TextureCount()) break;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit + k));
    glBindTexture(GL_TEXTURE_2D, m_Textures[static_cast<size_t>(texture)]);
  }
}

void BufferFactory::CreateSharedDepth(uint32_t width, uint32_t height) {
  Release();
  m_SharedDepth = NewDepth(width, height);
}

void BufferFactory::Release() {
  if (m_SharedDepth) glDeleteRenderbuffers(1, &m_SharedDepth);
  m_SharedDepth = 0;
}

}  // namespace Gfx
