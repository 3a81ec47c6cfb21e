// Runner: hollowmere-playtest, the real game driven by a play script.
//
// It runs the game as the game's own entry does (GameEngine's Init, its frames, Shutdown, on the
// same asset tree from the same working directory), except that it runs the frames itself, one
// by one, on a fixed clock (FixedTime: 33 ms per frame, no waiting), with every random source
// seeded from the play script's seed, background jobs done inline (finished by the frame that
// asked for them), an assertion handler that prints and counts instead of showing a dialog, and
// the crash handler of the game.
//
// The play script is Lua in a state of its own (base, math, string, table and io). It runs as one
// coroutine: its first stretch runs before the game starts (where it may set the seed, the frame
// limit, pacing and recording); the game starts at the first call that needs it. From then on the
// coroutine is resumed before the input step of the frame it waits for, so the input it gives
// goes into that frame. The functions it gets are listed in PlayFunctions.cpp and in the README.
//
// The run ends when the play script returns, when the game quits (a script's QuitGame, the
// window's close), after the frame limit or on SIGINT/SIGTERM; the frame in progress completes
// first. If the play script is still waiting then, it is resumed once more before shutdown: its
// pending wait returns false, the game's state can still be read, and a further wait is an
// error. Then the summary is printed ("PLAYTEST PASS n/n" or "PLAYTEST FAIL k/n") and the exit
// status is 0 only if every check held. Output that depends on the machine's speed (frames per
// second of wall time) goes to standard error, so the same play script prints the same text.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Playtest/FixedTime.h"
#include "Playtest/InputFeed.h"
#include "Playtest/Recorder.h"
#include "Playtest/Verdict.h"
#include "Script/ScriptValue.h"

struct lua_State;

namespace Play {

class Runner {
 public:
  static constexpr int64_t kFrameMs = 33;
  static constexpr uint32_t kDefaultFrameLimit = 18000;  // ten minutes of game time

  Runner() = default;
  ~Runner();
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  // Runs the play script at `path`; gives the exit status.
  int Run(const std::string& path);

  // What the play-script functions act on (PlayFunctions.cpp).
  // Starts the game if it has not started; false once it has ended.
  bool EnsureStarted();
  bool Started() const { return m_Started; }
  bool Ended() const { return m_Ended; }
  bool GameRunning() const;
  // The frame the play script's input goes into: the one whose input step comes next.
  uint32_t CurrentFrame() const;
  // The coroutine waits `frames` frames, or for the capture of the current frame.
  void WaitFrames(uint32_t frames);
  void WaitCapture(const std::string& name);
  // Something to queue before a later frame's input step (a key's release after a tap).
  void Later(uint32_t frames, const SDL_Event& event) { m_Later.emplace_back(CurrentFrame() + frames, event); }

  void SetSeed(uint32_t seed) { m_Seed = seed; }
  void SetFrameLimit(uint32_t frames) { m_FrameLimit = frames; }
  void SetPaced(bool paced);
  void SetCaptureFolder(const std::string& folder) { m_CaptureFolder = folder; }
  bool Record(const std::string& path);
  void KeepOnRecord(const std::string& line) { m_Recorder.Line(line); }

  InputFeed& Feed() { return m_Feed; }
  Verdict& Checks() { return m_Verdict; }
  int& MouseX() { return m_MouseX; }
  int& MouseY() { return m_MouseY; }

 private:
  enum class Waiting { Frames, Capture };

  bool Load(const std::string& path);
  void Resume();
  void Loop();
  void BeforeInput();
  void AfterFrame();
  void TakeCapture();
  void Finish();

  lua_State* m_L = nullptr;
  lua_State* m_Script = nullptr;
  bool m_ScriptDone = false;
  Waiting m_Waiting = Waiting::Frames;
  uint32_t m_ResumeAt = 0;
  bool m_Yielded = false;  // the coroutine waits in one of the runner's calls
  bool m_InHook = false;

  bool m_Started = false;
  bool m_Ended = false;
  uint32_t m_Seed = 1;
  uint32_t m_FrameLimit = kDefaultFrameLimit;
  bool m_Paced = false;
  std::atomic<uint32_t> m_Frame{0};  // for assertions, which may come from the worker thread

  FixedTime m_Time;
  InputFeed m_Feed;
  Recorder m_Recorder;
  Verdict m_Verdict;
  std::vector<std::pair<uint32_t, SDL_Event>> m_Later;
  int m_MouseX = 0;
  int m_MouseY = 0;

  std::string m_CaptureFolder = "captures";
  std::string m_CaptureName;
  uint32_t m_CaptureFrame = 0;
  bool m_CapturePending = false;
  std::string m_CapturePath;  // the file written, or empty
  std::string m_CaptureError;
};

// The play-script functions, as globals of the play script's state.
void RegisterPlayFunctions(lua_State* L, Runner& runner);
// Pushes a value read from the game's state as the same Lua value in another state.
void PushValue(lua_State* L, const Spt::ScriptValue& value);

}  // namespace Play
