#include "Playtest/Recorder.h"

#include <cstdarg>

#include "Core/KeyCodes.h"

namespace Play {
namespace {

const char* Bool(bool value) { return value ? "true" : "false"; }

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char line[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  return line;
}

int GameMouseButton(uint8_t button) {
  if (button == SDL_BUTTON_X1) return 6;
  if (button == SDL_BUTTON_X2) return 7;
  return button;
}

}  // namespace

bool Recorder::Open(const std::string& path, uint32_t seed) {
  Close(0);
  m_File = std::fopen(path.c_str(), "w");
  if (!m_File) return false;
  std::fprintf(m_File,
               "-- A recorded session: the input the game got, frame by frame. Run it with\n"
               "-- hollowmere-playtest to give the game the same input again.\n"
               "seed(%u)\n",
               seed);
  std::fflush(m_File);
  m_Frame = 1;
  m_Written = 1;
  m_Lines.clear();
  return true;
}

void Recorder::BeginFrame(uint32_t frame) {
  if (!m_File) return;
  if (frame != m_Frame) Flush();
  m_Frame = frame;
}

void Recorder::Line(const std::string& line) {
  if (m_File && !line.empty()) m_Lines.push_back(line);
}

void Recorder::Event(const SDL_Event& event) {
  if (!m_File) return;
  if (event.type == SDL_JOYDEVICEADDED && !m_Pad && SDL_IsGameController(event.jdevice.which) &&
      !SDL_JoystickIsVirtual(event.jdevice.which)) {
    OpenController(event.jdevice.which);
    Line("connect()");
    return;
  }
  if (event.type == SDL_JOYDEVICEREMOVED && m_Pad && event.jdevice.which == m_PadId) {
    SDL_GameControllerClose(m_Pad);
    m_Pad = nullptr;
    m_PadId = -1;
    Line("disconnect()");
    return;
  }
  Line(LineOf(event));
}

void Recorder::OpenController(int deviceIndex) {
  m_Pad = SDL_GameControllerOpen(deviceIndex);
  if (!m_Pad) return;
  m_PadId = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(m_Pad));
  // A freshly plugged pad of the play script's virtual kind rests at zero.
  for (int16_t& axis : m_Axes) axis = 0;
  for (bool& button : m_Buttons) button = false;
}

void Recorder::ReadController() {
  if (!m_File || !m_Pad) return;
  std::vector<std::string> changes;
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
    const auto button = static_cast<SDL_GameControllerButton>(b);
    const bool down = SDL_GameControllerGetButton(m_Pad, button) != 0;
    if (down == m_Buttons[b]) continue;
    m_Buttons[b] = down;
    changes.push_back(Format("pad_button(\"%s\", %s)", SDL_GameControllerGetStringForButton(button), Bool(down)));
  }
  for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a) {
    const auto axis = static_cast<SDL_GameControllerAxis>(a);
    const int16_t value = SDL_GameControllerGetAxis(m_Pad, axis);
    if (value == m_Axes[a]) continue;
    m_Axes[a] = value;
    changes.push_back(Format("pad_axis(\"%s\", %d)", SDL_GameControllerGetStringForAxis(axis), value));
  }
  // What the game read in the frame that just ran: set before that frame's input step.
  m_Lines.insert(m_Lines.end(), changes.begin(), changes.end());
}

std::string Recorder::LineOf(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const int code = Core::KeyCodeFromSdl(event.key.keysym.sym);
      if (code < 0 || event.key.repeat) return "";
      return Format("key(%d, %s)", code, Bool(event.type == SDL_KEYDOWN));
    }
    case SDL_MOUSEMOTION:
      return Format("mouse_move(%d, %d, %d, %d)", event.motion.xrel, event.motion.yrel, event.motion.x, event.motion.y);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return Format("mouse_button(%d, %s, %d, %d)", GameMouseButton(event.button.button),
                    Bool(event.type == SDL_MOUSEBUTTONDOWN), event.button.x, event.button.y);
    case SDL_MOUSEWHEEL: {
      const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      return notches ? Format("wheel(%d)", notches) : "";
    }
    case SDL_QUIT:
      return "push_quit()";
    case SDL_WINDOWEVENT:
      return event.window.event == SDL_WINDOWEVENT_CLOSE ? "close_window()" : "";
    default:
      return "";
  }
}

void Recorder::Flush() {
  if (!m_File || m_Lines.empty()) return;
  if (m_Frame > m_Written) std::fprintf(m_File, "wait(%u)\n", m_Frame - m_Written);
  m_Written = m_Frame;
  std::fprintf(m_File, "-- frame %u\n", m_Frame);
  for (const std::string& line : m_Lines) std::fprintf(m_File, "%s\n", line.c_str());
  m_Lines.clear();
  std::fflush(m_File);
}

void Recorder::Close(uint32_t lastFrame) {
  if (!m_File) return;
  Flush();
  if (m_Pad) SDL_GameControllerClose(m_Pad);
  m_Pad = nullptr;
  m_PadId = -1;
  // On to the session's last frame, however it ended: the replay ends with that frame too.
  if (lastFrame > m_Written) std::fprintf(m_File, "wait(%u)\n", lastFrame - m_Written);
  std::fclose(m_File);
  m_File = nullptr;
}

}  // namespace Play
