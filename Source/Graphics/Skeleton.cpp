#include "Graphics/Skeleton.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Util/Assert.h"
#include "Util/XmlReader.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_animation";

float Determinant3(const Mat4& a) {
  const float* m = a.m;
  return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) + m[8] * (m[1] * m[6] - m[5] * m[2]);
}

constexpr const char* kRowKeys[] = {"x", "y", "z", "w"};

// A <Matrix4D> of four <Vector4D> rows at the cursor's children; false when a row is missing.
bool ReadMatrix(Util::XmlReader& reader, Mat4& out) {
  const Util::XmlReader::Mark start = reader.Here();
  bool whole = reader.FindChild("Matrix4D");
  for (int row = 0; whole && row < 4; ++row) {
    whole = reader.FindChild("Vector4D");
    if (!whole) break;
    for (int col = 0; col < 4; ++col) out.m[col * 4 + row] = reader.Get<float>(kRowKeys[col]);
    reader.Leave();
  }
  reader.Return(start);
  return whole;
}

// The bone the reader has entered and everything below it; a problem's text, or null.
const char* ReadBone(Util::XmlReader& reader, Skeleton& skeleton, int32_t parent) {
  Mat4 bind;
  if (!ReadMatrix(reader, bind)) return "a bone's Matrix4D lacks a row";
  const int32_t index = skeleton.AddBone(reader.Get<int>("id"), bind, parent);
  if (index < 0) return "a bone's bind matrix cannot be inverted";
  const Util::XmlReader::Mark start = reader.Here();
  while (reader.FindChild("Bone")) {
    if (const char* problem = ReadBone(reader, skeleton, index)) return problem;
    reader.Leave();
  }
  reader.Return(start);
  return nullptr;
}

}  // namespace

Mat4 PoseMatrix(const BonePose& pose) {
  Quat q = pose.m_Rotation;
  const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  q = length > 0.0f ? Quat{q.x / length, q.y / length, q.z / length, q.w / length} : Quat{};
  Mat4 r;
  float* m = r.m;  // column-major
  m[0] = 1.0f - 2.0f * (q.y * q.y + q.z * q.z);
  m[1] = 2.0f * (q.x * q.y + q.w * q.z);
  m[2] = 2.0f * (q.x * q.z - q.w * q.y);
  m[4] = 2.0f * (q.x * q.y - q.w * q.z);
  m[5] = 1.0f - 2.0f * (q.x * q.x + q.z * q.z);
  m[6] = 2.0f * (q.y * q.z + q.w * q.x);
  m[8] = 2.0f * (q.x * q.z + q.w * q.y);
  m[9] = 2.0f * (q.y * q.z - q.w * q.x);
  m[10] = 1.0f - 2.0f * (q.x * q.x + q.y * q.y);
  m[12] = pose.m_Position.x;
  m[13] = pose.m_Position.y;
  m[14] = pose.m_Position.z;
  return r;
}

BonePose PoseOf(const Mat4& a) {
  const float* m = a.m;
  const auto at = [m](int row, int col) { return m[col * 4 + row]; };
  BonePose pose;
  pose.m_Position = {m[12], m[13], m[14]};
  Quat& q = pose.m_Rotation;
  const float trace = at(0, 0) + at(1, 1) + at(2, 2);
  if (trace > 0.0f) {
    const float s = 2.0f * std::sqrt(trace + 1.0f);
    q = {(at(2, 1) - at(1, 2)) / s, (at(0, 2) - at(2, 0)) / s, (at(1, 0) - at(0, 1)) / s, 0.25f * s};
  } else if (at(0, 0) > at(1, 1) && at(0, 0) > at(2, 2)) {
    const float s = 2.0f * std::sqrt(1.0f + at(0, 0) - at(1, 1) - at(2, 2));
    q = {0.25f * s, (at(0, 1) + at(1, 0)) / s, (at(0, 2) + at(2, 0)) / s, (at(2, 1) - at(1, 2)) / s};
  } else if (at(1, 1) > at(2, 2)) {
    const float s = 2.0f * std::sqrt(1.0f + at(1, 1) - at(0, 0) - at(2, 2));
    q = {(at(0, 1) + at(1, 0)) / s, 0.25f * s, (at(1, 2) + at(2, 1)) / s, (at(0, 2) - at(2, 0)) / s};
  } else {
    const float s = 2.0f * std::sqrt(1.0f + at(2, 2) - at(0, 0) - at(1, 1));
    q = {(at(0, 2) + at(2, 0)) / s, (at(1, 2) + at(2, 1)) / s, 0.25f * s, (at(1, 0) - at(0, 1)) / s};
  }
  return pose;
}

bool Bone::AddChild(Bone* child) {
  if (!UTIL_ASSERT(child != nullptr, "AddChild Fail, child pointer is NULL")) return false;
  m_Children.push_back(child);
  return true;
}

int32_t Skeleton::AddBone(int32_t id, const Mat4& bind, int32_t parent) {
  if (parent >= static_cast<int32_t>(m_Bones.size()) || parent < -1) return -1;
  if (std::fabs(Determinant3(bind)) < 1e-8f) return -1;
  const int32_t index = static_cast<int32_t>(m_Bones.size());
  m_Bones.push_back(std::make_unique<Bone>(id, bind));
  m_Parents.push_back(parent);
  m_InverseBind.push_back(Inverse(bind));
  const Mat4 local = parent < 0 ? bind : m_InverseBind[static_cast<size_t>(parent)] * bind;
  m_Rest.push_back(PoseOf(local));
  m_Bones.back()->m_Pose = m_Rest.back();
  if (parent >= 0) m_Bones[static_cast<size_t>(parent)]->AddChild(m_Bones.back().get());
  return index;
}

bool Skeleton::Load(const char* path) {
  Util::XmlReader reader(path ? path : "");
  if (!path || !reader.Open()) return false;  // the reader has reported it
  Skeleton read;
  const char* problem = nullptr;
  if (reader.FindChild("Bone")) {
    problem = ReadBone(reader, read, -1);
  } else {
    problem = "it holds no Bone";
  }
  if (problem) {
    std::printf("Skeleton %s refused: %s\n", reader.Path().c_str(), problem);
    return false;
  }
  *this = std::move(read);
  return true;
}

void Skeleton::SetPose(const std::vector<BonePose>& poses) {
  const size_t count = std::min(poses.size(), m_Bones.size());
  for (size_t i = 0; i < count; ++i) m_Bones[i]->m_Pose = poses[i];
}

void Skeleton::SkinMatrices(std::vector<Mat4>& out) const {
  const size_t count = m_Bones.size();
  m_World.resize(count);
  out.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const Mat4 local = PoseMatrix(m_Bones[i]->m_Pose);
    m_World[i] = m_Parents[i] < 0 ? local : m_World[static_cast<size_t>(m_Parents[i])] * local;
    out[i] = m_World[i] * m_InverseBind[i];
  }
}

bool Skeleton::Validate() const {
  if (m_Parents.size() != m_Bones.size() || m_InverseBind.size() != m_Bones.size() || m_Rest.size() != m_Bones.size())
    return false;
  for (size_t i = 0; i < m_Bones.size(); ++i) {
    const int32_t parent = m_Parents[i];
    if (parent >= static_cast<int32_t>(i)) return false;
    if (parent < 0) continue;
    const std::vector<Bone*>& siblings = m_Bones[static_cast<size_t>(parent)]->Children();
    if (std::find(siblings.begin(), siblings.end(), m_Bones[i].get()) == siblings.end()) return false;
  }
  return true;
}

}  // namespace Gfx
