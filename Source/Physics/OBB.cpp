#include "Physics/OBB.h"

#include <algorithm>
#include <cmath>

#include "Physics/CollidableSet.h"
#include "Physics/Geometry.h"
#include "Physics/HeightMap.h"
#include "Physics/Sphere.h"
#include "Util/BinaryStream.h"

namespace Phy {
namespace {

using Util::Vec3;

// The 18 distance constraints in the order they are relaxed: the two particles and which rest
// length (L1, L2, L3 of the edges, L12, L13, L23 of the face diagonals).
enum Rest { L1, L2, L3, L12, L13, L23 };
struct Constraint {
  int a, b;
  Rest rest;
};
constexpr Constraint kConstraints[] = {
    {0, 2, L12}, {2, 7, L13}, {7, 0, L23}, {1, 4, L13}, {4, 6, L12}, {6, 1, L23}, {0, 1, L1}, {4, 7, L2}, {2, 6, L3},
    {0, 4, L3},  {5, 6, L2},  {2, 3, L1},  {4, 5, L1},  {1, 2, L2},  {3, 7, L3},  {1, 5, L3}, {0, 3, L2}, {6, 7, L1},
};
constexpr int kRelaxations = 10;

}  // namespace

OBB OBB::FromExtents(float width, float height, float depth, float theta, float phi, const Vec3& center) {
  OBB box({}, {width, 0.0f, 0.0f}, {0.0f, height, 0.0f}, {0.0f, 0.0f, depth});
  box.RotateAboutAxis(1, theta);
  box.RotateAboutAxis(2, phi);
  box.Translate(center - box.GetCenter());
  return box;
}

OBB OBB::FromAABB(const AABB& b) {
  const Vec3 size = b.m_Max - b.m_Min;
  return OBB(b.m_Min, {size.x, 0.0f, 0.0f}, {0.0f, size.y, 0.0f}, {0.0f, 0.0f, size.z});
}

void OBB::Corners(Vec3 out[kParticles]) const {
  const Vec3 &e1 = m_Edges[0], &e2 = m_Edges[1], &e3 = m_Edges[2];
  out[0] = m_Corner;
  out[1] = m_Corner + e1;
  out[2] = m_Corner + e1 + e2;
  out[3] = m_Corner + e2;
  out[4] = m_Corner + e3;
  out[5] = m_Corner + e1 + e3;
  out[6] = m_Corner + e1 + e2 + e3;
  out[7] = m_Corner + e2 + e3;
}

Vec3 OBB::GetCenter() const { return m_Corner + (m_Edges[0] + m_Edges[1] + m_Edges[2]) * 0.5f; }

AABB OBB::GetBounds() const {
  Vec3 corners[kParticles];
  Corners(corners);
  AABB bounds(corners[0], corners[0]);
  for (const Vec3& c : corners) {
    bounds.m_Min = Geometry::Min(bounds.m_Min, c);
    bounds.m_Max = Geometry::Max(bounds.m_Max, c);
  }
  return bounds;
}

void OBB::KeepShape() {
  for (int i = 0; i < 3; ++i) m_Rest[i] = Util::LengthSquared(m_Edges[i]);
}

void OBB::ReadParticles(Vec3* p, const uint8_t* held) {
  // The box's own corners give the box back exactly, not merely to within rounding; moved all
  // alike they move it, with nothing to relax.
  Vec3 own[kParticles];
  Corners(own);
  if (std::equal(own, own + kParticles, p)) return;
  const Vec3 shift = p[0] - own[0];
  const float tolerance = 1e-6f * (std::sqrt(m_Rest[0] + m_Rest[1] + m_Rest[2]) + Util::Length(m_Corner));
  bool alike = true;
  for (int i = 1; i < kParticles && alike; ++i) {
    const Vec3 off = p[i] - own[i] - shift;
    alike = std::fabs(off.x) <= tolerance && std::fabs(off.y) <= tolerance && std::fabs(off.z) <= tolerance;
  }
  if (alike) {
    m_Corner += shift;
    return;
  }
  const float l1 = m_Rest[0], l2 = m_Rest[1], l3 = m_Rest[2];
  const float rest[] = {l1, l2, l3, l1 + l2, l1 + l3, l2 + l3};
  for (int iteration = 0; iteration < kRelaxations; ++iteration) {
    for (const Constraint& c : kConstraints) {
      const float length = rest[c.rest];
      const Vec3 d = p[c.b] - p[c.a];
      const float denominator = Util::Dot(d, d) + length;
      if (!(denominator > 0.0f)) continue;  // two particles on one spot with no rest length
      const float k = length / denominator - 0.5f;
      const bool heldA = held && held[c.a], heldB = held && held[c.b];
      if (heldA && heldB) continue;
      // A held particle stays; the other end goes the whole way.
      if (!heldB) p[c.b] += d * (heldA ? 2.0f * k : k);
      if (!heldA) p[c.a] -= d * (heldB ? 2.0f * k : k);
    }
  }
  // The box that fits all eight: their centre, and each edge the mean of its four copies, squared
  // up and given its own length. Adopting one corner and three edges would let a particle that
  // only three constraints hold (P3, P5) fold over to its mirror place and take the box with it.
  Vec3 center;
  for (int i = 0; i < kParticles; ++i) center += p[i];
  center *= 1.0f / kParticles;
  Vec3 edges[3] = {(p[1] - p[0]) + (p[2] - p[3]) + (p[5] - p[4]) + (p[6] - p[7]),
                   (p[3] - p[0]) + (p[2] - p[1]) + (p[7] - p[4]) + (p[6] - p[5]),
                   (p[4] - p[0]) + (p[5] - p[1]) + (p[6] - p[2]) + (p[7] - p[3])};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < i; ++j) edges[i] -= edges[j] * Util::Dot(edges[i], edges[j]);
    const float length = Util::Length(edges[i]);
    // A collapsed direction keeps the one the box had, squared against the others.
    Vec3 unit = length > 1e-6f ? edges[i] * (1.0f / length) : Util::Normalize(m_Edges[i]);
    if (!(length > 1e-6f)) {
      for (int j = 0; j < i; ++j) unit -= edges[j] * Util::Dot(unit, edges[j]);
      unit = Util::Normalize(unit);
    }
    edges[i] = unit;
  }
  for (int i = 0; i < 3; ++i) m_Edges[i] = edges[i] * std::sqrt(m_Rest[i]);
  m_Corner = center - (m_Edges[0] + m_Edges[1] + m_Edges[2]) * 0.5f;
}

bool OBB::ContainsPoint(const Vec3& p) const {
  const Vec3 d = p - m_Corner;
  for (const Vec3& e : m_Edges) {
    const float t = Util::Dot(d, e);
    if (!(t > 0.0f && t < Util::Dot(e, e))) return false;
  }
  return true;
}

bool OBB::SegmentEnters(const Vec3& from, const Vec3& to, float& t) const {
  float enter = 0.0f, leave = 1.0f;
  const Vec3 start = from - m_Corner;
  const Vec3 delta = to - from;
  for (const Vec3& e : m_Edges)
    if (!Geometry::ClipSlab(Util::Dot(start, e), Util::Dot(delta, e), 0.0f, Util::Dot(e, e), enter, leave))
      return false;
  t = enter;
  return true;
}

void OBB::PushOut(const Vec3& from, Vec3& point) const {
  if (ContainsPoint(from)) {
    PushToNearestFace(point);
    return;
  }
  float t = 0.0f;
  if (SegmentEnters(from, point, t)) point = from + (point - from) * t;
}

// Along the edge direction whose face is nearest; the first such direction on ties.
void OBB::PushToNearestFace(Vec3& point) const {
  const Vec3 offset = point - GetCenter();
  Vec3 move;
  float best = 0.0f;
  for (int i = 0; i < 3; ++i) {
    const float length = Util::Length(m_Edges[i]);
    if (!(length > 0.0f)) continue;
    const Vec3 u = m_Edges[i] * (1.0f / length);
    const float along = Util::Dot(u, offset);
    const float depth = (along >= 0.0f ? 0.5f : -0.5f) * length - along;
    if (i == 0 || std::fabs(depth) < best) {
      best = std::fabs(depth);
      move = u * depth;
    }
  }
  point += move;
}

void OBB::Scale(float factor) {
  const Vec3 center = GetCenter();
  for (Vec3& e : m_Edges) e *= factor;
  m_Corner = center - (m_Edges[0] + m_Edges[1] + m_Edges[2]) * 0.5f;
  KeepShape();
}

void OBB::Place(const Vec3& center, const Vec3& degrees) {
  const Util::Mat3 r = Util::Mat3::FromEulerDegrees(degrees);
  m_Edges[0] = r * Vec3{1.0f, 0.0f, 0.0f};
  m_Edges[1] = r * Vec3{0.0f, 1.0f, 0.0f};
  m_Edges[2] = r * Vec3{0.0f, 0.0f, 1.0f};
  m_Corner = center - (m_Edges[0] + m_Edges[1] + m_Edges[2]) * 0.5f;
  KeepShape();
}

void OBB::Transform(const Util::Mat3& m) {
  for (Vec3& e : m_Edges) e = m * e;
  KeepShape();
}

void OBB::RotateAboutAxis(int axis, float radians) {
  ApplyAxisRotation(axis, Geometry::AxisAngle(Util::Normalize(m_Edges[axis]), radians));
}

void OBB::ApplyAxisRotation(int axis, const Util::Mat3& m) {
  const Vec3 center = GetCenter();
  for (int i = 0; i < 3; ++i)
    if (i != axis) m_Edges[i] = m * m_Edges[i];
  m_Corner = center - (m_Edges[0] + m_Edges[1] + m_Edges[2]) * 0.5f;
}

void OBB::Turn(const Util::Mat3& rotation, const Vec3& pivot) {
  const Vec3 center = pivot + rotation * (GetCenter() - pivot);
  for (Vec3& e : m_Edges) e = rotation * e;
  m_Corner = center - (m_Edges[0] + m_Edges[1] + m_Edges[2]) * 0.5f;
}

// A point on a face is outside: the boundary of the extent counts with the outside, so boxes
// that only touch are separated.
bool OBB::SeparatesByEdge(const Vec3 points[kParticles]) const {
  for (const Vec3& e : m_Edges) {
    const float length = Util::Dot(e, e);
    int below = 0, above = 0;
    for (int i = 0; i < kParticles; ++i) {
      const float t = Util::Dot(points[i] - m_Corner, e);
      below += t <= 0.0f;
      above += t >= length;
    }
    if (below == kParticles || above == kParticles) return true;
  }
  return false;
}

bool OBB::CollidesWithOBB(const OBB& other) const {
  Vec3 mine[kParticles], theirs[kParticles];
  Corners(mine);
  other.Corners(theirs);
  return !SeparatesByEdge(theirs) && !other.SeparatesByEdge(mine);
}

bool OBB::CollidesWithAABB(const AABB& box) const {
  if (!GetBounds().Overlaps(box)) return false;
  Vec3 corners[kParticles];
  FromAABB(box).Corners(corners);
  return !SeparatesByEdge(corners);
}

bool OBB::CollidesWithSphere(const Sphere& other) const { return other.CollidesWithOBB(*this); }
bool OBB::CollidesWithHeightMap(const HeightMap& other) const { return other.CollidesWithOBB(*this); }
bool OBB::CollidesWithSet(const CollidableSet& other) const { return other.CollidesWithOBB(*this); }

// The record holds the centre and the three half edges.
void OBB::Write(Util::BinaryStream& stream) const {
  stream.Write(static_cast<int32_t>(kTypeOBB));
  stream.Write(GetCenter());
  for (const Vec3& e : m_Edges) stream.Write(e * 0.5f);
}

bool OBB::Validate() const {
  if (!Geometry::Finite(m_Corner)) return false;
  for (int i = 0; i < 3; ++i) {
    const Vec3& e = m_Edges[i];
    if (!Geometry::Finite(e) || !(Util::LengthSquared(e) > 0.0f)) return false;
    // Relaxation keeps the edges square only approximately.
    const Vec3& f = m_Edges[(i + 1) % 3];
    if (std::fabs(Util::Dot(e, f)) > 1e-2f * Util::Length(e) * Util::Length(f)) return false;
  }
  return true;
}

}  // namespace Phy
