#include "Util/LevelEditor.h"

namespace Util {

void LevelEditor::Init() {}

}  // namespace Util
