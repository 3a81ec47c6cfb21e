#include "Graphics/Effects.h"

#include <algorithm>

#include "Game/GlobalStateData.h"
#include "Graphics/Fireflies.h"
#include "Graphics/VisualParticleSystem.h"
#include "Graphics/Waterfall.h"

namespace Gfx {
namespace {

constexpr const char* kFireflyMaterial = "gFireflyParticle";
constexpr const char* kSparkMaterial = "gFireflyGetParticle";

// Fireflies and their sparks are warm yellow-green; the glints round the lantern faint and warmer.
constexpr float kFireflyTint[4] = {1.0f, 0.95f, 0.55f, 1.0f};
constexpr float kMoteTint[4] = {1.0f, 0.8f, 0.6f, 0.35f};

std::unique_ptr<VisualParticleSystem> Make(std::unique_ptr<ParticleParams> system, const char* material,
                                           const Util::Vec3& at, const float (&tint)[4]) {
  auto visual = std::make_unique<VisualParticleSystem>(nullptr, std::move(system), Effects::kCapacity, at);
  visual->setMaterial(material);
  visual->SetColor(tint);
  return visual;
}

}  // namespace

Effects::Effects() = default;

Effects::~Effects() {
  if (WaterfallManager::Exists()) WaterfallManager::Destroy();
}

FireflyParticles* Effects::Fireflies() const {
  return m_Trail ? static_cast<FireflyParticles*>(m_Trail->System()) : nullptr;
}

VisualParticleSystem& Effects::MakeBurst() {
  if (!m_Burst)
    m_Burst =
        Make(std::make_unique<PollenParticle>(FireflyParticles::kMaxAge), kSparkMaterial, m_Lantern, kFireflyTint);
  return *m_Burst;
}

VisualParticleSystem& Effects::MakeMotes() {
  if (!m_Motes) m_Motes = Make(std::make_unique<RainParticlesPacked>(), kSparkMaterial, m_Lantern, kMoteTint);
  return *m_Motes;
}

VisualParticleSystem& Effects::MakeTrail() {
  if (!m_Trail) m_Trail = Make(std::make_unique<FireflyParticles>(), kFireflyMaterial, m_Lantern, kFireflyTint);
  return *m_Trail;
}

void Effects::SpawnFireflies(const Util::Vec3& first, const Util::Vec3& second, int32_t count, uint8_t kind) {
  MakeTrail();
  FireflyParticles& flies = *Fireflies();
  if (kind >= 1 && kind <= 4) {
    const int32_t lanterns = Game::GlobalStateData::Exists() ? Game::GlobalStateData::Instance().LanternCount() : 0;
    flies.AddFireflies(static_cast<uint32_t>(std::max(count, 0)), kind, first, second, lanterns);
  } else {
    flies.Emit(1, first);
  }
}

void Effects::MoveToLantern(const Util::Vec3& lantern) {
  m_Lantern = lantern;
  MakeBurst().SetPlace(lantern);
  MakeMotes().SetPlace(lantern);
  MakeTrail().SetPlace(lantern);
}

void Effects::Burst(const Util::Vec3& at) { MakeBurst().System()->Emit(kBurst, at); }

void Effects::AddWaterfall(const Util::Vec3 (&points)[4], int32_t segments, float) {
  WaterfallManager::Instance().AddWaterfall(points[0], points[1], points[2], points[3], segments);
}

}  // namespace Gfx
