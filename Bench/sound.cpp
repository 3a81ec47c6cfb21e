// The sound engine's per-frame cost with every voice busy, the mix it asks of OpenAL Soft, and
// decoding one generated music layer, each beside the bare work underneath it.
//
// UpdateEveryVoiceBusy: SoundEngine::Update (and the delivery of the combo message it posts) with
// all 100 voices playing looped sounds on the loopback device, the ten music layers and the swerve
// fading in (the frame time is 0, so they fade for ever). Anchor SetGainEveryVoice: one bare
// alSourcef per voice, the least an update that touches every voice can cost.
// MixOneFrame: OpenAL Soft mixing 33 ms (1,600 frames at 48 kHz) of those 100 voices.
// DecodeLayer: Snd::DecodeAudio of "../../Assets/Sounds/music_1_1.mp3" from memory. Anchor
// DecodeLayerRaw: libsndfile reading the same bytes into one buffer, nothing else.
#include <AL/al.h>
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Messaging/Messages.h"
#include "Sound/SoundEngine.h"
#include "Util/ErrorLog.h"
#include "Util/FileAccess.h"

namespace fs = std::filesystem;

namespace {

// Read before any benchmark moves the working directory.
const std::string kLayer = fs::absolute("../../Assets/Sounds/music_1_1.mp3").string();

std::vector<char> LayerBytes() {
  std::ifstream in(kLayer, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// An asset tree with a catalogue of looping tones under the names the engine plays (their data
// is WAV whatever the name says: the decoder goes by the contents), and the engine on the
// loopback device with every voice playing.
class BusyEngine {
 public:
  BusyEngine() {
    char pattern[] = "/tmp/hollowmere-bench-XXXXXX";
    m_Root = ::mkdtemp(pattern) ? pattern : "/tmp/hollowmere-bench";
    std::string strings;
    auto add = [&](const std::string& name, const char* rest, int channels) {
      Tone(name, channels);
      strings += "<string>../../Assets/Sounds/" + name + " " + rest + "</string>";
    };
    add("hum.wav", "music 3D blocking", 1);
    add("pad.wav", "music 2D blocking", 2);
    add("vine_growth.mp3", "music 2D blocking", 2);
    add("spiralswerve_1.mp3", "music 2D blocking", 2);
    for (int i = 0; i <= 9; ++i) {
      add("firefly_collect_1_" + std::to_string(i) + ".ogg", "music 2D blocking", 1);
      add("music_1_" + std::to_string(i) + ".mp3", "music 2D blocking", 2);
    }
    std::ofstream(m_Root + "/Assets/Xml/allsounds.xml")
        << "<?xml version=\"1.0\"?><XMLRoot><Music_2D>" << strings << "</Music_2D></XMLRoot>";
    fs::create_directories(m_Root + "/run/bin");
    m_OldDir = fs::current_path();
    fs::current_path(m_Root + "/run/bin");

    Snd::SoundEngine& engine = Snd::SoundEngine::Instance();
    engine.SelectOutput(Snd::AudioOutput::Loopback);
    engine.Init();
    const std::string hum = "../../Assets/Sounds/hum.wav music 3D blocking";
    const std::string pad = "../../Assets/Sounds/pad.wav music 2D blocking";
    Msg::MailMan& mail = Msg::MailMan::Instance();
    for (int i = 0; i < 22; ++i) mail.Post(new Msg::soundPlay3DMsg(false, Msg::Vec3{float(i), 0, -3}, hum.c_str()));
    for (int i = 0; i < 13; ++i) mail.Post(new Msg::soundPlay3DMsg(true, Msg::Vec3{0, float(i), -3}, hum.c_str()));
    for (int i = 0; i < 21; ++i) mail.Post(new Msg::soundPlay2DMsg(false, pad.c_str()));
    for (int i = 0; i < 22; ++i) mail.Post(new Msg::soundPlay2DMsg(true, pad.c_str()));
    for (int i = 0; i < 10; ++i) mail.Post(new Msg::gameFireflyCollidedMsg(Msg::Vec3{}, 0.0f));
    mail.Post(new Msg::soundPlayVineGrowthMsg("../../Assets/Sounds/vine_growth.mp3", true));
    mail.Post(new Msg::soundMusicLayerMsg(1, 0, "1"));  // the area's music, then every other layer
    for (int layer = 0; layer < 10; ++layer)
      if (layer != 1) mail.Post(new Msg::soundMusicLayerMsg(layer, 1, std::to_string(layer).c_str()));
    mail.Post(new Msg::soundSpiralSwerveMsg(true));
    mail.Deliver();
    engine.Update();
    mail.Deliver();
  }

  ~BusyEngine() {
    Snd::SoundEngine::Instance().Close();
    Snd::SoundEngine::Destroy();
    Msg::MailMan::Instance().Shutdown();
    Msg::MailMan::Destroy();
    Util::ErrorLog::Destroy();
    std::error_code ignored;
    fs::current_path(m_OldDir, ignored);
    fs::remove_all(m_Root, ignored);
  }

  // How many voices play; 100 when every one does.
  static int Busy() {
    using Pool = Snd::SoundEngine::Pool;
    const std::pair<Pool, int> pools[] = {{Pool::Sound3D, 22}, {Pool::Music3D, 13}, {Pool::Sound2D, 21},
                                          {Pool::Music2D, 22}, {Pool::Special, 11}, {Pool::Swerve, 1},
                                          {Pool::Layer, 10}};
    int busy = 0;
    for (const auto& [pool, count] : pools)
      for (int i = 0; i < count; ++i) {
        bool playing = false;
        Snd::AudioChannel* channel = Snd::SoundEngine::Instance().Channel(pool, i);
        busy += channel && channel->IsPlaying(&playing) == Snd::kAudioOk && playing;
      }
    return busy;
  }

 private:
  void Tone(const std::string& name, int channels) {
    fs::create_directories(m_Root + "/Assets/Sounds");
    fs::create_directories(m_Root + "/Assets/Xml");
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open((m_Root + "/Assets/Sounds/" + name).c_str(), SFM_WRITE, &info);
    std::vector<float> samples;
    for (int i = 0; i < 48000; ++i)
      samples.insert(samples.end(), static_cast<size_t>(channels), 0.1f * std::sin(i * 0.05f));
    sf_writef_float(file, samples.data(), 48000);
    sf_close(file);
  }

  std::string m_Root;
  fs::path m_OldDir;
};

void UpdateEveryVoiceBusy(benchmark::State& state) {
  const BusyEngine busy;
  state.counters["voices"] = BusyEngine::Busy();
  Snd::SoundEngine& engine = Snd::SoundEngine::Instance();
  for (auto _ : state) {
    engine.Update();
    Msg::MailMan::Instance().Deliver();
  }
}
BENCHMARK(UpdateEveryVoiceBusy);

void SetGainEveryVoice(benchmark::State& state) {
  const BusyEngine busy;
  ALuint sources[100];
  alGetError();
  alGenSources(100, sources);
  if (alGetError() != AL_NO_ERROR) state.SkipWithError("no sources left");
  float gain = 0.5f;
  for (auto _ : state) {
    for (ALuint source : sources) alSourcef(source, AL_GAIN, gain);
    gain = 1.0f - gain;
  }
  alDeleteSources(100, sources);
}
BENCHMARK(SetGainEveryVoice);

void MixOneFrame(benchmark::State& state) {
  const BusyEngine busy;
  std::vector<float> out(1600 * 2);
  for (auto _ : state) Snd::SoundEngine::Instance().Device()->RenderLoopback(out.data(), 1600);
  state.SetItemsProcessed(state.iterations() * 1600);
}
BENCHMARK(MixOneFrame);

void DecodeLayer(benchmark::State& state) {
  const std::vector<char> bytes = LayerBytes();
  Snd::AudioPcm pcm;
  for (auto _ : state) {
    if (Snd::DecodeAudio(bytes.data(), bytes.size(), 0, pcm) != Snd::kAudioOk) state.SkipWithError("no layer");
    benchmark::DoNotOptimize(pcm.m_Samples.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pcm.Frames()));
}
BENCHMARK(DecodeLayer)->Unit(benchmark::kMillisecond);

// libsndfile's own reading of the same bytes, straight into one buffer of the right size.
struct Memory {
  const std::vector<char>* bytes;
  sf_count_t at = 0;
};

void DecodeLayerRaw(benchmark::State& state) {
  const std::vector<char> bytes = LayerBytes();
  SF_VIRTUAL_IO io{[](void* m) { return static_cast<sf_count_t>(static_cast<Memory*>(m)->bytes->size()); },
                   [](sf_count_t offset, int whence, void* m) {
                     Memory& memory = *static_cast<Memory*>(m);
                     const auto size = static_cast<sf_count_t>(memory.bytes->size());
                     memory.at = std::clamp<sf_count_t>((whence == SEEK_SET   ? 0
                                                         : whence == SEEK_CUR ? memory.at
                                                                              : size) +
                                                            offset,
                                                        0, size);
                     return memory.at;
                   },
                   [](void* out, sf_count_t count, void* m) {
                     Memory& memory = *static_cast<Memory*>(m);
                     count = std::min(count, static_cast<sf_count_t>(memory.bytes->size()) - memory.at);
                     std::copy_n(memory.bytes->data() + memory.at, count, static_cast<char*>(out));
                     memory.at += count;
                     return count;
                   },
                   nullptr, [](void* m) { return static_cast<Memory*>(m)->at; }};
  std::vector<int16_t> samples;
  sf_count_t frames = 0;
  for (auto _ : state) {
    Memory memory{&bytes};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!file) {
      state.SkipWithError("no layer");
      break;
    }
    samples.resize(static_cast<size_t>(info.frames * info.channels));
    frames = sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    benchmark::DoNotOptimize(samples.data());
  }
  state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(DecodeLayerRaw)->Unit(benchmark::kMillisecond);

}  // namespace
