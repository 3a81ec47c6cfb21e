#include "Playtest/Runner.h"

#include <lua.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Core/Clock.h"
#include "Core/Input.h"
#include "Core/Window.h"
#include "Game/GameEngine.h"
#include "Playtest/Image.h"
#include "Util/Assert.h"
#include "Util/Random.h"
#include "Util/Signals.h"
#include "Util/Worker.h"

namespace Play {
namespace {

// The libraries a play script gets: those of the game's scripts. Without os, nothing in a play
// script can read the wall clock or end the process past the shutdown.
const lua_CFunction kLibraries[] = {luaopen_base, luaopen_math, luaopen_string, luaopen_io, luaopen_table};

// The "Comment: " line of an assertion's text.
std::string CommentOf(const std::string& text) {
  const size_t at = text.find("Comment: ");
  if (at == std::string::npos) return text;
  const size_t end = text.find('\n', at);
  return text.substr(at + 9, end == std::string::npos ? std::string::npos : end - at - 9);
}

}  // namespace

Runner::~Runner() {
  if (m_L) lua_close(m_L);
}

int Runner::Run(const std::string& path) {
  const Util::AssertHandler previous = Util::SetAssertHandler([this](const std::string& text) {
    std::printf("PLAYTEST ASSERTION\n%s\n", text.c_str());
    m_Verdict.Check(false, "assertion: " + CommentOf(text), m_Frame.load());
    return Util::AssertChoice::Ignore;
  });
  Clock::Instance().SetTimeSource(m_Time);
  m_MouseX = Core::Input::kCursorHoldX;
  m_MouseY = Core::Input::kCursorHoldY;

  if (Load(path)) {
    Resume();
    if (!m_ScriptDone) EnsureStarted();
    if (m_Started) Loop();
  }
  Finish();
  Util::SetAssertHandler(previous);
  return m_Verdict.ExitStatus();
}

bool Runner::Load(const std::string& path) {
  m_L = luaL_newstate();
  if (!m_L) return m_Verdict.Check(false, "play script: no memory for a Lua state", 0);
  for (lua_CFunction open : kLibraries) {
    lua_pushcfunction(m_L, open);
    lua_call(m_L, 0, 0);
  }
  RegisterPlayFunctions(m_L, *this);

  // The play script's folder, for the files that go with it (reference images).
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  lua_pushstring(m_L, folder.empty() ? "." : folder.c_str());
  lua_setglobal(m_L, "SCRIPT_DIR");

  std::ifstream in(path, std::ios::binary);
  if (!in) return m_Verdict.Check(false, "play script: cannot read " + path, 0);
  std::stringstream text;
  text << in.rdbuf();
  const std::string source = text.str();
  m_Script = lua_newthread(m_L);
  luaL_ref(m_L, LUA_REGISTRYINDEX);  // the coroutine lives as long as the state
  const std::string chunk = "@" + path;
  if (luaL_loadbuffer(m_Script, source.data(), source.size(), chunk.c_str()) != 0) {
    const char* message = lua_tostring(m_Script, -1);
    return m_Verdict.Check(false, std::string("play script: ") + (message ? message : "does not load"), 0);
  }
  return true;
}

void Runner::Resume() {
  int values = 0;
  if (m_Yielded) {
    // What the call the coroutine waits in gives back.
    if (m_Waiting == Waiting::Frames) {
      lua_pushboolean(m_Script, m_Ended ? 0 : 1);
      values = 1;
    } else if (!m_CapturePath.empty()) {
      lua_pushstring(m_Script, m_CapturePath.c_str());
      values = 1;
    } else {
      lua_pushnil(m_Script);
      lua_pushstring(m_Script,
                     m_CaptureError.empty() ? "the game ended before the frame was drawn" : m_CaptureError.c_str());
      values = 2;
    }
  }
  m_Yielded = false;
  const int status = lua_resume(m_Script, values);
  if (status == LUA_YIELD) {
    if (!m_Yielded) WaitFrames(1);  // a bare coroutine.yield waits one frame
    return;
  }
  m_ScriptDone = true;
  if (status != 0) {
    const char* message = lua_tostring(m_Script, -1);
    m_Verdict.Check(false, std::string("play script error: ") + (message ? message : "(not a string)"), CurrentFrame());
  }
}

bool Runner::EnsureStarted() {
  if (m_Started) return true;
  if (m_Ended) return false;
  m_Started = true;
  // A controller plugged into the machine would change the game's bindings from one machine to
  // the next: the game sees only the play script's (SDL's virtual pads carry no vendor or
  // product). Recording, the player's own controller is the point.
  if (!m_Recorder.IsOpen()) SDL_SetHint(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT, "0x0000/0x0000");
  Util::Random::Instance().Seed(m_Seed);
  // Background loading as fast as the fixed clock: done by the frame's completion step.
  Util::Worker::Get().SetInline(true);
  Game::GameEngine::SetBeforeInput([this] { BeforeInput(); });
  Core::Window::SetBeforeSwap([this] {
    if (m_CapturePending && m_CaptureFrame == Clock::Instance().FrameCount()) TakeCapture();
  });
  Game::GameEngine::Instance().Init();
  m_Feed.Start(m_Recorder.IsOpen() ? SystemInput::Hold : SystemInput::Drop);
  if (m_Recorder.IsOpen()) m_Feed.SetObserver([this](const SDL_Event& event) { m_Recorder.Event(event); });
  // Start-up takes one frame's time, so that the first frame, like every other, lasts 33 ms.
  m_Time.Advance(kFrameMs);
  m_Time.SetPaced(m_Paced);
  return true;
}

bool Runner::GameRunning() const {
  return m_Started && Game::GameEngine::Exists() && Game::GameEngine::Instance().IsRunning();
}

uint32_t Runner::CurrentFrame() const {
  const uint32_t begun = Clock::Instance().FrameCount();
  return m_InHook ? begun : begun + 1;
}

void Runner::WaitFrames(uint32_t frames) {
  m_Waiting = Waiting::Frames;
  m_ResumeAt = CurrentFrame() + frames;
  m_Yielded = true;
}

void Runner::WaitCapture(const std::string& name) {
  m_CaptureName = name;
  m_CaptureFrame = CurrentFrame();
  m_CapturePending = true;
  m_CapturePath.clear();
  m_CaptureError.clear();
  m_Waiting = Waiting::Capture;
  m_ResumeAt = m_CaptureFrame + 1;
  m_Yielded = true;
}

void Runner::SetPaced(bool paced) {
  m_Paced = paced;
  if (m_Started) m_Time.SetPaced(paced);
}

bool Runner::Record(const std::string& path) {
  if (!m_Recorder.Open(path, m_Seed)) return false;
  // A person plays: at the game's own pace, for as long as they like.
  m_Paced = true;
  m_FrameLimit = 0;
  return true;
}

void Runner::Loop() {
  Game::GameEngine& engine = Game::GameEngine::Instance();
  const auto start = std::chrono::steady_clock::now();
  const uint32_t first = Clock::Instance().FrameCount();
  const char* end = nullptr;
  bool limit = false;
  bool stopped = false;
  while (!end) {
    engine.Frame();
    AfterFrame();
    const uint32_t frame = Clock::Instance().FrameCount();
    if (!engine.IsRunning()) {
      end = "the game quit";
    } else if (m_ScriptDone) {
      end = "the play script ended";
    } else if (m_FrameLimit != 0 && frame >= m_FrameLimit) {
      end = "the frame limit was reached";
      limit = true;
    } else if (Util::StopRequested()) {
      end = "stopped by a signal";
      stopped = true;
    }
  }
  const uint32_t last = Clock::Instance().FrameCount();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "hollowmere-playtest: %u frames in %.3f s of wall time, %.1f frames per second\n", last - first,
               seconds, seconds > 0.0 ? (last - first) / seconds : 0.0);
  std::printf("PLAYTEST END (frame %u): %s\n", last, end);

  m_Ended = true;
  if (!m_ScriptDone) Resume();
  if (limit)
    m_Verdict.Check(false, "the play script did not end within " + std::to_string(m_FrameLimit) + " frames", last);
  if (stopped) m_Verdict.Check(false, "the run was stopped by a signal", last);
}

void Runner::BeforeInput() {
  const uint32_t frame = Clock::Instance().FrameCount();
  m_Frame.store(frame);
  m_InHook = true;
  m_Recorder.BeginFrame(frame);
  // What the player did since the last input step, then what was promised to this frame.
  for (const SDL_Event& event : m_Feed.TakeHeld()) m_Feed.Push(event);
  for (size_t i = 0; i < m_Later.size();) {
    if (m_Later[i].first <= frame) {
      m_Feed.Push(m_Later[i].second);
      m_Later.erase(m_Later.begin() + static_cast<ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  if (!m_ScriptDone && frame >= m_ResumeAt) Resume();
  m_InHook = false;
}

void Runner::AfterFrame() {
  // Nothing showed the frame (no renderer swapped): the back buffer is read as it stands.
  if (m_CapturePending && m_CaptureFrame == Clock::Instance().FrameCount()) TakeCapture();
  m_Recorder.ReadController();
}

void Runner::TakeCapture() {
  m_CapturePending = false;
  std::string name = m_CaptureName;
  if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0) name += ".png";
  const std::string path = m_CaptureFolder + "/" + name;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  SDL_Window* window = Core::Window::Exists() ? Core::Window::Instance().Handle() : nullptr;
  int width = 0;
  int height = 0;
  if (window) SDL_GL_GetDrawableSize(window, &width, &height);
  Image image;
  if (!window || !ReadBackBuffer(width, height, image)) {
    m_CaptureError = "the game has no window to capture";
    return;
  }
  std::string error;
  if (!SavePng(image, path, error)) {
    m_CaptureError = "cannot write " + path + ": " + error;
    return;
  }
  m_CapturePath = path;
}

void Runner::Finish() {
  m_Recorder.Close(Clock::Instance().FrameCount());
  m_Feed.Stop();
  if (m_Started && Game::GameEngine::Exists()) {
    Game::GameEngine::Instance().Shutdown();
    Game::GameEngine::Destroy();
  }
  Game::GameEngine::SetBeforeInput(nullptr);
  Core::Window::SetBeforeSwap(nullptr);
  if (m_L) lua_close(m_L);
  m_L = nullptr;
  m_Script = nullptr;
  Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
  Util::Worker::Get().SetInline(false);
  std::printf("%s\n", m_Verdict.Summary().c_str());
  std::fflush(stdout);
}

}  // namespace Play
