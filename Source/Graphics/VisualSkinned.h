// VisualSkinned: a skinned mesh (SkinnedMesh.h) drawn as its animation controller poses it. Once a
// frame, in the visibility step, the controller advances by the frame time and the mesh is
// deformed on the CPU into this frame's vertices, which every pass then draws at the owner's
// transform with the visual's material (and the lit pass and picking with the same vertices).
//
// Deforming on the CPU rather than by a matrix palette in the vertex shader: Dodod's 1,308
// vertices take about 21 µs to pose and deform (Bench/effects.cpp), drawing takes the same either
// way under the machine's renderer, and one set of posed vertices serves every program that draws
// it (the scene, the shadow caster, the point lights, picking) without a skinning variant of each.
//
// Two tracks have roles: the idle plays always; the walk plays while the owner moves (horizontal
// speed above kWalkSpeed) and stops when it rests. Definition element (the builder Build):
// VisualSkinned with "skeleton", "mesh", "material" (strings) and the track files "idle" and
// "walk" (strings, optional). A skeleton or mesh that is refused, or a mesh bound to bones the
// skeleton lacks, is reported on standard output and makes no visual; a refused track is left
// out. Main thread; drawing needs the GL context.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Graphics/AnimationController.h"
#include "Graphics/SkinnedMesh.h"
#include "Graphics/Visual.h"

namespace Game {
class Entity;
}
namespace Util {
class XmlReader;
}

namespace Gfx {

class VisualSkinned : public Visual {
 public:
  static constexpr float kWalkSpeed = 0.1f;

  // The mesh must follow no bone past the controller's skeleton.
  VisualSkinned(Game::Entity* owner, SkinnedMesh mesh, std::unique_ptr<AnimationController> controller);

  // Sets the track numbers that play the idle and the walk (-1 for none) and starts the idle.
  void SetRoles(int32_t idle, int32_t walk);

  void Submit() override;
  void Draw() override;
  void DrawLit() override;
  void DrawOverlay() override;
  void Rebuild() override {}

  // The controller's update and the deformation: what Submit does before queueing.
  void Animate(float ms);

  AnimationController& Controller() { return *m_Controller; }
  const SkinnedMesh& Mesh() const { return m_Mesh; }
  // This frame's posed vertices.
  const std::vector<Vertex>& Posed() const { return m_Posed; }

  // The builder of VisualSkinned elements.
  static void Build(Game::Entity& entity, Util::XmlReader& reader);

 private:
  void DrawPosed() const;

  SkinnedMesh m_Mesh;
  std::unique_ptr<AnimationController> m_Controller;
  std::vector<Vertex> m_Posed;
  int32_t m_Idle = -1;
  int32_t m_Walk = -1;
  bool m_Walking = false;
};

}  // namespace Gfx
