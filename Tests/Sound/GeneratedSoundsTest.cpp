// The game's own sounds, as the build generates them into the repository's Assets/Sounds.
#include <gmock/gmock.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "Sound/SoundTesting.h"
#include "Util/FileAccess.h"

namespace {

struct Decoded {
  Snd::AudioPcm pcm;
  float peak = 0.0f;
};

Decoded Decode(const std::string& name) {
  Decoded d;
  size_t length = 0;
  const std::unique_ptr<char[]> bytes = Util::LoadBinaryFile(Testing::SoundPath(name).c_str(), length);
  EXPECT_EQ(Snd::DecodeAudio(bytes.get(), length, 0, d.pcm), Snd::kAudioOk) << name;
  for (int16_t s : d.pcm.m_Samples) d.peak = std::max(d.peak, std::fabs(s / 32768.0f));
  return d;
}

// Sign changes in the first tenth of a second: for one timbre, a measure of its pitch.
int Crossings(const Snd::AudioPcm& pcm) {
  int count = 0;
  for (size_t i = 1; i < std::min<size_t>(pcm.m_Samples.size(), pcm.m_Rate / 10); ++i)
    count += (pcm.m_Samples[i - 1] < 0) != (pcm.m_Samples[i] < 0);
  return count;
}

constexpr float kMinusOneDecibel = 0.891f;

}  // namespace

TEST(GeneratedSounds, LayersOfAnAreaShareTheirLengthAndStackUnderMinusOneDecibelAndChimesRise) {
  for (const std::string area : {"1", "2"}) {
    float stacked = 0.0f;
    const Decoded first = Decode("music_" + area + "_1.mp3");
    for (const char* layer : {"1", "2", "3", "4"}) {
      const Decoded d = Decode("music_" + area + "_" + layer + ".mp3");
      EXPECT_EQ(d.pcm.Frames(), first.pcm.Frames()) << area << layer;
      stacked += d.peak;
    }
    EXPECT_LE(stacked, kMinusOneDecibel) << area;
    int previous = 0;
    for (int combo = 0; combo <= 9; ++combo) {
      const Decoded chime = Decode("firefly_collect_" + area + "_" + std::to_string(combo) + ".ogg");
      EXPECT_LE(chime.peak, kMinusOneDecibel);
      EXPECT_GT(Crossings(chime.pcm), previous) << area << " " << combo;
      previous = Crossings(chime.pcm);
    }
    for (const std::string& other : {"music_end_" + area + ".mp3", "spiralswerve_" + area + ".mp3"})
      EXPECT_LE(Decode(other).peak, kMinusOneDecibel) << other;
  }
}

// The repository's own catalogue, in the working directory's asset tree, on the loopback device.
TEST(GameCatalogue, EverySoundItListsLoadsAndAnAreasMusicAndChimesPlay) {
  Testing::AssertRecorder asserts;
  Util::Worker::Get().Start();
  Snd::SoundEngine& engine = Snd::SoundEngine::Instance();
  engine.SelectOutput(Snd::AudioOutput::Loopback);
  std::string printed = Testing::Printed([&engine] { engine.Init(); });
  for (int i = 0; i < 1000 && engine.Loading() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Util::Worker::Get().CompleteFinishedJobs();
  }
  EXPECT_EQ(printed, "");
  EXPECT_EQ(engine.Loading(), 0u);
  Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(2));
  printed = Testing::Printed([&engine] {
    for (int frame = 0; frame < 3; ++frame) {
      if (frame == 2) Msg::MailMan::Instance().Post(new Msg::gameFireflyCollidedMsg(Msg::Vec3{}, 0.0f));
      Clock::Instance().BeginFrame();
      Msg::MailMan::Instance().Deliver();
      engine.Update();
    }
  });
  EXPECT_EQ(printed, "");
  bool layer = false, chime = false;
  engine.Channel(Testing::Pool::Layer, 1)->IsPlaying(&layer);
  engine.Channel(Testing::Pool::Special, 0)->IsPlaying(&chime);
  EXPECT_TRUE(layer && chime);
  EXPECT_EQ(asserts.Count(), 0u);
  Testing::Printed([&engine] { engine.Close(); });
  Snd::SoundEngine::Destroy();
  Util::Worker::Get().Stop();
  Testing::ShutDown<Msg::MailMan>();
  Util::ErrorLog::Destroy();
}
