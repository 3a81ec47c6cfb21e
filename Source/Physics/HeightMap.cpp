#include "Physics/HeightMap.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Physics/CollidableSet.h"
#include "Physics/Geometry.h"
#include "Physics/OBB.h"
#include "Physics/Sphere.h"
#include "Util/Assert.h"
#include "Util/BinaryStream.h"
#include "Util/FileAccess.h"

namespace Phy {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Physics\\phys_heightmap";

constexpr float kSpacing = 2.0f;    // world units between samples
constexpr float kToSamples = 0.5f;  // 1 / kSpacing
constexpr float kInv255 = 0.003921569f;
constexpr float kHoleStep = 1e-3f;    // how far past a cell's edge a point is put to stand in a hole
constexpr size_t kMostBreaks = 4096;  // segment breakpoints examined at most

using Util::Vec3;

// Interpolation on the triangles of the unit cell, corners h00 (0,0), h10 (1,0), h01 (0,1), h11 (1,1).
float LowerLeft(float h00, float h10, float h01, float fx, float fz) {
  return h00 + fx * (h10 - h00) + fz * (h01 - h00);
}
float UpperRight(float h10, float h01, float h11, float fx, float fz) {
  return h11 + (1.0f - fx) * (h01 - h11) + (1.0f - fz) * (h10 - h11);
}
float UpperLeft(float h00, float h01, float h11, float fx, float fz) {
  return h00 + fz * (h01 - h00) + fx * (h11 - h01);
}
float LowerRight(float h00, float h10, float h11, float fx, float fz) {
  return h00 + fx * (h10 - h00) + fz * (h11 - h10);
}

// A full cell is split along the h10–h01 diagonal when that keeps each triangle's heights
// between the other diagonal's, otherwise along h00–h11.
bool SplitsAlongH10H01(float h00, float h10, float h01, float h11) {
  return std::min(h00, h11) <= std::max(h10, h01) && std::min(h10, h01) <= std::max(h00, h11);
}

// Sample coordinate limited to a range where it is safe to take the floor as an integer.
int32_t Cell(float s, int32_t count) {
  if (!(s > -1.0f)) return -1;
  if (s >= static_cast<float>(count)) return count;
  return static_cast<int32_t>(std::floor(s));
}

}  // namespace

HeightMap::HeightMap(const Vec3& min, const Vec3& max, const std::string& bitmapPath, float yScaleFactor)
    : m_Bounds(min, max), m_YScale((max.y - min.y) * kInv255) {
  Load(bitmapPath);
  m_YScale *= yScaleFactor;
}

HeightMap::HeightMap(const AABB& bounds, float yScale, int32_t width, int32_t depth, std::vector<uint8_t> samples)
    : m_Bounds(bounds), m_YScale(yScale), m_Width(width), m_Depth(depth), m_Samples(std::move(samples)) {
  if (m_Samples.size() != static_cast<size_t>(width) * static_cast<size_t>(depth) || width <= 0 || depth <= 0) {
    m_Width = m_Depth = 0;
    m_Samples.clear();
  }
}

bool HeightMap::Load(const std::string& path) {
  m_Samples.clear();
  m_Width = m_Depth = 0;
  Util::PackDirectory::Instance().Register(path.c_str());
  SDL_Surface* surface = IMG_Load(Util::ResolvePath(path.c_str()).c_str());
  if (!UTIL_ASSERT_EXPR(surface != nullptr, "surface", "Can't load " + path + " as a heightmap.")) return false;

  // The horizontal size follows the bitmap: one sample every 2 units, about the given centre.
  const Vec3 center = m_Bounds.GetCenter();
  const float halfX = (kSpacing * static_cast<float>(surface->w) - 1.0f) * 0.5f;
  const float halfZ = (kSpacing * static_cast<float>(surface->h) - 1.0f) * 0.5f;
  m_Bounds.m_Min.x = center.x - halfX + 1.0f;
  m_Bounds.m_Max.x = center.x + halfX + 1.0f;
  m_Bounds.m_Min.z = center.z - halfZ + 1.0f;
  m_Bounds.m_Max.z = center.z + halfZ + 1.0f;

  const bool eightBit = surface->format->BytesPerPixel == 1;
  if (UTIL_ASSERT_EXPR(eightBit, "surface->format->BytesPerPixel == 1", "Only 8-bit heightmaps supported")) {
    m_Width = surface->w;
    m_Depth = surface->h;
    m_Samples.resize(static_cast<size_t>(m_Width) * static_cast<size_t>(m_Depth));
    SDL_LockSurface(surface);
    // Row by row: a bitmap's rows are padded to its pitch.
    for (int32_t row = 0; row < m_Depth; ++row)
      std::memcpy(&m_Samples[static_cast<size_t>(row) * static_cast<size_t>(m_Width)],
                  static_cast<const uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(row) * surface->pitch,
                  static_cast<size_t>(m_Width));
    SDL_UnlockSurface(surface);
  }
  SDL_FreeSurface(surface);
  return eightBit;
}

uint8_t HeightMap::Sample(int32_t i, int32_t j) const {
  if (i < 0 || j < 0 || i >= m_Width || j >= m_Depth) return 0;
  return m_Samples[static_cast<size_t>(j) * static_cast<size_t>(m_Width) + static_cast<size_t>(i)];
}

float HeightMap::Interpolated(float sx, float sz) const {
  const int32_t i = Cell(sx, m_Width), j = Cell(sz, m_Depth);
  const float fx = sx - static_cast<float>(i), fz = sz - static_cast<float>(j);
  const float h00 = Sample(i, j), h10 = Sample(i + 1, j), h01 = Sample(i, j + 1), h11 = Sample(i + 1, j + 1);
  int zeros = 0, missing = -1;
  const float corners[] = {h00, h10, h01, h11};
  for (int k = 0; k < 4 && zeros < 2; ++k)
    if (corners[k] == 0.0f) {
      ++zeros;
      missing = k;
    }
  if (zeros >= 2) return 0.0f;
  switch (missing) {
    case 0:
      return fx + fz > 1.0f ? UpperRight(h10, h01, h11, fx, fz) : 0.0f;
    case 1:
      return fx < fz ? UpperLeft(h00, h01, h11, fx, fz) : 0.0f;
    case 2:
      return fz < fx ? LowerRight(h00, h10, h11, fx, fz) : 0.0f;
    case 3:
      return fx + fz < 1.0f ? LowerLeft(h00, h10, h01, fx, fz) : 0.0f;
    default:
      break;
  }
  if (SplitsAlongH10H01(h00, h10, h01, h11))
    return fx + fz <= 1.0f ? LowerLeft(h00, h10, h01, fx, fz) : UpperRight(h10, h01, h11, fx, fz);
  return fx <= fz ? UpperLeft(h00, h01, h11, fx, fz) : LowerRight(h00, h10, h11, fx, fz);
}

float HeightMap::HeightAt(float x, float z) const {
  return Base() + m_YScale * Interpolated((x - m_Bounds.m_Min.x) * kToSamples, (z - m_Bounds.m_Min.z) * kToSamples);
}

bool HeightMap::ContainsPoint(const Vec3& p) const {
  return !m_Samples.empty() && m_Bounds.ContainsPoint(p) && HeightAt(p.x, p.z) * m_YScale > p.y * m_YScale;
}

int HeightMap::CellTriangles(int32_t i, int32_t j, Triangle out[2]) const {
  const float base = Base();
  auto corner = [&](int32_t di, int32_t dj) {
    return Vec3{m_Bounds.m_Min.x + kSpacing * static_cast<float>(i + di),
                base + m_YScale * static_cast<float>(Sample(i + di, j + dj)),
                m_Bounds.m_Min.z + kSpacing * static_cast<float>(j + dj)};
  };
  const Vec3 c00 = corner(0, 0), c10 = corner(1, 0), c01 = corner(0, 1), c11 = corner(1, 1);
  const float h00 = Sample(i, j), h10 = Sample(i + 1, j), h01 = Sample(i, j + 1), h11 = Sample(i + 1, j + 1);
  const int zeros = (h00 == 0.0f) + (h10 == 0.0f) + (h01 == 0.0f) + (h11 == 0.0f);
  if (zeros >= 2) return 0;
  if (h00 == 0.0f) return out[0] = {{c10, c01, c11}}, 1;
  if (h10 == 0.0f) return out[0] = {{c00, c01, c11}}, 1;
  if (h01 == 0.0f) return out[0] = {{c00, c10, c11}}, 1;
  if (h11 == 0.0f) return out[0] = {{c00, c10, c01}}, 1;
  if (SplitsAlongH10H01(h00, h10, h01, h11)) {
    out[0] = {{c00, c10, c01}};
    out[1] = {{c10, c01, c11}};
  } else {
    out[0] = {{c00, c01, c11}};
    out[1] = {{c00, c10, c11}};
  }
  return 2;
}

void HeightMap::Prism(const Triangle& triangle, Vec3 out[6]) const {
  const float base = Base();
  for (int k = 0; k < 3; ++k) {
    out[k] = triangle.corner[k];
    out[k].y = std::clamp(out[k].y, m_Bounds.m_Min.y, m_Bounds.m_Max.y);
    out[k + 3] = {out[k].x, base, out[k].z};
  }
}

bool HeightMap::CellRange(const AABB& box, int32_t& x0, int32_t& x1, int32_t& z0, int32_t& z1) const {
  if (m_Samples.empty()) return false;
  auto index = [](float s, int32_t count) {
    return static_cast<int32_t>(std::clamp(std::floor(s), 0.0f, static_cast<float>(count - 1)));
  };
  x0 = index((box.m_Min.x - m_Bounds.m_Min.x) * kToSamples, m_Width);
  x1 = index((box.m_Max.x - m_Bounds.m_Min.x) * kToSamples, m_Width);
  z0 = index((box.m_Min.z - m_Bounds.m_Min.z) * kToSamples, m_Depth);
  z1 = index((box.m_Max.z - m_Bounds.m_Min.z) * kToSamples, m_Depth);
  const int32_t xStart = x0, xEnd = x1 + 1, zStart = z0, zEnd = z1 + 1;
  const int32_t m_mapWidth = m_Width, m_mapDepth = m_Depth;
  return UTIL_ASSERT(xEnd <= m_mapWidth && xStart < m_mapWidth, "Bad X-values") &&
         UTIL_ASSERT(zEnd <= m_mapDepth && zStart < m_mapDepth, "Bad Z-values");
}

float HeightMap::ExtremeHeight(int32_t x0, int32_t x1, int32_t z0, int32_t z1) const {
  uint8_t most = 0;
  for (int32_t j = z0; j <= z1 + 1; ++j)
    for (int32_t i = x0; i <= x1 + 1; ++i) most = std::max(most, Sample(i, j));
  return std::clamp(Base() + m_YScale * most, m_Bounds.m_Min.y, m_Bounds.m_Max.y);
}

bool HeightMap::MayReach(const AABB& shape, int32_t& x0, int32_t& x1, int32_t& z0, int32_t& z1) const {
  if (!CellRange(shape, x0, x1, z0, z1)) return false;
  const float extreme = ExtremeHeight(x0, x1, z0, z1);
  return m_YScale > 0.0f ? shape.m_Min.y < extreme : shape.m_Max.y > extreme;
}

// The box against the solid of each ground triangle it may reach, by separating axes: the box's
// edges, the solid's faces, and the crossings of the two sets of edges.
bool HeightMap::BoxTest(const OBB& box) const {
  if (m_Samples.empty() || !box.GetBounds().Overlaps(m_Bounds)) return false;
  Vec3 corners[OBB::kParticles];
  box.Corners(corners);
  for (const Vec3& c : corners)
    if (ContainsPoint(c)) return true;
  int32_t x0, x1, z0, z1;
  if (!MayReach(box.GetBounds(), x0, x1, z0, z1)) return false;

  const Vec3 up{0.0f, 1.0f, 0.0f};
  for (int32_t j = z0; j <= z1; ++j)
    for (int32_t i = x0; i <= x1; ++i) {
      Triangle triangles[2];
      const int count = CellTriangles(i, j, triangles);
      for (int k = 0; k < count; ++k) {
        Vec3 prism[6];
        Prism(triangles[k], prism);
        const Vec3 top[3] = {prism[1] - prism[0], prism[2] - prism[1], prism[0] - prism[2]};
        const Vec3 flat[3] = {{top[0].x, 0, top[0].z}, {top[1].x, 0, top[1].z}, {top[2].x, 0, top[2].z}};
        Vec3 axes[32];
        int n = 0;
        for (int e = 0; e < 3; ++e) axes[n++] = box.Edge(e);
        axes[n++] = up;
        axes[n++] = Util::Cross(top[0], top[1]);
        for (const Vec3& f : flat) axes[n++] = Util::Cross(f, up);
        for (int e = 0; e < 3; ++e) {
          for (const Vec3& t : top) axes[n++] = Util::Cross(box.Edge(e), t);
          for (const Vec3& f : flat) axes[n++] = Util::Cross(box.Edge(e), f);
          axes[n++] = Util::Cross(box.Edge(e), up);
        }
        bool separated = false;
        for (int a = 0; a < n && !separated; ++a) {
          if (!(Util::LengthSquared(axes[a]) > 1e-12f)) continue;  // parallel edges give no axis
          float boxLow, boxHigh, prismLow, prismHigh;
          Geometry::Project(corners, OBB::kParticles, axes[a], boxLow, boxHigh);
          Geometry::Project(prism, 6, axes[a], prismLow, prismHigh);
          separated = boxHigh <= prismLow || prismHigh <= boxLow;
        }
        if (!separated) return true;
      }
    }
  return false;
}

bool HeightMap::SphereTest(const Sphere& sphere) const {
  if (m_Samples.empty() || !sphere.CollidesWithAABB(m_Bounds)) return false;
  const Vec3& c = sphere.m_Center;
  const float r = sphere.m_Radius;
  // Its centre, or its point deepest towards the ground.
  if (ContainsPoint(c) || ContainsPoint(c - Vec3{0.0f, m_YScale > 0.0f ? r : -r, 0.0f})) return true;
  int32_t x0, x1, z0, z1;
  if (!MayReach(sphere.GetBounds(), x0, x1, z0, z1)) return false;
  for (int32_t j = z0; j <= z1; ++j)
    for (int32_t i = x0; i <= x1; ++i) {
      Triangle triangles[2];
      const int count = CellTriangles(i, j, triangles);
      for (int k = 0; k < count; ++k) {
        Vec3 p[6];
        Prism(triangles[k], p);
        const Vec3 top[3] = {p[0], p[1], p[2]}, bottom[3] = {p[3], p[4], p[5]};
        const Vec3 sides[3][4] = {{p[0], p[1], p[4], p[3]}, {p[1], p[2], p[5], p[4]}, {p[2], p[0], p[3], p[5]}};
        float nearest =
            std::min(Geometry::DistanceSquaredToPolygon(c, top, 3), Geometry::DistanceSquaredToPolygon(c, bottom, 3));
        for (const auto& side : sides) nearest = std::min(nearest, Geometry::DistanceSquaredToPolygon(c, side, 4));
        if (nearest < r * r) return true;
      }
    }
  return false;
}

bool HeightMap::CollidesWithOBB(const OBB& other) const { return BoxTest(other); }
bool HeightMap::CollidesWithAABB(const AABB& other) const { return BoxTest(OBB::FromAABB(other)); }
bool HeightMap::CollidesWithSphere(const Sphere& other) const { return SphereTest(other); }
bool HeightMap::CollidesWithSet(const CollidableSet& other) const { return other.CollidesWithHeightMap(*this); }

// Along the segment the ground is linear between the places where it crosses a sample line or a
// cell diagonal: each such piece is inside the solid somewhere exactly when it is at one of its
// ends.
bool HeightMap::SegmentEnters(const Vec3& from, const Vec3& to, float& t) const {
  if (m_Samples.empty()) return false;
  float enter = 0.0f, leave = 1.0f;
  const Vec3 delta = to - from;
  for (int axis = 0; axis < 3; ++axis)
    if (!Geometry::ClipSlab(Geometry::At(from, axis), Geometry::At(delta, axis), Geometry::At(m_Bounds.m_Min, axis),
                            Geometry::At(m_Bounds.m_Max, axis), enter, leave))
      return false;

  // No way into the ground where the segment stays beyond its highest (lowest) sample.
  const Vec3 a = from + delta * enter, b = from + delta * leave;
  int32_t x0, x1, z0, z1;
  if (!CellRange(AABB(Geometry::Min(a, b), Geometry::Max(a, b)), x0, x1, z0, z1)) return false;
  const float extreme = ExtremeHeight(x0, x1, z0, z1);
  if (m_YScale > 0.0f ? std::min(a.y, b.y) >= extreme : std::max(a.y, b.y) <= extreme) return false;

  const float sx = (from.x - m_Bounds.m_Min.x) * kToSamples, dsx = delta.x * kToSamples;
  const float sz = (from.z - m_Bounds.m_Min.z) * kToSamples, dsz = delta.z * kToSamples;
  static std::vector<float> breaks;
  breaks.assign({enter, leave});
  const float lines[4][2] = {{sx, dsx}, {sz, dsz}, {sx + sz, dsx + dsz}, {sx - sz, dsx - dsz}};
  for (const auto& line : lines) {
    if (line[1] == 0.0f) continue;
    const float a = line[0] + line[1] * enter, b = line[0] + line[1] * leave;
    for (float k = std::ceil(std::min(a, b)); k <= std::max(a, b) && breaks.size() < kMostBreaks; k += 1.0f)
      breaks.push_back((k - line[0]) / line[1]);
  }
  std::sort(breaks.begin(), breaks.end());

  auto inside = [&](float at) {
    const Vec3 p = from + delta * at;
    return (HeightAt(p.x, p.z) - p.y) * m_YScale;
  };
  for (size_t k = 0; k + 1 < breaks.size(); ++k) {
    const float a = std::max(breaks[k], enter), b = std::min(breaks[k + 1], leave);
    if (!(b > a)) continue;
    const float ta = a + (b - a) * 1e-3f, tb = b - (b - a) * 1e-3f;
    const float ga = inside(ta), gb = inside(tb);
    if (ga > 0.0f) {
      t = a;
      return true;
    }
    if (gb > 0.0f) {
      t = ta + (tb - ta) * (-ga / (gb - ga));
      return true;
    }
  }
  return false;
}

void HeightMap::PushOut(const Vec3& from, Vec3& point) const {
  if (m_Samples.empty()) return;
  const float base = Base();
  auto column = [&](float x) { return std::clamp(Cell((x - m_Bounds.m_Min.x) * kToSamples, m_Width), 0, m_Width - 1); };
  auto row = [&](float z) { return std::clamp(Cell((z - m_Bounds.m_Min.z) * kToSamples, m_Depth), 0, m_Depth - 1); };
  // Coming from beyond the base plane, through the bottom of the ground: back out that way.
  if ((from.y - base) * m_YScale < 0.0f && std::abs(column(from.x) - column(point.x)) < 2 &&
      std::abs(row(from.z) - row(point.z)) < 2) {
    point.y = from.y + (from.y - base);
    return;
  }
  PushToNearestFace(point);
}

// Onto the surface straight above (below, for a downward map), or sideways into a neighbouring
// hole when that is nearer.
void HeightMap::PushToNearestFace(Vec3& point) const {
  if (m_Samples.empty()) return;
  Vec3 best = point;
  best.y = HeightAt(point.x, point.z);
  float bestDistance = std::fabs(best.y - point.y);
  for (int axis = 0; axis < 3; axis += 2) {
    const float low = Geometry::At(m_Bounds.m_Min, axis);
    const float s = (Geometry::At(point, axis) - low) * kToSamples;
    const float cellLow = low + kSpacing * std::floor(s);
    const float edges[2][2] = {{cellLow, -kHoleStep}, {cellLow + kSpacing, kHoleStep}};
    for (const auto& edge : edges) {
      const float distance = std::fabs(edge[0] - Geometry::At(point, axis));
      if (distance >= bestDistance) continue;
      Vec3 candidate = point;
      Geometry::At(candidate, axis) = edge[0] + edge[1];
      if (ContainsPoint(candidate)) continue;
      best = candidate;
      bestDistance = distance;
    }
  }
  point = best;
}

// The record's layout leaves out the y scale, without which a map read back would lose its
// direction and height: it follows the samples.
void HeightMap::Write(Util::BinaryStream& stream) const {
  stream.Write(static_cast<int32_t>(kTypeHeightMap));
  stream.Write(m_Bounds.m_Min);
  stream.Write(m_Bounds.m_Max);
  stream.Write(m_Width);
  stream.Write(m_Depth);
  if (!m_Samples.empty()) stream.WriteArray(m_Samples.data(), m_Samples.size());
  stream.Write(m_YScale);
}

bool HeightMap::Validate() const {
  return m_Bounds.Validate() && std::isfinite(m_YScale) && m_Width >= 0 && m_Depth >= 0 &&
         m_Samples.size() == static_cast<size_t>(m_Width) * static_cast<size_t>(m_Depth);
}

}  // namespace Phy
