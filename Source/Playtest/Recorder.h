// Recorder: writes the input a session gave the game, frame by frame, as a play script that
// gives the game the same input again. Events are written as the feed queues them (the player's,
// put back before the input step, and the play script's own); a real controller's buttons and
// axes are read after each frame and written for the frame that read them; the play script's
// virtual controller is written as the calls that drive it. Each frame's lines reach the file
// once the frame is over, so a crash loses at most the frame it happened in.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace Play {

class Recorder {
 public:
  Recorder() = default;
  ~Recorder() { Close(m_Frame > 0 ? m_Frame - 1 : 0); }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Opens the file and writes the play script's head; false when it cannot be written.
  bool Open(const std::string& path, uint32_t seed);
  // Writes the frames not yet written and a wait to the end of the session's last frame.
  void Close(uint32_t lastFrame);
  bool IsOpen() const { return m_File != nullptr; }

  // Lines for the frame whose input step comes next.
  void BeginFrame(uint32_t frame);
  void Event(const SDL_Event& event);
  void Line(const std::string& line);
  // After the frame: a real controller's state as the game read it in that frame.
  void ReadController();

  // The play-script line of an event, or "" for an event the game does not read.
  static std::string LineOf(const SDL_Event& event);

 private:
  void Flush();
  void OpenController(int deviceIndex);

  std::FILE* m_File = nullptr;
  uint32_t m_Frame = 1;    // the frame being recorded
  uint32_t m_Written = 1;  // the frame the written script has reached
  std::vector<std::string> m_Lines;
  // A real controller (never the play script's virtual one) and the state last written for it.
  SDL_GameController* m_Pad = nullptr;
  SDL_JoystickID m_PadId = -1;
  int16_t m_Axes[SDL_CONTROLLER_AXIS_MAX] = {};
  bool m_Buttons[SDL_CONTROLLER_BUTTON_MAX] = {};
};

}  // namespace Play
