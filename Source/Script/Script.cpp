#include "Script/Script.h"

namespace Spt {

Script::Script(const char* file, Game::Entity* owner, bool flag)
    : m_Flag(flag), m_Owner(owner), m_File(file ? file : "") {}

Script::~Script() = default;

}  // namespace Spt
