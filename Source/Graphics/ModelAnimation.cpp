#include "Graphics/ModelAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Util/Assert.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_model";

const std::vector<uint32_t> kNoIndices;

void Mix(float* out, const float* a, const float* b, int count, float t, float weight) {
  for (int i = 0; i < count; ++i) out[i] += (a[i] + (b[i] - a[i]) * t) * weight;
}

}  // namespace

VertexTrack::VertexTrack(int32_t mode, std::vector<Span> frames) : m_Mode(mode), m_Frames(std::move(frames)) {
  m_Length = m_Frames.empty() ? 0.0f : m_Frames.back().m_End;
}

void VertexTrack::Advance(float dt) {
  if (!m_Playing || m_Paused) return;
  m_Time += std::min(dt, kMaxStep);
  if (m_Mode == kLoop) {
    // Wrapped as often as needed: a track shorter than one step would otherwise leave its span.
    if (m_Length <= 0.0f) {
      m_Time = 0.0f;
    } else if (m_Time > m_Length || m_Time < 0.0f) {
      m_Time = std::fmod(m_Time, m_Length);
      if (m_Time < 0.0f) m_Time += m_Length;
    }
  } else if (m_Time > m_Length) {
    m_Playing = false;
    m_Time = m_Length;
  } else if (m_Time <= 0.0f) {
    m_Time = 0.0f;
  }
}

void VertexTrack::Locate(size_t& frame, size_t& next, float& t) const {
  frame = next = 0;
  t = 0.0f;
  if (m_Frames.empty()) return;
  const size_t last = m_Frames.size() - 1;
  frame = last;
  t = m_Time > 0.0f ? 1.0f : 0.0f;
  for (size_t i = 0; i < m_Frames.size(); ++i) {
    const Span& span = m_Frames[i];
    if (m_Time >= span.m_Start && m_Time < span.m_End) {
      frame = i;
      t = (m_Time - span.m_Start) / (span.m_End - span.m_Start);
      break;
    }
  }
  next = frame < last ? frame + 1 : (m_Mode == kLoop ? 0 : last);
}

float AnimatedModel::Length() const {
  float length = 0.0f;
  for (const Frame& frame : m_Frames) length += frame.m_Length;
  return length;
}

bool AnimatedModel::AddAnimation(const char* file, float length) {
  const std::unique_ptr<Model> model = LoadModel(file);
  if (!model || model->Meshes().empty()) {
    std::printf("Animated model %s: frame %s has no mesh; not added.\n", m_BaseFile.c_str(), file ? file : "");
    return false;
  }
  return AddAnimation(model->Meshes().front(), length);
}

bool AnimatedModel::AddAnimation(const Mesh& mesh, float length) {
  if (!m_Frames.empty()) {
    // Blending walks every vertex of two frames at once: a frame of other counts is refused.
    if (!UTIL_ASSERT_EXPR(mesh.IndexCount() == m_Indices.size(), "mesh.IndexCount() == m_Indices.size()",
                          "AddAnimation: IndexBuffer size does not match") ||
        !UTIL_ASSERT_EXPR(mesh.VertexCount() == m_Frames.front().m_Vertices.size(),
                          "mesh.VertexCount() == m_Frames.front().m_Vertices.size()",
                          "AddAnimation: VertexBuffer size does not match")) {
      return false;
    }
  } else {
    if (!mesh.Validate()) {
      std::printf("Animated model %s: the first frame has an index past its vertices; not added.\n",
                  m_BaseFile.c_str());
      return false;
    }
    m_Indices = mesh.m_Indices;
  }
  m_Frames.push_back({mesh.m_Vertices, std::max(length, 0.0f)});
  return true;
}

const std::vector<uint32_t>& AnimatedModel::gIndices() const {
  if (!UTIL_ASSERT(!m_Frames.empty(), "gIndices: can't get indices without atleast 1 frame of animation")) {
    return kNoIndices;
  }
  return m_Indices;
}

VertexTrack AnimatedModel::MakeTrack(int32_t mode) const {
  std::vector<VertexTrack::Span> spans;
  float start = 0.0f;
  for (const Frame& frame : m_Frames) {
    spans.push_back({start, start + frame.m_Length});
    start += frame.m_Length;
  }
  return VertexTrack(mode, std::move(spans));
}

void AnimatedModel::BeginBlend(std::vector<Vertex>& out) const {
  if (m_Frames.empty()) {
    out.clear();
    return;
  }
  out = m_Frames.front().m_Vertices;
  for (Vertex& v : out) {
    std::fill(std::begin(v.Position), std::end(v.Position), 0.0f);
    std::fill(std::begin(v.Normal), std::end(v.Normal), 0.0f);
    std::fill(std::begin(v.Tangent), std::end(v.Tangent), 0.0f);
    std::fill(std::begin(v.Bitangent), std::end(v.Bitangent), 0.0f);
  }
}

void AnimatedModel::Blend(const VertexTrack& track, float weight, std::vector<Vertex>& out) const {
  size_t frame = 0, next = 0;
  float t = 0.0f;
  track.Locate(frame, next, t);
  // A track made before later frames were added knows fewer of them; never more.
  if (frame >= m_Frames.size() || next >= m_Frames.size()) return;
  const std::vector<Vertex>& a = m_Frames[frame].m_Vertices;
  const std::vector<Vertex>& b = m_Frames[next].m_Vertices;
  const size_t count = std::min(out.size(), a.size());
  for (size_t i = 0; i < count; ++i) {
    Mix(out[i].Position, a[i].Position, b[i].Position, 3, t, weight);
    Mix(out[i].Normal, a[i].Normal, b[i].Normal, 3, t, weight);
    Mix(out[i].Tangent, a[i].Tangent, b[i].Tangent, 3, t, weight);
    Mix(out[i].Bitangent, a[i].Bitangent, b[i].Bitangent, 3, t, weight);
  }
}

bool AnimatedModel::Validate() const {
  if (m_Frames.empty()) return m_Indices.empty();
  const size_t vertices = m_Frames.front().m_Vertices.size();
  for (const Frame& frame : m_Frames) {
    if (frame.m_Vertices.size() != vertices || frame.m_Length < 0.0f) return false;
  }
  return std::all_of(m_Indices.begin(), m_Indices.end(), [&](uint32_t i) { return i < vertices; });
}

}  // namespace Gfx
