// Visual: what an entity looks like, the drawable component. A model from the resource manager's
// catalogue drawn with a material at the owner's transform; the kinds that draw something else
// (text, lights, screen quads, dynamic geometry) derive from it (Visuals.h), and so do the skinned
// and particle visuals of their own systems.
//
// Every visual is on the registry of visuals while it lives and carries a pick id, a running
// number from 1 that picking encodes as a colour. The owning entity deletes it; the visual keeps
// a non-owning pointer back and reads the owner's position, rotation and scale (x, as the uniform
// scale) when it draws; without an owner it stands at the origin at scale 1.
//
// Once a frame the graphics facade calls Submit on every live visual: a visual with a material
// puts itself into its material's render queue, unless it may be culled (the never-cull flag is
// cleared by a definition's Cull element) and its transformed box lies outside the view. The
// passes then call Draw on the queued visuals, DrawLit once per frame over queue 0 for the light
// of every light registered this frame, and picking calls DrawOverlay on every visual in its pick
// colour. The compiled drawing resources (ModelDrawing.h) hang on the model, made on first draw.
//
// Colour and radius mean something only to the kinds that have them (lights); the base reads
// zeros and ignores settings. Main thread only; everything that draws needs the GL context.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Util/AutoList.h"
#include "Util/BoundingHierarchy.h"
#include "Util/Vec3.h"

namespace Game {
class Entity;
}

namespace Gfx {

class Frustum;
class Model;

class Visual : public Util::AutoList<Visual> {
 public:
  // The material a visual falls back to when asked for one without a name.
  static constexpr const char* kFallbackMaterial = "Green";

  explicit Visual(Game::Entity* owner);
  ~Visual() override;
  Visual(const Visual&) = delete;
  Visual& operator=(const Visual&) = delete;

  Game::Entity* Owner() const { return m_Owner; }
  uint32_t PickId() const { return m_PickId; }
  // The owner's position; the origin for a visual without an owner.
  Util::Vec3 Position() const;
  // The owner's uniform scale (its x scale); 1 without an owner.
  float Scale() const;

  // The frame's visibility step: queue under the material unless culled. A visual without a
  // material or a model queues nothing.
  virtual void Submit();
  // Drawing, by the render passes: the model at the owner's transform; the same triangles once per
  // light of this frame (positions and normals only) with the light on texture units 1 and 2.
  virtual void Draw();
  virtual void DrawLit();
  // Without a program: the model solid in the current colour (picking sets its colour first),
  // then its wireframe in dim blue added over it. The GL state is as before afterwards.
  virtual void DrawOverlay();

  // The compiled drawing resource made again from the model (after the model changed).
  virtual void Rebuild();
  // Lets go of a private copy of model data; the base holds none.
  virtual void ReleaseModelData();
  // ReleaseModelData and the model file read again (its meshes kept when the file is refused),
  // then Rebuild.
  virtual void Reload();

  // Red, green, blue and the fourth component (a light's special value).
  virtual void GetColor(float color[4]) const;
  virtual void SetColor(const float color[4]);
  virtual float GetRadius() const;
  virtual void SetRadius(float radius);

  // Never to be called: an assertion, then the fallback material "Green".
  virtual void setMaterial();
  // The material of that name (an assertion when there is none), its texture and shader cached.
  virtual void setMaterial(const std::string& name);
  // The model of that file (or built-in name), loaded into the catalogue on first use.
  virtual void SetModel(const std::string& file);
  // Told after SetModel chose a model; lights take the note that they now have one to draw.
  virtual void ModelChanged() {}
  // Whether the visual answers for a point at a distance; no kind answers yet.
  virtual bool Covers(const Util::Vec3& point, float distance) const;

  int MaterialIndex() const { return m_Material; }
  int TextureIndex() const { return m_Texture; }
  int ShaderIndex() const { return m_Shader; }
  int ModelIndex() const { return m_ModelIndex; }
  // The model's box in its own coordinates.
  const Util::BoundingBox& Bounds() const { return m_Bounds; }
  bool NeverCull() const { return m_NeverCull; }
  void SetNeverCull(bool neverCull) { m_NeverCull = neverCull; }

  // The model's box placed at `position`, turned as the owner is and scaled by `scale`: the
  // box around the placed corners.
  Util::BoundingBox WorldBounds(const Util::Vec3& position, float scale) const;

  // A pick id names the visual it was given to, and the material indices cached agree.
  bool Validate() const;

 protected:
  // The model from the catalogue; null without one (or without a resource manager).
  Model* GetModel() const;
  // The frustum test of the placed box, remembering the plane that rejected it last.
  bool InView(Frustum& frustum, const Util::Vec3& position, float scale);
  // Multiplies the modelview by the placement: translation, the owner's rotation, the scale.
  void Place(const Util::Vec3& position, float scale) const;
  // Where the model is drawn; the owner's position (lights add their offset).
  virtual Util::Vec3 DrawPosition() const { return Position(); }
  // Queues under the material; nothing without one.
  void Queue();
  // For each light registered this frame that reaches the box (any, without one): its eye-space
  // position and radius on texture unit 1, its colour and special value on unit 2, then `draw`.
  void ForEachLight(const Util::BoundingBox* box, const std::function<void()>& draw) const;
  void SetMaterialIndex(int material);

 private:
  Game::Entity* m_Owner;
  uint32_t m_PickId;
  int m_Material = -1;
  int m_Texture = -1;
  int m_Shader = -1;
  int m_ModelIndex = -1;
  Util::BoundingBox m_Bounds{};
  bool m_NeverCull = true;
  uint8_t m_LastPlane = 0;
};

}  // namespace Gfx
