#include "Graphics/GlyphAtlas.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <memory>

#include "Graphics/GL.h"
#include "Util/ErrorLog.h"
#include "Util/FileAccess.h"

namespace Gfx {
namespace {

constexpr uint32_t kFirst = 32;
constexpr uint32_t kLast = 255;
constexpr int kAtlasWidth = 1024;
constexpr int kPadding = 4;  // between cells, so that smaller mip levels do not mix neighbours

struct SurfaceFree {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// The coverage of a rendered glyph, one byte a pixel, in a width × height grid placed at (dx, dy).
void Coverage(SDL_Surface* source, std::vector<uint8_t>& out, int width, int height, int dx, int dy) {
  Surface rgba(SDL_ConvertSurfaceFormat(source, SDL_PIXELFORMAT_RGBA32, 0));
  if (!rgba) return;
  SDL_LockSurface(rgba.get());
  for (int y = 0; y < rgba->h; ++y)
    for (int x = 0; x < rgba->w; ++x) {
      const int tx = x + dx, ty = y + dy;
      if (tx < 0 || ty < 0 || tx >= width || ty >= height) continue;
      const auto* row = static_cast<const uint8_t*>(rgba->pixels) + static_cast<size_t>(rgba->pitch) * y;
      out[static_cast<size_t>(ty) * width + tx] = row[4 * x + 3];
    }
  SDL_UnlockSurface(rgba.get());
}

struct Cell {
  std::vector<uint8_t> fill, outline;
  int width = 0, height = 0;
};

struct Made {
  std::vector<GlyphAtlas::Glyph> glyphs;
  std::vector<uint8_t> pixels;
  int width = 0, height = 0, lineHeight = 0;
};

Made Rasterise(TTF_Font* fill, TTF_Font* outline) {
  Made made;
  made.glyphs.resize(kLast + 1);
  made.lineHeight = TTF_FontLineSkip(fill);
  std::vector<Cell> cells(kLast + 1);
  const SDL_Color white{255, 255, 255, 255};
  int x = kPadding, y = kPadding, shelf = 0;
  for (uint32_t c = kFirst; c <= kLast; ++c) {
    if (!TTF_GlyphIsProvided32(fill, c)) continue;
    int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
    if (TTF_GlyphMetrics32(fill, c, &minX, &maxX, &minY, &maxY, &advance) != 0) continue;
    Surface body(TTF_RenderGlyph32_Blended(fill, c, white));
    Surface edge(TTF_RenderGlyph32_Blended(outline, c, white));
    GlyphAtlas::Glyph& glyph = made.glyphs[c];
    glyph.m_Present = true;
    glyph.m_Advance = static_cast<int16_t>(advance);
    if (!body || !edge) continue;  // a space: an advance and nothing to draw
    Cell& cell = cells[c];
    cell.width = edge->w;
    cell.height = edge->h;
    cell.fill.assign(static_cast<size_t>(cell.width) * cell.height, 0);
    cell.outline.assign(cell.fill.size(), 0);
    Coverage(edge.get(), cell.outline, cell.width, cell.height, 0, 0);
    Coverage(body.get(), cell.fill, cell.width, cell.height, GlyphAtlas::kOutline, GlyphAtlas::kOutline);
    if (x + cell.width + kPadding > kAtlasWidth) {
      x = kPadding;
      y += shelf + kPadding;
      shelf = 0;
    }
    glyph.m_X = static_cast<uint16_t>(x);
    glyph.m_Y = static_cast<uint16_t>(y);
    glyph.m_Width = static_cast<uint16_t>(cell.width);
    glyph.m_Height = static_cast<uint16_t>(cell.height);
    glyph.m_Left = -GlyphAtlas::kOutline;
    glyph.m_Top = -GlyphAtlas::kOutline;
    x += cell.width + kPadding;
    shelf = std::max(shelf, cell.height);
  }
  made.width = kAtlasWidth;
  made.height = 64;
  while (made.height < y + shelf + kPadding) made.height *= 2;
  made.pixels.assign(static_cast<size_t>(made.width) * made.height * 4, 0);
  for (uint32_t c = kFirst; c <= kLast; ++c) {
    const Cell& cell = cells[c];
    const GlyphAtlas::Glyph& glyph = made.glyphs[c];
    for (int cy = 0; cy < cell.height; ++cy)
      for (int cx = 0; cx < cell.width; ++cx) {
        const size_t i = static_cast<size_t>(cy) * cell.width + cx;
        const float body = cell.fill[i] / 255.0f, edge = cell.outline[i] / 255.0f;
        // White over a dark rim: the rim is most of the way opaque, softened at its edge.
        const float alpha = body + (1.0f - body) * edge * 0.95f;
        const float white = alpha > 0.0f ? body / alpha : 0.0f;
        uint8_t* p = &made.pixels[((static_cast<size_t>(glyph.m_Y) + cy) * made.width + glyph.m_X + cx) * 4];
        p[0] = p[1] = p[2] = static_cast<uint8_t>(white * 255.0f + 0.5f);
        p[3] = static_cast<uint8_t>(alpha * 255.0f + 0.5f);
      }
  }
  return made;
}

// The font at its size, read from memory that stays with the caller while the font is open.
TTF_Font* OpenFont(const std::vector<char>& bytes, int outline) {
  SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  TTF_Font* font = source ? TTF_OpenFontRW(source, 1, GlyphAtlas::kPixelSize) : nullptr;
  if (font) TTF_SetFontOutline(font, outline);
  return font;
}

Made MakeAtlas(const char* fontPath) {
  size_t length = 0;
  const std::unique_ptr<char[]> file = Util::LoadBinaryFile(fontPath, length);
  if (!file) {
    Util::ErrorLog::Instance().Error(std::string("GlyphAtlas: no font at ") + fontPath + ": text is not drawn\n");
    return {};
  }
  const std::vector<char> bytes(file.get(), file.get() + length);
  // The font engine is needed only while the atlas is made.
  const bool started = TTF_Init() == 0;
  TTF_Font* fill = started ? OpenFont(bytes, 0) : nullptr;
  TTF_Font* outline = started ? OpenFont(bytes, GlyphAtlas::kOutline) : nullptr;
  Made made;
  if (fill && outline)
    made = Rasterise(fill, outline);
  else
    Util::ErrorLog::Instance().Error(std::string("GlyphAtlas: ") + fontPath + ": " + TTF_GetError() + "\n");
  if (fill) TTF_CloseFont(fill);
  if (outline) TTF_CloseFont(outline);
  if (started) TTF_Quit();
  return made;
}

}  // namespace

uint32_t NextCodepoint(const std::string& text, size_t& at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t first = byte(at);
  const size_t extra = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : first >= 0xC0 ? 1 : 0;
  if (extra == 0 || first >= 0xF8 || at + extra >= text.size()) {
    ++at;
    return first;
  }
  uint32_t code = first & (0x3F >> extra);
  for (size_t i = 1; i <= extra; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return first;
    }
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  at += extra + 1;
  return code;
}

GlyphAtlas::GlyphAtlas(const char* fontPath) : Texture(kName, InMemory{}) {
  Made made = MakeAtlas(fontPath);
  m_Glyphs = std::move(made.glyphs);
  m_LineHeight = made.lineHeight;
  if (made.pixels.empty()) {
    // One clear texel, so that the text material binds something harmless.
    made.pixels.assign(4, 0);
    made.width = made.height = 1;
  }
  SetImage(static_cast<uint32_t>(made.width), static_cast<uint32_t>(made.height), std::move(made.pixels));
  CreateGL();
}

uint32_t GlyphAtlas::CreateGL() {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  // Uncompressed: compression would smear the thin strokes.
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, static_cast<GLint>(Width()), static_cast<GLint>(Height()), GL_BGRA,
                    GL_UNSIGNED_BYTE, Pixels().data());
  SetName(name);
  return name;
}

const GlyphAtlas::Glyph* GlyphAtlas::Find(uint32_t codepoint) const {
  if (codepoint < m_Glyphs.size() && m_Glyphs[codepoint].m_Present) return &m_Glyphs[codepoint];
  if (m_Glyphs.size() > '?' && m_Glyphs['?'].m_Present) return &m_Glyphs['?'];
  return nullptr;
}

int GlyphAtlas::LineWidth(const std::string& text, size_t from) const {
  int width = 0;
  for (size_t at = from; at < text.size();) {
    const uint32_t c = NextCodepoint(text, at);
    if (c == '\n') break;
    if (const Glyph* glyph = Find(c)) width += glyph->m_Advance;
  }
  return width;
}

}  // namespace Gfx
