// HeightMap: island ground, a collision shape (type 4). A grid of 8-bit samples from a bitmap,
// one every 2 world units, sample 0 meaning no ground (a hole).
//
// The world height of sample v is base + v × yScale, the base being the bounds' bottom for an
// upward map and their top for a downward one (negative yScale, the underside of an island).
// Between samples the ground is a surface of triangles: a cell with two or more zero corners is
// a hole; one with one zero corner keeps the triangle of the other three; a full cell is split
// along the diagonal that keeps both triangles' heights consistent. Samples outside the bitmap
// read as holes. The solid is the space strictly inside the bounds between the base and the
// surface: below it for an upward map, above it for a downward one.
//
// The bitmap must be 8 bits a pixel; one that cannot be loaded or is not is reported by an
// assertion and leaves the map without samples, colliding with nothing. The bounds' horizontal
// size follows the bitmap (2 × width − 1 by 2 × depth − 1, kept about the given centre and moved
// by (1, 0, 1)), so a definition's corners only place the map.
#pragma once

#include <string>
#include <vector>

#include "Physics/AABB.h"

namespace Phy {

class HeightMap : public Collidable {
 public:
  // Loads the bitmap (path as the game writes it); yScale = bounds height / 255 × yScaleFactor.
  HeightMap(const Util::Vec3& min, const Util::Vec3& max, const std::string& bitmapPath, float yScaleFactor);
  // From samples already in memory (a binary record): `samples` holds width × depth bytes, row
  // by row, z major; the bounds are taken as they are.
  HeightMap(const AABB& bounds, float yScale, int32_t width, int32_t depth, std::vector<uint8_t> samples);

  int32_t SampleWidth() const { return m_Width; }
  int32_t SampleDepth() const { return m_Depth; }
  float YScale() const { return m_YScale; }
  float Base() const { return m_YScale > 0.0f ? m_Bounds.m_Min.y : m_Bounds.m_Max.y; }
  // The sample at column i, row j; 0 outside the bitmap.
  uint8_t Sample(int32_t i, int32_t j) const;
  // The ground's height at (x, z): the base where there is no ground.
  float HeightAt(float x, float z) const;

  Collidable* Clone() const override { return new HeightMap(*this); }
  bool CopyFrom(const Collidable& other) override { return Copy(*this, other); }
  int32_t GetType() const override { return kTypeHeightMap; }
  AABB GetBounds() const override { return m_Bounds; }
  Util::Vec3 GetCenter() const override { return m_Bounds.GetCenter(); }
  void PushOut(const Util::Vec3& from, Util::Vec3& point) const override;
  void PushToNearestFace(Util::Vec3& point) const override;
  bool SegmentEnters(const Util::Vec3& from, const Util::Vec3& to, float& t) const override;
  void Translate(const Util::Vec3& d) override { m_Bounds.Translate(d); }
  // Ground is placed, never scaled or turned.
  void Scale(float) override {}
  void Turn(const Util::Mat3&, const Util::Vec3&) override {}
  void SetExtent(int axis, float value) override { m_Bounds.SetExtent(axis, value); }
  bool ContainsPoint(const Util::Vec3& p) const override;
  bool Collides(const Collidable& other) const override { return other.CollidesWithHeightMap(*this); }
  bool CollidesWithHeightMap(const HeightMap&) const override { return false; }
  bool CollidesWithOBB(const OBB& other) const override;
  bool CollidesWithAABB(const AABB& other) const override;
  bool CollidesWithSphere(const Sphere& other) const override;
  bool CollidesWithSet(const CollidableSet& other) const override;
  void Write(Util::BinaryStream& stream) const override;
  bool Validate() const override;

 private:
  // One ground triangle of a cell: three corners in world space (on the surface).
  struct Triangle {
    Util::Vec3 corner[3];
  };
  // The ground triangles of cell (i, j) (between samples i..i+1 and j..j+1): 0, 1 or 2.
  int CellTriangles(int32_t i, int32_t j, Triangle out[2]) const;
  // The sample value interpolated at sample coordinates (sx, sz), 0 where there is no ground.
  float Interpolated(float sx, float sz) const;
  // The cells (first, last inclusive) that a box of world bounds covers, limited to the map;
  // false when the map has no samples.
  bool CellRange(const AABB& box, int32_t& x0, int32_t& x1, int32_t& z0, int32_t& z1) const;
  // The extreme surface height over the sample corners of a cell range: the highest for an
  // upward map, the lowest for a downward one.
  float ExtremeHeight(int32_t x0, int32_t x1, int32_t z0, int32_t z1) const;
  // True when the shape (box or sphere) can reach below (above, for a downward map) the ground
  // of the cells it covers, as far as the bounds and the surface's extremes tell.
  bool MayReach(const AABB& shapeBounds, int32_t& x0, int32_t& x1, int32_t& z0, int32_t& z1) const;
  // The solid below one triangle: its 6 corners, the surface three first.
  void Prism(const Triangle& triangle, Util::Vec3 out[6]) const;
  bool BoxTest(const OBB& box) const;
  bool SphereTest(const Sphere& sphere) const;
  bool Load(const std::string& path);

  AABB m_Bounds;
  float m_YScale = 0.0f;
  int32_t m_Width = 0;
  int32_t m_Depth = 0;
  std::vector<uint8_t> m_Samples;
};

}  // namespace Phy
