// Visual: what an entity looks like. The base of every drawable component (models, billboards,
// text, lights, particle holders, 2D quads), which the graphics subsystem derives from it.
//
// Every visual is on the registry of visuals while it lives and carries a pick id, a running
// number from 1 that picking encodes as a colour. The owning entity deletes it; the visual keeps
// a non-owning pointer back. Colour and radius mean something only to the kinds that have them
// (lights); the base reads zeros and ignores settings. Main thread only.
#pragma once

#include <cstdint>

#include "Util/AutoList.h"
#include "Util/Vec3.h"

namespace Game {
class Entity;
}

namespace Gfx {

class Visual : public Util::AutoList<Visual> {
 public:
  explicit Visual(Game::Entity* owner);
  ~Visual() override;
  Visual(const Visual&) = delete;
  Visual& operator=(const Visual&) = delete;

  Game::Entity* Owner() const { return m_Owner; }
  uint32_t PickId() const { return m_PickId; }
  // The owner's position; the origin for a visual without an owner.
  Util::Vec3 Position() const;

  // Drawing, called by the render passes for the visuals queued under a material this frame: the
  // ordinary draw, and the draw once per light of the frame for the lit queue. The base draws nothing.
  virtual void Draw();
  virtual void DrawLit();

  // Red, green, blue, alpha.
  virtual void GetColor(float color[4]) const;
  virtual void SetColor(const float color[4]);
  virtual float GetRadius() const;
  virtual void SetRadius(float radius);

 private:
  Game::Entity* m_Owner;
  uint32_t m_PickId;
};

}  // namespace Gfx
