#include "Graphics/GraphicsFacade.h"

namespace Gfx {

int GraphicsFacade::Init() { return 0; }

void GraphicsFacade::Update() {}

void GraphicsFacade::Shutdown() {}

void GraphicsFacade::AdaptToWindowSize() {}

}  // namespace Gfx
