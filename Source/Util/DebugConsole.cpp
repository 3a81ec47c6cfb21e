#include "Util/DebugConsole.h"

namespace Util {

void DebugConsole::Init() {}

}  // namespace Util
