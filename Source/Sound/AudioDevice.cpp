#include "Sound/AudioDevice.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Snd {
namespace {

constexpr int kLoopbackRate = 48000;
constexpr float kSpeedOfSound = 343.3f;

// A file in memory as libsndfile's virtual I/O reads it; reads stop at its end.
struct MemoryFile {
  const char* m_Data;
  sf_count_t m_Length;
  sf_count_t m_At = 0;
};

sf_count_t MemoryLength(void* file) { return static_cast<MemoryFile*>(file)->m_Length; }
sf_count_t MemoryTell(void* file) { return static_cast<MemoryFile*>(file)->m_At; }
sf_count_t MemorySeek(sf_count_t offset, int whence, void* user) {
  MemoryFile& file = *static_cast<MemoryFile*>(user);
  const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? file.m_At : file.m_Length;
  if (base + offset < 0 || base + offset > file.m_Length) return -1;
  return file.m_At = base + offset;
}
sf_count_t MemoryRead(void* out, sf_count_t count, void* user) {
  MemoryFile& file = *static_cast<MemoryFile*>(user);
  count = std::max<sf_count_t>(0, std::min(count, file.m_Length - file.m_At));
  std::memcpy(out, file.m_Data + file.m_At, static_cast<size_t>(count));
  file.m_At += count;
  return count;
}

// The loopback device's entry points, fetched when a loopback system initialises.
LPALCLOOPBACKOPENDEVICESOFT s_OpenLoopback = nullptr;
LPALCISRENDERFORMATSUPPORTEDSOFT s_IsRenderFormatSupported = nullptr;
LPALCRENDERSAMPLESSOFT s_RenderSamples = nullptr;

bool FetchLoopback() {
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return false;
  s_OpenLoopback =
      reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  s_IsRenderFormatSupported =
      reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
  s_RenderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  return s_OpenLoopback && s_IsRenderFormatSupported && s_RenderSamples;
}

// The loopback channel layout of a speaker mode; 0 for one the loopback device cannot mix.
ALCint LoopbackChannels(AudioSpeakerMode mode) {
  switch (mode) {
    case kSpeakerMono:
      return ALC_MONO_SOFT;
    case kSpeakerRaw:
    case kSpeakerStereo:
      return ALC_STEREO_SOFT;
    case kSpeakerQuad:
      return ALC_QUAD_SOFT;
    case kSpeaker5Point1:
      return ALC_5POINT1_SOFT;
    case kSpeaker7Point1:
      return ALC_7POINT1_SOFT;
    default:
      return 0;
  }
}

int ChannelCount(AudioSpeakerMode mode) {
  switch (mode) {
    case kSpeakerMono:
      return 1;
    case kSpeakerQuad:
      return 4;
    case kSpeaker5Point1:
      return 6;
    case kSpeaker7Point1:
      return 8;
    default:
      return 2;
  }
}

// libsndfile reads a file whose data ends before its header says as the shorter sound, and notes
// "data : <header's length> (should be <real length>)" in its log.
bool DataCutShort(SNDFILE* sound) {
  char log[2048] = {};
  sf_command(sound, SFC_GET_LOG_INFO, log, sizeof log);
  const char* data = std::strstr(log, "data :");
  const char* end = data ? std::strchr(data, '\n') : nullptr;
  const char* note = data ? std::strstr(data, "(should be") : nullptr;
  return note && (!end || note < end);
}

ALCdevice* Device(void* device) { return static_cast<ALCdevice*>(device); }
ALCcontext* Context(void* context) { return static_cast<ALCcontext*>(context); }

}  // namespace

const char* AudioErrorText(AudioResult result) {
  switch (result) {
    case kAudioOk:
      return "No errors.";
    case kAudioErrBadCall:
      return "A call was made in the wrong state: the audio system is not initialised, or already is.";
    case kAudioErrChannelAlloc:
      return "Every channel is in use.";
    case kAudioErrFormat:
      return "The sound's data is not in a format that can be decoded, or is cut short.";
    case kAudioErrFileEmpty:
      return "The sound's file is missing, unreadable or empty.";
    case kAudioErrInvalidHandle:
      return "The channel or sound is not valid, or has stopped playing.";
    case kAudioErrInvalidParam:
      return "An invalid parameter was passed.";
    case kAudioErrInvalidPosition:
      return "The position is past the end of the sound.";
    case kAudioErrOutputInit:
      return "No audio output device could be opened.";
    case kAudioErrInternal:
      return "The mixer refused the request.";
    case kAudioErrUnsupported:
      return "The output does not support this.";
    case kAudioErrOutputFormat:
      return "The speaker mode is not supported by the output.";
  }
  return "Unknown error.";
}

AudioResult DecodeAudio(const char* data, size_t length, AudioMode mode, AudioPcm& pcm) {
  pcm = AudioPcm();
  if (!data || length == 0) return kAudioErrFileEmpty;
  MemoryFile file{data, static_cast<sf_count_t>(length)};
  SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, nullptr, MemoryTell};
  SF_INFO info{};
  SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &file);
  if (!sound) return kAudioErrFormat;
  if (DataCutShort(sound)) {
    sf_close(sound);
    return kAudioErrFormat;
  }
  const int channels = info.channels;
  const bool mono = (mode & kMode3D) != 0 || channels > 2;
  std::vector<int16_t> block(4096 * static_cast<size_t>(channels));
  sf_count_t read = 0;
  for (sf_count_t got; (got = sf_readf_short(sound, block.data(), 4096)) > 0;) {
    read += got;
    if (!mono) {
      pcm.m_Samples.insert(pcm.m_Samples.end(), block.begin(), block.begin() + got * channels);
      continue;
    }
    for (sf_count_t f = 0; f < got; ++f) {
      int sum = 0;
      for (int c = 0; c < channels; ++c) sum += block[static_cast<size_t>(f * channels + c)];
      pcm.m_Samples.push_back(static_cast<int16_t>(sum / channels));
    }
  }
  sf_close(sound);
  // A file that ends before the length its header promises was cut short.
  if (read == 0 || (info.frames != SF_COUNT_MAX && read < info.frames)) {
    pcm = AudioPcm();
    return kAudioErrFormat;
  }
  pcm.m_Channels = mono ? 1 : channels;
  pcm.m_Rate = info.samplerate;
  return kAudioOk;
}

// ---- Sounds -------------------------------------------------------------------------------------

AudioResult AudioSound::Set3DMinMaxDistance(float minimum, float maximum) {
  if (!(minimum > 0.0f) || !(maximum >= minimum)) return kAudioErrInvalidParam;
  m_MinDistance = minimum;
  m_MaxDistance = maximum;
  return kAudioOk;
}

AudioResult AudioSound::SetMode(AudioMode mode) {
  // Looping is the only part that may change; it holds for the sound's next plays.
  m_Mode = (m_Mode & ~(kModeLoopOff | kModeLoopNormal)) | (mode & (kModeLoopOff | kModeLoopNormal));
  return kAudioOk;
}

AudioResult AudioSound::GetMode(AudioMode* mode) const {
  if (!mode) return kAudioErrInvalidParam;
  *mode = m_Mode;
  return kAudioOk;
}

AudioResult AudioSound::GetLength(uint32_t* length, AudioTimeUnit unit) const {
  if (!length || m_Rate <= 0) return kAudioErrInvalidParam;
  *length =
      unit == kTimeUnitMs ? static_cast<uint32_t>(uint64_t{m_Frames} * 1000 / static_cast<uint64_t>(m_Rate)) : m_Frames;
  return kAudioOk;
}

AudioResult AudioSound::Release() {
  if (m_System) {
    for (AudioChannel& channel : m_System->m_Channels)
      if (channel.m_Sound == this) channel.Detach();
    alDeleteBuffers(1, &m_Buffer);
    m_System->Forget(this);
  }
  delete this;
  return kAudioOk;
}

// ---- Channels -----------------------------------------------------------------------------------

void AudioChannel::Detach() {
  alSourceStop(m_Source);
  alSourcei(m_Source, AL_BUFFER, 0);
  m_Sound = nullptr;
  m_Paused = false;
  m_Started = false;
  m_Offset = 0;
}

AudioResult AudioChannel::IsPlaying(bool* playing) {
  if (!playing) return kAudioErrInvalidParam;
  if (Live() && m_Started && !m_Paused) {
    ALint state = AL_STOPPED;
    alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
    if (state == AL_STOPPED) Detach();  // it played to its end: the channel is free again
  }
  *playing = Live();
  return kAudioOk;
}

AudioResult AudioChannel::Set3DAttributes(const Util::Vec3* position, const Util::Vec3* velocity) {
  if (!Live()) return kAudioErrInvalidHandle;
  if (position) alSource3f(m_Source, AL_POSITION, position->x, position->y, position->z);
  if (velocity) alSource3f(m_Source, AL_VELOCITY, velocity->x, velocity->y, velocity->z);
  return kAudioOk;
}

AudioResult AudioChannel::SetPaused(bool paused) {
  if (!Live()) return kAudioErrInvalidHandle;
  if (paused == m_Paused) return kAudioOk;
  m_Paused = paused;
  if (paused) {
    if (m_Started) alSourcePause(m_Source);
    return kAudioOk;
  }
  // A first start takes the offset set while it waited (the source holds it until it plays).
  alSourcePlay(m_Source);
  m_Started = true;
  return alGetError() == AL_NO_ERROR ? kAudioOk : kAudioErrInternal;
}

AudioResult AudioChannel::GetPaused(bool* paused) const {
  if (!paused) return kAudioErrInvalidParam;
  if (!Live()) return kAudioErrInvalidHandle;
  *paused = m_Paused;
  return kAudioOk;
}

AudioResult AudioChannel::SetVolume(float volume) {
  if (!Live()) return kAudioErrInvalidHandle;
  m_Volume = std::clamp(volume, 0.0f, 1.0f);
  alSourcef(m_Source, AL_GAIN, m_Volume);
  return kAudioOk;
}

AudioResult AudioChannel::GetVolume(float* volume) const {
  if (!volume) return kAudioErrInvalidParam;
  if (!Live()) return kAudioErrInvalidHandle;
  *volume = m_Volume;
  return kAudioOk;
}

AudioResult AudioChannel::Stop() {
  if (!Live()) return kAudioErrInvalidHandle;
  Detach();
  return kAudioOk;
}

AudioResult AudioChannel::GetCurrentSound(AudioSound** sound) const {
  if (!sound) return kAudioErrInvalidParam;
  *sound = Live() ? m_Sound : nullptr;
  return Live() ? kAudioOk : kAudioErrInvalidHandle;
}

AudioResult AudioChannel::GetPosition(uint32_t* position, AudioTimeUnit unit) const {
  if (!position) return kAudioErrInvalidParam;
  if (!Live()) return kAudioErrInvalidHandle;
  ALint frames = static_cast<ALint>(m_Offset);
  if (m_Started) alGetSourcei(m_Source, AL_SAMPLE_OFFSET, &frames);
  const uint64_t at = static_cast<uint64_t>(std::max(frames, 0));
  *position = static_cast<uint32_t>(unit == kTimeUnitMs ? at * 1000 / static_cast<uint64_t>(m_Sound->m_Rate) : at);
  return kAudioOk;
}

AudioResult AudioChannel::SetPosition(uint32_t position, AudioTimeUnit unit) {
  if (!Live()) return kAudioErrInvalidHandle;
  const uint64_t frames =
      unit == kTimeUnitMs ? uint64_t{position} * static_cast<uint64_t>(m_Sound->m_Rate) / 1000 : position;
  if (frames >= m_Sound->m_Frames) return kAudioErrInvalidPosition;
  m_Offset = static_cast<uint32_t>(frames);
  alSourcei(m_Source, AL_SAMPLE_OFFSET, static_cast<ALint>(frames));
  return alGetError() == AL_NO_ERROR ? kAudioOk : kAudioErrInternal;
}

// ---- The system ---------------------------------------------------------------------------------

AudioResult AudioSystem::Create(AudioSystem** system) {
  if (!system) return kAudioErrInvalidParam;
  *system = new AudioSystem();
  return kAudioOk;
}

AudioResult AudioSystem::Release() {
  Close();
  delete this;
  return kAudioOk;
}

AudioResult AudioSystem::SetOutput(AudioOutput output, const char* device) {
  if (m_Context) return kAudioErrBadCall;
  m_Output = output;
  m_DeviceName = device ? device : "";
  return kAudioOk;
}

AudioResult AudioSystem::GetVersion(uint32_t* version) const {
  if (!version) return kAudioErrInvalidParam;
  *version = kAudioVersion;
  return kAudioOk;
}

AudioResult AudioSystem::GetDriverCaps(int driver, uint32_t* caps, AudioSpeakerMode* controlPanelMode) const {
  if (driver != 0) return kAudioErrInvalidParam;
  // OpenAL Soft mixes everything itself and takes any buffer size it is given.
  if (caps) *caps = 0;
  if (controlPanelMode) *controlPanelMode = kSpeakerStereo;
  return kAudioOk;
}

AudioResult AudioSystem::SetSpeakerMode(AudioSpeakerMode mode) {
  if (m_Context) return kAudioErrBadCall;
  if (mode < kSpeakerRaw || mode > kSpeaker7Point1) return kAudioErrInvalidParam;
  m_SpeakerMode = mode;
  return kAudioOk;
}

AudioResult AudioSystem::GetSpeakerMode(AudioSpeakerMode* mode) const {
  if (!mode) return kAudioErrInvalidParam;
  *mode = m_SpeakerMode;
  return kAudioOk;
}

AudioResult AudioSystem::SetDSPBufferSize(uint32_t length, int buffers) {
  if (m_Context) return kAudioErrBadCall;
  if (length == 0 || buffers <= 0) return kAudioErrInvalidParam;
  // OpenAL Soft takes the mixing period as updates a second.
  m_Refresh = static_cast<int>((m_Rate ? m_Rate : kLoopbackRate) / static_cast<int>(length));
  return kAudioOk;
}

AudioResult AudioSystem::GetDriverInfo(int driver, char* name, int length) const {
  if (driver != 0 || !name || length <= 0) return kAudioErrInvalidParam;
  std::string text = "Loopback";
  if (m_Output == AudioOutput::Device) {
    const char* chosen = m_DeviceName.empty() ? alcGetString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER) : nullptr;
    text = m_DeviceName.empty() ? (chosen ? chosen : "default") : m_DeviceName;
  }
  text += " (OpenAL Soft)";
  std::snprintf(name, static_cast<size_t>(length), "%s", text.c_str());
  return kAudioOk;
}

AudioResult AudioSystem::SetSoftwareFormat(int rate, AudioFormat format, int inputChannels, int outputChannels,
                                           AudioResampler resampler) {
  if (m_Context) return kAudioErrBadCall;
  if (rate < 8000 || rate > 192000 || inputChannels < 0 || outputChannels < 0) return kAudioErrInvalidParam;
  // OpenAL Soft always mixes in float and picks its resampler from its own configuration.
  (void)format;
  (void)resampler;
  m_Rate = rate;
  return kAudioOk;
}

AudioResult AudioSystem::Init(int channels, uint32_t /*flags*/, void* /*extra*/) {
  if (m_Context) return kAudioErrBadCall;
  if (channels <= 0) return kAudioErrInvalidParam;
  std::vector<ALCint> attributes{ALC_MONO_SOURCES, channels, ALC_STEREO_SOURCES, channels};
  ALCdevice* device = nullptr;
  if (m_Output == AudioOutput::Loopback) {
    if (!FetchLoopback()) return kAudioErrUnsupported;
    const ALCint layout = LoopbackChannels(m_SpeakerMode);
    if (!m_Rate) m_Rate = kLoopbackRate;
    device = s_OpenLoopback(nullptr);
    if (!device) return kAudioErrOutputInit;
    if (!layout || !s_IsRenderFormatSupported(device, m_Rate, layout, ALC_FLOAT_SOFT)) {
      alcCloseDevice(device);
      return kAudioErrOutputFormat;
    }
    attributes.insert(attributes.end(), {ALC_FORMAT_CHANNELS_SOFT, layout, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT});
  } else {
    device = alcOpenDevice(m_DeviceName.empty() ? nullptr : m_DeviceName.c_str());
    if (!device) return kAudioErrOutputInit;
  }
  if (m_Rate) attributes.insert(attributes.end(), {ALC_FREQUENCY, m_Rate});
  if (m_Refresh) attributes.insert(attributes.end(), {ALC_REFRESH, m_Refresh});
  attributes.push_back(0);
  ALCcontext* context = alcCreateContext(device, attributes.data());
  if (!context || !alcMakeContextCurrent(context)) {
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    return kAudioErrOutputInit;
  }
  m_Device = device;
  m_Context = context;
  alcGetIntegerv(device, ALC_FREQUENCY, 1, &m_Rate);
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  alGetError();
  m_Channels.resize(static_cast<size_t>(channels));
  for (AudioChannel& channel : m_Channels) {
    alGenSources(1, &channel.m_Source);
    if (alGetError() != AL_NO_ERROR) {
      channel.m_Source = 0;
      Close();
      return kAudioErrInternal;
    }
  }
  return kAudioOk;
}

AudioResult AudioSystem::Set3DSettings(float doppler, float distanceFactor, float rolloff) {
  if (!m_Context) return kAudioErrBadCall;
  if (doppler < 0.0f || !(distanceFactor > 0.0f) || rolloff < 0.0f) return kAudioErrInvalidParam;
  alDopplerFactor(doppler);
  alSpeedOfSound(kSpeedOfSound * distanceFactor);
  m_Rolloff = rolloff;
  return kAudioOk;
}

AudioResult AudioSystem::CreateSound(const char* data, AudioMode mode, const AudioSoundInfo* info, AudioSound** sound) {
  if (!sound) return kAudioErrInvalidParam;
  *sound = nullptr;
  if (!m_Context) return kAudioErrBadCall;
  if (!(mode & kModeOpenMemoryPoint) || !info) return kAudioErrInvalidParam;
  AudioPcm decoded;
  AudioPcm* pcm = info->m_Decoded;
  if (!pcm || pcm->m_Samples.empty()) {
    const AudioResult result = DecodeAudio(data, info->m_Length, mode, decoded);
    if (result != kAudioOk) return result;
    pcm = &decoded;
  }
  if (pcm->m_Channels < 1 || pcm->m_Channels > 2 || ((mode & kMode3D) && pcm->m_Channels != 1))
    return kAudioErrInvalidParam;
  ALuint buffer = 0;
  alGetError();
  alGenBuffers(1, &buffer);
  alBufferData(buffer, pcm->m_Channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm->m_Samples.data(),
               static_cast<ALsizei>(pcm->m_Samples.size() * sizeof(int16_t)), pcm->m_Rate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return kAudioErrInternal;
  }
  AudioSound* made = new AudioSound();
  made->m_System = this;
  made->m_Buffer = buffer;
  made->m_Mode = mode;
  made->m_Rate = pcm->m_Rate;
  made->m_Frames = static_cast<uint32_t>(pcm->Frames());
  *pcm = AudioPcm();  // the mixer holds its own copy now
  m_Sounds.push_back(made);
  *sound = made;
  return kAudioOk;
}

AudioResult AudioSystem::PlaySound(int channelIndex, AudioSound* sound, bool paused, AudioChannel** channel) {
  if (!m_Context) return kAudioErrBadCall;
  if (!sound || sound->m_System != this) return kAudioErrInvalidHandle;
  AudioChannel* chosen = nullptr;
  if (channelIndex == kChannelReuse && channel && *channel) {
    chosen = *channel;
    if (chosen < m_Channels.data() || chosen >= m_Channels.data() + m_Channels.size()) return kAudioErrInvalidHandle;
  } else if (channelIndex >= 0) {
    if (static_cast<size_t>(channelIndex) >= m_Channels.size()) return kAudioErrInvalidParam;
    chosen = &m_Channels[static_cast<size_t>(channelIndex)];
  } else {
    // A channel nobody holds; failing that, one whose sound is over.
    for (AudioChannel& c : m_Channels)
      if (!c.m_HandedOut) {
        chosen = &c;
        break;
      }
    for (size_t i = 0; !chosen && i < m_Channels.size(); ++i) {
      bool playing = true;
      m_Channels[i].IsPlaying(&playing);
      if (!playing) chosen = &m_Channels[i];
    }
    if (!chosen) return kAudioErrChannelAlloc;
  }
  chosen->Detach();
  const ALuint source = chosen->m_Source;
  const bool positional = (sound->m_Mode & kMode3D) != 0;
  alSourcei(source, AL_BUFFER, static_cast<ALint>(sound->m_Buffer));
  alSourcei(source, AL_LOOPING, (sound->m_Mode & kModeLoopNormal) ? AL_TRUE : AL_FALSE);
  // A flat sound sits on the listener, so it is heard centred at full level.
  alSourcei(source, AL_SOURCE_RELATIVE, positional ? AL_FALSE : AL_TRUE);
  alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
  alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
  alSourcef(source, AL_REFERENCE_DISTANCE, sound->m_MinDistance);
  alSourcef(source, AL_MAX_DISTANCE, sound->m_MaxDistance);
  alSourcef(source, AL_ROLLOFF_FACTOR, positional ? m_Rolloff : 0.0f);
  alSourcef(source, AL_GAIN, 1.0f);
  chosen->m_Sound = sound;
  chosen->m_Volume = 1.0f;
  chosen->m_HandedOut = true;
  chosen->m_Paused = true;
  if (channel) *channel = chosen;
  return paused ? kAudioOk : chosen->SetPaused(false);
}

AudioResult AudioSystem::Set3DListenerAttributes(int listener, const Util::Vec3* position, const Util::Vec3* velocity,
                                                 const Util::Vec3* forward, const Util::Vec3* up) {
  if (!m_Context) return kAudioErrBadCall;
  if (listener != 0) return kAudioErrInvalidParam;
  if (position) alListener3f(AL_POSITION, position->x, position->y, position->z);
  if (velocity) alListener3f(AL_VELOCITY, velocity->x, velocity->y, velocity->z);
  if (forward && up) {
    // The mixer needs two directions that span a plane.
    if (Util::LengthSquared(Util::Cross(*forward, *up)) < 1e-12f) return kAudioErrInvalidParam;
    const ALfloat orientation[6] = {forward->x, forward->y, forward->z, up->x, up->y, up->z};
    alListenerfv(AL_ORIENTATION, orientation);
  }
  return kAudioOk;
}

AudioResult AudioSystem::Update() { return m_Context ? kAudioOk : kAudioErrBadCall; }

AudioResult AudioSystem::Close() {
  if (!m_Context) return kAudioOk;
  for (AudioChannel& channel : m_Channels)
    if (channel.m_Source) {
      channel.Detach();
      alDeleteSources(1, &channel.m_Source);
    }
  m_Channels.clear();
  // Sounds still held by their owners stay as empty shells that only Release.
  for (AudioSound* sound : m_Sounds) {
    alDeleteBuffers(1, &sound->m_Buffer);
    sound->m_System = nullptr;
  }
  m_Sounds.clear();
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(Context(m_Context));
  alcCloseDevice(Device(m_Device));
  m_Context = nullptr;
  m_Device = nullptr;
  return kAudioOk;
}

AudioResult AudioSystem::RenderLoopback(float* out, int frames) {
  if (!m_Context || m_Output != AudioOutput::Loopback) return kAudioErrBadCall;
  if (!out || frames < 0) return kAudioErrInvalidParam;
  s_RenderSamples(Device(m_Device), out, frames);
  return kAudioOk;
}

int AudioSystem::MixChannels() const { return m_Output == AudioOutput::Loopback ? ChannelCount(m_SpeakerMode) : 2; }

void AudioSystem::Forget(AudioSound* sound) {
  m_Sounds.erase(std::remove(m_Sounds.begin(), m_Sounds.end(), sound), m_Sounds.end());
}

}  // namespace Snd
