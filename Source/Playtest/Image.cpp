#include "Playtest/Image.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace Play {
namespace {

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Framebuffer objects are newer than the GL 1 header; their entry point is looked up.
constexpr GLenum kReadFramebuffer = 0x8CA8;
constexpr GLenum kReadFramebufferBinding = 0x8CAA;
using BindFramebuffer = void (*)(GLenum target, GLuint framebuffer);

}  // namespace

bool ReadBackBuffer(int width, int height, Image& image) {
  if (width <= 0 || height <= 0 || !SDL_GL_GetCurrentContext()) return false;
  image.width = width;
  image.height = height;
  const size_t row = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> flipped(row * static_cast<size_t>(height));
  // The window's own buffers, whatever framebuffer object the renderer left bound for reading
  // (a context without framebuffer objects answers the question with an error and 0).
  GLint framebuffer = 0;
  glGetIntegerv(kReadFramebufferBinding, &framebuffer);
  const auto bind = reinterpret_cast<BindFramebuffer>(SDL_GL_GetProcAddress("glBindFramebuffer"));
  if (framebuffer != 0 && bind) bind(kReadFramebuffer, 0);
  // Errors left before the read are not the capture's.
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
  GLint readBuffer = GL_BACK;
  GLint alignment = 4;
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, flipped.data());
  const bool read = glGetError() == GL_NO_ERROR;
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  glReadBuffer(static_cast<GLenum>(readBuffer));
  if (framebuffer != 0 && bind) bind(kReadFramebuffer, static_cast<GLuint>(framebuffer));
  if (!read) return false;
  // GL's first row is the bottom one.
  image.rgb.resize(flipped.size());
  for (int y = 0; y < height; ++y)
    std::memcpy(&image.rgb[static_cast<size_t>(y) * row], &flipped[static_cast<size_t>(height - 1 - y) * row], row);
  return true;
}

bool SavePng(const Image& image, const std::string& path, std::string& error) {
  Surface surface(SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(image.rgb.data()), image.width, image.height,
                                                     24, image.width * 3, SDL_PIXELFORMAT_RGB24));
  if (!surface || IMG_SavePNG(surface.get(), path.c_str()) != 0) {
    error = SDL_GetError();
    return false;
  }
  return true;
}

bool LoadPng(const std::string& path, Image& image, std::string& error) {
  Surface loaded(IMG_Load(path.c_str()));
  Surface rgb(loaded ? SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB24, 0) : nullptr);
  if (!rgb) {
    error = SDL_GetError();
    return false;
  }
  image.width = rgb->w;
  image.height = rgb->h;
  const size_t row = static_cast<size_t>(rgb->w) * 3;
  image.rgb.resize(row * static_cast<size_t>(rgb->h));
  const uint8_t* pixels = static_cast<const uint8_t*>(rgb->pixels);
  for (int y = 0; y < rgb->h; ++y)
    std::memcpy(&image.rgb[static_cast<size_t>(y) * row], pixels + static_cast<size_t>(y) * rgb->pitch, row);
  return true;
}

Difference Compare(const Image& a, const Image& b, int tolerance) {
  Difference difference;
  const uint64_t pixels = static_cast<uint64_t>(a.width) * static_cast<uint64_t>(a.height);
  difference.sameSize =
      a.width == b.width && a.height == b.height && a.rgb.size() == pixels * 3 && b.rgb.size() == a.rgb.size();
  if (!difference.sameSize) {
    difference.largest = 255;
    difference.differing = std::max<uint64_t>(pixels, static_cast<uint64_t>(b.width) * static_cast<uint64_t>(b.height));
    difference.share = 1.0;
    return difference;
  }
  for (uint64_t p = 0; p < pixels; ++p) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(a.rgb[p * 3 + c]) - int(b.rgb[p * 3 + c])));
    difference.largest = std::max(difference.largest, worst);
    if (worst > tolerance) ++difference.differing;
  }
  difference.share = pixels ? static_cast<double>(difference.differing) / static_cast<double>(pixels) : 0.0;
  return difference;
}

}  // namespace Play
