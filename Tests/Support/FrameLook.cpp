#include "Support/FrameLook.h"

#include <GL/glew.h>
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>

namespace Testing {
namespace {

double Linear(uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

Frame Frame::Read(int width, int height) {
  Frame frame;
  frame.width = width;
  frame.height = height;
  frame.rgb.resize(static_cast<size_t>(width) * height * 3);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
  return frame;
}

double Frame::Luminance(int x, int y) const {
  const uint8_t* p = &rgb[(static_cast<size_t>(height - 1 - y) * width + x) * 3];
  return 0.2126 * Linear(p[0]) + 0.7152 * Linear(p[1]) + 0.0722 * Linear(p[2]);
}

Frame Frame::Crop(int left, int top, int right, int bottom, int zoom) const {
  Frame crop;
  crop.width = (right - left + 1) * zoom;
  crop.height = (bottom - top + 1) * zoom;
  crop.rgb.resize(static_cast<size_t>(crop.width) * crop.height * 3);
  for (int y = 0; y < crop.height; ++y)
    for (int x = 0; x < crop.width; ++x) {
      const int sx = std::clamp(left + x / zoom, 0, width - 1), sy = std::clamp(top + y / zoom, 0, height - 1);
      std::copy_n(&rgb[(static_cast<size_t>(height - 1 - sy) * width + sx) * 3], 3,
                  &crop.rgb[(static_cast<size_t>(crop.height - 1 - y) * crop.width + x) * 3]);
    }
  return crop;
}

bool Frame::SavePng(const std::string& path) const {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24);
  if (!surface) return false;
  for (int y = 0; y < height; ++y)
    std::copy_n(&rgb[static_cast<size_t>(height - 1 - y) * width * 3], static_cast<size_t>(width) * 3,
                static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch);
  const bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
  SDL_FreeSurface(surface);
  return saved;
}

std::ostream& operator<<(std::ostream& out, const Look& l) {
  return out << "luminance " << l.luminance << ", black or white " << l.extremes << ", hues " << l.hues
             << (l.oneColour ? ", one colour" : "");
}

Look Measure(const Frame& frame) {
  Look look;
  std::vector<int> sectors(12, 0);
  const size_t count = frame.rgb.size() / 3;
  const uint8_t* first = frame.rgb.data();
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = &frame.rgb[3 * i];
    const int r = p[0], g = p[1], b = p[2];
    look.luminance += (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255.0;
    look.extremes += (r + g + b == 0 || r + g + b == 3 * 255) ? 1.0 : 0.0;
    look.oneColour = look.oneColour && r == first[0] && g == first[1] && b == first[2];
    const int high = std::max({r, g, b}), low = std::min({r, g, b});
    if (high < 8 || high - low < 0.15 * high) continue;  // greys have no hue
    double hue = high == r   ? (g - b) / double(high - low)
                 : high == g ? 2.0 + (b - r) / double(high - low)
                             : 4.0 + (r - g) / double(high - low);
    hue = std::fmod(hue * 60.0 + 360.0, 360.0);
    ++sectors[static_cast<size_t>(hue / 30.0) % 12];
  }
  look.luminance /= static_cast<double>(count);
  look.extremes /= static_cast<double>(count);
  for (int n : sectors) look.hues += n >= 0.05 * static_cast<double>(count);
  return look;
}

double TextContrast(const Frame& frame, int left, int top, int right, int bottom) {
  left = std::max(left, 2);
  top = std::max(top, 2);
  right = std::min(right, frame.width - 3);
  bottom = std::min(bottom, frame.height - 3);
  double brightest = 0.0;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) brightest = std::max(brightest, frame.Luminance(x, y));
  const auto stroke = [&](int x, int y) { return frame.Luminance(x, y) >= 0.8 * brightest; };
  double strokes = 0.0;
  int strokeCount = 0;
  std::vector<double> around;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      if (stroke(x, y)) {
        strokes += frame.Luminance(x, y);
        ++strokeCount;
        continue;
      }
      bool near = false;
      for (int dy = -2; dy <= 2 && !near; ++dy)
        for (int dx = -2; dx <= 2 && !near; ++dx) near = stroke(x + dx, y + dy);
      if (near) around.push_back(frame.Luminance(x, y));
    }
  if (strokeCount == 0 || around.empty()) return 0.0;
  std::nth_element(around.begin(), around.begin() + around.size() / 2, around.end());
  return (strokes / strokeCount + 0.05) / (around[around.size() / 2] + 0.05);
}

}  // namespace Testing
