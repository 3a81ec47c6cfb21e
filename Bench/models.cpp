// Frustum culling of 1,000 and 10,000 boxes spread round the eye, as visuals test their boxes each
// frame, beside its anchor: the same number of bare plane-point dot products as the culling made
// plane tests. The view turns a little every frame, so the last-rejecting-plane cache sees the
// changes it meets in the game. Also the culling of a 20,000-triangle mesh's bounding-volume tree.
//
// Loading a 10,000-vertex model file in the simple form, beside its anchor: a bare fopen, fread
// and fclose of the same file into a buffer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Graphics/BVTree.h"
#include "Graphics/Frustum.h"
#include "Graphics/Model.h"

namespace {

using Util::BoundingBox;
using Util::Vec3;

Gfx::Frustum View(float yaw) {
  float projection[16] = {}, modelview[16] = {};
  const float f = 1.0f / std::tan(3.14159265f / 6.0f), nearZ = 1.0f, farZ = 500.0f;
  projection[0] = f / 1.5f;
  projection[5] = f;
  projection[10] = (farZ + nearZ) / (nearZ - farZ);
  projection[11] = -1.0f;
  projection[14] = 2.0f * farZ * nearZ / (nearZ - farZ);
  const float c = std::cos(yaw), s = std::sin(yaw);
  modelview[0] = c;
  modelview[8] = -s;
  modelview[5] = 1.0f;
  modelview[2] = s;
  modelview[10] = c;
  modelview[15] = 1.0f;
  Gfx::Frustum frustum;
  frustum.FromMatrices(projection, modelview);
  return frustum;
}

std::vector<BoundingBox> Boxes(int count) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> at(-400.0f, 400.0f), size(0.5f, 12.0f);
  std::vector<BoundingBox> boxes;
  for (int i = 0; i < count; ++i) {
    const Vec3 low{at(random), at(random) * 0.2f, at(random)};
    boxes.push_back({low, low + Vec3{size(random), size(random), size(random)}});
  }
  return boxes;
}

void CullBoxes(benchmark::State& state) {
  const std::vector<BoundingBox> boxes = Boxes(static_cast<int>(state.range(0)));
  std::vector<uint8_t> last(boxes.size(), 0);
  int frame = 0, visible = 0;
  uint32_t tests = 0;
  for (auto _ : state) {
    Gfx::Frustum frustum = View(0.01f * (frame++ % 600));
    for (size_t i = 0; i < boxes.size(); ++i)
      visible += frustum.TestBox(boxes[i], last[i]) != Gfx::Frustum::Side::Outside;
    tests += frustum.GetStatistics().m_PlaneTests;
  }
  benchmark::DoNotOptimize(visible);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["plane tests/box"] = static_cast<double>(tests) / (static_cast<double>(frame) * state.range(0));
}

// As many dot products a frame as the culling makes plane tests (measured on the same boxes).
void CullAnchorDotProducts(benchmark::State& state) {
  const std::vector<BoundingBox> boxes = Boxes(static_cast<int>(state.range(0)));
  std::vector<uint8_t> last(boxes.size(), 0);
  Gfx::Frustum counting = View(0.0f);
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < boxes.size(); ++i) counting.TestBox(boxes[i], last[i]);
  }
  const size_t perFrame = counting.GetStatistics().m_PlaneTests / 2;
  int frame = 0;
  float sum = 0.0f;
  for (auto _ : state) {
    const Gfx::Frustum frustum = View(0.01f * (frame++ % 600));
    for (size_t t = 0; t < perFrame; ++t) {
      const float* q = frustum.GetPlane(static_cast<int>(t % Gfx::Frustum::kPlanes));
      const Vec3& p = boxes[t % boxes.size()].m_Min;
      sum += q[0] * p.x + q[1] * p.y + q[2] * p.z + q[3] > 0.0f;
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void CullMeshTree(benchmark::State& state) {
  Gfx::Mesh mesh;
  constexpr uint32_t kSide = 100;
  for (uint32_t z = 0; z <= kSide; ++z) {
    for (uint32_t x = 0; x <= kSide; ++x) {
      Gfx::Vertex v{};
      v.Position[0] = (static_cast<float>(x) - kSide / 2) * 8.0f;
      v.Position[1] = 10.0f * std::sin(x * 0.2f) * std::cos(z * 0.15f) - 20.0f;
      v.Position[2] = (static_cast<float>(z) - kSide / 2) * 8.0f;
      mesh.m_Vertices.push_back(v);
    }
  }
  for (uint32_t z = 0; z < kSide; ++z) {
    for (uint32_t x = 0; x < kSide; ++x) {
      const uint32_t a = z * (kSide + 1) + x, c = a + kSide + 1;
      mesh.m_Indices.insert(mesh.m_Indices.end(), {a, c, a + 1, a + 1, c, c + 1});
    }
  }
  const auto tree = Gfx::BuildMeshTree(mesh, static_cast<uint32_t>(state.range(0)));
  int frame = 0;
  size_t ranges = 0;
  for (auto _ : state) {
    Gfx::Frustum frustum = View(0.01f * (frame++ % 600));
    tree->Cull(frustum);
    ranges += tree->Visible().size();
  }
  state.counters["leaves"] = static_cast<double>(tree->Leaves().size());
  state.counters["visible leaves"] = static_cast<double>(ranges) / frame;
}

const char* ModelFile() {
  static const std::string path = [] {
    std::string file = "/tmp/hollowmere_bench_model.BIN";
    Gfx::Mesh mesh{"bench", std::vector<Gfx::Vertex>(10000), {}};
    for (uint32_t i = 0; i + 2 < 10000; ++i) mesh.m_Indices.insert(mesh.m_Indices.end(), {i, i + 1, i + 2});
    Gfx::WriteModel(file.c_str(), mesh);
    return file;
  }();
  return path.c_str();
}

void LoadModelFile(benchmark::State& state) {
  const char* path = ModelFile();
  size_t meshes = 0;
  for (auto _ : state) meshes += Gfx::LoadModel(path)->Meshes().size();
  benchmark::DoNotOptimize(meshes);
}

void LoadAnchorFread(benchmark::State& state) {
  const char* path = ModelFile();
  size_t bytes = 0;
  for (auto _ : state) {
    std::FILE* file = std::fopen(path, "rb");
    std::fseek(file, 0, SEEK_END);
    const long length = std::ftell(file);
    std::rewind(file);
    std::unique_ptr<char[]> buffer(new char[length]);
    bytes += std::fread(buffer.get(), 1, length, file);
    std::fclose(file);
    benchmark::DoNotOptimize(buffer.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(CullBoxes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(CullAnchorDotProducts)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(CullMeshTree)->Arg(16)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadModelFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadAnchorFread)->Unit(benchmark::kMicrosecond);
