// SDL2 keys against SDL 1.2's numbers, which the key bit sets and the scripts use.
#include <SDL.h>
#include <gtest/gtest.h>

#include "Core/KeyCodes.h"

using Core::KeyCodeFromSdl;

TEST(KeyCodes, CharacterKeysKeepTheirCharacter) {
  for (SDL_Keycode key = SDLK_a; key <= SDLK_z; ++key) EXPECT_EQ(KeyCodeFromSdl(key), key);
  for (SDL_Keycode key = SDLK_0; key <= SDLK_9; ++key) EXPECT_EQ(KeyCodeFromSdl(key), key);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_a), 97);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_z), 122);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_0), 48);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_BACKSPACE), 8);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_TAB), 9);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_RETURN), 13);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_ESCAPE), 27);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_SPACE), 32);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_COMMA), 44);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_SLASH), 47);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_LEFTBRACKET), 91);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_BACKQUOTE), 96);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_DELETE), 127);
  EXPECT_EQ(KeyCodeFromSdl(0xE9), 0xE9);  // a Latin-1 letter: one of SDL 1.2's "world" keys
}

TEST(KeyCodes, NamedKeysTakeSdl12Numbers) {
  EXPECT_EQ(KeyCodeFromSdl(SDLK_UP), 273);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_DOWN), 274);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_RIGHT), 275);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_LEFT), 276);
  const SDL_Keycode functionKeys[] = {SDLK_F1, SDLK_F2,  SDLK_F3,  SDLK_F4,  SDLK_F5,  SDLK_F6,  SDLK_F7, SDLK_F8,
                                      SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12, SDLK_F13, SDLK_F14, SDLK_F15};
  for (int i = 0; i < 15; ++i) EXPECT_EQ(KeyCodeFromSdl(functionKeys[i]), 282 + i) << "F" << i + 1;
  EXPECT_EQ(KeyCodeFromSdl(SDLK_RSHIFT), 303);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_LSHIFT), 304);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_RCTRL), 305);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_LCTRL), 306);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_RALT), 307);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_LALT), 308);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_KP_0), 256);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_KP_9), 265);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_KP_ENTER), 271);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_INSERT), 277);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_PAGEDOWN), 281);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_NUMLOCKCLEAR), 300);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_PAUSE), 19);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_UNDO), 322);
}

TEST(KeyCodes, KeysWithoutAnSdl12NumberAreLeftOut) {
  EXPECT_EQ(KeyCodeFromSdl(SDLK_UNKNOWN), -1);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_AUDIOPLAY), -1);
  EXPECT_EQ(KeyCodeFromSdl(SDLK_F24), -1);
  EXPECT_EQ(KeyCodeFromSdl(1), -1);
  EXPECT_EQ(KeyCodeFromSdl(0x3B1), -1);  // a Greek letter
  EXPECT_EQ(KeyCodeFromSdl(-5), -1);
}

TEST(KeyCodes, NoSdl2KeyLandsOutsideTheBitSets) {
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    const SDL_Keycode key = SDL_SCANCODE_TO_KEYCODE(scancode);
    const int code = KeyCodeFromSdl(key);
    EXPECT_GE(code, -1);
    EXPECT_LT(code, Core::kKeyCount) << SDL_GetKeyName(key);
  }
  for (SDL_Keycode key = 0; key < 0x11000; ++key) {
    const int code = KeyCodeFromSdl(key);
    ASSERT_TRUE(code == -1 || (code >= 0 && code < Core::kKeyCount)) << key;
  }
}
