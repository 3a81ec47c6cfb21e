#include "Graphics/Texture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>

#include "Graphics/GL.h"
#include "Util/Assert.h"
#include "Util/ErrorLog.h"
#include "Util/FileAccess.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_texture";

// The byte orders the upload reads. Decoders hand some images over in other orders (a PNG comes
// as RGB): those are converted, so that red stays red whatever the file's format.
Uint32 UploadFormat(uint32_t bytesPerPixel) {
  return bytesPerPixel == 3 ? SDL_PIXELFORMAT_BGR24 : SDL_PIXELFORMAT_BGRA32;
}

}  // namespace

Texture::Texture(const std::string& file, uint8_t flip) : m_File(file), m_Flip(flip) {
  Util::PackDirectory::Instance().Register(file.c_str());
  SDL_Surface* image = IMG_Load(Util::ResolvePath(file.c_str()).c_str());
  if (!image) {
    Util::ErrorLog::Instance().Error("Texture: " + file + ": " + IMG_GetError() + "\n");
    UTIL_ASSERT(image != nullptr, "Can't load image as texture");
    return;
  }
  const uint32_t bytes = image->format->BytesPerPixel;
  if ((bytes == 3 || bytes == 4) && image->format->format != UploadFormat(bytes)) {
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(image, UploadFormat(bytes), 0);
    if (converted) {
      SDL_FreeSurface(image);
      image = converted;
    }
  }
  m_Width = static_cast<uint32_t>(image->w);
  m_Height = static_cast<uint32_t>(image->h);
  m_BytesPerPixel = bytes;
  const size_t row = static_cast<size_t>(m_Width) * m_BytesPerPixel;
  m_Pixels.resize(row * m_Height);
  SDL_LockSurface(image);
  const auto* source = static_cast<const uint8_t*>(image->pixels);
  for (uint32_t y = 0; y < m_Height; ++y) {
    const uint32_t from = m_Flip ? m_Height - 1 - y : y;
    std::memcpy(&m_Pixels[row * y], source + static_cast<size_t>(image->pitch) * from, row);
  }
  SDL_UnlockSurface(image);
  SDL_FreeSurface(image);
  CreateGL();
}

Texture::Texture(const std::string& name, InMemory) : m_File(name) {}

void Texture::SetImage(uint32_t width, uint32_t height, std::vector<uint8_t> bgra) {
  m_Width = width;
  m_Height = height;
  m_BytesPerPixel = 4;
  m_Pixels = std::move(bgra);
}

Texture::~Texture() { DeleteGL(); }

void Texture::Bind(int unit) const {
  glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
  glBindTexture(GL_TEXTURE_2D, m_Name);
}

void Texture::DeleteGL() {
  if (m_Name) glDeleteTextures(1, &m_Name);
  m_Name = 0;
}

void Texture::Recreate() {
  DeleteGL();
  CreateGL();
}

uint32_t Texture::CreateGL() {
  if (m_Pixels.empty()) return m_Name;  // nothing was read: nothing to show
  glGenTextures(1, &m_Name);
  glBindTexture(GL_TEXTURE_2D, m_Name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  // Rows are packed tightly, whatever their width.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const auto width = static_cast<GLint>(m_Width);
  const auto height = static_cast<GLint>(m_Height);
  if (m_BytesPerPixel == 3)
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, width, height, GL_BGR, GL_UNSIGNED_BYTE, m_Pixels.data());
  else if (m_BytesPerPixel == 4) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_COMPRESSED_RGBA, width, height, GL_BGRA, GL_UNSIGNED_BYTE, m_Pixels.data());
    // Compression works in blocks of 4 × 4 texels: a level smaller than a block holds texels the
    // driver made up, which differ from run to run, so sampling stops at the last whole block
    // (what the builder made of the image, rounded to powers of two, decides where that is).
    GLint built = 0, builtHeight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &built);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &builtHeight);
    GLint levels = 0;
    for (GLint size = std::min(built, builtHeight); size > 4; size /= 2) ++levels;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels);
  }
  return m_Name;
}

bool Texture::Validate() const { return m_Pixels.size() == static_cast<size_t>(m_Width) * m_Height * m_BytesPerPixel; }

}  // namespace Gfx
