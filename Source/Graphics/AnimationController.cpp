#include "Graphics/AnimationController.h"

#include <algorithm>
#include <cstdio>

#include "Util/Assert.h"
#include "Util/XmlReader.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_animation";

std::vector<VertexTrack::Span> SpansOf(const std::vector<SkeletalTrack::Key>& keys) {
  std::vector<VertexTrack::Span> spans;
  spans.reserve(keys.size());
  for (const SkeletalTrack::Key& key : keys) spans.push_back({key.m_Start, key.m_End});
  return spans;
}

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

BonePose Mix(const BonePose& a, const BonePose& b, float t) {
  BonePose r;
  r.m_Position = {Lerp(a.m_Position.x, b.m_Position.x, t), Lerp(a.m_Position.y, b.m_Position.y, t),
                  Lerp(a.m_Position.z, b.m_Position.z, t)};
  r.m_Rotation = {Lerp(a.m_Rotation.x, b.m_Rotation.x, t), Lerp(a.m_Rotation.y, b.m_Rotation.y, t),
                  Lerp(a.m_Rotation.z, b.m_Rotation.z, t), Lerp(a.m_Rotation.w, b.m_Rotation.w, t)};
  return r;
}

void Average(std::vector<BonePose>& into, const std::vector<BonePose>& other) {
  const size_t count = std::min(into.size(), other.size());
  for (size_t i = 0; i < count; ++i) into[i] = Mix(into[i], other[i], 0.5f);
}

// A problem's text, or null.
const char* ReadKeys(Util::XmlReader& reader, size_t bones, std::vector<SkeletalTrack::Key>& keys) {
  while (reader.FindChild("Key")) {
    SkeletalTrack::Key key{reader.Get<float>("start"), reader.Get<float>("end"), {}};
    if (!(key.m_End > key.m_Start) || (!keys.empty() && key.m_Start < keys.back().m_End))
      return "a key does not follow the one before in time";
    const Util::XmlReader::Mark start = reader.Here();
    while (reader.FindChild("Pose")) {
      BonePose pose;
      pose.m_Position = {reader.Get<float>("x"), reader.Get<float>("y"), reader.Get<float>("z")};
      pose.m_Rotation = {reader.Get<float>("qx"), reader.Get<float>("qy"), reader.Get<float>("qz"),
                         reader.Get<float>("qw")};
      key.m_Poses.push_back(pose);
      reader.Leave();
    }
    reader.Return(start);
    if (key.m_Poses.size() != bones) return "a key's pose count differs from the skeleton's bones";
    keys.push_back(std::move(key));
    reader.Leave();
  }
  return keys.empty() ? "it has no key" : nullptr;
}

}  // namespace

SkeletalTrack::SkeletalTrack(int32_t mode, std::vector<Key> keys)
    : m_Keys(std::move(keys)), m_Timing(mode, SpansOf(m_Keys)) {}

bool SkeletalTrack::Load(const char* path, size_t bones, SkeletalTrack& out) {
  Util::XmlReader reader(path ? path : "");
  if (!path || !reader.Open()) return false;  // the reader has reported it
  const char* problem = "it holds no Track";
  int32_t mode = VertexTrack::kLoop;
  std::vector<Key> keys;
  if (reader.FindChild("Track")) {
    mode = reader.Get<int>("mode") == VertexTrack::kOnce ? VertexTrack::kOnce : VertexTrack::kLoop;
    problem = ReadKeys(reader, bones, keys);
  }
  if (problem) {
    std::printf("Animation track %s refused: %s\n", reader.Path().c_str(), problem);
    return false;
  }
  out = SkeletalTrack(mode, std::move(keys));
  return true;
}

void SkeletalTrack::Sample(std::vector<BonePose>& out) const {
  if (m_Keys.empty()) {
    out.clear();
    return;
  }
  size_t key = 0, next = 0;
  float t = 0.0f;
  m_Timing.Locate(key, next, t);
  const std::vector<BonePose>& a = m_Keys[key].m_Poses;
  const std::vector<BonePose>& b = m_Keys[next].m_Poses;
  out.resize(a.size());
  for (size_t i = 0; i < a.size(); ++i) out[i] = Mix(a[i], b[i], t);
}

bool SkeletalTrack::Validate() const {
  for (size_t i = 0; i < m_Keys.size(); ++i) {
    if (m_Keys[i].m_Poses.size() != m_Keys[0].m_Poses.size() || !(m_Keys[i].m_End > m_Keys[i].m_Start)) return false;
    if (i > 0 && m_Keys[i].m_Start < m_Keys[i - 1].m_End) return false;
  }
  return true;
}

int32_t AnimationController::AddTrack(SkeletalTrack track) {
  m_Tracks.push_back(std::move(track));
  m_NumTracks = static_cast<int32_t>(m_Tracks.size());
  return m_NumTracks - 1;
}

SkeletalTrack* AnimationController::Find(int32_t n, const char* text) {
  if (n < 0) return nullptr;
  if (!UTIL_ASSERT_EXPR(n < m_NumTracks, "n < m_NumTracks", text)) return nullptr;
  return &m_Tracks[static_cast<size_t>(n)];
}

int32_t AnimationController::PlayTrack(int32_t n) {
  SkeletalTrack* track = Find(n, "AnimationController::PlayTrack: Track Does Not Exist");
  if (!track) return -1;
  // Playing leaves a pause as it is: a paused track set playing stays held.
  const bool paused = track->Timing().Paused();
  track->Timing().Play();
  track->Timing().Pause(paused);
  return 0;
}

int32_t AnimationController::PauseTrack(int32_t n) {
  SkeletalTrack* track = Find(n, "AnimationController::PauseTrack: Track Does Not Exist");
  if (!track) return -1;
  track->Timing().Pause(true);
  return 0;
}

int32_t AnimationController::UnpauseTrack(int32_t n) {
  SkeletalTrack* track = Find(n, "AnimationController::UnpauseTrack: Track Does Not Exist");
  if (!track) return -1;
  track->Timing().Pause(false);
  return 0;
}

int32_t AnimationController::StopTrack(int32_t n) {
  SkeletalTrack* track = Find(n, "AnimationController::StopTrack: Track Does Not Exist");
  if (!track) return -1;
  track->Timing().Stop();
  return 0;
}

void AnimationController::StopAll() {
  for (SkeletalTrack& track : m_Tracks) track.Timing().Stop();
}

int32_t AnimationController::Update(float dt) {
  size_t sampled = 0;
  for (SkeletalTrack& track : m_Tracks) {
    VertexTrack& timing = track.Timing();
    timing.Advance(dt);
    if (!timing.Playing() || timing.Paused() || track.Keys().empty()) continue;
    if (m_Samples.size() <= sampled) m_Samples.emplace_back();
    track.Sample(m_Samples[sampled++]);
  }
  if (sampled == 0) return -1;
  // Pairs averaged round after round: two tracks weigh alike, a third after two weighs half.
  for (size_t n = sampled; n > 1; n = (n + 1) / 2) {
    for (size_t j = 0; j < n / 2; ++j) {
      if (j != 2 * j) m_Samples[j].swap(m_Samples[2 * j]);
      Average(m_Samples[j], m_Samples[2 * j + 1]);
    }
    if (n % 2 == 1) m_Samples[n / 2].swap(m_Samples[n - 1]);
  }
  m_Skeleton.SetPose(m_Samples[0]);
  m_Skeleton.SkinMatrices(m_Skin);
  m_SkinMade = true;
  return 0;
}

const std::vector<Mat4>& AnimationController::SkinMatrices() const {
  if (!m_SkinMade) {
    m_Skeleton.SkinMatrices(m_Skin);
    m_SkinMade = true;
  }
  return m_Skin;
}

bool AnimationController::Validate() const {
  if (m_NumTracks != static_cast<int32_t>(m_Tracks.size()) || !m_Skeleton.Validate()) return false;
  for (const SkeletalTrack& track : m_Tracks)
    if (!track.Validate() || (!track.Keys().empty() && track.Keys()[0].m_Poses.size() != m_Skeleton.BoneCount()))
      return false;
  return true;
}

}  // namespace Gfx
