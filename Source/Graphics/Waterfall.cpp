#include "Graphics/Waterfall.h"

#include <cstdio>

#include "Util/Assert.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_waterfall";

void Put(float* out, const Util::Vec3& v) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

// The unit vector along a, or the fallback where a has no direction.
Util::Vec3 Direction(const Util::Vec3& a, const Util::Vec3& fallback) {
  const Util::Vec3 unit = Util::Normalize(a);
  return Util::LengthSquared(unit) > 0.0f ? unit : fallback;
}

}  // namespace

bool BuildRibbon(const Util::Vec3& p1, const Util::Vec3& p2, const Util::Vec3& p3, const Util::Vec3& p4,
                 int32_t segments, Ribbon& out) {
  out.m_Vertices.clear();
  out.m_Indices.clear();
  if (segments < 1) return false;
  const uint32_t n = static_cast<uint32_t>(segments);
  const float inverse = 1.0f / static_cast<float>(n);
  const Util::Vec3 dA = (p3 - p1) * inverse;
  const Util::Vec3 dB = (p4 - p2) * inverse;
  const float width = Util::Length(p2 - p1);
  const float vStep = width > 0.0f ? Util::Length(dA) / width : inverse;

  // Per segment: its normal and its tangent (along the first edge).
  std::vector<Util::Vec3> normals(n), tangents(n);
  for (uint32_t k = 0; k < n; ++k) {
    const Util::Vec3 a = p1 + dA * static_cast<float>(k);
    const Util::Vec3 b = p2 + dB * static_cast<float>(k);
    const Util::Vec3 along = Direction(dA, Util::Vec3{0.0f, -1.0f, 0.0f});
    const Util::Vec3 across = Direction(b - a, Util::Vec3{1.0f, 0.0f, 0.0f});
    normals[k] = Direction(Util::Cross(along, across), Util::Vec3{0.0f, 0.0f, 1.0f});
    tangents[k] = along;
  }

  out.m_Vertices.resize(2 * (static_cast<size_t>(n) + 1));
  for (uint32_t k = 0; k <= n; ++k) {
    // A pair between two segments takes the mean of their normals.
    const uint32_t before = k > 0 ? k - 1 : 0, after = k < n ? k : n - 1;
    const Util::Vec3 normal = Direction(normals[before] + normals[after], normals[after]);
    const Util::Vec3 tangent = Direction(tangents[before] + tangents[after], tangents[after]);
    const Util::Vec3 a = p1 + dA * static_cast<float>(k);
    const Util::Vec3 b = p2 + dB * static_cast<float>(k);
    const Util::Vec3 bitangent = Direction(b - a, Util::Cross(normal, tangent));
    const float v = vStep * static_cast<float>(k);
    for (int side = 0; side < 2; ++side) {
      Vertex& vertex = out.m_Vertices[2 * k + side];
      Put(vertex.Position, side == 0 ? a : b);
      Put(vertex.Normal, normal);
      Put(vertex.Color, Util::Vec3{1.0f, 1.0f, 1.0f});
      vertex.uvCoord[0] = static_cast<float>(side);
      vertex.uvCoord[1] = v;
      Put(vertex.Tangent, tangent);
      Put(vertex.Bitangent, bitangent);
    }
  }

  out.m_Indices.reserve(6 * static_cast<size_t>(n));
  for (uint32_t k = 0; k < n; ++k) {
    const uint32_t i = 2 * k;
    out.m_Indices.insert(out.m_Indices.end(), {i + 1, i, i + 3, i + 3, i, i + 2});
  }
  return true;
}

WaterfallManager::~WaterfallManager() { Shutdown(); }

void WaterfallManager::Shutdown() { m_Batches.clear(); }

WaterfallBatch& WaterfallManager::StartBatch() {
  m_Batches.push_back(std::make_unique<WaterfallBatch>());
  WaterfallBatch& batch = *m_Batches.back();
  batch.m_Visual = std::make_unique<VisualDynamic>(nullptr);
  batch.m_Visual->setMaterial(kMaterial);
  return batch;
}

bool WaterfallManager::AddWaterfall(const Util::Vec3& p1, const Util::Vec3& p2, const Util::Vec3& p3,
                                    const Util::Vec3& p4, int32_t segments) {
  if (segments < 1) {
    std::printf("AddWaterfall: a waterfall needs at least one segment, not %d; none made\n", segments);
    return false;
  }
  // Counted before anything is built: a huge count must not be allocated only to be refused.
  const uint64_t vertices = 2 * (static_cast<uint64_t>(segments) + 1);
  if (!UTIL_ASSERT_EXPR(vertices <= kMaxBatchVertices, "ribbonVertices <= kMaxBatchVertices",
                        "Attempt to create falls will always fail"))
    return false;
  Ribbon ribbon;
  BuildRibbon(p1, p2, p3, p4, segments, ribbon);
  if (m_Batches.empty() || m_Batches.back()->m_Vertices.size() + vertices > kMaxBatchVertices) StartBatch();
  WaterfallBatch& batch = *m_Batches.back();
  const uint32_t base = static_cast<uint32_t>(batch.m_Vertices.size());
  batch.m_Vertices.insert(batch.m_Vertices.end(), ribbon.m_Vertices.begin(), ribbon.m_Vertices.end());
  for (uint32_t index : ribbon.m_Indices) batch.m_Indices.push_back(base + index);
  // The arrays may have moved as they grew.
  batch.m_Visual->SetArrays(batch.m_Vertices.data(), static_cast<uint32_t>(batch.m_Vertices.size()),
                            batch.m_Indices.data(), static_cast<uint32_t>(batch.m_Indices.size()));
  return true;
}

bool WaterfallManager::Validate() const {
  for (const std::unique_ptr<WaterfallBatch>& batch : m_Batches) {
    if (batch->m_Vertices.empty() || batch->m_Vertices.size() > kMaxBatchVertices || !batch->m_Visual) return false;
    if (batch->m_Visual->Vertices() != batch->m_Vertices.data() ||
        batch->m_Visual->IndexCount() != batch->m_Indices.size())
      return false;
    for (uint32_t index : batch->m_Indices)
      if (index >= batch->m_Vertices.size()) return false;
  }
  return true;
}

}  // namespace Gfx
