// Window: the game's one window and its OpenGL context.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include <cstdint>

#include "Util/Singleton.h"

namespace Core {

class Window : public Util::Singleton<Window> {
 public:
  int init();  // 0 on success, 1 when the video system could not start
  void shutdown();
  void ToggleFullScreen();
  void SetVideoMode();

  uint32_t Width() const { return m_Width; }
  uint32_t Height() const { return m_Height; }
  bool IsInit() const { return m_IsInit; }

 private:
  friend class Util::Singleton<Window>;
  Window();
  ~Window() override;

  uint32_t m_Height = 0;
  bool m_IsInit = false;
  uint32_t m_Width = 0;
};

}  // namespace Core
