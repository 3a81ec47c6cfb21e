#include "Graphics/VisualParticleSystem.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "Game/Entity.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/RenderContext.h"
#include "Util/Assert.h"
#include "Util/Random.h"
#include "Util/XmlReader.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_visual";

}  // namespace

VisualParticleSystem::VisualParticleSystem(Game::Entity* owner, std::unique_ptr<ParticleParams> system,
                                           uint32_t capacity, const Util::Vec3& place)
    : Visual(owner), m_System(std::move(system)), m_Place(place) {
  if (!m_System) return;
  m_System->SetEmitter(DrawPosition());
  m_System->Init(capacity);
}

VisualParticleSystem::~VisualParticleSystem() {
  UTIL_ASSERT_EXPR(m_System != nullptr, "m_pParent", "Gfx::VisualParticleSystem attempting to delete null parent");
}

Util::Vec3 VisualParticleSystem::DrawPosition() const { return Owner() ? Position() : m_Place; }

void VisualParticleSystem::GetColor(float color[4]) const { std::copy(m_Tint, m_Tint + 4, color); }

void VisualParticleSystem::SetColor(const float color[4]) { std::copy(color, color + 4, m_Tint); }

void VisualParticleSystem::SetFeed(uint32_t perUpdate, float spread) {
  m_Feed = perUpdate;
  m_Spread = spread > 0.0f ? spread : 0.0f;
}

void VisualParticleSystem::Step() {
  if (!m_System) return;
  const Util::Vec3 emitter = DrawPosition();
  Util::Random& random = Util::Random::Instance();
  for (uint32_t i = 0; i < m_Feed; ++i) {
    const float x = random.Range(-m_Spread, m_Spread);
    const float y = random.Range(-m_Spread, m_Spread);
    const float z = random.Range(-m_Spread, m_Spread);
    m_System->Emit(1, emitter + Util::Vec3{x, y, z});
  }
  m_System->Update(emitter);
}

void VisualParticleSystem::Submit() {
  Step();
  Queue();
}

void VisualParticleSystem::Draw() {
  if (!m_System || m_System->Count() == 0 || !GraphicsFacade::Exists()) return;
  const RenderContext* context = GraphicsFacade::Instance().GetRenderContext();
  if (!context) return;
  BuildParticleQuads(*m_System, context->m_View, context->m_Near, m_System->Size() * m_SizeScale, m_Tint, m_Quads);
  DrawParticleQuads(m_Quads);
}

void VisualParticleSystem::Build(Game::Entity& entity, Util::XmlReader& reader) {
  if (!reader.Enter()) return;
  const std::string type = reader.Get<std::string>("type");
  const std::string material = reader.Get<std::string>("material");
  const int size = reader.Get<int>("size");
  const int feed = reader.Get<int>("emit");
  const float spread = reader.Get<float>("spread");
  float scale = 1.0f;
  reader.Read("scale", scale);
  float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const char* const keys[4] = {"red", "green", "blue", "alpha"};
  for (int i = 0; i < 4; ++i) reader.Read(keys[i], tint[i]);
  reader.Leave();

  std::unique_ptr<ParticleParams> system = MakeParticleParams(type);
  if (!system) {
    std::printf("VisualParticle: no particle system is called \"%s\"; %s has no particles\n", type.c_str(),
                entity.GetName());
    return;
  }
  const uint32_t capacity = static_cast<uint32_t>(std::clamp(size, 0, static_cast<int>(kMaxCapacity)));
  auto visual = std::make_unique<VisualParticleSystem>(&entity, std::move(system), capacity);
  visual->SetFeed(static_cast<uint32_t>(std::clamp(feed, 0, static_cast<int>(capacity))), spread);
  visual->SetColor(tint);
  visual->SetSizeScale(scale);
  if (!material.empty()) visual->setMaterial(material);
  entity.SetVisual(visual.release());
}

}  // namespace Gfx
