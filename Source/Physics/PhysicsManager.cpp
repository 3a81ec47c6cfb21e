#include "Physics/PhysicsManager.h"

namespace Phy {

void PhysicsManager::Update() {}

}  // namespace Phy
