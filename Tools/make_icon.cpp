// Draws the game's window icon, a lantern glowing over a floating island at dusk, and writes it as a
// 64 x 64 32-bit BMP (alpha in the top byte) to the path given on the command line.
//
// Every pixel is sampled 4 x 4 times, so edges and the glow come out smooth.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSize = 64;
constexpr int kSamples = 4;

struct Colour {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

Colour Mix(const Colour& a, const Colour& b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Colour Rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f, 1.0f}; }

float Smooth(float edge0, float edge1, float x) {
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

// Signed distance to a rounded square filling the icon: negative inside.
float RoundedSquare(float x, float y) {
  const float half = kSize / 2.0f - 0.5f;
  const float radius = 12.0f;
  const float qx = std::fabs(x - kSize / 2.0f) - (half - radius);
  const float qy = std::fabs(y - kSize / 2.0f) - (half - radius);
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

// The island: a flat grassy top over a rocky cone that narrows to a point below.
bool InIsland(float x, float y) {
  const float top = 45.0f;
  const float cx = 32.0f;
  const float halfWidth = 19.0f;
  if (y < top - 2.0f) return false;
  if (y < top) {  // a gentle hump of turf
    const float dx = (x - cx) / halfWidth;
    return dx * dx < 1.0f && y > top - 2.0f * (1.0f - dx * dx);
  }
  const float depth = (y - top) / 14.0f;  // 0 at the top, 1 at the point
  if (depth > 1.0f) return false;
  const float jag = 1.5f * std::sin(x * 1.3f) * depth;
  return std::fabs(x - cx) < halfWidth * (1.0f - depth) * (1.0f - 0.15f * depth) + jag;
}

bool InPole(float x, float y) {
  const bool upright = x > 21.0f && x < 23.0f && y > 21.0f && y < 44.0f;
  const bool arm = y > 20.0f && y < 22.0f && x > 21.0f && x < 36.0f;
  const bool cord = x > 34.4f && x < 35.6f && y > 21.0f && y < 25.0f;
  return upright || arm || cord;
}

// A point's colour, before the icon's rounded edge.
Colour Sample(float x, float y) {
  // The dusk sky: deep blue overhead, violet, then a warm glow along the horizon.
  const float t = y / kSize;
  Colour sky = Mix(Rgb(18, 16, 52), Rgb(70, 40, 96), Smooth(0.0f, 0.55f, t));
  sky = Mix(sky, Rgb(214, 112, 92), Smooth(0.5f, 0.95f, t));

  // A few early stars.
  const float stars[][2] = {{10.5f, 9.5f}, {50.5f, 7.5f}, {43.5f, 15.5f}, {14.5f, 24.5f}, {55.5f, 26.5f}};
  for (const auto& s : stars) {
    const float d = std::hypot(x - s[0], y - s[1]);
    sky = Mix(sky, Rgb(235, 230, 255), 0.8f * (1.0f - Smooth(0.0f, 0.9f, d)));
  }

  Colour c = sky;
  if (InIsland(x, y)) {
    const bool turf = y < 46.5f;
    c = turf ? Rgb(46, 92, 70) : Mix(Rgb(52, 36, 58), Rgb(28, 20, 40), (y - 45.0f) / 14.0f);
  }
  if (InPole(x, y)) c = Rgb(34, 24, 36);

  // The lantern's light and a few fireflies: warm glows added over everything.
  struct Glow {
    float x, y, core, reach, strength;
  };
  const Glow glows[] = {
      {35.0f, 29.0f, 3.4f, 15.0f, 0.85f},
      {12.0f, 36.0f, 0.9f, 4.5f, 0.8f},
      {49.0f, 35.0f, 0.9f, 4.5f, 0.8f},
      {45.0f, 21.0f, 0.7f, 3.5f, 0.7f},
  };
  for (const Glow& g : glows) {
    const float d = std::hypot(x - g.x, y - g.y);
    const float halo = g.strength * std::exp(-d * d / (0.35f * g.reach * g.reach));
    c.r = std::min(1.0f, c.r + halo * 1.0f);
    c.g = std::min(1.0f, c.g + halo * 0.78f);
    c.b = std::min(1.0f, c.b + halo * 0.35f);
    c = Mix(c, Rgb(255, 244, 190), 1.0f - Smooth(g.core - 0.8f, g.core + 0.4f, d));
  }
  // The lantern's frame: a dark cap above the light.
  if (std::fabs(x - 35.0f) < 3.0f && y > 24.5f && y < 26.0f) c = Rgb(40, 28, 40);
  return c;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

uint8_t Byte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon <output.bmp>\n");
    return 1;
  }
  const uint32_t pixelBytes = kSize * kSize * 4;
  std::vector<uint8_t> bmp;
  // File header, then a BITMAPINFOHEADER: 32 bits per pixel, uncompressed, rows bottom up.
  bmp.push_back('B');
  bmp.push_back('M');
  Put32(bmp, 14 + 40 + pixelBytes);
  Put32(bmp, 0);
  Put32(bmp, 14 + 40);
  Put32(bmp, 40);
  Put32(bmp, kSize);
  Put32(bmp, kSize);
  Put16(bmp, 1);
  Put16(bmp, 32);
  Put32(bmp, 0);
  Put32(bmp, pixelBytes);
  Put32(bmp, 2835);  // 72 dots per inch
  Put32(bmp, 2835);
  Put32(bmp, 0);
  Put32(bmp, 0);

  for (int row = kSize - 1; row >= 0; --row) {
    for (int col = 0; col < kSize; ++col) {
      Colour sum;
      float coverage = 0.0f;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const float x = col + (sx + 0.5f) / kSamples;
          const float y = row + (sy + 0.5f) / kSamples;
          if (RoundedSquare(x, y) > 0.0f) continue;
          const Colour c = Sample(x, y);
          sum.r += c.r;
          sum.g += c.g;
          sum.b += c.b;
          coverage += 1.0f;
        }
      }
      const float n = std::max(coverage, 1.0f);
      bmp.push_back(Byte(sum.b / n));
      bmp.push_back(Byte(sum.g / n));
      bmp.push_back(Byte(sum.r / n));
      bmp.push_back(Byte(coverage / (kSamples * kSamples)));
    }
  }

  FILE* file = std::fopen(argv[1], "wb");
  if (!file) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  const bool written = std::fwrite(bmp.data(), 1, bmp.size(), file) == bmp.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "make_icon: failed writing %s\n", argv[1]);
    return 1;
  }
  return 0;
}
