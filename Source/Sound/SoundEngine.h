// SoundEngine: music layers, positional and flat sound effects, the sound catalogue.
//
// Owns the audio system (AudioDevice.h), the loaded sounds of the catalogue
// "../../Assets/Xml/allsounds.xml" and the voices they play on: 22 3D sound voices, 13 3D music,
// 21 2D sound, 22 2D music, 11 special ones (the firefly collection sound of each combo count 0 to
// 9, the coloured firefly on 9, vine growth on 10), the spiral swerve voice and one voice for each
// of the 10 music layers. Every sound of the catalogue is loaded at Init: "blocking" ones at
// once, the others by the worker (OpenAssetJob of Audible), and a voice asked to play one still
// loading waits on the pending list. Messages name sounds by their whole descriptor; the engine's
// own requests name them by path.
//
// Handles the sound messages (soundPlay3DMsg, soundPlay2DMsg, the vine growth, spiral swerve,
// music layer, coloured firefly and combo messages), gameFireflySoundOnOff,
// gameFireflyCollidedMsg, gameAreaMsg (posting soundMusicLayerMsg) and cameraGetInfoMsg (the
// listener: kind 0 the eye, kind 2 the forward direction, kind 3 up). Update runs once a frame
// after the player (frame step 11): the listener, the voices whose sounds have loaded, the fades,
// the entities' Sound components, manual attenuation when the output's own 3D is not trusted, the
// firefly combo's clock, and a soundFFComboMsg with the combo count. Initialised at start-up step
// 14, closed at shutdown before the worker stops. Without an audio device every audio call is
// skipped and the game runs silent; the combo still counts. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Messaging/MailBox.h"
#include "Sound/AudioDevice.h"
#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Snd {

class Audible;
class Sound;

class SoundEngine : public Util::Singleton<SoundEngine>, public Msg::MailBox {
 public:
  enum class Pool { Sound3D, Music3D, Sound2D, Music2D, Special, Swerve, Layer };
  static constexpr int kLayers = 10;
  static constexpr int kColouredFireflyVoice = 9;
  static constexpr int kVineGrowthVoice = 10;
  static constexpr int32_t kMaxCombo = 9;
  static constexpr double kComboTimeoutMs = 2000.0;

  // Before Init: the output to open (the tests' loopback, or a named device).
  void SelectOutput(AudioOutput output, const char* device = nullptr);
  void Init();
  void Update();
  // Releases every sound, then closes and releases the audio system.
  void Close();

  // Null while the game is silent.
  AudioSystem* Device() const { return m_System; }
  // The channel of a voice; null when it has played nothing yet.
  AudioChannel* Channel(Pool pool, int index) const;
  int32_t Combo() const { return m_Combo; }
  int32_t Area() const { return m_Area; }
  bool UsesOutput3D() const { return m_UseFmod3D; }
  // Catalogue sounds still loading.
  size_t Loading() const;

  // A Sound component that goes: its looping sound stops, a start still waiting is dropped.
  void SoundGone(const Sound* sound);
  // Files an audible whose load job has finished (the store of the asset jobs).
  static void StoreAudible(uint32_t slot, std::unique_ptr<Audible> audible);

  // Every voice is on each list at most once, on at most one fade list, and waits on the pending
  // list exactly when it waits for a catalogue sound; the combo is within 0 to 9.
  bool Validate() const;

  void Receive(const Util::Handle<Msg::gameAreaMsg>& message) override;
  void Receive(const Util::Handle<Msg::gameFireflySoundOnOff>& message) override;
  void Receive(const Util::Handle<Msg::gameFireflyCollidedMsg>& message) override;
  void Receive(const Util::Handle<Msg::cameraGetInfoMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundIncFFComboMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundMusicLayerMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundSpiralSwerveMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundColoredFireflyMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundStopVineGrowthMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundPlayVineGrowthMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundPlay2DMsg>& message) override;
  void Receive(const Util::Handle<Msg::soundPlay3DMsg>& message) override;

 private:
  friend class Util::Singleton<SoundEngine>;
  SoundEngine();
  ~SoundEngine() override;

  // How a voice starts once its sound is there.
  enum class Start : uint8_t { Play, Paused, Silent, Layer };
  struct Voice {
    AudioChannel* m_Channel = nullptr;
    Util::Vec3 m_Position;
    bool m_3D = false;     // placed at m_Position when it starts
    bool m_Layer = false;  // a music layer: let go of when it has faded out
    Start m_Start = Start::Play;
    int32_t m_Pending = -1;          // the catalogue entry it waits for
    const Sound* m_Owner = nullptr;  // the component it plays for
  };
  struct Entry;

  bool SetUp();
  void Silence();
  void LoadCatalogue();
  void Register(const std::string& line);
  void Store(uint32_t slot, std::unique_ptr<Audible> audible);
  int32_t Find(const std::string& name) const;

  Voice* FreeVoice(Pool pool, const char* name);
  bool IsPlaying(const Voice& voice) const;
  void Play(Voice& voice, const std::string& name, Start start, const Sound* owner = nullptr);
  void Begin(Voice& voice, const Audible& audible);
  void StartLayer(Voice& voice, AudioSound* sound);
  void StartLayerFile(int32_t layer, const char* name);
  void FadeOut(Voice& voice);
  void CancelPending(Voice& voice);
  void Pause(Voice& voice, bool paused);
  void IncrementCombo();

  void StartLoaded();
  void Fade(float step);
  void StartComponents();
  void Attenuate();

  AudioOutput m_Output = AudioOutput::Device;
  std::string m_DeviceName;
  bool m_Initialised = false;
  AudioSystem* m_System = nullptr;

  std::array<Voice, 22> m_Sound3D;
  std::array<Voice, 13> m_Music3D;
  std::array<Voice, 21> m_Sound2D;
  std::array<Voice, 22> m_Music2D;
  std::array<Voice, 11> m_Special;
  Voice m_Swerve;
  int32_t m_SwerveState = 0;  // -1 fading out, +1 fading in
  std::array<Voice, kLayers> m_Layers;
  std::vector<Voice*> m_FadingOut;
  std::vector<Voice*> m_FadingIn;
  std::vector<Voice*> m_Pending;

  int32_t m_Area = 1;
  bool m_UseFmod3D = true;  // whether the output's own 3D attenuation is trusted
  Util::Vec3 m_ListenerPosition;
  Util::Vec3 m_ListenerVelocity;
  Util::Vec3 m_ListenerForward{0.0f, 0.0f, -1.0f};
  Util::Vec3 m_ListenerUp{0.0f, 1.0f, 0.0f};
  int32_t m_Combo = 0;
  double m_LastComboTime = 0.0;
  double m_Clock = 0.0;
  bool m_FireflySounds = true;

  std::vector<Entry> m_Catalogue;
  std::unordered_map<std::string, uint32_t> m_ByName;  // whole descriptor → entry
  std::unordered_map<std::string, uint32_t> m_ByPath;  // path → first entry with it
};

}  // namespace Snd
