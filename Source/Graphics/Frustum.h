// Frustum: the six planes of the view, part of the render context, set every frame once the
// projection and modelview are in place, and the box test that visuals and the bounding-volume
// tree share.
//
// A plane is (a, b, c, d), normalised so that (a, b, c) is a unit vector; a point p is outside it
// when a·px + b·py + c·pz + d > 0. A point on a plane is inside. Planes in order: left, right,
// bottom, top, near, far.
//
// Each box carries the plane that rejected it last; the test starts there, so a box that stays
// out of view is usually rejected by its first plane test. The three counters (plane tests, boxes
// straddling, boxes rejected) only grow. Main thread only.
#pragma once

#include <cstdint>

#include "Util/BoundingHierarchy.h"
#include "Util/Vec3.h"

namespace Gfx {

class Frustum {
 public:
  static constexpr int kPlanes = 6;
  enum Plane { kLeft, kRight, kBottom, kTop, kNear, kFar };
  enum class Side { Outside, Straddling, Inside };

  struct Statistics {
    uint32_t m_PlaneTests = 0;
    uint32_t m_Straddling = 0;
    uint32_t m_Rejected = 0;
  };

  // The planes of projection × modelview, both column-major as OpenGL keeps them.
  void FromMatrices(const float projection[16], const float modelview[16]);
  // The same planes seen from a model placed at `position` with uniform `scale` (> 0): a box in
  // the model's own coordinates tests as its placed box would against this frustum. The copy
  // starts with counters of its own.
  Frustum InModelSpace(const Util::Vec3& position, float scale) const;

  void SetPlane(int plane, float a, float b, float c, float d);
  const float* GetPlane(int plane) const { return m_Planes[plane]; }
  // The signed distance of a point from a plane: positive outside.
  float Distance(int plane, const Util::Vec3& p) const;
  bool Contains(const Util::Vec3& p) const;

  // Where the box lies; `lastPlane` (0 to 5) is where the test starts and, when the box is
  // rejected, becomes the rejecting plane.
  Side TestBox(const Util::BoundingBox& box, uint8_t& lastPlane);

  void CountStraddle() { ++m_Statistics.m_Straddling; }
  const Statistics& GetStatistics() const { return m_Statistics; }

 private:
  float m_Planes[kPlanes][4] = {};
  Statistics m_Statistics;
};

}  // namespace Gfx
