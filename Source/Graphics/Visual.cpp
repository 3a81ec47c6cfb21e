#include "Graphics/Visual.h"

#include "Game/Entity.h"
#include "Graphics/Camera.h"

namespace Gfx {
namespace {

// Pick ids are never reused within a run, so a picked colour names one visual only.
uint32_t s_LastPickId = 0;

}  // namespace

Visual::Visual(Game::Entity* owner) : m_Owner(owner), m_PickId(++s_LastPickId) {}

Visual::~Visual() { Camera::ForgetVisual(this); }

Util::Vec3 Visual::Position() const { return m_Owner ? m_Owner->GetPosition() : Util::Vec3{}; }

void Visual::Draw() {}

void Visual::DrawLit() {}

void Visual::GetColor(float color[4]) const {
  for (int i = 0; i < 4; ++i) color[i] = 0.0f;
}

void Visual::SetColor(const float[4]) {}

float Visual::GetRadius() const { return 0.0f; }

void Visual::SetRadius(float) {}

}  // namespace Gfx
