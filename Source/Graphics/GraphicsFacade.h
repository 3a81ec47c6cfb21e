// GraphicsFacade: the renderer. Owns the resources, the camera and the render context; draws each frame.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Gfx {

class GraphicsFacade : public Util::Singleton<GraphicsFacade> {
 public:
  int Init();
  void Update();
  void Shutdown();
  void AdaptToWindowSize();

 private:
  friend class Util::Singleton<GraphicsFacade>;
  GraphicsFacade() : Singleton(true) {}
};

}  // namespace Gfx
