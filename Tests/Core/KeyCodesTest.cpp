// SDL2 keys against SDL 1.2's numbers, which the key bit sets and the scripts use.
#include "Core/KeyCodes.h"

#include <SDL.h>
#include <gtest/gtest.h>

using Core::KeyCodeFromSdl;

TEST(KeyCodes, CharacterKeysKeepTheirCharacterNamedKeysTakeSdl12NumbersAndOthersNone) {
  for (SDL_Keycode key = SDLK_a; key <= SDLK_z; ++key) EXPECT_EQ(KeyCodeFromSdl(key), key);
  for (SDL_Keycode key = SDLK_0; key <= SDLK_9; ++key) EXPECT_EQ(KeyCodeFromSdl(key), key);
  const SDL_Keycode functionKeys[] = {SDLK_F1, SDLK_F2,  SDLK_F3,  SDLK_F4,  SDLK_F5,  SDLK_F6,  SDLK_F7, SDLK_F8,
                                      SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12, SDLK_F13, SDLK_F14, SDLK_F15};
  for (int i = 0; i < 15; ++i) EXPECT_EQ(KeyCodeFromSdl(functionKeys[i]), 282 + i) << "F" << i + 1;
  const struct {
    SDL_Keycode sdl;
    int code;  // SDL 1.2's number, -1 for none
  } keys[] = {
      // clang-format off
      // ASCII keys keep their character; 0xE9 is a Latin-1 letter, one of SDL 1.2's "world" keys.
      {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9}, {SDLK_RETURN, 13}, {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32}, {SDLK_COMMA, 44},
      {SDLK_SLASH, 47}, {SDLK_LEFTBRACKET, 91}, {SDLK_BACKQUOTE, 96}, {SDLK_DELETE, 127}, {0xE9, 0xE9},
      // Named keys.
      {SDLK_UP, 273}, {SDLK_DOWN, 274}, {SDLK_RIGHT, 275}, {SDLK_LEFT, 276}, {SDLK_RSHIFT, 303}, {SDLK_LSHIFT, 304},
      {SDLK_RCTRL, 305}, {SDLK_LCTRL, 306}, {SDLK_RALT, 307}, {SDLK_LALT, 308}, {SDLK_KP_0, 256}, {SDLK_KP_9, 265},
      {SDLK_KP_ENTER, 271}, {SDLK_INSERT, 277}, {SDLK_PAGEDOWN, 281}, {SDLK_NUMLOCKCLEAR, 300}, {SDLK_PAUSE, 19},
      {SDLK_UNDO, 322},
      // None in SDL 1.2; 0x3B1 is a Greek letter.
      {SDLK_UNKNOWN, -1}, {SDLK_AUDIOPLAY, -1}, {SDLK_F24, -1}, {1, -1}, {-5, -1}, {0x3B1, -1},
      // clang-format on
  };
  for (const auto& key : keys) EXPECT_EQ(KeyCodeFromSdl(key.sdl), key.code) << key.sdl;
}

TEST(KeyCodes, NoSdl2KeyLandsOutsideTheBitSets) {
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    const int code = KeyCodeFromSdl(SDL_SCANCODE_TO_KEYCODE(scancode));
    EXPECT_TRUE(code >= -1 && code < Core::kKeyCount) << scancode;
  }
  for (SDL_Keycode key = 0; key < 0x11000; ++key) {
    const int code = KeyCodeFromSdl(key);
    ASSERT_TRUE(code >= -1 && code < Core::kKeyCount) << key;
  }
}
