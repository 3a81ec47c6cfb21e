// AnimatedModel: a model that moves by whole-mesh key frames sharing one index list, and
// VertexTrack, one playing of it. Each frame is a mesh of the same vertex and index counts held
// for a length in milliseconds; frames follow one another in the order they were added. A track
// keeps its own time; blending mixes any number of tracks, each weighted, into one vertex array
// that a dynamic visual draws with the model's indices. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Graphics/Model.h"

namespace Gfx {

class VertexTrack {
 public:
  enum Mode : int32_t { kLoop = 0, kOnce = 1 };
  // The longest step a track takes at once, in milliseconds: a stalled frame does not skip ahead.
  static constexpr float kMaxStep = 200.0f;

  struct Span {
    float m_Start;
    float m_End;
  };

  VertexTrack(int32_t mode, std::vector<Span> frames);

  void Play() {
    m_Playing = true;
    m_Paused = false;
  }
  void Pause(bool paused) { m_Paused = paused; }
  void Stop() {
    m_Playing = false;
    m_Time = 0.0f;
  }
  // Moves the time on by dt (at most kMaxStep) while playing and not paused. A looping track
  // wraps into [0, length]; a track played once stops at its length and holds at 0 going back.
  void Advance(float dt);

  int32_t Mode() const { return m_Mode; }
  float Time() const { return m_Time; }
  void SetTime(float time) { m_Time = time; }
  float Length() const { return m_Length; }
  bool Playing() const { return m_Playing; }
  bool Paused() const { return m_Paused; }
  const std::vector<Span>& Frames() const { return m_Frames; }

  // The frame whose span holds the time, the frame shown after it (a loop comes round to frame 0,
  // a single play stays on the last) and how far the time is between the two, from 0 to 1.
  void Locate(size_t& frame, size_t& next, float& t) const;

 private:
  int32_t m_Mode;
  std::vector<Span> m_Frames;
  float m_Length = 0.0f;
  float m_Time = 0.0f;
  bool m_Playing = false;
  bool m_Paused = false;
};

class AnimatedModel {
 public:
  struct Frame {
    std::vector<Vertex> m_Vertices;
    float m_Length;
  };

  // `frameCount` is the number of frames the definition announces; they are added one by one.
  AnimatedModel(std::string baseFile, uint32_t frameCount)
      : m_BaseFile(std::move(baseFile)), m_FrameCount(frameCount) {}

  const std::string& BaseFile() const { return m_BaseFile; }
  uint32_t FrameCount() const { return m_FrameCount; }
  const std::vector<Frame>& Frames() const { return m_Frames; }
  float Length() const;

  // The first mesh of the model file becomes the next frame, held for `length` milliseconds (a
  // negative length counts as 0). A frame whose counts differ from the first frame's raises an
  // assertion and is not added; a file that cannot be read is reported and not added.
  bool AddAnimation(const char* file, float length);
  bool AddAnimation(const Mesh& mesh, float length);

  // The index list all frames share; empty, with an assertion, before the first frame.
  const std::vector<uint32_t>& gIndices() const;

  // A stopped track at time 0 over the frames added so far.
  VertexTrack MakeTrack(int32_t mode) const;
  // The first frame's vertices with position, normal, tangent and bitangent cleared, the colour
  // and texture coordinates kept: the start of a blend.
  void BeginBlend(std::vector<Vertex>& out) const;
  // Adds the track's interpolated position, normal, tangent and bitangent, times the weight, to
  // every vertex of `out` (as made by BeginBlend).
  void Blend(const VertexTrack& track, float weight, std::vector<Vertex>& out) const;

  // Every frame has the first frame's vertex count, every index names a vertex.
  bool Validate() const;

 private:
  std::string m_BaseFile;
  uint32_t m_FrameCount;
  std::vector<Frame> m_Frames;
  std::vector<uint32_t> m_Indices;
};

}  // namespace Gfx
