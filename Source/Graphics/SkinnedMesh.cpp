#include "Graphics/SkinnedMesh.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "Graphics/MeshXml.h"
#include "Util/XmlReader.h"

namespace Gfx {
namespace {

// The values of the typed children `type` named `key` of the element `vector`, up to `max`.
template <class T>
int ReadList(Util::XmlReader& reader, const char* vector, const char* type, const char* key, T* out, int max) {
  const Util::XmlReader::Mark start = reader.Here();
  int found = 0;
  if (reader.FindChild(vector)) {
    for (bool more = reader.HasCurrent(); more && found < max; more = reader.Next()) {
      if (std::strcmp(reader.ElementName(), type) == 0 && reader.NameAttributeIs(key) && reader.ReadText(out[found]))
        ++found;
    }
  }
  reader.Return(start);
  return found;
}

// The bone indices and weights of the <Vertex> element current in `reader`.
void ReadInfluence(Util::XmlReader& reader, SkinInfluence& influence) {
  int ids[SkinInfluence::kMax] = {};
  float weights[SkinInfluence::kMax] = {};
  const int idCount = ReadList(reader, "BoneID", "int", "id", ids, SkinInfluence::kMax);
  const int weightCount = ReadList(reader, "BoneWeight", "float", "weight", weights, SkinInfluence::kMax);
  influence = SkinInfluence{};
  influence.m_Weights[0] = 0.0f;
  float sum = 0.0f;
  for (int i = 0; i < std::min(idCount, weightCount); ++i) {
    if (ids[i] < 0 || !(weights[i] > 0.0f)) continue;
    influence.m_Bones[i] = static_cast<uint32_t>(ids[i]);
    influence.m_Weights[i] = weights[i];
    sum += weights[i];
  }
  if (sum > 0.0f && std::isfinite(sum)) {
    for (float& w : influence.m_Weights) w /= sum;
  } else {
    influence = SkinInfluence{};
  }
}

// m × (x, y, z, w) for the first three rows of a column-major matrix.
inline void Transform(const float* m, const float* v, float w, float* out) {
  out[0] = m[0] * v[0] + m[4] * v[1] + m[8] * v[2] + m[12] * w;
  out[1] = m[1] * v[0] + m[5] * v[1] + m[9] * v[2] + m[13] * w;
  out[2] = m[2] * v[0] + m[6] * v[1] + m[10] * v[2] + m[14] * w;
}

inline void Normalise(float* v) {
  const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length <= 0.0f) return;
  v[0] /= length;
  v[1] /= length;
  v[2] /= length;
}

}  // namespace

bool SkinnedMesh::Load(const char* path) {
  Util::XmlReader reader(path ? path : "");
  if (!path || !reader.Open()) return false;  // the reader has reported it
  Mesh mesh;
  std::vector<SkinInfluence> influences;
  const char* problem = "it holds no Mesh";
  if (reader.FindChild("Mesh")) {
    problem = ReadXmlMesh(reader, mesh, [&influences](Util::XmlReader& vertex) {
      influences.emplace_back();
      ReadInfluence(vertex, influences.back());
    });
  }
  if (problem) {
    std::printf("Skinned mesh %s refused: %s\n", reader.Path().c_str(), problem);
    return false;
  }
  Set(std::move(mesh), std::move(influences));
  return true;
}

void SkinnedMesh::Set(Mesh mesh, std::vector<SkinInfluence> influences) {
  m_Mesh = std::move(mesh);
  m_Influences = std::move(influences);
  m_Influences.resize(m_Mesh.m_Vertices.size());
}

uint32_t SkinnedMesh::BonesNeeded() const {
  uint32_t needed = 0;
  for (const SkinInfluence& influence : m_Influences)
    for (int i = 0; i < SkinInfluence::kMax; ++i)
      if (influence.m_Weights[i] != 0.0f) needed = std::max(needed, influence.m_Bones[i] + 1);
  return needed;
}

void SkinnedMesh::Deform(const std::vector<Mat4>& skin, std::vector<Vertex>& out) const {
  const size_t count = m_Mesh.m_Vertices.size();
  out.resize(count);
  const uint32_t bones = static_cast<uint32_t>(skin.size());
  for (size_t v = 0; v < count; ++v) {
    const Vertex& in = m_Mesh.m_Vertices[v];
    const SkinInfluence& influence = m_Influences[v];
    Vertex& o = out[v];
    o = in;
    // The weighted sum of the bones' matrices; a bone the skeleton lacks adds nothing.
    float blend[16] = {};
    float sum = 0.0f;
    for (int i = 0; i < SkinInfluence::kMax; ++i) {
      const float w = influence.m_Weights[i];
      if (w == 0.0f || influence.m_Bones[i] >= bones) continue;
      const float* m = skin[influence.m_Bones[i]].m;
      for (int k = 0; k < 16; ++k) blend[k] += m[k] * w;
      sum += w;
    }
    if (sum == 0.0f) continue;
    Transform(blend, in.Position, 1.0f, o.Position);
    Transform(blend, in.Normal, 0.0f, o.Normal);
    Transform(blend, in.Tangent, 0.0f, o.Tangent);
    Transform(blend, in.Bitangent, 0.0f, o.Bitangent);
    Normalise(o.Normal);
    Normalise(o.Tangent);
    Normalise(o.Bitangent);
  }
}

bool SkinnedMesh::Validate() const { return m_Mesh.Validate() && m_Influences.size() == m_Mesh.m_Vertices.size(); }

}  // namespace Gfx
