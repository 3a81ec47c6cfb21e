// GraphicsFactory: builds entities' visuals from the Visual-family elements of their definition
// files. Init registers one builder per element with the entity reader (Game::RegisterElementBuilder);
// Shutdown takes them back. The graphics facade creates it in its Init and destroys it in its
// Shutdown.
//
// Elements (typed keys, a missing one reading as 0 or ""):
//   Visual with a "billboard" key   text: "model" is the text, "size" its line height (1 when
//                                   absent), "billboard" non-zero stands it in the world facing
//                                   the camera, "material".
//   Visual without one              "model", "material", "size": text (in screen space, the model
//                                   string its first text) when the model string contains "Text",
//                                   otherwise the model file; a Cull child lets it be culled.
//   Visual2D                        "material", corners "x0" … "z1", texture "tx0" … "ty1",
//                                   "billboard".
//   Light                           "red", "green", "blue", "special", offset "x", "y", "z",
//                                   "radius"; a Model child's "model" and "material" give it a
//                                   model to draw.
//   VisualAnimated                  "basefile", "numFrames", then that many "frame" (a model
//                                   file) and "length" pairs in order, "material": an animated
//                                   vertex model played in a loop.
//   VisualParticle                  a particle system (VisualParticleSystem::Build).
//   VisualSkinned                   a skinned mesh and its animations (VisualSkinned::Build).
// A material name that is not defined is the resource manager's assertion; the visual then has no
// material and draws nothing. Main thread only.
#pragma once

#include "Util/Singleton.h"

namespace Game {
class Entity;
}
namespace Util {
class XmlReader;
}

namespace Gfx {

class GraphicsFactory : public Util::Singleton<GraphicsFactory> {
 public:
  void Init();
  void Shutdown();

  // The builders, as the entity reader calls them: the reader stands on the element.
  static void BuildVisual(Game::Entity& entity, Util::XmlReader& reader);
  static void BuildVisual2D(Game::Entity& entity, Util::XmlReader& reader);
  static void BuildLight(Game::Entity& entity, Util::XmlReader& reader);
  static void BuildVisualAnimated(Game::Entity& entity, Util::XmlReader& reader);

 private:
  friend class Util::Singleton<GraphicsFactory>;
  GraphicsFactory() : Singleton(true) {}

  bool m_Registered = false;
};

}  // namespace Gfx
