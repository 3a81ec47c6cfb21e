#include "Util/Grid.h"

#include <algorithm>

namespace Util {

uint32_t Grid::CellIndex(const Vec3& point) {
  auto cell = [](float v) { return static_cast<uint32_t>(std::clamp(static_cast<int>(v), 0, 1535)) >> 7; };
  return cell(point.x + 1024.0f) + 12 * (cell(point.y) + 12 * cell(point.z));
}

void Grid::Add(Game::Entity*, bool) {}

void Grid::Remove(Game::Entity*) {}

void Grid::Move(Game::Entity*) {}

void Grid::Update() {}

void Grid::Shutdown() {}

}  // namespace Util
