#include "Sound/SoundEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "Core/Clock.h"
#include "Game/Entity.h"
#include "Game/EntityDefinition.h"
#include "Messaging/Messages.h"
#include "Sound/Audible.h"
#include "Sound/Sound.h"
#include "Util/ErrorLog.h"
#include "Util/Job.h"
#include "Util/Worker.h"
#include "Util/XmlReader.h"

namespace Snd {
namespace {

constexpr const char kCatalogue[] = "../../Assets/Xml/allsounds.xml";
constexpr const char kSounds[] = "../../Assets/Sounds/";
constexpr const char kVineGrowth[] = "../../Assets/Sounds/vine_growth.mp3";
constexpr const char kEndMusic1[] = "../../Assets/Sounds/music_end_1.mp3";
constexpr const char kEndMusic2[] = "../../Assets/Sounds/music_end_2.mp3";
const char* const kCategories[] = {"Music_3D", "Music_2D", "Sound_3D", "Sound_2D", "Layered_Music", "Firefly_Sound"};

constexpr int kChannels = 100;
constexpr uint32_t kInitFlags = 0x200;
constexpr int kDriverNameLength = 256;
constexpr uint32_t kDSPBufferLength = 1024;
constexpr int kDSPBuffers = 10;
constexpr int kSigmaTelRate = 48000;
// Without the output's own attenuation a positional voice is heard at this over its distance.
constexpr float kAttenuation = 40.0f;
const Util::Vec3 kStill{};

template <class T>
bool Contains(const std::vector<T*>& list, const T* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}
template <class T>
void AddOnce(std::vector<T*>& list, T* item) {
  if (!Contains(list, item)) list.push_back(item);
}
template <class T>
void Remove(std::vector<T*>& list, const T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

const char* TextOf(const Msg::Text& text) { return text.Get() ? text.Get() : ""; }

// The words of a text, one space apart: how a descriptor names its sound.
std::string Words(const std::string& text) {
  std::istringstream in(text);
  std::string words;
  for (std::string word; in >> word;) words += (words.empty() ? "" : " ") + word;
  return words;
}

}  // namespace

// A sound of the catalogue: loading (its job has not come back), ready, or failed (reported).
struct SoundEngine::Entry {
  enum class State { Loading, Ready, Failed };
  std::string m_Descriptor;
  SoundDescriptor m_Parsed;
  std::unique_ptr<Audible> m_Audible;
  State m_State = State::Loading;
};

bool AudioCheck(AudioResult result, const std::string& subject) {
  if (result == kAudioOk) return true;
  char line[512];
  std::snprintf(line, sizeof line, "FMOD error! (%d) %s%s%s\n", static_cast<int>(result), AudioErrorText(result),
                subject.empty() ? "" : " ", subject.c_str());
  Util::ErrorLog::Instance().Error(line);
  return false;
}

SoundEngine::SoundEngine() : Singleton(true) {
  for (Voice& voice : m_Sound3D) voice.m_3D = true;
  for (Voice& voice : m_Music3D) voice.m_3D = true;
}

SoundEngine::~SoundEngine() { Close(); }

void SoundEngine::SelectOutput(AudioOutput output, const char* device) {
  m_Output = output;
  m_DeviceName = device ? device : "";
}

// ---- Start-up and shutdown ----------------------------------------------------------------------

void SoundEngine::Init() {
  if (m_Initialised) return;
  m_Initialised = true;
  // Entities carry sound components whether or not there is a device to hear them on.
  Game::RegisterElementBuilder("Sound", &Sound::Build);
  if (!SetUp()) {
    Silence();
    return;
  }
  LoadCatalogue();
  Play(m_Special[kVineGrowthVoice], kVineGrowth, Start::Paused);
}

// The audio system from creation to its 3D settings; false (reported) at the first failure.
bool SoundEngine::SetUp() {
  if (!AudioCheck(AudioSystem::Create(&m_System))) return false;
  AudioSystem& system = *m_System;
  uint32_t version = 0;
  if (!AudioCheck(system.SetOutput(m_Output, m_DeviceName.empty() ? nullptr : m_DeviceName.c_str())) ||
      !AudioCheck(system.GetVersion(&version)))
    return false;
  if (version < kAudioVersion) {
    char line[128];
    std::snprintf(line, sizeof line, "FMOD version %08x found, %08x required\n", version, kAudioVersion);
    Util::ErrorLog::Instance().Error(line);
    return false;
  }
  uint32_t caps = 0;
  AudioSpeakerMode mode = kSpeakerStereo;
  if (!AudioCheck(system.GetDriverCaps(0, &caps, &mode)) || !AudioCheck(system.SetSpeakerMode(mode))) return false;
  if ((caps & kCapsEmulated) && !AudioCheck(system.SetDSPBufferSize(kDSPBufferLength, kDSPBuffers))) return false;
  if (!AudioCheck(system.GetSpeakerMode(&mode))) return false;
  if (mode < kSpeakerQuad) m_UseFmod3D = false;
  char name[kDriverNameLength] = {};
  if (!AudioCheck(system.GetDriverInfo(0, name, kDriverNameLength))) return false;
  if (std::strstr(name, "SigmaTel")) {
    if (!AudioCheck(system.SetSoftwareFormat(kSigmaTelRate, kFormatPcmFloat, 0, 0, kResamplerLinear))) return false;
  } else if (std::strstr(name, "OpenAL Soft")) {
    // OpenAL Soft's own software mixer places and attenuates correctly on any speaker layout.
    m_UseFmod3D = true;
  }
  AudioResult result = system.Init(kChannels, kInitFlags, nullptr);
  if (result == kAudioErrOutputFormat) {
    if (!AudioCheck(system.SetSpeakerMode(kSpeakerStereo))) return false;
    result = system.Init(kChannels, kInitFlags, nullptr);
  }
  return AudioCheck(result) && AudioCheck(system.Set3DSettings(1.0f, 1.0f, 1.0f));
}

void SoundEngine::Silence() {
  if (m_System) m_System->Release();
  m_System = nullptr;
}

void SoundEngine::Close() {
  if (m_Initialised) Game::RegisterElementBuilder("Sound", nullptr);
  m_Initialised = false;
  if (!m_System) return;
  auto reset = [](auto& voices) {
    for (Voice& voice : voices) voice = Voice{nullptr, {}, voice.m_3D};
  };
  reset(m_Sound3D);
  reset(m_Music3D);
  reset(m_Sound2D);
  reset(m_Music2D);
  reset(m_Special);
  reset(m_Layers);
  m_Swerve = Voice();
  m_SwerveState = 0;
  m_FadingOut.clear();
  m_FadingIn.clear();
  m_Pending.clear();
  // The sounds go before the system that made them.
  m_Catalogue.clear();
  m_ByName.clear();
  m_ByPath.clear();
  AudioCheck(m_System->Close());
  AudioCheck(m_System->Release());
  m_System = nullptr;
}

// ---- The catalogue ------------------------------------------------------------------------------

void SoundEngine::LoadCatalogue() {
  Util::XmlReader reader(kCatalogue);
  if (!reader.Open()) return;
  while (reader.HasCurrent()) {
    const char* tag = reader.ElementName();
    const bool category = std::any_of(std::begin(kCategories), std::end(kCategories),
                                      [tag](const char* c) { return !std::strcmp(c, tag); });
    if (!category || !reader.Enter()) {
      reader.Next();
      continue;
    }
    for (; reader.HasCurrent(); reader.Next())
      if (!std::strcmp(reader.ElementName(), "string")) Register(reader.Text() ? reader.Text() : "");
    reader.Leave();
  }
}

void SoundEngine::Register(const std::string& text) {
  SoundDescriptor parsed;
  if (!ParseDescriptor(text, parsed)) {
    std::printf("Sound \"%s\" is not described by a path, a kind, a dimension and a flag\n", text.c_str());
    return;
  }
  const std::string name = Words(text);
  if (m_ByName.count(name)) return;
  const uint32_t slot = static_cast<uint32_t>(m_Catalogue.size());
  m_Catalogue.push_back(Entry{name, parsed, nullptr, Entry::State::Loading});
  m_ByName.emplace(name, slot);
  m_ByPath.emplace(parsed.m_Path, slot);
  if (parsed.m_Blocking) {
    auto audible = std::make_unique<Audible>(name);
    audible->Complete();
    Store(slot, std::move(audible));
  } else {
    Util::Worker::Get().Push(std::make_unique<Util::OpenAssetJob<Audible>>(name, slot, &SoundEngine::StoreAudible));
  }
}

void SoundEngine::StoreAudible(uint32_t slot, std::unique_ptr<Audible> audible) {
  if (Exists()) Instance().Store(slot, std::move(audible));
}

void SoundEngine::Store(uint32_t slot, std::unique_ptr<Audible> audible) {
  // A job from before a restart of the engine finds another catalogue, or none.
  if (!audible || slot >= m_Catalogue.size()) return;
  Entry& entry = m_Catalogue[slot];
  if (entry.m_State != Entry::State::Loading || entry.m_Descriptor != audible->Descriptor()) return;
  entry.m_State = audible->GetSound() ? Entry::State::Ready : Entry::State::Failed;
  entry.m_Audible = std::move(audible);
}

int32_t SoundEngine::Find(const std::string& name) const {
  const std::string words = Words(name);
  if (const auto it = m_ByName.find(words); it != m_ByName.end()) return static_cast<int32_t>(it->second);
  const auto it = m_ByPath.find(words.substr(0, words.find(' ')));
  return it == m_ByPath.end() ? -1 : static_cast<int32_t>(it->second);
}

size_t SoundEngine::Loading() const {
  return static_cast<size_t>(std::count_if(m_Catalogue.begin(), m_Catalogue.end(),
                                           [](const Entry& e) { return e.m_State == Entry::State::Loading; }));
}

// ---- Voices -------------------------------------------------------------------------------------

AudioChannel* SoundEngine::Channel(Pool pool, int index) const {
  auto at = [index](const auto& voices) -> AudioChannel* {
    return index >= 0 && static_cast<size_t>(index) < voices.size() ? voices[static_cast<size_t>(index)].m_Channel
                                                                    : nullptr;
  };
  switch (pool) {
    case Pool::Sound3D:
      return at(m_Sound3D);
    case Pool::Music3D:
      return at(m_Music3D);
    case Pool::Sound2D:
      return at(m_Sound2D);
    case Pool::Music2D:
      return at(m_Music2D);
    case Pool::Special:
      return at(m_Special);
    case Pool::Swerve:
      return index == 0 ? m_Swerve.m_Channel : nullptr;
    case Pool::Layer:
      return at(m_Layers);
  }
  return nullptr;
}

bool SoundEngine::IsPlaying(const Voice& voice) const {
  bool playing = false;
  return voice.m_Channel && voice.m_Channel->IsPlaying(&playing) == kAudioOk && playing;
}

SoundEngine::Voice* SoundEngine::FreeVoice(Pool pool, const char* name) {
  auto first = [this](auto& voices) -> Voice* {
    for (Voice& voice : voices)
      if (voice.m_Pending < 0 && !IsPlaying(voice)) return &voice;
    return nullptr;
  };
  Voice* voice = nullptr;
  switch (pool) {
    case Pool::Sound3D:
      voice = first(m_Sound3D);
      break;
    case Pool::Music3D:
      voice = first(m_Music3D);
      break;
    case Pool::Sound2D:
      voice = first(m_Sound2D);
      break;
    default:
      voice = first(m_Music2D);
      break;
  }
  if (!voice) std::printf("Failed to get channel on AddSound %s\n", name);
  return voice;
}

void SoundEngine::Play(Voice& voice, const std::string& name, Start start, const Sound* owner) {
  const int32_t slot = Find(name);
  if (slot < 0 || m_Catalogue[static_cast<size_t>(slot)].m_State == Entry::State::Failed) {
    std::printf("Error trying to load %s\n", name.c_str());
    return;
  }
  CancelPending(voice);
  voice.m_Start = start;
  voice.m_Owner = owner;
  const Entry& entry = m_Catalogue[static_cast<size_t>(slot)];
  if (entry.m_State == Entry::State::Loading) {
    voice.m_Pending = slot;
    m_Pending.push_back(&voice);
    return;
  }
  Begin(voice, *entry.m_Audible);
}

void SoundEngine::Begin(Voice& voice, const Audible& audible) {
  AudioSound* sound = audible.GetSound();
  if (voice.m_Start == Start::Layer) {
    StartLayer(voice, sound);
    return;
  }
  if (!AudioCheck(m_System->PlaySound(kChannelReuse, sound, true, &voice.m_Channel))) return;
  if (voice.m_3D) AudioCheck(voice.m_Channel->Set3DAttributes(&voice.m_Position, &kStill));
  if (voice.m_Start == Start::Silent) AudioCheck(voice.m_Channel->SetVolume(0.0f));
  if (voice.m_Start != Start::Paused) AudioCheck(voice.m_Channel->SetPaused(false));
}

void SoundEngine::CancelPending(Voice& voice) {
  if (voice.m_Pending < 0) return;
  voice.m_Pending = -1;
  Remove(m_Pending, &voice);
}

void SoundEngine::Pause(Voice& voice, bool paused) {
  if (voice.m_Pending >= 0 && voice.m_Start != Start::Layer) voice.m_Start = paused ? Start::Paused : Start::Play;
  if (IsPlaying(voice)) AudioCheck(voice.m_Channel->SetPaused(paused));
}

// ---- Music layers -------------------------------------------------------------------------------

// The layer joins the layers already playing in step: while every layer is held, it takes the
// position of the first one not fading out, then fades in as they all go on together.
void SoundEngine::StartLayer(Voice& voice, AudioSound* sound) {
  AudioSound* current = nullptr;
  if (IsPlaying(voice) && voice.m_Channel->GetCurrentSound(&current) == kAudioOk && current == sound) {
    // Already on: a fade out turns back into a fade in, without a break.
    Remove(m_FadingOut, &voice);
    AddOnce(m_FadingIn, &voice);
    return;
  }
  Remove(m_FadingOut, &voice);
  Remove(m_FadingIn, &voice);
  std::vector<AudioChannel*> held;
  uint32_t position = 0;
  bool found = false;
  for (Voice& layer : m_Layers) {
    if (&layer == &voice || !IsPlaying(layer)) continue;
    bool paused = true;
    layer.m_Channel->GetPaused(&paused);
    if (!paused && AudioCheck(layer.m_Channel->SetPaused(true))) held.push_back(layer.m_Channel);
    if (!found && !Contains(m_FadingOut, &layer))
      found = layer.m_Channel->GetPosition(&position, kTimeUnitPcm) == kAudioOk;
  }
  if (AudioCheck(m_System->PlaySound(kChannelReuse, sound, true, &voice.m_Channel))) {
    uint32_t length = 0;
    if (found && sound->GetLength(&length, kTimeUnitPcm) == kAudioOk && length > 0)
      AudioCheck(voice.m_Channel->SetPosition(position % length, kTimeUnitPcm));
    AudioCheck(voice.m_Channel->SetVolume(0.0f));
    voice.m_Layer = true;
    AddOnce(m_FadingIn, &voice);
    held.push_back(voice.m_Channel);
  }
  for (AudioChannel* channel : held) AudioCheck(channel->SetPaused(false));
}

void SoundEngine::StartLayerFile(int32_t layer, const char* name) {
  std::string path = name;
  if (path.find("end") == std::string::npos)
    path = kSounds + std::string("music_") + std::to_string(m_Area) + "_" + path.substr(0, 1) + ".mp3";
  Play(m_Layers[static_cast<size_t>(layer)], path, Start::Layer);
}

void SoundEngine::FadeOut(Voice& voice) {
  CancelPending(voice);
  if (!IsPlaying(voice)) return;
  Remove(m_FadingIn, &voice);
  AddOnce(m_FadingOut, &voice);
}

// ---- The firefly combo --------------------------------------------------------------------------

void SoundEngine::IncrementCombo() {
  if (m_Combo != 0 && m_Clock - m_LastComboTime >= kComboTimeoutMs) {
    m_Combo = 0;
    return;
  }
  m_LastComboTime = m_Clock;
  m_Combo = std::min(m_Combo + 1, kMaxCombo);
}

// ---- The frame ----------------------------------------------------------------------------------

void SoundEngine::Update() {
  const double frameMs = Clock::Instance().FrameTime();
  if (m_System) {
    // A forward along up gives no orientation; the last good one stays.
    const bool oriented = Util::LengthSquared(Util::Cross(m_ListenerForward, m_ListenerUp)) > 1e-12f;
    AudioCheck(m_System->Set3DListenerAttributes(0, &m_ListenerPosition, &m_ListenerVelocity,
                                                 oriented ? &m_ListenerForward : nullptr,
                                                 oriented ? &m_ListenerUp : nullptr));
    StartLoaded();
    Fade(static_cast<float>(frameMs * 0.001));
    StartComponents();
    if (!m_UseFmod3D) Attenuate();
  }
  m_Clock += frameMs;
  if (m_Clock - m_LastComboTime > kComboTimeoutMs) m_Combo = 0;
  Msg::MailMan::Instance().Post(new Msg::soundFFComboMsg(m_Combo));
  if (m_System) AudioCheck(m_System->Update());
}

void SoundEngine::StartLoaded() {
  for (size_t i = 0; i < m_Pending.size();) {
    Voice& voice = *m_Pending[i];
    const Entry& entry = m_Catalogue[static_cast<size_t>(voice.m_Pending)];
    if (entry.m_State == Entry::State::Loading) {
      ++i;
      continue;
    }
    m_Pending.erase(m_Pending.begin() + static_cast<std::ptrdiff_t>(i));
    voice.m_Pending = -1;
    if (entry.m_State == Entry::State::Failed)
      std::printf("Error trying to load %s\n", entry.m_Descriptor.c_str());
    else
      Begin(voice, *entry.m_Audible);
  }
}

void SoundEngine::Fade(float step) {
  // Voices still loading keep their place; voices whose sound is over leave.
  auto ramp = [this, step](std::vector<Voice*>& list, float direction) {
    for (size_t i = 0; i < list.size();) {
      Voice& voice = *list[i];
      float volume = 0.0f;
      if (voice.m_Pending >= 0) {
        ++i;
        continue;
      }
      if (!IsPlaying(voice) || voice.m_Channel->GetVolume(&volume) != kAudioOk) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      volume += direction * step;
      const bool done = direction < 0.0f ? volume <= 0.0f : volume >= 1.0f;
      if (done && direction < 0.0f && voice.m_Layer) {
        AudioCheck(voice.m_Channel->Stop());
        voice.m_Layer = false;
      } else {
        AudioCheck(voice.m_Channel->SetVolume(std::clamp(volume, 0.0f, 1.0f)));
      }
      if (done)
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      else
        ++i;
    }
  };
  ramp(m_FadingOut, -1.0f);
  ramp(m_FadingIn, 1.0f);
}

void SoundEngine::StartComponents() {
  for (Sound* sound : Util::AutoList<Sound>::All()) {
    if (sound->Started()) continue;
    sound->MarkStarted();
    const int32_t slot = Find(sound->Name());
    const bool music = slot >= 0 && m_Catalogue[static_cast<size_t>(slot)].m_Parsed.m_Music;
    Voice* voice = FreeVoice(music ? Pool::Music3D : Pool::Sound3D, sound->Name().c_str());
    if (!voice) continue;
    voice->m_Position = sound->Owner() ? sound->Owner()->GetPosition() : Util::Vec3{};
    Play(*voice, sound->Name(), Start::Play, sound);
  }
}

void SoundEngine::Attenuate() {
  auto attenuate = [this](auto& voices) {
    for (Voice& voice : voices) {
      if (!IsPlaying(voice)) continue;
      const float distance = Util::Length(voice.m_Position - m_ListenerPosition);
      AudioCheck(voice.m_Channel->SetVolume(distance > 0.0f ? kAttenuation / distance : 1.0f));
    }
  };
  attenuate(m_Sound3D);
  attenuate(m_Music3D);
}

void SoundEngine::SoundGone(const Sound* sound) {
  auto forget = [this, sound](auto& voices) {
    for (Voice& voice : voices) {
      if (voice.m_Owner != sound) continue;
      voice.m_Owner = nullptr;
      CancelPending(voice);
      AudioSound* playing = nullptr;
      AudioMode mode = 0;
      if (IsPlaying(voice) && voice.m_Channel->GetCurrentSound(&playing) == kAudioOk &&
          playing->GetMode(&mode) == kAudioOk && (mode & kModeLoopNormal))
        AudioCheck(voice.m_Channel->Stop());
    }
  };
  forget(m_Sound3D);
  forget(m_Music3D);
}

bool SoundEngine::Validate() const {
  std::vector<const Voice*> all{&m_Swerve};
  auto add = [&all](const auto& voices) {
    for (const Voice& voice : voices) all.push_back(&voice);
  };
  add(m_Sound3D);
  add(m_Music3D);
  add(m_Sound2D);
  add(m_Music2D);
  add(m_Special);
  add(m_Layers);
  auto count = [](const std::vector<Voice*>& list, const Voice* voice) {
    return std::count(list.begin(), list.end(), voice);
  };
  for (const std::vector<Voice*>* list : {&m_FadingOut, &m_FadingIn, &m_Pending})
    for (const Voice* voice : *list)
      if (std::find(all.begin(), all.end(), voice) == all.end() || count(*list, voice) != 1) return false;
  for (const Voice* voice : all) {
    if (count(m_FadingOut, voice) + count(m_FadingIn, voice) > 1) return false;
    if (count(m_Pending, voice) != (voice->m_Pending >= 0 ? 1 : 0)) return false;
    if (voice->m_Pending >= static_cast<int32_t>(m_Catalogue.size())) return false;
  }
  return m_Combo >= 0 && m_Combo <= kMaxCombo && m_SwerveState >= -1 && m_SwerveState <= 1;
}

// ---- Messages -----------------------------------------------------------------------------------

void SoundEngine::Receive(const Util::Handle<Msg::soundPlay3DMsg>& message) {
  if (!m_System) return;
  const char* name = TextOf(message->m_Name);
  Voice* voice = FreeVoice(message->m_Music ? Pool::Music3D : Pool::Sound3D, name);
  if (!voice) return;
  voice->m_Position = message->m_Position;
  Play(*voice, name, Start::Play);
}

void SoundEngine::Receive(const Util::Handle<Msg::soundPlay2DMsg>& message) {
  if (!m_System) return;
  const char* name = TextOf(message->m_Name);
  if (Voice* voice = FreeVoice(message->m_Music ? Pool::Music2D : Pool::Sound2D, name)) Play(*voice, name, Start::Play);
}

void SoundEngine::Receive(const Util::Handle<Msg::soundPlayVineGrowthMsg>& message) {
  if (!m_System) return;
  Voice& voice = m_Special[kVineGrowthVoice];
  if (message->m_Restart)
    Play(voice, TextOf(message->m_Name), Start::Play);
  else
    Pause(voice, false);
}

void SoundEngine::Receive(const Util::Handle<Msg::soundStopVineGrowthMsg>&) {
  if (m_System) Pause(m_Special[kVineGrowthVoice], true);
}

void SoundEngine::Receive(const Util::Handle<Msg::soundSpiralSwerveMsg>& message) {
  if (message->m_On) {
    if (m_SwerveState == -1) Remove(m_FadingOut, &m_Swerve);
    m_SwerveState = 1;
    AddOnce(m_FadingIn, &m_Swerve);
  } else {
    if (m_SwerveState == 1) Remove(m_FadingIn, &m_Swerve);
    m_SwerveState = -1;
    AddOnce(m_FadingOut, &m_Swerve);
  }
}

void SoundEngine::Receive(const Util::Handle<Msg::soundMusicLayerMsg>& message) {
  const int32_t layer = message->m_Layer;
  const int32_t action = message->m_Action;
  if (!m_System) return;
  if (layer < 0 || layer >= kLayers) {
    std::printf("Music layer %d is not one of 0 to %d\n", layer, kLayers - 1);
    return;
  }
  switch (action) {
    case 0:
      for (Voice& voice : m_Layers) FadeOut(voice);
      StartLayerFile(layer, TextOf(message->m_Name));
      // The swerve runs silently from here on, so that a swerve only has to fade it in.
      Remove(m_FadingOut, &m_Swerve);
      Remove(m_FadingIn, &m_Swerve);
      Play(m_Swerve, kSounds + std::string("spiralswerve_") + std::to_string(m_Area) + ".mp3", Start::Silent);
      if (m_SwerveState == 1) AddOnce(m_FadingIn, &m_Swerve);
      break;
    case 1:
    case 2:
    case 4:
      StartLayerFile(layer, TextOf(message->m_Name));
      break;
    case -3:
    case 3:
      FadeOut(m_Layers[static_cast<size_t>(layer)]);
      break;
    default:  // -1 changes nothing; -2 and others mean nothing either
      break;
  }
}

void SoundEngine::Receive(const Util::Handle<Msg::soundColoredFireflyMsg>& message) {
  // The layers are told action -1 first, which changes none of them.
  if (!m_System) return;
  Voice& voice = m_Special[kColouredFireflyVoice];
  const char* name = TextOf(message->m_Name);
  if (!*name) {
    Pause(voice, true);
    return;
  }
  if (IsPlaying(voice)) AudioCheck(voice.m_Channel->Stop());
  Play(voice, name, Start::Play);
}

void SoundEngine::Receive(const Util::Handle<Msg::soundIncFFComboMsg>&) { IncrementCombo(); }

void SoundEngine::Receive(const Util::Handle<Msg::gameFireflySoundOnOff>& message) { m_FireflySounds = message->m_On; }

void SoundEngine::Receive(const Util::Handle<Msg::gameFireflyCollidedMsg>&) {
  if (!m_FireflySounds) return;
  if (m_System) {
    const std::string path =
        kSounds + std::string("firefly_collect_") + std::to_string(m_Area) + "_" + std::to_string(m_Combo) + ".ogg";
    Play(m_Special[static_cast<size_t>(m_Combo)], path, Start::Play);
  }
  IncrementCombo();
}

void SoundEngine::Receive(const Util::Handle<Msg::gameAreaMsg>& message) {
  const int32_t area = message->m_Area;
  if (area == 1 || area == 2) {
    m_Area = area;
    Msg::MailMan::Instance().Post(new Msg::soundMusicLayerMsg(1, 0, "1"));
  } else if (area == 3) {
    m_FireflySounds = false;
    for (int32_t layer = 0; layer < kLayers; ++layer)
      Msg::MailMan::Instance().Post(new Msg::soundMusicLayerMsg(layer, -3, kEndMusic1));
    if (m_System) Play(m_Music2D[0], kEndMusic1, Start::Play);
  } else if (area == 4) {
    if (m_System) Play(m_Music2D[0], kEndMusic2, Start::Play);
  }
}

void SoundEngine::Receive(const Util::Handle<Msg::cameraGetInfoMsg>& message) {
  const Util::Vec3& value = message->m_Value;
  switch (message->m_Kind) {
    case 0:
      m_ListenerPosition = value;
      break;
    case 2:  // the camera's unit forward direction, not a point
      m_ListenerForward = value;
      break;
    case 3:
      m_ListenerUp = value;
      break;
    default:
      break;
  }
}

}  // namespace Snd
