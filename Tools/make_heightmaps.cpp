// Draws the height maps of the game's islands: for each island an 8-bit greyscale bitmap of its
// walkable top (a flattened grassy dome) and one of its underside (rock tapering to a point),
// both with the same outline. Sample 0 is no ground, so the outline is where the ground ends.
// Writes <folder>/<island>_top.bmp and <folder>/<island>_bottom.bmp into the folder given on the
// command line.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Island {
  const char* name;
  int size;      // samples along each side
  float lobes;   // how many bulges the outline has
  float wobble;  // how far they reach, as a share of the radius
  float twist;   // where the first bulge starts (radians)
  float crown;   // height of the top's dome, out of 255
};

const Island kIslands[] = {
    {"island_home", 64, 3.0f, 0.12f, 0.4f, 150.0f},
    {"island_meadow", 48, 5.0f, 0.08f, 1.3f, 110.0f},
    {"island_spire", 40, 2.0f, 0.18f, 2.2f, 200.0f},
};

// A smooth, repeatable ripple for the turf, in -1..1.
float Ripple(float x, float z) {
  return 0.5f * std::sin(x * 0.71f + z * 0.23f) * std::cos(z * 0.57f - x * 0.11f) + 0.5f * std::sin(x * 0.19f + 1.7f);
}

bool WriteBitmap(const std::string& path, int size, const std::vector<uint8_t>& samples) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const uint32_t row = (static_cast<uint32_t>(size) + 3u) & ~3u;
  const uint32_t offset = 14 + 40 + 256 * 4;
  const uint32_t fileSize = offset + row * static_cast<uint32_t>(size);
  auto u16 = [&](uint32_t v) {
    std::fputc(static_cast<int>(v & 0xFF), file), std::fputc(static_cast<int>(v >> 8 & 0xFF), file);
  };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  std::fputs("BM", file);
  u32(fileSize), u32(0), u32(offset);
  u32(40), u32(static_cast<uint32_t>(size)), u32(static_cast<uint32_t>(size)), u16(1), u16(8), u32(0);
  u32(row * static_cast<uint32_t>(size)), u32(2835), u32(2835), u32(256), u32(0);
  for (uint32_t grey = 0; grey < 256; ++grey) u32(grey | grey << 8 | grey << 16);
  // Rows go bottom-up: the first row of the map (z = 0) is the last in the file.
  for (int z = size - 1; z >= 0; --z) {
    std::fwrite(&samples[static_cast<size_t>(z) * static_cast<size_t>(size)], 1, static_cast<size_t>(size), file);
    for (uint32_t pad = static_cast<uint32_t>(size); pad < row; ++pad) std::fputc(0, file);
  }
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_heightmaps <folder>\n");
    return 1;
  }
  for (const Island& island : kIslands) {
    const int n = island.size;
    std::vector<uint8_t> top(static_cast<size_t>(n * n)), bottom(static_cast<size_t>(n * n));
    const float middle = (static_cast<float>(n) - 1.0f) * 0.5f;
    for (int z = 0; z < n; ++z)
      for (int x = 0; x < n; ++x) {
        const float dx = (static_cast<float>(x) - middle) / middle, dz = (static_cast<float>(z) - middle) / middle;
        const float angle = std::atan2(dz, dx);
        // The outline: a circle with a few soft bulges, inside a one-sample margin of holes.
        const float edge = 0.86f * (1.0f + island.wobble * std::sin(island.lobes * angle + island.twist));
        const float r = std::sqrt(dx * dx + dz * dz) / edge;
        if (r >= 1.0f) continue;
        const float dome = std::sqrt(1.0f - r * r);
        const float turf = 12.0f + island.crown * dome + 6.0f * Ripple(static_cast<float>(x), static_cast<float>(z));
        const float rock = 255.0f * std::pow(1.0f - r, 1.4f);
        const size_t i = static_cast<size_t>(z * n + x);
        top[i] = static_cast<uint8_t>(std::clamp(turf, 1.0f, 255.0f));
        bottom[i] = static_cast<uint8_t>(std::clamp(rock, 1.0f, 255.0f));
      }
    const std::string base = std::string(argv[1]) + "/" + island.name;
    if (!WriteBitmap(base + "_top.bmp", n, top) || !WriteBitmap(base + "_bottom.bmp", n, bottom)) {
      std::fprintf(stderr, "make_heightmaps: cannot write %s\n", base.c_str());
      return 1;
    }
  }
  return 0;
}
