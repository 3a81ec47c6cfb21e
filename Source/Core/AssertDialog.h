// The game's assertion handler: a modal dialog with Abort, Retry and Ignore, owned by no window.
// Where no dialog can be shown (no display), the text goes to standard error and the game goes on.
#pragma once

namespace Core {

void InstallAssertDialog();

}  // namespace Core
