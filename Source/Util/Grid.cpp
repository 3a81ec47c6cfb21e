#include "Util/Grid.h"

namespace Util {

void Grid::Update() {}

void Grid::Shutdown() {}

}  // namespace Util
