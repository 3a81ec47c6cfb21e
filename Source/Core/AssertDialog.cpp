#include "Core/AssertDialog.h"

#include <SDL.h>

#include <cstdio>

#include "Util/Assert.h"

namespace Core {
namespace {

enum ButtonId { kAbort = 1, kRetry = 2, kIgnore = 3 };

Util::AssertChoice ShowDialog(const std::string& text) {
  const SDL_MessageBoxButtonData buttons[] = {
      {0, kAbort, "Abort"},
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kRetry, "Retry"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kIgnore, "Ignore"},
  };
  SDL_MessageBoxData box{};
  box.flags = SDL_MESSAGEBOX_ERROR;
  box.window = nullptr;
  box.title = "Error: Assertion Failed";
  box.message = text.c_str();
  box.numbuttons = SDL_arraysize(buttons);
  box.buttons = buttons;
  int pressed = -1;
  // No button pressed means no dialog could be shown (SDL's fallback helper found no display).
  if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) {
    std::fprintf(stderr, "Error: Assertion Failed\n%s\n", text.c_str());
    std::fflush(stderr);
    return Util::AssertChoice::Ignore;
  }
  if (pressed == kAbort) return Util::AssertChoice::Abort;
  if (pressed == kRetry) return Util::AssertChoice::Retry;
  return Util::AssertChoice::Ignore;
}

}  // namespace

void InstallAssertDialog() { Util::SetAssertHandler(ShowDialog); }

}  // namespace Core
