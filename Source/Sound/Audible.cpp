#include "Sound/Audible.h"

#include <sstream>

#include "Sound/SoundEngine.h"
#include "Util/FileAccess.h"

namespace Snd {
namespace {

// Positional sounds are heard at full level within this distance and not beyond the other.
constexpr float kMinDistance = 0.5f;
constexpr float kMaxDistance = 5000.0f;

AudioMode ModeOf(const SoundDescriptor& d) {
  return kModeOpenMemoryPoint | kModeCompressedSample | kModeSoftware | (d.m_3D ? kMode3D : 0) |
         (d.m_Music ? kModeLoopNormal : 0);
}

}  // namespace

bool ParseDescriptor(const std::string& line, SoundDescriptor& descriptor) {
  std::istringstream in(line);
  std::string kind, dimension, flag, extra;
  if (!(in >> descriptor.m_Path >> kind >> dimension >> flag) || (in >> extra)) return false;
  descriptor.m_Music = kind == "music";
  descriptor.m_3D = dimension == "3D";
  descriptor.m_Hardware = flag == "hardware";
  descriptor.m_Blocking = flag == "blocking";
  return true;
}

Audible::Audible(const std::string& descriptor) : m_Descriptor(descriptor) {
  if (!ParseDescriptor(descriptor, m_Parsed)) return;
  m_Data = Util::LoadBinaryFile(m_Parsed.m_Path.c_str(), m_Length);
  m_Decoded = DecodeAudio(m_Data.get(), m_Length, ModeOf(m_Parsed), m_Pcm);
}

Audible::~Audible() {
  if (m_Sound) m_Sound->Release();
}

void Audible::Complete() {
  AudioSystem* system = SoundEngine::Exists() ? SoundEngine::Instance().Device() : nullptr;
  if (!system || m_Sound) return;
  AudioSoundInfo info;
  info.m_Length = static_cast<uint32_t>(m_Length);
  info.m_Decoded = m_Decoded == kAudioOk ? &m_Pcm : nullptr;
  AudioSound* sound = nullptr;
  AudioResult result = system->CreateSound(m_Data.get(), ModeOf(m_Parsed), &info, &sound);
  if (result == kAudioOk) result = sound->Set3DMinMaxDistance(kMinDistance, kMaxDistance);
  m_Data.reset();
  m_Length = 0;
  m_Pcm = AudioPcm();
  if (AudioCheck(result, m_Parsed.m_Path)) {
    m_Sound = sound;
  } else if (sound) {
    sound->Release();
  }
}

}  // namespace Snd
