// GlyphAtlas: the font texture that text is drawn from. Made once at start-up from a TrueType
// font (DejaVu Sans Bold, installed with the system's fonts) through SDL2_ttf: every printable
// character of Latin-1 is rasterised in warm white over a soft dark outline into one RGBA texture,
// with the placement of each in its cell. The texture is the resource manager's under the name
// kName, so that the text material names it as its TEXTURE 0 like any file; it is made again with
// the others when the renderer's resources are rebuilt.
//
// A font that cannot be read is reported once; the atlas is then empty (no glyphs) and text draws
// nothing, but the name still resolves. Text is laid out in atlas pixels: LineHeight() between
// baselines, each glyph's quad at the pen position plus its offset. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Graphics/Texture.h"

namespace Gfx {

class GlyphAtlas : public Texture {
 public:
  static constexpr const char* kName = "GlyphAtlas";
  static constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
  // Rasterised size and outline width, in atlas pixels.
  static constexpr int kPixelSize = 32;
  static constexpr int kOutline = 3;

  struct Glyph {
    // The cell in the atlas, in pixels from its top-left corner.
    uint16_t m_X = 0, m_Y = 0, m_Width = 0, m_Height = 0;
    // The cell's top-left corner relative to the pen on the line's top, and the pen's advance.
    int16_t m_Left = 0, m_Top = 0, m_Advance = 0;
    bool m_Present = false;
  };

  // Reads the font and makes the atlas and its GL texture.
  explicit GlyphAtlas(const char* fontPath = kFontPath);

  uint32_t CreateGL() override;

  // The glyph of a character; the question mark's for one the atlas lacks, null when it has none.
  const Glyph* Find(uint32_t codepoint) const;
  int LineHeight() const { return m_LineHeight; }
  bool Empty() const { return m_LineHeight == 0; }
  // The width of a line of text in atlas pixels (UTF-8; stops at a line break).
  int LineWidth(const std::string& text, size_t from = 0) const;

 private:
  std::vector<Glyph> m_Glyphs;  // by code point, 0 to 255
  int m_LineHeight = 0;
};

// The next code point of UTF-8 text at `at`, which moves past it; a malformed byte reads as itself.
uint32_t NextCodepoint(const std::string& text, size_t& at);

}  // namespace Gfx
