#include "Game/Player.h"

namespace Game {

void Player::InitScarf() {}

void Player::InitLanternPole() {}

void Player::Update() {}

void Player::Shutdown() {}

}  // namespace Game
