#include <gmock/gmock.h>

#include <chrono>
#include <memory>
#include <thread>

#include "Game/Entity.h"
#include "Sound/SoundTesting.h"

using Msg::Vec3;
using testing::HasSubstr;
using Testing::Levels;
using Testing::Pool;
using Testing::SoundPath;

namespace {

class SoundEngineTest : public Testing::SoundTest {};

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

TEST_F(SoundEngineTest, APositionalSoundIsHeardFromItsSideAndAFlatOneFromTheMiddle) {
  Start();
  // The listener stands at x = 10 looking down -z: kind 2 is a direction, not a point to look at.
  Post<Msg::cameraGetInfoMsg>(0, Vec3{10, 0, 0});
  Post<Msg::cameraGetInfoMsg>(2, Vec3{0, 0, -1});
  Post<Msg::cameraGetInfoMsg>(3, Vec3{0, 1, 0});
  Post<Msg::soundPlay2DMsg>(false, m_Flat.c_str());
  Frame();
  const Levels flat = Mix(4800);
  EXPECT_GT(flat.left, 0.05);
  EXPECT_NEAR(flat.left, flat.right, flat.left * 0.01);
  Mix(48000);  // to the flat sound's end
  Post<Msg::soundPlay3DMsg>(false, Vec3{9, 0, 0}, m_Tone.c_str());
  Frame();
  const Levels left = Mix(4800);
  EXPECT_GT(left.left, 0.02);
  EXPECT_GT(left.left, 3.0 * left.right);
}

TEST_F(SoundEngineTest, AFullPoolRefusesTheNextRequestWithTheChannelLineAndOtherPoolsStillPlay) {
  Start();
  for (int i = 0; i < 23; ++i) Post<Msg::soundPlay3DMsg>(false, Vec3{0, 0, -2}, m_Tone.c_str());
  const std::string printed = Testing::Printed([this] { Frame(); });
  EXPECT_EQ(Occurrences(printed, "Failed to get channel on AddSound " + m_Tone + "\n"), 1u) << printed;
  EXPECT_EQ(CountPlaying(Pool::Sound3D, 22), 22);
  Post<Msg::soundPlay3DMsg>(true, Vec3{0, 0, -2}, m_Tone.c_str());
  Frame();
  EXPECT_TRUE(Playing(Pool::Music3D, 0));
  EXPECT_TRUE(Engine().Validate());
}

TEST_F(SoundEngineTest, MusicLayersJoinInStepFadeInAndFadeOutToSilence) {
  for (const char* layer : {"music_1_1.mp3", "music_1_2.mp3", "spiralswerve_1.mp3"})
    Testing::WriteTone(m_Tree.Root() + "/Assets/Sounds/" + layer, 2.0, 2, 330.0);
  Start({SoundPath("music_1_1.mp3 music 2D blocking"), SoundPath("music_1_2.mp3 music 2D blocking"),
         SoundPath("spiralswerve_1.mp3 music 2D blocking")});
  Post<Msg::gameAreaMsg>(1);  // which asks for layer 1 with action 0
  Frame();
  Frame();
  ASSERT_TRUE(Playing(Pool::Layer, 1));
  EXPECT_TRUE(Playing(Pool::Swerve, 0));  // running silently
  Mix(14400);
  Post<Msg::soundMusicLayerMsg>(2, 1, "2");
  Frame();
  Mix(12000);
  uint32_t first = 0, second = 0;
  Engine().Channel(Pool::Layer, 1)->GetPosition(&first, Snd::kTimeUnitPcm);
  Engine().Channel(Pool::Layer, 2)->GetPosition(&second, Snd::kTimeUnitPcm);
  EXPECT_GE(first, 26400u);
  EXPECT_EQ(first, second);
  float volume = 0.0f;
  Engine().Channel(Pool::Layer, 2)->GetVolume(&volume);
  EXPECT_NEAR(volume, 0.033f, 0.001f);  // one frame into its fade
  for (int i = 0; i < 31; ++i) Frame();
  Engine().Channel(Pool::Layer, 2)->GetVolume(&volume);
  EXPECT_EQ(volume, 1.0f);
  Post<Msg::soundMusicLayerMsg>(1, -3, "");
  Post<Msg::soundMusicLayerMsg>(2, 3, "");
  for (int i = 0; i < 32; ++i) Frame();
  EXPECT_EQ(CountPlaying(Pool::Layer, 10), 0);
  Mix(4800);  // the mixer's own short ramp
  EXPECT_LT(Mix(4800).left, 1e-6);
  EXPECT_TRUE(Engine().Validate());
}

TEST_F(SoundEngineTest, TheComboRestartsAfterItsTimeoutAndStopsAtNine) {
  Start();
  for (int i = 0; i < 11; ++i) {
    Post<Msg::soundIncFFComboMsg>();
    Frame(150);
  }
  EXPECT_EQ(Engine().Combo(), 9);
  Frame(2001);
  EXPECT_EQ(Engine().Combo(), 0);
  Post<Msg::soundIncFFComboMsg>();
  Frame(10);
  EXPECT_EQ(Engine().Combo(), 1);
  // Two seconds to the millisecond: the frame keeps the count, the next increment restarts it.
  Frame(1990);
  EXPECT_EQ(Engine().Combo(), 1);
  Post<Msg::soundIncFFComboMsg>();
  Frame(0);
  EXPECT_EQ(Engine().Combo(), 0);
}

TEST_F(SoundEngineTest, FilesMissingCutShortOrUndecodableAreReportedAndDropped) {
  m_Tree.Write("Assets/Sounds/broken.ogg", std::string(4000, 'x'));
  Testing::WriteTone(m_Tree.Root() + "/Assets/Sounds/whole.wav", 1.0, 1, 440.0);
  const std::string whole = m_Tree.Read("Assets/Sounds/whole.wav");
  m_Tree.Write("Assets/Sounds/cut.wav", whole.substr(0, whole.size() / 2));
  const std::vector<std::string> bad{SoundPath("missing.ogg"), SoundPath("broken.ogg"), SoundPath("cut.wav")};
  std::vector<std::string> descriptors;
  for (const std::string& path : bad) descriptors.push_back(path + " sound 2D blocking");
  const std::string reported = Start(descriptors);
  EXPECT_THAT(reported, HasSubstr("FMOD error! (4) The sound's file is missing, unreadable or empty. " + bad[0]));
  EXPECT_THAT(reported, HasSubstr("FMOD error! (3) The sound's data is not in a format that can be decoded, or is "
                                  "cut short. " +
                                  bad[1]));
  EXPECT_THAT(reported, HasSubstr("FMOD error! (3) The sound's data is not in a format that can be decoded, or is "
                                  "cut short. " +
                                  bad[2]));
  for (const std::string& descriptor : descriptors) Post<Msg::soundPlay2DMsg>(false, descriptor.c_str());
  const std::string printed = Testing::Printed([this] { Frame(); });
  for (const std::string& descriptor : descriptors)
    EXPECT_THAT(printed, HasSubstr("Error trying to load " + descriptor + "\n"));
  EXPECT_EQ(CountPlaying(Pool::Sound2D, 21), 0);
}

TEST_F(SoundEngineTest, WithoutAnAudioDeviceTheGameRunsSilentAndTheComboStillCounts) {
  Engine().SelectOutput(Snd::AudioOutput::Device, "no such device");
  const std::string reported = Testing::Printed([] { Engine().Init(); });
  EXPECT_THAT(reported, HasSubstr("FMOD error! (8) No audio output device could be opened."));
  EXPECT_EQ(Engine().Device(), nullptr);
  Post<Msg::gameAreaMsg>(1);
  Post<Msg::soundPlay3DMsg>(false, Vec3{}, m_Tone.c_str());
  Post<Msg::soundPlay2DMsg>(true, m_Flat.c_str());
  Post<Msg::soundSpiralSwerveMsg>(true);
  Post<Msg::soundPlayVineGrowthMsg>("vine", true);
  Post<Msg::gameFireflyCollidedMsg>(Vec3{}, 0.0f);
  const std::string printed = Testing::Printed([this] {
    for (int i = 0; i < 3; ++i) Frame();
  });
  EXPECT_EQ(printed, "");
  EXPECT_EQ(Engine().Combo(), 1);
  EXPECT_TRUE(Engine().Validate());
}

TEST_F(SoundEngineTest, ASoundLoadingInTheBackgroundWaitsOnItsVoiceAndThenPlays) {
  Testing::WriteTone(m_Tree.Root() + "/Assets/Sounds/later.ogg", 1.0, 2, 500.0);
  const std::string later = SoundPath("later.ogg") + " sound 2D software";
  Util::Worker::Get().Start();
  Start({later});
  Post<Msg::soundPlay2DMsg>(false, later.c_str());
  Post<Msg::soundPlay2DMsg>(false, m_Flat.c_str());
  Frame();
  EXPECT_EQ(Engine().Channel(Pool::Sound2D, 0), nullptr);  // waiting, and kept from the next request
  EXPECT_TRUE(Playing(Pool::Sound2D, 1));
  EXPECT_TRUE(Engine().Validate());
  for (int i = 0; i < 300 && Engine().Loading() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Util::Worker::Get().CompleteFinishedJobs();
  }
  Frame();
  EXPECT_TRUE(Playing(Pool::Sound2D, 0));
  EXPECT_TRUE(Engine().Validate());
}

TEST_F(SoundEngineTest, AnEntitysSoundStartsWhereItStandsAndItsLoopStopsWithIt) {
  Testing::WriteTone(m_Tree.Root() + "/Assets/Sounds/hum.ogg", 1.0, 1, 120.0);
  const std::string hum = SoundPath("hum.ogg") + " music 3D blocking";
  Start({hum});
  m_Tree.Write("Assets/Xml/entities/hummer.xml",
               "<?xml version=\"1.0\"?><XMLRoot><Entity><string name=\"name\">Hummer</string><Shared><Position>"
               "<float name=\"x\">1</float></Position></Shared></Entity><Sound><string name=\"name\">" +
                   hum + "</string></Sound></XMLRoot>");
  auto entity = std::make_unique<Game::Entity>("../../Assets/Xml/entities/hummer.xml");
  ASSERT_NE(entity->GetSound(), nullptr);
  Frame();
  Frame();
  ASSERT_TRUE(Playing(Pool::Music3D, 0));
  EXPECT_FALSE(Playing(Pool::Music3D, 1));  // started once
  const Levels right = Mix(4800);
  EXPECT_GT(right.right, 3.0 * right.left);
  entity.reset();
  EXPECT_FALSE(Playing(Pool::Music3D, 0));
}
