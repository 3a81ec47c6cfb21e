// The play-test runner's parts on their own: the fixed clock, image comparison, the input filter
// and the recorder. The whole runner is tested by the play scripts beside this file.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Core/Clock.h"
#include "Core/Input.h"
#include "Core/KeyCodes.h"
#include "Playtest/FixedTime.h"
#include "Playtest/Image.h"
#include "Playtest/InputFeed.h"
#include "Playtest/Recorder.h"
#include "Support/TempTree.h"
#include "Util/Worker.h"

namespace {

// Counts the reads of the counter, so that a spinning wait shows.
class CountedFixedTime : public Play::FixedTime {
 public:
  int64_t Counter() override {
    ++reads;
    return FixedTime::Counter();
  }
  int reads = 0;
};

TEST(FixedTime, EveryFrameLastsThirtyThreeMillisecondsWithoutSpinning) {
  CountedFixedTime time;
  Clock clock(time);
  time.Advance(33);
  for (int frame = 0; frame < 100; ++frame) {
    clock.BeginFrame();
    ASSERT_EQ(clock.FrameTime(), 33.0);
    clock.EndFrame();
  }
  EXPECT_EQ(clock.CurrentFrameStart(), 3300);
  EXPECT_LT(time.reads, 400);
}

// A job that notes the thread it ran on and has `more` follow-ups after it.
class Noted : public Util::Job {
 public:
  Noted(int more, std::vector<std::thread::id>& ran) : m_More(more), m_Ran(ran) {}
  std::unique_ptr<Job> Run() override {
    m_Ran.push_back(std::this_thread::get_id());
    return m_More > 0 ? std::make_unique<Noted>(m_More - 1, m_Ran) : nullptr;
  }

 private:
  int m_More;
  std::vector<std::thread::id>& m_Ran;
};

TEST(Worker, InlineAJobRunsAtOnceAndItsFollowUpWaitsForTheCompletionStep) {
  Util::Worker& worker = Util::Worker::Get();
  worker.SetInline(true);
  std::vector<std::thread::id> ran;
  worker.Push(std::make_unique<Noted>(1, ran));
  EXPECT_EQ(ran.size(), 1u);
  EXPECT_EQ(worker.FinishedJobs(), 1u);
  worker.CompleteFinishedJobs();
  worker.SetInline(false);
  EXPECT_EQ(ran, std::vector<std::thread::id>(2, std::this_thread::get_id()));
}

Play::Image Filled(int width, int height, uint8_t value) {
  Play::Image image;
  image.width = width;
  image.height = height;
  image.rgb.assign(static_cast<size_t>(width * height * 3), value);
  return image;
}

TEST(Image, ComparisonCountsPixelsBeyondTheChannelTolerance) {
  const Play::Image a = Filled(4, 5, 100);
  Play::Image b = a;
  b.rgb[3 * 7 + 2] = 103;  // one channel of pixel 7
  b.rgb[3 * 9] = 101;
  Play::Difference d = Play::Compare(a, b, 2);
  EXPECT_TRUE(d.sameSize);
  EXPECT_EQ(d.largest, 3);
  EXPECT_EQ(d.differing, 1u);
  EXPECT_DOUBLE_EQ(d.share, 1.0 / 20.0);
  EXPECT_EQ(Play::Compare(a, b, 3).differing, 0u);
  d = Play::Compare(a, Filled(5, 4, 100), 255);
  EXPECT_FALSE(d.sameSize);
  EXPECT_EQ(d.share, 1.0);
}

TEST(Image, APngReadsBackAsWritten) {
  Testing::TempTree tree;
  Play::Image image = Filled(3, 2, 0);
  for (size_t i = 0; i < image.rgb.size(); ++i) image.rgb[i] = static_cast<uint8_t>(i * 13);
  std::string error;
  ASSERT_TRUE(Play::SavePng(image, "shot.png", error)) << error;
  Play::Image back;
  ASSERT_TRUE(Play::LoadPng("shot.png", back, error)) << error;
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.rgb, image.rgb);
  tree.Write("run/bin/broken.png", "\x89PNG\r\n\x1a\n cut short");
  EXPECT_FALSE(Play::LoadPng("broken.png", back, error));
  EXPECT_FALSE(error.empty());
}

TEST(Keys, EveryGameKeyNumberGoesOutAsAnSdlKeyAndComesBack) {
  int without = 0;
  for (int code = 0; code < Core::kKeyCount; ++code) {
    SDL_Event event;
    if (!Play::InputFeed::KeyEvent(code, true, event)) {
      ++without;
      continue;
    }
    EXPECT_EQ(Core::KeyCodeFromSdl(event.key.keysym.sym), code);
  }
  // SDL 1.2's unused numbers (26 control characters, 128 to 159, 297 to 299) and its four keys
  // SDL2 lost (the metas, compose, break).
  EXPECT_EQ(without, 26 + 32 + 3 + 4);
  SDL_Event event;
  EXPECT_FALSE(Play::InputFeed::KeyEvent(Core::kKeyCount, true, event));
}

class Feed : public testing::Test {
 protected:
  Feed() { SDL_InitSubSystem(SDL_INIT_EVENTS); }
  ~Feed() override {
    feed.Stop();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
  }
  static int Queued() {
    SDL_Event events[16];
    return SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  static void FromTheSystem(SDL_Event event) { SDL_PushEvent(&event); }

  Play::InputFeed feed;
};

TEST_F(Feed, OnlyTheFeedsOwnEventsReachTheGameAndRecordingHoldsThePlayersWithoutTheWarp) {
  feed.Start(Play::SystemInput::Drop);
  FromTheSystem(Play::InputFeed::WheelEvent(1));
  EXPECT_TRUE(feed.Push(Play::InputFeed::WheelEvent(2)));
  EXPECT_EQ(Queued(), 1);
  EXPECT_TRUE(feed.TakeHeld().empty());

  feed.Start(Play::SystemInput::Hold);
  SDL_Event key;
  ASSERT_TRUE(Play::InputFeed::KeyEvent('w', true, key));
  FromTheSystem(key);
  key.key.repeat = 1;
  FromTheSystem(key);
  FromTheSystem(Play::InputFeed::MotionEvent(Core::Input::kCursorHoldX, Core::Input::kCursorHoldY, -4, 0));
  FromTheSystem(Play::InputFeed::MotionEvent(304, 300, 4, 0));
  EXPECT_EQ(Queued(), 0);
  const std::vector<SDL_Event> held = feed.TakeHeld();
  ASSERT_EQ(held.size(), 2u);
  EXPECT_EQ(Play::Recorder::LineOf(held[0]), "key(119, true)");
  EXPECT_EQ(Play::Recorder::LineOf(held[1]), "mouse_move(4, 0, 304, 300)");
}

TEST(Recorder, WritesEachFramesInputAfterTheWaitThatLeadsToItAndEndsWithTheSessionsLastFrame) {
  Testing::TempTree tree;
  Play::Recorder recorder;
  ASSERT_TRUE(recorder.Open("session.lua", 9));
  recorder.BeginFrame(1);
  recorder.BeginFrame(2);
  SDL_Event event;
  ASSERT_TRUE(Play::InputFeed::MouseButtonEvent(7, true, 10, 20, event));
  recorder.Event(event);
  recorder.Line("connect()");
  recorder.BeginFrame(3);
  recorder.BeginFrame(6);
  recorder.Event(Play::InputFeed::WheelEvent(-2));
  recorder.Event(Play::InputFeed::CloseEvent(nullptr));
  recorder.Close(10);
  const std::string text = tree.Read("run/bin/session.lua");
  EXPECT_EQ(text.substr(text.find("seed")),
            "seed(9)\nwait(1)\n-- frame 2\nmouse_button(7, true, 10, 20)\nconnect()\n"
            "wait(4)\n-- frame 6\nwheel(-2)\nclose_window()\nwait(4)\n");
}

}  // namespace
