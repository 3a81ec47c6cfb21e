#include "Physics/Collidable.h"

#include "Physics/AABB.h"

namespace Phy {

Collidable* Collidable::GetChild(int32_t) { return this; }

bool Collidable::Add(Collidable*) { return false; }

float Collidable::MinX() const { return GetBounds().m_Min.x; }
float Collidable::MinY() const { return GetBounds().m_Min.y; }
float Collidable::MinZ() const { return GetBounds().m_Min.z; }
float Collidable::MaxX() const { return GetBounds().m_Max.x; }
float Collidable::MaxY() const { return GetBounds().m_Max.y; }
float Collidable::MaxZ() const { return GetBounds().m_Max.z; }

}  // namespace Phy
