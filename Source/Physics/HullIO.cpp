#include "Physics/HullIO.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "Physics/CollidableSet.h"
#include "Physics/Geometry.h"
#include "Physics/HeightMap.h"
#include "Physics/OBB.h"
#include "Physics/Sphere.h"

namespace Phy {
namespace {

using Util::Vec3;

constexpr int kDeepestSet = 64;  // sets within sets, at most
constexpr int32_t kMostChildren = 1 << 16;
constexpr int32_t kMostSamples = 4096;  // along either side of a height map

template <class T>
bool Take(Util::BinaryStream& stream, T& value) {
  stream.Read(value);
  return !stream.Failed();
}

bool TakeVector(Util::BinaryStream& stream, Vec3& v) { return Take(stream, v) && Geometry::Finite(v); }

std::unique_ptr<Collidable> ReadShape(Util::BinaryStream& stream, int32_t type, int depth);

std::unique_ptr<Collidable> ReadSet(Util::BinaryStream& stream, int depth) {
  int32_t count = 0;
  if (depth >= kDeepestSet || !Take(stream, count) || count < 0 || count > kMostChildren) return nullptr;
  // Written from the last child to the first: read into a list, then added in the original order.
  std::vector<std::unique_ptr<Collidable>> children;
  for (int32_t i = 0; i < count; ++i) {
    int32_t type = 0;
    if (!Take(stream, type)) return nullptr;
    children.push_back(ReadShape(stream, type, depth + 1));
    if (!children.back()) return nullptr;
  }
  auto set = std::make_unique<CollidableSet>();
  for (auto child = children.rbegin(); child != children.rend(); ++child) set->Add(child->release());
  return set;
}

std::unique_ptr<Collidable> ReadHeightMap(Util::BinaryStream& stream) {
  Vec3 min, max;
  int32_t width = 0, depth = 0;
  if (!TakeVector(stream, min) || !TakeVector(stream, max) || !Take(stream, width) || !Take(stream, depth))
    return nullptr;
  if (width <= 0 || depth <= 0 || width > kMostSamples || depth > kMostSamples) return nullptr;
  std::vector<uint8_t> samples(static_cast<size_t>(width) * static_cast<size_t>(depth));
  stream.ReadArray(samples.data(), samples.size());
  float yScale = 0.0f;
  if (stream.Failed() || !Take(stream, yScale) || !std::isfinite(yScale)) return nullptr;
  auto map = std::make_unique<HeightMap>(AABB(min, max), yScale, width, depth, std::move(samples));
  return map->Validate() ? std::move(map) : nullptr;
}

std::unique_ptr<Collidable> ReadShape(Util::BinaryStream& stream, int32_t type, int depth) {
  std::unique_ptr<Collidable> shape;
  switch (type) {
    case kTypeAABB: {
      Vec3 min, max;
      if (TakeVector(stream, min) && TakeVector(stream, max)) shape = std::make_unique<AABB>(min, max);
      break;
    }
    case kTypeOBB: {
      Vec3 center, half[3];
      if (!TakeVector(stream, center)) return nullptr;
      for (Vec3& h : half)
        if (!TakeVector(stream, h)) return nullptr;
      const Vec3 e1 = half[0] * 2.0f, e2 = half[1] * 2.0f, e3 = half[2] * 2.0f;
      shape = std::make_unique<OBB>(center - half[0] - half[1] - half[2], e1, e2, e3);
      break;
    }
    case kTypeSphere: {
      Vec3 center;
      float radius = 0.0f;
      if (TakeVector(stream, center) && Take(stream, radius)) shape = std::make_unique<Sphere>(center, radius);
      break;
    }
    case kTypeSet:
      return ReadSet(stream, depth);
    case kTypeHeightMap:
      return ReadHeightMap(stream);
    default:
      return nullptr;
  }
  return shape && shape->Validate() ? std::move(shape) : nullptr;
}

}  // namespace

void WriteHull(Util::BinaryStream& stream, const Collidable* hull) {
  if (hull) {
    hull->Write(stream);
  } else {
    stream.Write(static_cast<int32_t>(-1));
  }
}

bool ReadHull(Util::BinaryStream& stream, Collidable*& hull) {
  hull = nullptr;
  int32_t type = 0;
  if (!Take(stream, type)) return false;
  if (type == -1) return true;
  hull = ReadShape(stream, type, 0).release();
  return hull != nullptr;
}

}  // namespace Phy
