#include "Graphics/Effects.h"

#include <algorithm>

namespace Gfx {

void Effects::SpawnFireflies(const Util::Vec3&, const Util::Vec3&, int32_t count, uint8_t kind) {
  const uint32_t added = kind >= 1 && kind <= 4 ? static_cast<uint32_t>(std::max(count, 0)) : 1u;
  m_PendingFireflies = std::min(m_PendingFireflies + std::min(added, kCapacity), kCapacity);
}

void Effects::MoveToLantern(const Util::Vec3& lantern) { m_Lantern = lantern; }

void Effects::Burst(const Util::Vec3&) { m_PendingBursts = std::min(m_PendingBursts + kBurst, kCapacity); }

void Effects::AddWaterfall(const Util::Vec3 (&)[4], int32_t, float) { ++m_PendingWaterfalls; }

}  // namespace Gfx
