// AudioDevice: the sound engine's audio system, shaped like the calls the engine makes on it:
// a system that is created, set up and initialised with a number of channels; sounds made from
// a file's bytes in memory; channels that play one sound each; the 3D listener.
//
// Behind it, OpenAL Soft mixes and libsndfile decodes (MP3, Ogg Vorbis, WAV and what else
// libsndfile reads). Positional (3D) sounds are mixed down to mono when decoded, as OpenAL
// positions only mono sources; flat (2D) sounds keep their channels and play centred. Distances
// fall off as the inverse of the distance beyond a sound's minimum, up to its maximum. The
// coordinate system is the game's own (right-handed, like OpenGL): with forward (0, 0, -1) and up
// (0, 1, 0), +x is to the listener's right.
//
// Two outputs: the default device (or a named one), and OpenAL Soft's loopback device, which mixes
// only when asked (RenderLoopback), for tests and measurements. Every call returns a result code;
// AudioErrorText names it. Nothing here touches the engine's singletons. DecodeAudio may run on
// any thread; everything else runs on the thread that created the system. One system at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Util/Vec3.h"

namespace Snd {

enum AudioResult : int {
  kAudioOk = 0,
  kAudioErrBadCall = 1,          // the system is not in the state the call needs
  kAudioErrChannelAlloc = 2,     // every channel is handed out
  kAudioErrFormat = 3,           // the data is no sound file libsndfile can decode
  kAudioErrFileEmpty = 4,        // no bytes: the file was missing, unreadable or empty
  kAudioErrInvalidHandle = 5,    // no such channel or sound, or it stopped playing
  kAudioErrInvalidParam = 6,     // an argument out of range
  kAudioErrInvalidPosition = 7,  // a position past the sound's end
  kAudioErrOutputInit = 8,       // the output device could not be opened or mixed for
  kAudioErrInternal = 9,         // the mixer refused a request
  kAudioErrUnsupported = 10,     // the output lacks a feature the call needs
  kAudioErrOutputFormat = 57,    // the speaker mode is not supported by the output
};
const char* AudioErrorText(AudioResult result);

// The interface level this layer honours; the engine asks for at least this.
constexpr uint32_t kAudioVersion = 0x00041807;

enum class AudioOutput { Device, Loopback };

using AudioMode = uint32_t;
constexpr AudioMode kModeLoopOff = 0x1;
constexpr AudioMode kModeLoopNormal = 0x2;
constexpr AudioMode kMode2D = 0x8;
constexpr AudioMode kMode3D = 0x10;
constexpr AudioMode kModeHardware = 0x20;
constexpr AudioMode kModeSoftware = 0x40;
constexpr AudioMode kModeCompressedSample = 0x200;
constexpr AudioMode kModeOpenMemoryPoint = 0x10000000;

enum AudioSpeakerMode : int {
  kSpeakerRaw = 0,
  kSpeakerMono = 1,
  kSpeakerStereo = 2,
  kSpeakerQuad = 3,
  kSpeakerSurround = 4,
  kSpeaker5Point1 = 5,
  kSpeaker7Point1 = 6,
};

// Capability bits of a driver.
constexpr uint32_t kCapsEmulated = 0x2;  // no mixing of its own: wants larger buffers

enum AudioFormat : int { kFormatPcm16 = 2, kFormatPcmFloat = 5 };
enum AudioResampler : int { kResamplerNone = 0, kResamplerLinear = 1, kResamplerCubic = 2 };
enum AudioTimeUnit : int { kTimeUnitMs = 1, kTimeUnitPcm = 2 };

// Channel indices for PlaySound.
constexpr int kChannelFree = -1;   // any free channel
constexpr int kChannelReuse = -2;  // the channel passed in, or a free one when it is null

// Sound data decoded to 16-bit PCM, interleaved.
struct AudioPcm {
  std::vector<int16_t> m_Samples;
  int m_Channels = 0;
  int m_Rate = 0;
  size_t Frames() const { return m_Channels > 0 ? m_Samples.size() / static_cast<size_t>(m_Channels) : 0; }
};

// Decodes a sound file held in memory; with kMode3D the channels are mixed down to mono. Any
// thread: it touches no device.
AudioResult DecodeAudio(const char* data, size_t length, AudioMode mode, AudioPcm& pcm);

// Extra information for CreateSound from memory.
struct AudioSoundInfo {
  int m_Size = 108;               // the size field the engine fills in, as its callers do
  uint32_t m_Length = 0;          // bytes of the file in memory
  AudioPcm* m_Decoded = nullptr;  // already decoded (DecodeAudio with the same mode); taken over
};

class AudioSystem;

class AudioSound {
 public:
  AudioResult Set3DMinMaxDistance(float minimum, float maximum);
  AudioResult SetMode(AudioMode mode);
  AudioResult GetMode(AudioMode* mode) const;
  // In the unit asked for: milliseconds or PCM frames.
  AudioResult GetLength(uint32_t* length, AudioTimeUnit unit) const;
  // Stops every channel playing it and frees it; the pointer is dead afterwards.
  AudioResult Release();

 private:
  friend class AudioSystem;
  friend class AudioChannel;
  AudioSound() = default;
  ~AudioSound() = default;

  AudioSystem* m_System = nullptr;  // null once the system closed
  unsigned m_Buffer = 0;
  AudioMode m_Mode = 0;
  int m_Rate = 0;
  uint32_t m_Frames = 0;
  float m_MinDistance = 1.0f;
  float m_MaxDistance = 10000.0f;
};

class AudioChannel {
 public:
  AudioResult Set3DAttributes(const Util::Vec3* position, const Util::Vec3* velocity);
  AudioResult SetPaused(bool paused);
  AudioResult GetPaused(bool* paused) const;
  AudioResult SetVolume(float volume);  // 0 to 1
  AudioResult GetVolume(float* volume) const;
  // True while a sound is on the channel, paused or not, and has not ended.
  AudioResult IsPlaying(bool* playing);
  AudioResult Stop();
  AudioResult GetCurrentSound(AudioSound** sound) const;
  AudioResult GetPosition(uint32_t* position, AudioTimeUnit unit) const;
  AudioResult SetPosition(uint32_t position, AudioTimeUnit unit);

 private:
  friend class AudioSystem;
  friend class AudioSound;
  bool Live() const { return m_Sound && m_Sound->m_System; }
  void Detach();

  unsigned m_Source = 0;
  AudioSound* m_Sound = nullptr;
  bool m_Paused = false;
  bool m_Started = false;  // played since the sound was put on; before that the offset waits
  bool m_HandedOut = false;
  uint32_t m_Offset = 0;  // frames, for a channel not started yet
  float m_Volume = 1.0f;
};

class AudioSystem {
 public:
  static AudioResult Create(AudioSystem** system);
  // Closes if needed and frees the system; the pointer is dead afterwards.
  AudioResult Release();

  // Before Init: which output, and for the device which one by name (null: the default).
  AudioResult SetOutput(AudioOutput output, const char* device = nullptr);
  AudioResult GetVersion(uint32_t* version) const;
  AudioResult GetDriverCaps(int driver, uint32_t* caps, AudioSpeakerMode* controlPanelMode) const;
  AudioResult SetSpeakerMode(AudioSpeakerMode mode);
  AudioResult GetSpeakerMode(AudioSpeakerMode* mode) const;
  AudioResult SetDSPBufferSize(uint32_t length, int buffers);
  AudioResult GetDriverInfo(int driver, char* name, int length) const;
  AudioResult SetSoftwareFormat(int rate, AudioFormat format, int inputChannels, int outputChannels,
                                AudioResampler resampler);
  // Opens the output and makes `channels` channels; the flags are accepted and have no effect here.
  AudioResult Init(int channels, uint32_t flags, void* extra);
  AudioResult Set3DSettings(float doppler, float distanceFactor, float rolloff);

  // With kModeOpenMemoryPoint `data` is a file's bytes (info gives their length, or the decoded
  // sound); kModeLoopNormal loops, kMode3D positions it.
  AudioResult CreateSound(const char* data, AudioMode mode, const AudioSoundInfo* info, AudioSound** sound);
  // Puts the sound on a channel (see kChannelReuse), paused or playing, at full volume.
  AudioResult PlaySound(int channelIndex, AudioSound* sound, bool paused, AudioChannel** channel);
  AudioResult Set3DListenerAttributes(int listener, const Util::Vec3* position, const Util::Vec3* velocity,
                                      const Util::Vec3* forward, const Util::Vec3* up);
  AudioResult Update();
  AudioResult Close();

  // The loopback output: mixes `frames` frames of interleaved float samples into `out`.
  AudioResult RenderLoopback(float* out, int frames);
  int MixRate() const { return m_Rate; }
  int MixChannels() const;

 private:
  friend class AudioSound;
  friend class AudioChannel;
  AudioSystem() = default;
  ~AudioSystem() = default;
  void Forget(AudioSound* sound);

  AudioOutput m_Output = AudioOutput::Device;
  std::string m_DeviceName;
  AudioSpeakerMode m_SpeakerMode = kSpeakerStereo;
  int m_Rate = 0;     // 0: the output's own
  int m_Refresh = 0;  // mixing updates a second; 0: the output's own
  void* m_Device = nullptr;
  void* m_Context = nullptr;
  float m_Rolloff = 1.0f;
  std::vector<AudioChannel> m_Channels;  // sized once by Init, so pointers to them stay valid
  std::vector<AudioSound*> m_Sounds;
};

}  // namespace Snd
