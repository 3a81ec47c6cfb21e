// Window: the game's one window and its OpenGL context.
//
// Owns the SDL window and the GL context (compatibility profile, double buffered, synchronised with
// the vertical retrace), the list of usable resolutions and the current mode. `init` runs in the
// engine's start-up before anything draws: it starts SDL's video, reads the desktop size, builds the
// resolution list, opens the window centred on the desktop with the caption and icon. The renderer
// reads Width and Height and swaps the buffers at the end of each frame. Full screen is the desktop's
// own size (SDL's desktop full-screen mode). When SDL cannot start, the game runs on without a
// window and every operation here does nothing harmful. Handles no messages; main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Core/Vector2.h"
#include "Util/Singleton.h"

struct SDL_Window;

namespace Core {

class Window : public Util::Singleton<Window> {
 public:
  // 0 when the window is open, 1 when SDL could not start or the window could not be created.
  int init();
  void shutdown();

  // Flips full screen and recomputes the size; the caller then sets the video mode.
  void ToggleFullScreen();
  // Applies the current width, height and full-screen flag to the window.
  void SetVideoMode();
  // 1 when the index is the current one, -1 when there is no such width, 0 once the mode is set.
  int SetResolution(int32_t index);
  void SetSize(uint32_t width, uint32_t height);
  void SetSize(const Vector2& size);  // truncated
  void SetCaption();
  void SwapBuffers();
  // Called by SwapBuffers just before the frame is shown, while the back buffer holds it: where
  // a driver reads the finished frame back (the play-test runner's captures). None by default.
  static void SetBeforeSwap(std::function<void()> hook);

  // Fills the resolution list and the current size from a desktop size and prints the aspect. `init`
  // calls it with the real desktop; it touches no SDL state, so any desktop can be tried.
  void BuildResolutionList(uint32_t desktopWidth, uint32_t desktopHeight);

  uint32_t Width() const { return m_Width; }
  uint32_t Height() const { return m_Height; }
  bool IsFullScreen() const { return m_FullScreen; }
  void SetFullScreen(bool fullScreen) { m_FullScreen = fullScreen; }
  uint32_t ResolutionIndex() const { return m_ResIndex; }
  const std::vector<std::string>& ResolutionNames() const { return m_ResolutionNames; }
  const std::vector<uint32_t>& Widths() const { return m_Widths; }
  float Aspect() const { return m_Aspect; }
  const std::string& Caption() const { return m_Caption; }
  bool IsInit() const { return m_IsInit; }
  // The SDL window, null when there is none (for the few callers that need SDL itself).
  SDL_Window* Handle() const { return m_SdlWindow; }

 private:
  friend class Util::Singleton<Window>;
  Window();
  ~Window() override;

  bool OpenWindow();
  void SetIcon();
  // The height of the current width in the current mode.
  void ComputeHeight();

  uint32_t m_Height = 0;
  bool m_IsInit = false;
  bool m_FullScreen = false;
  std::vector<std::string> m_ResolutionNames;
  std::vector<uint32_t> m_Widths;
  uint32_t m_ResIndex = 0;
  uint32_t m_ScreenWidth = 0;
  uint32_t m_ScreenHeight = 0;
  float m_Aspect = 0.0f;
  std::string m_Caption = "Hollowmere Drift";
  uint32_t m_Width = 0;

  // Where the desktop starts, for placing the window on it.
  int32_t m_ScreenX = 0;
  int32_t m_ScreenY = 0;
  SDL_Window* m_SdlWindow = nullptr;
  void* m_GlContext = nullptr;
};

}  // namespace Core
