// Skeletal animation: tracks of key poses and the controller that plays them on a skeleton.
//
// A SkeletalTrack is a list of keys, each a span of time and a pose per bone; between the start
// and end of key i the pose goes from key i's to the next key's (a loop comes round to key 0, a
// single play stays on the last). Its time runs as a vertex track's does (VertexTrack: steps of at
// most 200 ms, a loop wraps, a single play stops at its length).
//
// The AnimationController owns the skeleton and numbered tracks. Each Update advances every track,
// samples those playing and not paused, mixes the samples by averaging them in pairs (in track
// order, round after round, an odd one out carried to the next round) and writes the mix into the
// bones. Track numbers past the end are assertions; negative ones are ignored; both answer -1.
//
// Track file (XML, this engine's own form): a <Track> with <int name="mode"> (0 loop, 1 once) and
// <Key> elements, each with <float name="start">, <float name="end"> and one <Pose> per bone in
// bone order (<float> "x", "y", "z" for the position and "qx", "qy", "qz", "qw" for the rotation).
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "Graphics/ModelAnimation.h"
#include "Graphics/Skeleton.h"

namespace Gfx {

class SkeletalTrack {
 public:
  struct Key {
    float m_Start;
    float m_End;
    std::vector<BonePose> m_Poses;
  };

  SkeletalTrack(int32_t mode, std::vector<Key> keys);

  // Reads a track file for a skeleton of `bones` bones; false (with a line on standard output)
  // when it cannot be read, has no key, or a key's pose count differs from the bone count.
  static bool Load(const char* path, size_t bones, SkeletalTrack& out);

  VertexTrack& Timing() { return m_Timing; }
  const VertexTrack& Timing() const { return m_Timing; }
  const std::vector<Key>& Keys() const { return m_Keys; }

  // The pose at the track's time, linearly between two keys, component by component (rotations
  // are not renormalised). `out` takes one pose per bone of the keys.
  void Sample(std::vector<BonePose>& out) const;

  // Every key has the first key's pose count and spans forward in time.
  bool Validate() const;

 private:
  std::vector<Key> m_Keys;
  VertexTrack m_Timing;
};

class AnimationController {
 public:
  explicit AnimationController(Skeleton skeleton) : m_Skeleton(std::move(skeleton)) {}

  // The track's number.
  int32_t AddTrack(SkeletalTrack track);

  // 0, or -1 for a number that names no track.
  int32_t PlayTrack(int32_t n);
  int32_t PauseTrack(int32_t n);
  int32_t UnpauseTrack(int32_t n);
  // Back to time 0, not playing.
  int32_t StopTrack(int32_t n);
  void StopAll();

  // Advances every track by dt milliseconds, mixes the playing ones into the bones and makes
  // the skinning matrices; -1 when no track was sampled (the bones keep their pose), else 0.
  int32_t Update(float dt);

  int32_t NumTracks() const { return m_NumTracks; }
  const SkeletalTrack& Track(int32_t n) const { return m_Tracks[static_cast<size_t>(n)]; }
  Skeleton& GetSkeleton() { return m_Skeleton; }
  const Skeleton& GetSkeleton() const { return m_Skeleton; }
  // The skinning matrices of the last Update (of the rest pose before the first one).
  const std::vector<Mat4>& SkinMatrices() const;

  bool Validate() const;

 private:
  // The track, or null: -1 for negative numbers, an assertion with `text` past the end.
  SkeletalTrack* Find(int32_t n, const char* text);

  Skeleton m_Skeleton;
  std::vector<SkeletalTrack> m_Tracks;
  int32_t m_NumTracks = 0;
  std::vector<std::vector<BonePose>> m_Samples;  // reused every update
  mutable std::vector<Mat4> m_Skin;
  mutable bool m_SkinMade = false;
};

}  // namespace Gfx
