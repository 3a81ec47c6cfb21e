#include <cmath>

#include "Graphics/GL.h"
#include "Graphics/GlyphAtlas.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/RenderContext.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Visuals.h"

namespace Gfx {
namespace {

// The glyph quads of every line, in atlas pixels with y down: the first line's top-left corner at
// the origin, or, centred, the whole block's centre there.
void Lines(const GlyphAtlas& atlas, const std::string& text, bool centred) {
  int lines = 1;
  for (char c : text) lines += c == '\n';
  const float height = static_cast<float>(atlas.LineHeight());
  const float w = static_cast<float>(atlas.Width()), h = static_cast<float>(atlas.Height());
  float y = centred ? -0.5f * height * lines : 0.0f;
  glBegin(GL_QUADS);
  for (size_t at = 0; at <= text.size(); y += height) {
    float x = centred ? -0.5f * static_cast<float>(atlas.LineWidth(text, at)) : 0.0f;
    while (at < text.size()) {
      const uint32_t c = NextCodepoint(text, at);
      if (c == '\n') break;
      const GlyphAtlas::Glyph* glyph = atlas.Find(c);
      if (!glyph) continue;
      if (glyph->m_Width) {
        const float x0 = x + glyph->m_Left, y0 = y + glyph->m_Top;
        const float x1 = x0 + glyph->m_Width, y1 = y0 + glyph->m_Height;
        const float u0 = glyph->m_X / w, v0 = glyph->m_Y / h;
        const float u1 = (glyph->m_X + glyph->m_Width) / w, v1 = (glyph->m_Y + glyph->m_Height) / h;
        glTexCoord2f(u0, v0);
        glVertex2f(x0, y0);
        glTexCoord2f(u0, v1);
        glVertex2f(x0, y1);
        glTexCoord2f(u1, v1);
        glVertex2f(x1, y1);
        glTexCoord2f(u1, v0);
        glVertex2f(x1, y0);
      }
      x += glyph->m_Advance;
    }
    if (at >= text.size()) break;
  }
  glEnd();
}

}  // namespace

VisualText::VisualText(Game::Entity* owner, const std::string& text, float size, bool billboard)
    : Visual(owner), m_Text(text), m_Size(size), m_Billboard(billboard) {}

Util::Vec3 VisualText::DrawPosition() const { return Owner() ? Position() : m_ScreenPosition; }

void VisualText::Submit() {
  // The facade's own text is made before the scripts define the text material: it takes it then.
  if (MaterialIndex() < 0 && GraphicsFacade::Exists()) {
    if (const ResourceManager* resources = GraphicsFacade::Instance().GetResourceManager())
      SetMaterialIndex(resources->FindMaterial(kMaterial));
  }
  Queue();
}

void VisualText::Draw() {
  if (m_Text.empty() || !GraphicsFacade::Exists()) return;
  const GraphicsFacade& facade = GraphicsFacade::Instance();
  const GlyphAtlas* atlas = facade.GetGlyphAtlas();
  const RenderContext* context = facade.GetRenderContext();
  if (!atlas || atlas->Empty() || !context) return;
  GLint program = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  if (program) glUniform1f(glGetUniformLocation(static_cast<GLuint>(program), "FadeGroup"), m_Fade);
  const float scale = m_Size / static_cast<float>(atlas->LineHeight());
  const Util::Vec3 at = DrawPosition();
  if (m_Billboard) {
    // The view's rows are the camera's right and up in the world: the text's x and (down) y.
    const float* v = context->m_View.m;
    const float m[16] = {v[0] * scale,  v[4] * scale, v[8] * scale, 0.0f, -v[1] * scale, -v[5] * scale,
                         -v[9] * scale, 0.0f,         v[2],         v[6], v[10],         0.0f,
                         at.x,          at.y,         at.z,         1.0f};
    glPushMatrix();
    glMultMatrixf(m);
    Lines(*atlas, m_Text, true);
    glPopMatrix();
    return;
  }
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, context->m_Width, context->m_Height, 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // Whole pixels, so that the glyphs fall on the pixel grid.
  glTranslatef(std::round(at.x), std::round(at.y), 0.0f);
  glScalef(scale, scale, 1.0f);
  Lines(*atlas, m_Text, false);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace Gfx
