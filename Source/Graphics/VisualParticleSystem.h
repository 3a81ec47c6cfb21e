// VisualParticleSystem: a particle system (Particles.h) as a visual. It owns the system, steps it
// once a frame in the visibility step, at its emitter (the owner's position, or for an owner-less
// system the place it was given), and draws its particles as camera-facing quads (EffectDrawing.h)
// with its material, tinted by its colour. Never culled, never lit, never picked.
//
// A system from a definition file may also be fed: `emit` particles every update, each at a point
// chosen at random within `spread` of the emitter on every axis, for the kinds that emit nothing
// of their own (pollen drifting over an island).
//
// Definition element (the builder BuildVisualParticle): VisualParticle with "type" (string: "Comet",
// "Flash", "Highlander", "Pollen", and "Smoke", "Rain"), "material" (string), "size" (int: the
// capacity, at most kMaxCapacity), and optionally "emit" (int), "spread" (float), "scale" (float,
// the quads' size over the kind's) and the tint "red", "green", "blue", "alpha" (floats, each 1
// when absent). An unknown type is reported on
// standard output and makes no visual. Main thread; drawing needs the GL context.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Graphics/EffectDrawing.h"
#include "Graphics/Particles.h"
#include "Graphics/Visual.h"

namespace Game {
class Entity;
}
namespace Util {
class XmlReader;
}

namespace Gfx {

class VisualParticleSystem : public Visual {
 public:
  static constexpr uint32_t kMaxCapacity = 65536;

  // The system is initialised with `capacity` at the owner's position (or `place`).
  VisualParticleSystem(Game::Entity* owner, std::unique_ptr<ParticleParams> system, uint32_t capacity,
                       const Util::Vec3& place = Util::Vec3{});
  // Destroying one without a system is an assertion.
  ~VisualParticleSystem() override;

  void Submit() override;
  void Draw() override;
  void DrawLit() override {}
  void DrawOverlay() override {}
  void Rebuild() override {}
  void GetColor(float color[4]) const override;
  void SetColor(const float color[4]) override;

  ParticleParams* System() const { return m_System.get(); }
  // Where an owner-less system stands.
  void SetPlace(const Util::Vec3& place) { m_Place = place; }
  void SetFeed(uint32_t perUpdate, float spread);
  // The particles' quads are the kind's size times this.
  void SetSizeScale(float scale) { m_SizeScale = scale; }
  // One frame of the system: the feed, then its update at the emitter.
  void Step();

  // The builder of VisualParticle elements.
  static void Build(Game::Entity& entity, Util::XmlReader& reader);

 private:
  Util::Vec3 DrawPosition() const override;

  std::unique_ptr<ParticleParams> m_System;
  Util::Vec3 m_Place;
  float m_Tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  uint32_t m_Feed = 0;
  float m_Spread = 0.0f;
  float m_SizeScale = 1.0f;
  std::vector<ParticleVertex> m_Quads;
};

}  // namespace Gfx
