#include "Script/ScriptEngine.h"

namespace Spt {

bool ScriptEngine::Init() { return true; }

void ScriptEngine::Update() {}

bool ScriptEngine::Shutdown() { return true; }

void ScriptEngine::StartEntityScripts() {}

}  // namespace Spt
