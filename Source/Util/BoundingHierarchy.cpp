#include "Util/BoundingHierarchy.h"

#include <algorithm>
#include <limits>

#include "Util/Assert.h"

namespace Util {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Util\\util_grid";

}  // namespace

BoundingBox BoundingBox::Empty() {
  constexpr float kMax = std::numeric_limits<float>::max();
  return {{kMax, kMax, kMax}, {-kMax, -kMax, -kMax}};
}

BoundingBox BoundingBox::Union(const BoundingBox& a, const BoundingBox& b) {
  return {{std::min(a.m_Min.x, b.m_Min.x), std::min(a.m_Min.y, b.m_Min.y), std::min(a.m_Min.z, b.m_Min.z)},
          {std::max(a.m_Max.x, b.m_Max.x), std::max(a.m_Max.y, b.m_Max.y), std::max(a.m_Max.z, b.m_Max.z)}};
}

BoundingRoot::BoundingRoot(std::vector<std::unique_ptr<BoundingElement>> children)
    : BoundingElement(BoundingBox::Empty(), 1), m_Children(std::move(children)) {
  const size_t numChildren = m_Children.size();
  UTIL_ASSERT(numChildren > 0, "BVRoot: initialization with 0 children");
  for (const std::unique_ptr<BoundingElement>& child : m_Children) {
    if (!child) continue;
    m_Box = BoundingBox::Union(m_Box, child->Box());
    m_Depth = std::max(m_Depth, child->Depth() + 1);
  }
}

}  // namespace Util
