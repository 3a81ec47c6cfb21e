// The kinds of visual that draw something other than a model at the owner's transform: text,
// lights, flat quads, and geometry made anew every frame. Each changes only the slots it needs of
// Visual; the graphics factory builds them from definition files, the facade makes its own text.
//
// Screen space, for the kinds that draw there: window pixels from the top-left corner, x to the
// right and y down, the owner's position giving the place.
// Main thread only; drawing needs the GL context.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Graphics/ModelAnimation.h"
#include "Graphics/Visual.h"
#include "Util/AutoList.h"

namespace Gfx {

// Text from the glyph atlas. In screen space (the default) the owner's x and y place the top-left
// corner of the first line and the size is the line height in pixels; as a billboard the text
// stands centred on the owner's position in the world, turned to the camera, the size its line
// height in world units. Always queued; sets the program's "FadeGroup" to its fade when drawn.
class VisualText : public Visual {
 public:
  static constexpr const char* kMaterial = "TextFade";
  static constexpr float kScreenSize = 16.0f;

  VisualText(Game::Entity* owner, const std::string& text, float size, bool billboard);

  void Submit() override;
  void Draw() override;
  // Text is not drawn in the lit pass nor picked.
  void DrawLit() override {}
  void DrawOverlay() override {}

  const std::string& Text() const { return m_Text; }
  void SetText(const std::string& text) { m_Text = text; }
  float Size() const { return m_Size; }
  void SetSize(float size) { m_Size = size; }
  bool Billboard() const { return m_Billboard; }
  float Fade() const { return m_Fade; }
  void SetFade(float fade) { m_Fade = fade; }
  // Where an owner-less text stands (the facade's own).
  void SetScreenPosition(const Util::Vec3& at) { m_ScreenPosition = at; }

 private:
  Util::Vec3 DrawPosition() const override;

  std::string m_Text;
  float m_Size;
  bool m_Billboard;
  float m_Fade = 1.0f;
  Util::Vec3 m_ScreenPosition;
};

// A point light: registered with the facade every frame at the owner's position plus the offset,
// with its colour, special value and radius. Drawn only when a model was set (a definition's
// Model child), then as that model at the light's position, culled like any model.
class VisualLight : public Visual {
 public:
  static constexpr const char* kMaterial = "lflPointLight";
  static constexpr const char* kModel = "../../Assets/Models/UnitSphere34.BIN";

  VisualLight(Game::Entity* owner, const float color[4], const Util::Vec3& offset, float radius);

  void Submit() override;
  void GetColor(float color[4]) const override;
  void SetColor(const float color[4]) override;
  float GetRadius() const override { return m_Radius; }
  void SetRadius(float radius) override { m_Radius = radius; }
  void ModelChanged() override { m_HasModel = true; }

  bool HasModel() const { return m_HasModel; }
  const Util::Vec3& Offset() const { return m_Offset; }

 private:
  Util::Vec3 DrawPosition() const override { return Position() + m_Offset; }

  float m_Color[4];
  Util::Vec3 m_Offset;
  float m_Radius;
  bool m_HasModel = false;
};

// One flat quad with a texture rectangle. As a billboard its corners are screen positions in
// window heights (x and y times the window's height); otherwise they are in the owner's space.
// Face culling is off while it draws.
class Visual2D : public Visual {
 public:
  struct Rect {
    float x0, y0, z0, x1, y1, z1;
  };
  struct TexRect {
    float u0, v0, u1, v1;
  };

  Visual2D(Game::Entity* owner, const Rect& corners, const TexRect& texture, bool billboard);

  void Submit() override;
  void Draw() override;
  void DrawOverlay() override;

  const Rect& Corners() const { return m_Corners; }
  const TexRect& Texture() const { return m_Texture; }
  void SetCorners(float left, float top, float right, float bottom);
  void SetTexture(float left, float top, float right, float bottom);
  bool Billboard() const { return m_Billboard; }

 private:
  void Quad() const;

  Rect m_Corners;
  TexRect m_Texture;
  bool m_Billboard;
};

// Geometry that another system owns and changes: its 68-byte records and indices are drawn as they
// stand every frame, vertex colours included; nothing is compiled. Drawn at the owner's transform.
class VisualDynamic : public Visual {
 public:
  explicit VisualDynamic(Game::Entity* owner) : Visual(owner) {}

  // The arrays stay the caller's; they must live while the visual may draw them.
  void SetArrays(const Vertex* vertices, uint32_t vertexCount, const uint32_t* indices, uint32_t indexCount);
  const Vertex* Vertices() const { return m_Vertices; }
  uint32_t IndexCount() const { return m_IndexCount; }

  void Submit() override;
  void Draw() override;
  void DrawLit() override;
  void DrawOverlay() override;
  void Rebuild() override {}

 protected:
  void DrawArrays(bool plain) const;

  const Vertex* m_Vertices = nullptr;
  uint32_t m_VertexCount = 0;
  const uint32_t* m_Indices = nullptr;
  uint32_t m_IndexCount = 0;
};

// What a VisualDynamiker draws: this frame's vertices, made on request, over fixed indices.
class VertexGenerator {
 public:
  virtual ~VertexGenerator() = default;
  virtual void Generate(std::vector<Vertex>& out) = 0;
  virtual const std::vector<uint32_t>& Indices() const = 0;
};

// Asks its generator for the frame's vertices each time it draws; nothing while either array is
// empty. Owns the generator.
class VisualDynamiker : public VisualDynamic {
 public:
  VisualDynamiker(Game::Entity* owner, std::unique_ptr<VertexGenerator> generator);

  void Draw() override;
  VertexGenerator* Generator() const { return m_Generator.get(); }

 private:
  std::unique_ptr<VertexGenerator> m_Generator;
  std::vector<Vertex> m_Frame;
};

// An animated vertex model with the track that plays it in a loop: the generator of the visuals
// built from VisualAnimated elements. Every live one is advanced by the facade once a frame.
class VertexAnimation : public VertexGenerator, public Util::AutoList<VertexAnimation> {
 public:
  explicit VertexAnimation(AnimatedModel model);

  void Advance(float ms) { m_Track.Advance(ms); }
  void Generate(std::vector<Vertex>& out) override;
  const std::vector<uint32_t>& Indices() const override;

  const AnimatedModel& Model() const { return m_Model; }
  const VertexTrack& Track() const { return m_Track; }

 private:
  AnimatedModel m_Model;
  VertexTrack m_Track;
};

}  // namespace Gfx
