// GraphicsFacade: the renderer. Owns the resource manager (textures, shaders, materials, render
// passes, render targets), the camera and the render context, and holds the values the materials
// read (firefly radius, light colours, ambient scale, ...). A singleton and a mailbox.
//
// Init (once, after the window) creates the camera and the context, starts GL (initial state,
// GLEW, the OpenGL 2.0 check), creates the resource manager with the material file and the render
// targets, and sets the light colours. Without a GL context (no window, or GLEW failing) it keeps
// only the camera and the context: there is nothing to draw with, and nothing here touches GL.
// Update, the frame's rendering step, updates the camera. Shutdown destroys what Init made, GL
// objects first, while the context still exists.
//
// Each frame the renderer sets the view (SetView), fills the render queues, runs the passes
// (ResourceManager::RunPasses) and empties the queues. Handles graphicsPassMsg (switching passes by
// name, and the shadow and post-processing switches), graphicsSetShadowMsg, graphicsSetFilterMsg and
// graphicsSetResMsg; AdaptToWindowSize rebuilds the size-dependent resources after the window's size
// changed. Main thread only: it owns the GL context's use.
#pragma once

#include <cstdint>

#include "Messaging/MailBox.h"
#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Gfx {

class Camera;
class ResourceManager;
struct RenderContext;

class GraphicsFacade : public Util::Singleton<GraphicsFacade>, public Msg::MailBox {
 public:
  int Init();
  void Update();
  void Shutdown();
  void AdaptToWindowSize();

  // The frame's view: model-view looking from the camera's eye to its target, the field of view a
  // step toward its target (at most 0.2 degrees wider or 0.8 narrower), the projection, and the
  // matrices captured into the render context.
  void SetView();
  // One white quad over the unit square with texture coordinates 0 to 1, drawn into the viewport
  // (0, 0, width / xDivisor, height / yDivisor) without depth test; both matrices kept.
  void FullScreenQuad(uint32_t xDivisor, uint32_t yDivisor);

  // Between Init and Shutdown; null outside (the resource manager also without GL).
  Camera* GetCamera() const { return m_Camera; }
  ResourceManager* GetResourceManager() const { return m_Resources; }
  RenderContext* GetRenderContext() const { return m_Context; }

  float FireflyRadius() const { return m_FireflyRadius; }
  float LengthAmount() const { return m_LengthAmount; }
  float LightAmount() const { return m_LightAmount; }
  float FadeAmount() const { return m_FadeAmount; }
  float WalkFactor() const { return m_WalkFactor; }
  const Util::Vec3& LightAbove() const { return m_LightAbove; }
  const Util::Vec3& LightBelow() const { return m_LightBelow; }
  const Util::Vec3& LightHue() const { return m_LightHue; }
  float AmbientScale() const { return m_AmbientScale; }
  // Cleared while a material with the "NoUpdate" input is begun.
  bool IsUpdating() const { return m_Updating; }
  void SetUpdating(bool updating) { m_Updating = updating; }
  bool ShadowMapping() const { return m_ShadowMapping; }
  bool PostProcessingOne() const { return m_PostProcessingOne; }
  bool PostProcessingTwo() const { return m_PostProcessingTwo; }

  void Receive(const Util::Handle<Msg::graphicsSetFilterMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsSetShadowMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsSetResMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsPassMsg>& message) override;

 private:
  friend class Util::Singleton<GraphicsFacade>;
  GraphicsFacade() : Singleton(true) {}
  ~GraphicsFacade() override;

  // The initial GL state and GLEW; false when there is no GL to draw with.
  bool StartGL();
  void LookFromCamera() const;
  void SetLighting();
  // The enabled flags of the passes each switch controls.
  void RefreshShadowPasses();
  void RefreshPostPasses();
  void Release();

  Camera* m_Camera = nullptr;
  ResourceManager* m_Resources = nullptr;
  RenderContext* m_Context = nullptr;

  float m_FireflyRadius = 10.0f;
  float m_LengthAmount = 0.0f;
  float m_LightAmount = 0.9f;
  float m_FadeAmount = 0.0f;
  float m_WalkFactor = 1.0f;
  bool m_Updating = true;
  float m_WindowWidth = 0.0f;
  float m_WindowHeight = 0.0f;
  Util::Vec3 m_LightAbove{0.136f, 0.117f, 0.147f};
  Util::Vec3 m_LightBelow{0.117f, 0.147f, 0.136f};
  Util::Vec3 m_LightHue{0.1f, 0.2f, 0.3f};
  float m_AmbientScale = 2.0f;
  bool m_ShadowMapping = true;
  bool m_PostProcessingOne = true;
  bool m_PostProcessingTwo = true;
};

}  // namespace Gfx
