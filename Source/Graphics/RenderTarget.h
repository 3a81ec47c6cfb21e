// RenderTarget: one off-screen framebuffer object with its colour textures and its depth, drawn
// into by the TARGET render state and sampled by SOURCE. The renderer's ten targets are made from
// one table, in its order, at start-up, and remade in place (same index, same name) when the window
// size changes. The full-size targets with depth share the BufferFactory's depth renderbuffer, so
// that what one pass draws stays depth-tested in the next; the others own a depth of their size.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Util/Singleton.h"

namespace Gfx {

class RenderTarget {
 public:
  static constexpr int kCount = 10;
  // The name of table entry `index` (0 to kCount - 1).
  static const char* NameOf(int index);

  // Builds table entry `index` for a window of this size; an incomplete framebuffer prints the
  // entry's line and leaves the target in place.
  RenderTarget(int index, uint32_t windowWidth, uint32_t windowHeight);
  ~RenderTarget();
  RenderTarget(const RenderTarget&) = delete;
  RenderTarget& operator=(const RenderTarget&) = delete;

  // Binds the framebuffer, attaches the colour textures and the depth, and draws into every colour
  // attachment.
  void BindForDrawing() const;
  // Texture index + k to unit unit + k: one texture when `single` is non-zero, all of them otherwise
  // (index 0 then).
  void BindForSampling(int unit, int index, int single) const;

  const std::string& Name() const { return m_Name; }
  uint32_t Width() const { return m_Width; }
  uint32_t Height() const { return m_Height; }
  int TextureCount() const { return static_cast<int>(m_Textures.size()); }
  uint32_t TextureName(int i) const { return m_Textures[static_cast<size_t>(i)]; }
  uint32_t Framebuffer() const { return m_Framebuffer; }
  // The depth renderbuffer attached, shared or own; 0 for none.
  uint32_t Depth() const { return m_Depth; }
  bool Complete() const { return m_Complete; }

 private:
  std::string m_Name;
  uint32_t m_Width = 0;
  uint32_t m_Height = 0;
  uint32_t m_Framebuffer = 0;
  std::vector<uint32_t> m_Textures;
  uint32_t m_Depth = 0;
  bool m_OwnsDepth = false;
  bool m_Complete = false;
};

// Keeps the one window-sized 24-bit depth renderbuffer that the full-size targets share. It lives
// until program exit; its GL object goes with the resource manager, while the context exists.
class BufferFactory : public Util::Singleton<BufferFactory> {
 public:
  void CreateSharedDepth(uint32_t width, uint32_t height);
  void Release();
  uint32_t SharedDepth() const { return m_SharedDepth; }

 private:
  friend class Util::Singleton<BufferFactory>;
  BufferFactory() : Singleton(false) {}

  uint32_t m_SharedDepth = 0;
};

}  // namespace Gfx
