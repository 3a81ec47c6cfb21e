// RenderContext: the frame's shared drawing record, owned by the graphics facade and read by the
// materials and render states while the passes run: the projection, the window size as the
// renderer reads it (WINDOWSIZE may stand in other numbers for a while), the camera of this frame,
// the matrices captured after the camera was set, the region mask, the render queues (one list of
// visuals per material index), the blend-four weights, the vine colour amount, whether drawing goes
// to the window, and the lighting coefficients of the "SphericalHarmonics" input. Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "Graphics/Frustum.h"
#include "Util/Vec3.h"

namespace Gfx {

class Visual;

// A 4 x 4 matrix as GL keeps it: column after column.
struct Mat4 {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};
Mat4 operator*(const Mat4& a, const Mat4& b);
// The inverse; the identity for a matrix that has none.
Mat4 Inverse(const Mat4& a);

struct RenderContext {
  static constexpr float kMaxFovIncrease = 0.2f;
  static constexpr float kMaxFovDecrease = -0.8f;

  float m_FieldOfView = 65.0f;
  float m_TargetFieldOfView = 65.0f;
  float m_Near = 1.0f;
  float m_Far = 6000.0f;
  uint32_t m_Width = 0;
  uint32_t m_Height = 0;

  Util::Vec3 m_Eye;
  Util::Vec3 m_Target;
  Util::Vec3 m_Up{0.0f, 1.0f, 0.0f};

  Mat4 m_View;
  Mat4 m_Projection;
  // Last frame's view-projection, from which the "MotionMatrix" input is made.
  Mat4 m_PreviousViewProjection;
  Mat4 m_ShadowView;
  Mat4 m_ShadowProjection;

  // The view's planes, set with the captured matrices each frame.
  Frustum m_Frustum;

  uint8_t m_RegionMask = 7;
  std::vector<std::vector<Visual*>> m_RenderQueues;
  float m_BlendFour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  float m_VineColor = 0.0f;  // at most 1.0
  bool m_DrawingToBackBuffer = false;

  // SH0, SHX, SHY, SHZ, SH4, SH5: the constant, linear and two quadratic terms of the ambient light.
  Util::Vec3 m_Harmonics[6];

  // One queue per material index below `count`, all empty.
  void SizeQueues(int count);
  // Appends the visual to its material's queue; a material without a queue draws nothing.
  void Queue(int material, Visual* visual);
  // The queue of a material; an empty one for an index without a queue.
  const std::vector<Visual*>& QueueOf(int material) const;
  void ClearQueues();

  // Reads the model-view and projection matrices from GL as they stand now, and the frustum's
  // planes from them.
  void CaptureMatrices();
  Mat4 ViewProjection() const { return m_Projection * m_View; }
  // Ambient light from above, from below and a hue, as the coefficients the shaders read.
  void SetLighting(const Util::Vec3& above, const Util::Vec3& below, const Util::Vec3& hue, float scale);
};

}  // namespace Gfx
