// Key codes: the game numbers keys as SDL 1.2 did (0 to 322, 323 is the end), in the key bit sets
// and in scripts. Letters, digits and the other ASCII keys are their characters; the rest are
// translated from SDL2's key codes by a table. Keys SDL 1.2 had no number for are left out.
#pragma once

#include <cstdint>

namespace Core {

constexpr int kKeyCount = 323;

// The numbers the engine itself binds or tests; scripts use the plain numbers.
enum KeyCode : int {
  kKeyBackspace = 8,
  kKeyTab = 9,
  kKeyReturn = 13,
  kKeyEscape = 27,
  kKeySpace = 32,
  kKeyDelete = 127,
  kKeyKeypad0 = 256,
  kKeyUp = 273,
  kKeyDown = 274,
  kKeyRight = 275,
  kKeyLeft = 276,
  kKeyF1 = 282,
  kKeyF15 = 296,
  kKeyRightShift = 303,
  kKeyLeftShift = 304,
  kKeyRightCtrl = 305,
  kKeyLeftCtrl = 306,
};

// The SDL 1.2 number of an SDL2 key code, or -1 when SDL 1.2 had none.
int KeyCodeFromSdl(int32_t sdlKey);
// The SDL2 key code that stands for an SDL 1.2 number (the way back, for whoever feeds keys to
// the game as SDL events), or 0 when there is none.
int32_t SdlKeyFromCode(int code);

}  // namespace Core
