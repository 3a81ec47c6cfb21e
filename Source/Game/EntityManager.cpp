#include "Game/EntityManager.h"

namespace Game {

void EntityManager::Shutdown() {}

}  // namespace Game
