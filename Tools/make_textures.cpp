// Draws the textures of the game's materials and writes them as BMP files (24-bit, or 32-bit with
// alpha in the top byte) into the folder given on the command line:
//   grass.bmp       grey turf detail, tinted by the season's grass colours in the shader
//   rock.bmp        the cool grey-violet strata of island undersides
//   glow.bmp        a white disc whose alpha falls off softly: fireflies and sparks
//   noise.bmp       grey grain for the film grain and the waterfalls' shimmer
//   loadscreen.bmp  the loading screen: floating islands at dusk with a few fireflies
// Every texture that repeats is built from periodic noise, so it tiles without seams.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Colour {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

Colour Mix(const Colour& a, const Colour& b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Colour Scale(const Colour& c, float s) { return {c.r * s, c.g * s, c.b * s, c.a}; }

float Smooth(float edge0, float edge1, float x) {
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

// A repeatable hash of a lattice point to [0, 1).
float Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / 16777216.0f;
}

// Value noise with a lattice of `period` cells across the unit square, wrapping at its edges.
float Noise(float u, float v, int period, int seed) {
  const float x = u * period, y = v * period;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float fx = Smooth(0.0f, 1.0f, x - x0), fy = Smooth(0.0f, 1.0f, y - y0);
  auto at = [&](int i, int j) {
    return Hash(((i % period) + period) % period, ((j % period) + period) % period, seed);
  };
  const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return top + (bottom - top) * fy;
}

// Four octaves of tiling noise, about 0 to 1.
float Fbm(float u, float v, int period, int seed) {
  float sum = 0.0f, weight = 0.5f, total = 0.0f;
  for (int octave = 0; octave < 4; ++octave) {
    sum += weight * Noise(u, v, period << octave, seed + octave);
    total += weight;
    weight *= 0.5f;
  }
  return sum / total;
}

class Image {
 public:
  Image(int width, int height, bool alpha)
      : m_Width(width), m_Height(height), m_Alpha(alpha), m_Pixels(width * height) {}
  Colour& At(int x, int y) { return m_Pixels[static_cast<size_t>(y * m_Width + x)]; }
  int Width() const { return m_Width; }
  int Height() const { return m_Height; }

  // Writes an uncompressed BMP, rows bottom up as the format wants them.
  bool Write(const std::string& path) const {
    const int bytes = m_Alpha ? 4 : 3;
    const int rowBytes = (m_Width * bytes + 3) & ~3;
    const uint32_t pixelBytes = static_cast<uint32_t>(rowBytes * m_Height);
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
      out.push_back(static_cast<uint8_t>(v));
      out.push_back(static_cast<uint8_t>(v >> 8));
    };
    out.push_back('B');
    out.push_back('M');
    put32(14 + 40 + pixelBytes);
    put32(0);
    put32(14 + 40);
    put32(40);
    put32(static_cast<uint32_t>(m_Width));
    put32(static_cast<uint32_t>(m_Height));
    put16(1);
    put16(static_cast<uint16_t>(bytes * 8));
    put32(0);
    put32(pixelBytes);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    auto byte = [](float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (int y = m_Height - 1; y >= 0; --y) {
      for (int x = 0; x < m_Width; ++x) {
        const Colour& c = m_Pixels[static_cast<size_t>(y * m_Width + x)];
        out.push_back(byte(c.b));
        out.push_back(byte(c.g));
        out.push_back(byte(c.r));
        if (m_Alpha) out.push_back(byte(c.a));
      }
      for (int pad = m_Width * bytes; pad < rowBytes; ++pad) out.push_back(0);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
  }

 private:
  int m_Width, m_Height;
  bool m_Alpha;
  std::vector<Colour> m_Pixels;
};

template <class Shade>
Image Draw(int width, int height, bool alpha, Shade shade) {
  Image image(width, height, alpha);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.At(x, y) = shade((x + 0.5f) / width, (y + 0.5f) / height);
  return image;
}

// Turf: soft clumps with fine blades running mostly one way; a grey the season colours tint.
Colour Grass(float u, float v) {
  const float clumps = Fbm(u, v, 4, 11);
  const float blades = Noise(u, v * 0.25f, 64, 12) * 0.6f + Noise(u, v, 32, 13) * 0.4f;
  const float g = 0.62f + 0.25f * clumps + 0.18f * (blades - 0.5f);
  return {g, g, g, 1.0f};
}

// Rock: horizontal strata, bent a little by noise, over grainy stone.
Colour Rock(float u, float v) {
  const Colour stone{0.28f, 0.26f, 0.34f, 1.0f};
  const float bend = Fbm(u, v, 2, 21) * 0.5f;
  const float strata = 0.5f + 0.5f * std::sin((v + bend) * 6.2831853f * 6.0f);
  const float grain = Fbm(u, v, 8, 22);
  return Scale(stone, 0.72f + 0.35f * strata * 0.6f + 0.45f * (grain - 0.5f) + 0.2f);
}

Colour Glow(float u, float v) {
  const float d = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;  // 0 at the centre, 1 at the edge
  const float core = 1.0f - Smooth(0.0f, 0.25f, d);
  const float halo = std::exp(-d * d * 5.0f) * (1.0f - Smooth(0.8f, 1.0f, d));
  return {1.0f, 1.0f, 1.0f, std::clamp(core + 0.6f * halo, 0.0f, 1.0f)};
}

Colour Grain(float u, float v) {
  const float g = 0.5f * Hash(static_cast<int>(u * 64), static_cast<int>(v * 64), 31) + 0.5f * Fbm(u, v, 16, 32);
  return {g, g, g, 1.0f};
}

// The loading screen, 2:1, drawn top row first. The sky runs from indigo to the horizon's amber;
// three islands float in it, the nearest lit by its lantern.
Colour LoadScreen(float u, float v) {
  const Colour zenith{0.05f, 0.06f, 0.16f}, rose{0.55f, 0.32f, 0.30f}, amber{0.80f, 0.55f, 0.35f};
  const Colour haze{0.16f, 0.12f, 0.22f};
  const float horizon = 0.66f;
  Colour c =
      v < horizon ? Mix(zenith, rose, Smooth(0.1f, horizon - 0.06f, v)) : Mix(amber, haze, Smooth(horizon, 1.0f, v));
  if (v < horizon) c = Mix(c, amber, Smooth(horizon - 0.08f, horizon, v));
  // Stars in the upper sky.
  if (Hash(static_cast<int>(u * 256), static_cast<int>(v * 128), 41) > 0.9975f && v < 0.4f)
    c = Mix(c, {0.9f, 0.9f, 1.0f}, 0.7f);
  struct Island {
    float x, y, w;
    Colour turf, rock;
  };
  const Island islands[] = {
      {0.22f, 0.52f, 0.10f, {0.24f, 0.30f, 0.26f}, {0.20f, 0.18f, 0.26f}},
      {0.78f, 0.44f, 0.07f, {0.22f, 0.26f, 0.26f}, {0.18f, 0.16f, 0.24f}},
      {0.50f, 0.74f, 0.20f, {0.26f, 0.40f, 0.22f}, {0.22f, 0.20f, 0.28f}},
  };
  for (const Island& island : islands) {
    const float dx = (u - island.x) / island.w;
    const float top = island.y - 0.03f * (1.0f - dx * dx);
    const float depth = (v - island.y) / (island.w * 1.6f);
    if (std::fabs(dx) < 1.0f && v > top && v < island.y) c = island.turf;
    if (depth >= 0.0f && depth < 1.0f && std::fabs(dx) < (1.0f - depth) * (1.0f - 0.3f * depth))
      c = Mix(island.rock, Scale(island.rock, 0.5f), depth);
  }
  // The lantern on the near island and fireflies: warm glows.
  const float glows[][4] = {{0.56f, 0.66f, 0.04f, 0.9f},
                            {0.35f, 0.58f, 0.012f, 0.7f},
                            {0.66f, 0.50f, 0.01f, 0.6f},
                            {0.45f, 0.40f, 0.01f, 0.5f},
                            {0.82f, 0.36f, 0.008f, 0.5f}};
  for (const auto& g : glows) {
    const float d = std::hypot((u - g[0]) * 2.0f, v - g[1]);
    const float halo = g[3] * std::exp(-d * d / (g[2] * g[2]));
    c.r += halo * 1.0f;
    c.g += halo * 0.8f;
    c.b += halo * 0.4f;
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_textures <output folder>\n");
    return 1;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const struct {
    const char* name;
    Image image;
  } textures[] = {
      {"grass.bmp", Draw(128, 128, false, Grass)},
      {"rock.bmp", Draw(128, 128, false, Rock)},
      {"glow.bmp", Draw(64, 64, true, Glow)},
      {"noise.bmp", Draw(64, 64, false, Grain)},
      {"loadscreen.bmp", Draw(512, 256, false, LoadScreen)},
  };
  for (const auto& texture : textures) {
    if (!texture.image.Write(folder + texture.name)) {
      std::fprintf(stderr, "make_textures: cannot write %s%s\n", folder.c_str(), texture.name);
      return 1;
    }
  }
  return 0;
}
