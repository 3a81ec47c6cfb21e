#include "Util/Tweaker.h"

namespace Util {

void Tweaker::Clear() {}

}  // namespace Util
