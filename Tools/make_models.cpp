// Builds the game's model files from code and writes them, in the simple model form, into the
// folder given on the command line: the light sphere, the default ground, the arm's capsule, Dodod,
// the lantern, a floating island, trees, a stone and a lantern post.
//
// Shapes are low-polygon and soft: organic surfaces (Dodod, foliage, grass) have smooth normals,
// rock and wood are flat shaded. Every part is a closed surface facing out. Colours are the
// palette's, carried as vertex colours; u runs round a turned shape, v along it. Everything is
// deterministic, so every build writes the same files.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "Graphics/MeshBuilder.h"
#include "Graphics/Model.h"

namespace {

using Gfx::MeshBuilder;
using Util::Vec3;

constexpr float kPi = 3.14159265358979f;

// The palette.
constexpr Vec3 kDododWhite{0.92f, 0.90f, 0.85f};
constexpr Vec3 kScarfRed{0.75f, 0.15f, 0.12f};
constexpr Vec3 kGrass{0.30f, 0.45f, 0.22f};
constexpr Vec3 kRock{0.28f, 0.26f, 0.34f};
constexpr Vec3 kLanternGlow{1.0f, 0.62f, 0.25f};
constexpr Vec3 kWhite{1.0f, 1.0f, 1.0f};
// Colours of things the palette leaves open, chosen to sit with it.
constexpr Vec3 kEyes{0.08f, 0.07f, 0.10f};
constexpr Vec3 kFeet{0.82f, 0.78f, 0.72f};
constexpr Vec3 kIron{0.18f, 0.14f, 0.16f};
constexpr Vec3 kWood{0.30f, 0.21f, 0.16f};
constexpr Vec3 kFoliage{0.24f, 0.40f, 0.20f};

Vec3 Scaled(const Vec3& c, float f) { return {c.x * f, c.y * f, c.z * f}; }

// A repeatable wobble in [−1, 1] from two integers, for irregular outlines and rock.
float Noise(int a, int b) {
  uint32_t h = static_cast<uint32_t>(a) * 73856093u ^ static_cast<uint32_t>(b) * 19349663u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return static_cast<float>(h & 0xffffu) / 32767.5f - 1.0f;
}

// Where a turned shape stands: its axis through the origin, and the side direction angle 0 points
// along.
struct Frame {
  Vec3 m_Origin{};
  Vec3 m_Axis{0, 1, 0};
  Vec3 m_Side{1, 0, 0};

  Vec3 Third() const { return Util::Cross(m_Axis, m_Side); }
  Vec3 Radial(float angle) const { return m_Side * std::cos(angle) + Third() * std::sin(angle); }
  Vec3 At(float radius, float angle, float height) const {
    if (radius == 0.0f) return m_Origin + m_Axis * height;  // every angle gives the same point
    return m_Origin + Radial(angle) * radius + m_Axis * height;
  }
};

// A point of the outline a shape is turned from: distance from the axis and height along it. A
// crease keeps the surfaces on either side of it apart in the normals.
struct ProfilePoint {
  float m_Radius;
  float m_Height;
  bool m_Crease = false;
};

void PushTriangle(MeshBuilder& builder, uint32_t a, uint32_t b, uint32_t c, const Vec3& outward) {
  const auto position = [&](uint32_t i) {
    const float* p = builder.VertexAt(i).Position;
    return Vec3{p[0], p[1], p[2]};
  };
  const Vec3 face = Util::Cross(position(b) - position(a), position(c) - position(a));
  if (Util::Dot(face, outward) < 0.0f) std::swap(b, c);
  builder.AddTriangle(a, b, c);
}

// Turns the outline about the frame's axis in `slices` steps. An open outline runs from a point
// on the axis to another; a closed one (a ring) comes back to its start. Smooth shapes get the
// normals of the turned outline, flat ones a normal per face.
void Lathe(MeshBuilder& builder, const Frame& frame, const std::vector<ProfilePoint>& profile, int slices,
           const Vec3& color, bool smooth, bool closed = false) {
  const size_t points = profile.size();
  const size_t segments = closed ? points : points - 1;
  // Each segment's outward normal in the (radial, axial) plane.
  std::vector<std::pair<float, float>> segmentNormal(segments);
  for (size_t s = 0; s < segments; ++s) {
    const ProfilePoint& a = profile[s];
    const ProfilePoint& b = profile[(s + 1) % points];
    const float dr = b.m_Radius - a.m_Radius, dh = b.m_Height - a.m_Height;
    const float length = std::hypot(dr, dh);
    segmentNormal[s] = {dh / length, -dr / length};
  }
  // The normal of point i as seen from segment s (which starts or ends there).
  auto pointNormal = [&](size_t i, size_t s) {
    const ProfilePoint& p = profile[i];
    if (p.m_Radius == 0.0f) return std::pair<float, float>{0.0f, segmentNormal[s].second > 0 ? 1.0f : -1.0f};
    const bool hasPrevious = closed || i > 0, hasNext = closed || i + 1 < points;
    if (p.m_Crease || !hasPrevious || !hasNext) return segmentNormal[s];
    const auto& before = segmentNormal[(i + segments - 1) % segments];
    const auto& after = segmentNormal[i % segments];
    const float r = before.first + after.first, h = before.second + after.second;
    const float length = std::hypot(r, h);
    return std::pair<float, float>{r / length, h / length};
  };
  float travelled = 0.0f;
  for (size_t s = 0; s < segments; ++s) {
    const size_t i = s, j = (s + 1) % points;
    const ProfilePoint& a = profile[i];
    const ProfilePoint& b = profile[j];
    const float v0 = travelled;
    travelled += std::hypot(b.m_Radius - a.m_Radius, b.m_Height - a.m_Height);
    // Angles from the slice number modulo the count: the seam's points are the same floats.
    auto angle = [&](int k) { return 2.0f * kPi * (k % slices) / slices; };
    auto outward = [&](int k) {
      return frame.Radial(2.0f * kPi * (k + 0.5f) / slices) * segmentNormal[s].first +
             frame.m_Axis * segmentNormal[s].second;
    };
    if (!smooth) {
      for (int k = 0; k < slices; ++k) {
        std::vector<Vec3> corners{frame.At(a.m_Radius, angle(k), a.m_Height)};
        if (a.m_Radius != 0.0f) corners.push_back(frame.At(a.m_Radius, angle(k + 1), a.m_Height));
        corners.push_back(frame.At(b.m_Radius, angle(k + 1), b.m_Height));
        if (b.m_Radius != 0.0f) corners.push_back(frame.At(b.m_Radius, angle(k), b.m_Height));
        const Vec3 n = Util::Cross(corners[1] - corners[0], corners[2] - corners[0]);
        builder.AddFace(corners, Util::Dot(n, outward(k)) < 0.0f ? -n : n, color);
      }
      continue;
    }
    // Two rows of vertices for the band, the seam's column twice for its texture coordinates.
    auto row = [&](size_t point, float v) {
      const ProfilePoint& p = profile[point];
      const auto [nr, nh] = pointNormal(point, s);
      const uint32_t first = builder.VertexCount();
      for (int k = 0; k <= slices; ++k) {
        builder.AddVertex(frame.At(p.m_Radius, angle(k), p.m_Height), frame.Radial(angle(k)) * nr + frame.m_Axis * nh,
                          color, static_cast<float>(k) / slices, v);
      }
      return first;
    };
    const uint32_t rowA = row(i, v0), rowB = row(j, travelled);
    for (int k = 0; k < slices; ++k) {
      if (a.m_Radius != 0.0f) PushTriangle(builder, rowA + k, rowA + k + 1, rowB + k + 1, outward(k));
      if (b.m_Radius != 0.0f) PushTriangle(builder, rowA + k, rowB + k + 1, rowB + k, outward(k));
    }
  }
}

std::vector<ProfilePoint> Ellipse(float radius, float halfHeight, int stacks) {
  std::vector<ProfilePoint> profile;
  for (int i = 0; i <= stacks; ++i) {
    const float phi = kPi * i / stacks;
    profile.push_back({i == 0 || i == stacks ? 0.0f : radius * std::sin(phi), -halfHeight * std::cos(phi)});
  }
  return profile;
}

void Sphere(MeshBuilder& builder, const Vec3& centre, float radius, int slices, int stacks, const Vec3& color,
            float squash = 1.0f) {
  Lathe(builder, Frame{centre}, Ellipse(radius, radius * squash, stacks), slices, color, true);
}

// A ring of tube radius `tube` round the axis at distance `ring`.
void Torus(MeshBuilder& builder, const Frame& frame, float ring, float tube, int slices, int sides, const Vec3& color) {
  std::vector<ProfilePoint> profile;
  for (int i = 0; i < sides; ++i) {
    const float a = 2.0f * kPi * i / sides;
    profile.push_back({ring + tube * std::cos(a), tube * std::sin(a)});
  }
  Lathe(builder, frame, profile, slices, color, true, true);
}

// A flat-shaded prism of `sides` sides from height 0 to `height` along the frame's axis, its
// radius going from `bottom` to `top`.
void Prism(MeshBuilder& builder, const Frame& frame, float bottom, float top, float height, int sides,
           const Vec3& color) {
  Lathe(builder, frame, {{0, 0}, {bottom, 0}, {top, height}, {0, height}}, sides, color, false);
}

// A flat-shaded box between two corners.
void Box(MeshBuilder& builder, const Vec3& low, const Vec3& high, const Vec3& color) {
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      const int u = (axis + 1) % 3, v = (axis + 2) % 3;
      std::vector<Vec3> corners;
      for (const auto& [cu, cv] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
        float p[3];
        const float lo[3] = {low.x, low.y, low.z}, hi[3] = {high.x, high.y, high.z};
        p[axis] = side ? hi[axis] : lo[axis];
        p[u] = cu ? hi[u] : lo[u];
        p[v] = cv ? hi[v] : lo[v];
        corners.push_back({p[0], p[1], p[2]});
      }
      float n[3] = {0, 0, 0};
      n[axis] = side ? 1.0f : -1.0f;
      builder.AddFace(corners, {n[0], n[1], n[2]}, color);
    }
  }
}

// Sets the colour of the vertices from `first` on from their positions.
void Paint(MeshBuilder& builder, uint32_t first, const std::function<Vec3(const Vec3&)>& color) {
  for (uint32_t i = first; i < builder.VertexCount(); ++i) {
    Gfx::Vertex& vertex = builder.VertexAt(i);
    const Vec3 c = color({vertex.Position[0], vertex.Position[1], vertex.Position[2]});
    vertex.Color[0] = c.x;
    vertex.Color[1] = c.y;
    vertex.Color[2] = c.z;
  }
}

// The unit sphere that lights are drawn and measured with: 34 slices round, 17 stacks.
Gfx::Mesh UnitSphere() {
  MeshBuilder builder("UnitSphere34");
  Sphere(builder, {}, 1.0f, 34, 17, kWhite);
  builder.ComputeTangents();
  return builder.Take();
}

// A segment of Dodod's arm: a capsule of radius 0.035 lying along +x from 0 to 0.25, the length
// axis an arm segment is turned along.
Gfx::Mesh ArmCapsule() {
  constexpr float kRadius = 0.035f, kLength = 0.25f;
  constexpr int kSteps = 4;
  std::vector<ProfilePoint> profile;
  for (int i = 0; i <= kSteps; ++i) {
    const float phi = 0.5f * kPi * i / kSteps;
    profile.push_back({i == 0 ? 0.0f : kRadius * std::sin(phi), kRadius - kRadius * std::cos(phi)});
  }
  for (int i = 0; i <= kSteps; ++i) {
    const float phi = 0.5f * kPi * i / kSteps;
    profile.push_back({i == kSteps ? 0.0f : kRadius * std::cos(phi), kLength - kRadius + kRadius * std::sin(phi)});
  }
  MeshBuilder builder("armCapsule");
  Lathe(builder, Frame{{}, {1, 0, 0}, {0, 1, 0}}, profile, 8, kDododWhite, true);
  builder.ComputeTangents();
  return builder.Take();
}

// Dodod: a round body a unit across with its centre at the origin, two small feet below, two dark
// eyes looking along +z and a red scarf round its neck with a tail hanging behind.
Gfx::Mesh Dodod() {
  MeshBuilder builder("Dodod");
  Sphere(builder, {}, 0.5f, 20, 12, kDododWhite, 0.92f);
  // A faint blush of warmth towards the top, cooler underneath.
  Paint(builder, 0, [](const Vec3& p) { return Scaled(kDododWhite, 0.9f + 0.1f * (p.y + 0.46f) / 0.92f); });
  for (float side : {-1.0f, 1.0f}) {
    Sphere(builder, {0.17f * side, -0.45f, 0.07f}, 0.12f, 10, 6, kFeet, 0.55f);
    Sphere(builder, {0.14f * side, 0.24f, 0.385f}, 0.055f, 8, 5, kEyes);
  }
  Torus(builder, Frame{{0, 0.02f, 0}}, 0.48f, 0.065f, 20, 8, kScarfRed);
  Box(builder, {0.06f, -0.30f, -0.56f}, {0.20f, 0.04f, -0.48f}, Scaled(kScarfRed, 0.9f));
  builder.ComputeTangents();
  return builder.Take();
}

// The lantern: a small iron cage (base, cap, four bars and a ring to hang it by) round a glowing
// core, its centre at the origin; 0.36 tall.
Gfx::Mesh Lantern() {
  MeshBuilder builder("Lantern");
  Sphere(builder, {}, 0.07f, 12, 8, {1.0f, 0.85f, 0.55f});
  // The glow deepens to the lantern's orange away from its hottest point.
  Paint(builder, 0, [](const Vec3& p) { return Util::Length(p) < 0.05f ? Vec3{1.0f, 0.85f, 0.55f} : kLanternGlow; });
  Prism(builder, Frame{{0, -0.14f, 0}}, 0.10f, 0.09f, 0.03f, 6, kIron);
  Prism(builder, Frame{{0, 0.11f, 0}}, 0.11f, 0.03f, 0.06f, 6, kIron);
  for (int i = 0; i < 4; ++i) {
    const float angle = 0.5f * kPi * i + 0.25f * kPi;
    const float x = 0.075f * std::cos(angle), z = 0.075f * std::sin(angle);
    Box(builder, {x - 0.008f, -0.12f, z - 0.008f}, {x + 0.008f, 0.12f, z + 0.008f}, kIron);
  }
  Torus(builder, Frame{{0, 0.20f, 0}, {0, 0, 1}, {1, 0, 0}}, 0.035f, 0.008f, 10, 5, kIron);
  builder.ComputeTangents();
  return builder.Take();
}

// A floating island: a flattened dome of grass over rock tapering to a point, `radius` across its
// irregular rim, the rim at height 0. The grass is smooth, the rock flat shaded.
Gfx::Mesh Island(const char* name, float radius, float dome, float depth, int seed) {
  constexpr int kSlices = 18, kRings = 4, kLevels = 4;
  std::vector<float> rim(kSlices);
  for (int j = 0; j < kSlices; ++j) {
    const float angle = 2.0f * kPi * j / kSlices;
    rim[j] = radius * (1.0f + 0.10f * std::sin(3.0f * angle + seed) + 0.05f * Noise(seed, j));
  }
  auto point = [&](int j, float fraction, float y) {
    const float angle = 2.0f * kPi * (j % kSlices) / kSlices;
    return Vec3{rim[j % kSlices] * fraction * std::cos(angle), y, rim[j % kSlices] * fraction * std::sin(angle)};
  };
  MeshBuilder builder(name);
  // The grass: rings of vertices shared between their triangles, smoothed over the dome.
  const uint32_t centre = builder.AddVertex({0, dome, 0}, {0, 1, 0}, kGrass, 0, 0);
  std::vector<std::vector<uint32_t>> rings;
  for (int k = 1; k <= kRings; ++k) {
    const float f = static_cast<float>(k) / kRings;
    std::vector<uint32_t> ring;
    for (int j = 0; j < kSlices; ++j) {
      const float bump = k < kRings ? 0.08f * dome * Noise(seed + k, j) : 0.0f;
      const Vec3 p = point(j, f, dome * (1.0f - f * f) + bump);
      ring.push_back(builder.AddVertex(p, {0, 1, 0}, kGrass, p.x * 0.1f, p.z * 0.1f));
    }
    rings.push_back(ring);
  }
  const Vec3 up{0, 1, 0};
  for (int j = 0; j < kSlices; ++j) {
    const int next = (j + 1) % kSlices;
    PushTriangle(builder, centre, rings[0][j], rings[0][next], up);
    for (int k = 1; k < kRings; ++k) {
      PushTriangle(builder, rings[k - 1][j], rings[k][j], rings[k][next], up);
      PushTriangle(builder, rings[k - 1][j], rings[k][next], rings[k - 1][next], up);
    }
  }
  builder.SmoothNormals();
  // Grass a little lighter on the crown.
  Paint(builder, 0, [&](const Vec3& p) { return Scaled(kGrass, 0.9f + 0.2f * p.y / dome); });

  // The rock: levels narrowing downwards to the tip, jagged, one normal per face.
  const uint32_t rockStart = builder.VertexCount();
  auto rock = [&](int level, int j) {
    if (level == 0) return point(j, 1.0f, 0.0f);  // the rim the grass ends on
    if (level == kLevels) return Vec3{0.05f * radius * Noise(seed, 99), -depth, 0.05f * radius * Noise(seed, 98)};
    const float f = static_cast<float>(level) / kLevels;
    const float shrink = std::pow(1.0f - f, 0.8f) * (1.0f + 0.12f * Noise(seed + 7 * level, j % kSlices));
    return point(j, shrink, -depth * f * (1.0f + 0.08f * Noise(seed + 11 * level, j % kSlices)));
  };
  for (int level = 0; level < kLevels; ++level) {
    for (int j = 0; j < kSlices; ++j) {
      const Vec3 a0 = rock(level, j), a1 = rock(level, j + 1), b0 = rock(level + 1, j), b1 = rock(level + 1, j + 1);
      const Vec3 outward = Vec3{a0.x + a1.x, 0, a0.z + a1.z} * (1.0f / radius) + Vec3{0, -1, 0};
      for (const auto& [p, q, r] : {std::tuple{a0, a1, b1}, std::tuple{a0, b1, b0}}) {
        if (p == q || q == r || r == p) continue;  // the tip closes the last level in a fan
        const Vec3 n = Util::Cross(q - p, r - p);
        builder.AddFace({p, q, r}, Util::Dot(n, outward) < 0.0f ? -n : n, kRock, 0.1f);
      }
    }
  }
  Paint(builder, rockStart, [&](const Vec3& p) { return Scaled(kRock, 1.0f - 0.5f * std::min(1.0f, -p.y / depth)); });
  builder.ComputeTangents();
  return builder.Take();
}

// A tree: a flat-shaded trunk under foliage of two smooth cones (a fir) or a ball; 2.4 tall, its
// foot at the origin.
Gfx::Mesh Tree(const char* name, bool round) {
  MeshBuilder builder(name);
  Prism(builder, Frame{}, 0.14f, 0.10f, 0.9f, 6, kWood);
  const uint32_t leaves = builder.VertexCount();
  if (round) {
    Sphere(builder, {0, 1.45f, 0}, 0.75f, 12, 8, kFoliage, 0.9f);
  } else {
    for (const auto& [base, width, top] : {std::tuple{0.7f, 0.8f, 1.8f}, std::tuple{1.3f, 0.6f, 2.4f}}) {
      Lathe(builder, Frame{{0, base, 0}}, {{0, 0}, {width, 0, true}, {0, top - base}}, 10, kFoliage, true);
    }
  }
  Paint(builder, leaves, [](const Vec3& p) { return Scaled(kFoliage, 0.8f + 0.15f * p.y); });
  builder.ComputeTangents();
  return builder.Take();
}

// A stone: a rough ball of rock, flat shaded, resting on the origin; about 0.6 across.
Gfx::Mesh Stone() {
  // An icosahedron, each face split in four, the corners pushed in and out.
  const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
  std::vector<Vec3> corners = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                               {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
  const int faces[20][3] = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                            {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                            {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
  auto shape = [](const Vec3& direction) {
    const Vec3 d = Util::Normalize(direction);
    const int key = static_cast<int>(std::lround(d.x * 97 + d.y * 389 + d.z * 1543));
    const float r = 0.3f * (1.0f + 0.15f * Noise(key, 5));
    return Vec3{d.x * r * 1.1f, d.y * r * 0.7f + 0.19f, d.z * r};
  };
  MeshBuilder builder("Stone");
  for (const auto& f : faces) {
    const Vec3 a = corners[f[0]], b = corners[f[1]], c = corners[f[2]];
    const Vec3 ab = (a + b) * 0.5f, bc = (b + c) * 0.5f, ca = (c + a) * 0.5f;
    for (const auto& [p, q, r] :
         {std::tuple{a, ab, ca}, std::tuple{ab, b, bc}, std::tuple{ca, bc, c}, std::tuple{ab, bc, ca}}) {
      const Vec3 sp = shape(p), sq = shape(q), sr = shape(r);
      const Vec3 n = Util::Cross(sq - sp, sr - sp);
      const Vec3 outward = (sp + sq + sr) * (1.0f / 3.0f) - Vec3{0, 0.19f, 0};
      builder.AddFace({sp, sq, sr}, Util::Dot(n, outward) < 0.0f ? -n : n, kRock, 2.0f);
    }
  }
  Paint(builder, 0, [](const Vec3& p) { return Scaled(kRock, 0.8f + 0.5f * p.y); });
  builder.ComputeTangents();
  return builder.Take();
}

// A lantern post: a stone footing, a wooden pole 2.3 tall and an arm reaching along +x with a hook
// and ring at its end; a lantern hung from the ring has its centre at about (0.55, 1.73, 0).
Gfx::Mesh LanternPost() {
  MeshBuilder builder("LanternPost");
  Prism(builder, Frame{}, 0.22f, 0.16f, 0.18f, 6, kRock);
  Prism(builder, Frame{{0, 0.1f, 0}}, 0.06f, 0.045f, 2.2f, 6, kWood);
  Box(builder, {-0.05f, 2.12f, -0.03f}, {0.62f, 2.19f, 0.03f}, kWood);
  Box(builder, {0.54f, 2.02f, -0.01f}, {0.56f, 2.13f, 0.01f}, kIron);
  Torus(builder, Frame{{0.55f, 2.0f, 0}, {0, 0, 1}, {1, 0, 0}}, 0.025f, 0.006f, 8, 4, kIron);
  builder.ComputeTangents();
  return builder.Take();
}

struct Output {
  const char* m_File;
  std::function<Gfx::Mesh()> m_Make;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_models <output folder>\n");
    return 1;
  }
  const Output outputs[] = {
      {"UnitSphere34.BIN", UnitSphere},
      {"default.BIN", [] { return Island("default", 16.0f, 1.5f, 12.0f, 2); }},
      {"armCapsule.BIN", ArmCapsule},
      {"Dodod.BIN", Dodod},
      {"Lantern.BIN", Lantern},
      {"Island.BIN", [] { return Island("Island", 30.0f, 3.0f, 24.0f, 1); }},
      {"Tree.BIN", [] { return Tree("Tree", false); }},
      {"TreeRound.BIN", [] { return Tree("TreeRound", true); }},
      {"Stone.BIN", Stone},
      {"LanternPost.BIN", LanternPost},
  };
  for (const Output& output : outputs) {
    const std::string path = std::string(argv[1]) + "/" + output.m_File;
    if (!Gfx::WriteModel(path.c_str(), output.m_Make())) return 1;
  }
  return 0;
}
