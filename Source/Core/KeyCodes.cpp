#include "Core/KeyCodes.h"

#include <SDL.h>

namespace Core {
namespace {

// SDL2 keys outside the character range, against their SDL 1.2 numbers. SDL 1.2's left and right
// meta (309, 310), compose (314) and break (318) have no SDL2 key.
struct KeyPair {
  SDL_Keycode sdl;
  int code;
};

const KeyPair kNamedKeys[] = {
    {SDLK_CLEAR, 12},      {SDLK_PAUSE, 19},        {SDLK_KP_0, 256},        {SDLK_KP_1, 257},
    {SDLK_KP_2, 258},      {SDLK_KP_3, 259},        {SDLK_KP_4, 260},        {SDLK_KP_5, 261},
    {SDLK_KP_6, 262},      {SDLK_KP_7, 263},        {SDLK_KP_8, 264},        {SDLK_KP_9, 265},
    {SDLK_KP_PERIOD, 266}, {SDLK_KP_DIVIDE, 267},   {SDLK_KP_MULTIPLY, 268}, {SDLK_KP_MINUS, 269},
    {SDLK_KP_PLUS, 270},   {SDLK_KP_ENTER, 271},    {SDLK_KP_EQUALS, 272},   {SDLK_UP, 273},
    {SDLK_DOWN, 274},      {SDLK_RIGHT, 275},       {SDLK_LEFT, 276},        {SDLK_INSERT, 277},
    {SDLK_HOME, 278},      {SDLK_END, 279},         {SDLK_PAGEUP, 280},      {SDLK_PAGEDOWN, 281},
    {SDLK_F1, 282},        {SDLK_F2, 283},          {SDLK_F3, 284},          {SDLK_F4, 285},
    {SDLK_F5, 286},        {SDLK_F6, 287},          {SDLK_F7, 288},          {SDLK_F8, 289},
    {SDLK_F9, 290},        {SDLK_F10, 291},         {SDLK_F11, 292},         {SDLK_F12, 293},
    {SDLK_F13, 294},       {SDLK_F14, 295},         {SDLK_F15, 296},         {SDLK_NUMLOCKCLEAR, 300},
    {SDLK_CAPSLOCK, 301},  {SDLK_SCROLLLOCK, 302},  {SDLK_RSHIFT, 303},      {SDLK_LSHIFT, 304},
    {SDLK_RCTRL, 305},     {SDLK_LCTRL, 306},       {SDLK_RALT, 307},        {SDLK_LALT, 308},
    {SDLK_LGUI, 311},  // SDL 1.2's left "super" (Windows) key
    {SDLK_RGUI, 312},      {SDLK_MODE, 313},        {SDLK_HELP, 315},        {SDLK_PRINTSCREEN, 316},
    {SDLK_SYSREQ, 317},    {SDLK_APPLICATION, 319},                 // the context-menu key, SDL 1.2's menu key
    {SDLK_MENU, 319},      {SDLK_POWER, 320},       {0x20AC, 321},  // the euro sign, a character key in SDL2
    {SDLK_UNDO, 322},
};

// SDL2 numbers character keys by their character. SDL 1.2 gave the same numbers to the ASCII
// keys and its "world" numbers 160 to 255 to the Latin-1 characters.
bool IsSharedCharacter(SDL_Keycode key) {
  return key == SDLK_BACKSPACE || key == SDLK_TAB || key == SDLK_RETURN || key == SDLK_ESCAPE ||
         (key >= SDLK_SPACE && key <= SDLK_DELETE) || (key >= 160 && key <= 255);
}

}  // namespace

int KeyCodeFromSdl(int32_t sdlKey) {
  if (IsSharedCharacter(sdlKey)) return sdlKey;
  for (const KeyPair& pair : kNamedKeys) {
    if (pair.sdl == sdlKey) return pair.code;
  }
  return -1;
}

int32_t SdlKeyFromCode(int code) {
  if (code < 0 || code >= kKeyCount) return 0;
  if (IsSharedCharacter(code)) return code;
  for (const KeyPair& pair : kNamedKeys) {
    if (pair.code == code) return pair.sdl;
  }
  return 0;
}

}  // namespace Core
