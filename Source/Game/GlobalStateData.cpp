#include "Game/GlobalStateData.h"

namespace Game {

void GlobalStateData::Init() {}

void GlobalStateData::Update() {}

void GlobalStateData::Shutdown() {}

void GlobalStateData::DeleteOwned() {}

}  // namespace Game
