#include "Support/VirtualController.h"

namespace Testing {

VirtualController::VirtualController() {
  m_Started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  if (!m_Started) return;
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Hollowmere test pad";
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index >= 0) m_Joystick = SDL_JoystickOpen(index);
}

VirtualController::~VirtualController() {
  Unplug();
  if (m_Started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void VirtualController::SetButton(SDL_GameControllerButton button, bool down) {
  if (m_Joystick) SDL_JoystickSetVirtualButton(m_Joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
}

void VirtualController::SetAxis(SDL_GameControllerAxis axis, int16_t value) {
  if (m_Joystick) SDL_JoystickSetVirtualAxis(m_Joystick, axis, value);
}

void VirtualController::Unplug() {
  if (!m_Joystick) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(m_Joystick);
  SDL_JoystickClose(m_Joystick);
  m_Joystick = nullptr;
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) != id) continue;
    SDL_JoystickDetachVirtual(i);
    break;
  }
}

}  // namespace Testing
