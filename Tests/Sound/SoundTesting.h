// What the sound tests share: sound files written into a throw-away asset tree, the sound engine
// brought up on OpenAL Soft's loopback device over a catalogue of them, frames on a fake clock,
// and the mix measured side by side. Every system a test brings up is taken down after it.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

#include "Core/Clock.h"
#include "Messaging/Messages.h"
#include "Sound/SoundEngine.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Support/Printed.h"
#include "Support/Systems.h"
#include "Support/TempTree.h"
#include "Util/ErrorLog.h"
#include "Util/Worker.h"

namespace Testing {

using Snd::SoundEngine;
using Pool = SoundEngine::Pool;

inline std::string SoundPath(const std::string& name) { return "../../Assets/Sounds/" + name; }

// Writes a sine tone at `frequency` in the format its extension names (ogg, mp3 or wav).
inline void WriteTone(const std::string& file, double seconds, int channels, double frequency) {
  const std::string ext = file.substr(file.size() - 3);
  SF_INFO info{};
  info.samplerate = 48000;
  info.channels = channels;
  info.format = ext == "ogg"   ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                : ext == "mp3" ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III
                               : SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
  ASSERT_NE(out, nullptr) << file;
  const auto frames = static_cast<size_t>(seconds * info.samplerate);
  std::vector<float> samples;
  for (size_t i = 0; i < frames; ++i)
    samples.insert(samples.end(), static_cast<size_t>(channels),
                   0.5f * static_cast<float>(std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / 48000.0)));
  sf_writef_float(out, samples.data(), static_cast<sf_count_t>(frames));
  sf_close(out);
}

struct Levels {
  double left, right;
};

class SoundTest : public testing::Test {
 protected:
  // The descriptors of the sounds every test has.
  const std::string m_Tone = SoundPath("tone.ogg") + " sound 3D blocking";
  const std::string m_Flat = SoundPath("flat.ogg") + " sound 2D blocking";

  SoundTest() {
    Clock::Instance().SetTimeSource(m_Time);
    m_Tree.Write("Assets/Sounds/.keep", "");
    WriteTone(m_Tree.Root() + "/Assets/Sounds/tone.ogg", 1.0, 1, 440.0);
    WriteTone(m_Tree.Root() + "/Assets/Sounds/flat.ogg", 0.5, 1, 660.0);
    WriteTone(m_Tree.Root() + "/Assets/Sounds/vine_growth.mp3", 0.5, 2, 220.0);
  }

  ~SoundTest() override {
    if (SoundEngine::Exists()) Printed([] { SoundEngine::Instance().Close(); });
    SoundEngine::Destroy();
    Util::Worker::Get().Stop();
    ShutDown<Msg::MailMan>();
    Util::ErrorLog::Destroy();
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
  }

  static SoundEngine& Engine() { return SoundEngine::Instance(); }

  // Brings the engine up on the loopback device over a catalogue of the shared sounds and these.
  std::string Start(const std::vector<std::string>& more = {}) {
    std::string strings;
    for (const std::string& d : more) strings += "<string>" + d + "</string>";
    m_Tree.Write("Assets/Xml/allsounds.xml", "<?xml version=\"1.0\"?><XMLRoot><Sound_2D><string>" + m_Flat +
                                                 "</string><string>" + SoundPath("vine_growth.mp3") +
                                                 " music 2D blocking</string></Sound_2D><Sound_3D><string>" + m_Tone +
                                                 "</string></Sound_3D><Music_2D>" + strings + "</Music_2D></XMLRoot>");
    Engine().SelectOutput(Snd::AudioOutput::Loopback);
    return Printed([] { Engine().Init(); });
  }

  template <class M, class... Fields>
  static void Post(Fields&&... fields) {
    Msg::MailMan::Instance().Post(new M(std::forward<Fields>(fields)...));
  }

  // One frame of the game as far as sound goes: the clock, the delivery, the engine's update.
  void Frame(double ms = 33.0) {
    m_Time.AdvanceMs(ms);
    Clock::Instance().BeginFrame();
    Msg::MailMan::Instance().Deliver();
    Engine().Update();
  }

  // Mixes the next frames on the loopback device; the loudness of each side.
  static Levels Mix(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    EXPECT_EQ(Engine().Device()->RenderLoopback(out.data(), frames), Snd::kAudioOk);
    double left = 0.0, right = 0.0;
    for (size_t i = 0; i < out.size(); i += 2) {
      left += out[i] * out[i];
      right += out[i + 1] * out[i + 1];
    }
    return {std::sqrt(left / frames), std::sqrt(right / frames)};
  }

  static bool Playing(Pool pool, int index) {
    bool playing = false;
    Snd::AudioChannel* channel = Engine().Channel(pool, index);
    return channel && channel->IsPlaying(&playing) == Snd::kAudioOk && playing;
  }

  // How many of the first `voices` voices of a pool play.
  static int CountPlaying(Pool pool, int voices) {
    int count = 0;
    for (int i = 0; i < voices; ++i) count += Playing(pool, i) ? 1 : 0;
    return count;
  }

  TempTree m_Tree;
  AssertRecorder m_Asserts;
  FakeTimeSource m_Time;
};

}  // namespace Testing
