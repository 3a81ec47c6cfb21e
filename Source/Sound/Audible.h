// Audible: the loaded asset of one sound descriptor, and the descriptor's reading. Private to the
// sound engine.
//
// A descriptor is one line of four words: path, kind, dimension, flag, for example
// "../../Assets/Sounds/dodod_jump.mp3 sound 2D blocking". Kind "music" loops, dimension "3D"
// positions, flag "hardware" asks for hardware mixing and "blocking" for loading before the game
// goes on (otherwise the worker opens it in the background). The whole line names the sound.
//
// An Audible is built from its descriptor on either thread (the worker's open job, or the main
// thread for blocking sounds): it reads the file through the file layer and decodes it. Complete,
// on the main thread, hands the decoded sound to the audio device; a file that is missing or
// cannot be decoded is reported then, and the Audible stays without a sound.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "Sound/AudioDevice.h"

namespace Snd {

struct SoundDescriptor {
  std::string m_Path;
  bool m_Music = false;
  bool m_3D = false;
  bool m_Hardware = false;
  bool m_Blocking = false;
};

// False when the line does not hold four words.
bool ParseDescriptor(const std::string& line, SoundDescriptor& descriptor);

// Reports a failed audio call through the error log (the word, the code and its text, and what it
// was about); true when the call succeeded.
bool AudioCheck(AudioResult result, const std::string& subject = std::string());

class Audible {
 public:
  // Any thread: touches no system.
  explicit Audible(const std::string& descriptor);
  ~Audible();
  Audible(const Audible&) = delete;
  Audible& operator=(const Audible&) = delete;

  // Main thread: makes the device sound, or reports why there is none.
  void Complete();

  const std::string& Descriptor() const { return m_Descriptor; }
  const SoundDescriptor& Parsed() const { return m_Parsed; }
  // Null until completed, and for a file that could not be loaded.
  AudioSound* GetSound() const { return m_Sound; }

 private:
  std::string m_Descriptor;
  SoundDescriptor m_Parsed;
  std::unique_ptr<char[]> m_Data;
  size_t m_Length = 0;
  AudioPcm m_Pcm;
  AudioResult m_Decoded = kAudioErrFileEmpty;
  AudioSound* m_Sound = nullptr;
};

}  // namespace Snd
