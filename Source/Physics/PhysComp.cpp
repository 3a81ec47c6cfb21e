#include "Physics/PhysComp.h"

namespace Phy {

// No hull and no particles yet: nothing to move.
void PhysComp::TranslateHull(const Util::Vec3&) {}

void PhysComp::RotateHull(const Util::Vec3&) {}

void PhysComp::ScaleHull(float) {}

void PhysComp::SetVelocity(const Util::Vec3&) {}

}  // namespace Phy
