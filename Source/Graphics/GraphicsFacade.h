// GraphicsFacade: the renderer. Owns the resources, the camera and the render context; draws each frame.
// Not built yet beyond its entry points and the camera, so that the engine's order is already fixed
// and the camera's messages flow: Init creates and resets the camera, Update (the frame's rendering
// step) updates it, Shutdown deletes it.
#pragma once

#include "Util/Singleton.h"

namespace Gfx {

class Camera;

class GraphicsFacade : public Util::Singleton<GraphicsFacade> {
 public:
  int Init();
  void Update();
  void Shutdown();
  void AdaptToWindowSize();

  // The view camera between Init and Shutdown; null outside.
  Camera* GetCamera() const { return m_Camera; }

 private:
  friend class Util::Singleton<GraphicsFacade>;
  GraphicsFacade() : Singleton(true) {}
  ~GraphicsFacade() override;

  Camera* m_Camera = nullptr;
};

}  // namespace Gfx
