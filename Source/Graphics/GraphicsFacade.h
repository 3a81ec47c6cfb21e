// GraphicsFacade: the renderer. Owns the resource manager (textures, shaders, materials, render
// passes, render targets, models), the camera, the render context, the glyph atlas's place in the
// texture catalogue, its own on-screen text and the effect systems (Effects.h), and holds the
// values the materials read (firefly radius, light colours, ambient scale, ...). A singleton and a
// mailbox.
//
// Init (once, after the window) creates the camera and the context, starts GL (initial state,
// GLEW, the OpenGL 2.0 check), creates the resource manager with the material file and the
// built-in models, the graphics factory (whose builders make entities' visuals), the glyph atlas
// and the on-screen text of size 16, the render targets, shows the loading screen, and posts the
// window size (graphicsResMsg). Without a GL context (no window, or GLEW failing) it keeps only the
// camera, the context, the factory and the effect systems: nothing here touches GL then.
//
// Update is the frame's rendering step, the engine's last but the clock's: animated models move
// on, the camera updates, the view is set (SetView), every live visual submits itself to the
// render queues (and lights register in this frame's light lists), the passes run, the queues and
// light lists are emptied, the debug lines are drawn when asked for, and the buffers swap.
// Shutdown destroys what Init made, GL objects first, while the context still exists.
//
// Messages: graphicsPassMsg (switching passes by name, and the shadow and post-processing
// switches), graphicsSetShadowMsg, graphicsSetFilterMsg, graphicsSetResMsg, the firefly and
// waterfall messages (handed to Effects), the debug-line messages, the shader values (fade,
// blend-four, walk factor, lantern values, vine colour, field of view), the lights of particle
// systems (graphicsLightMsg, graphicsLightVecMsg) and graphicsPickMsg, answered with a
// graphicsPickedMsg (posted) naming the entity whose visual is under the point. Main thread only:
// it owns the GL context's use.
#pragma once

#include <cstdint>
#include <vector>

#include "Messaging/Messages.h"
#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Gfx {

class Camera;
class Effects;
class GlyphAtlas;
class ResourceManager;
class Visual;
class VisualText;
struct RenderContext;

class GraphicsFacade : public Util::Singleton<GraphicsFacade>, public Msg::MailBox {
 public:
  static constexpr float kScreenTextSize = 16.0f;

  struct DebugLine {
    Util::Vec3 m_Start;
    Util::Vec3 m_End;
    Util::Vec3 m_Color;
    int32_t m_Layer;
  };

  int Init();
  void Update();
  void Shutdown();
  void AdaptToWindowSize();

  // The frame's view: model-view looking from the camera's eye to its target, the field of view a
  // step toward its target (at most 0.2 degrees wider or 0.8 narrower), the projection, and the
  // matrices and frustum captured into the render context.
  void SetView();
  // The visibility step: region mask 7, then every live visual submits itself.
  void SubmitVisuals();
  // One white quad over the unit square with texture coordinates 0 to 1, drawn into the viewport
  // (0, 0, width / xDivisor, height / yDivisor) without depth test; both matrices kept.
  void FullScreenQuad(uint32_t xDivisor, uint32_t yDivisor);
  // The window cleared and "gLoadScreen" over all of it, then the end of a frame.
  void ShowLoadingScreen();
  // The pick id of the visual drawn at a window point (y down from the top), 0 for none: every
  // visual drawn in its pick colour into the back buffer, and one pixel read.
  uint32_t PickAt(int32_t x, int32_t y);

  // Between Init and Shutdown; null outside (the resource manager and atlas also without GL).
  Camera* GetCamera() const { return m_Camera; }
  ResourceManager* GetResourceManager() const { return m_Resources; }
  RenderContext* GetRenderContext() const { return m_Context; }
  const GlyphAtlas* GetGlyphAtlas() const;
  VisualText* ScreenText() const { return m_ScreenText; }
  Effects* GetEffects() const { return m_Effects; }

  // This frame's lights: a position record (x, y, z, radius) and a colour record (red, green,
  // blue, special) each, in the order they were added. Emptied after the passes.
  void AddLight(const Msg::Vec4& position, const Msg::Vec4& color);
  const std::vector<Msg::Vec4>& LightPositions() const { return m_LightPositions; }
  const std::vector<Msg::Vec4>& LightColors() const { return m_LightColors; }
  void ClearLights();

  bool DebugDraw() const { return m_DebugDraw; }
  const std::vector<DebugLine>& DebugLines() const { return m_DebugLines; }
  int32_t DebugLayer() const { return m_DebugLayer; }

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

  void Receive(const Util::Handle<Msg::gameFireflySpawnMsg>& message) override;
  void Receive(const Util::Handle<Msg::gameLanternPositionMsg>& message) override;
  void Receive(const Util::Handle<Msg::gameFireflyCollidedMsg>& message) override;
  void Receive(const Util::Handle<Msg::debugSetLineLayerMsg>& message) override;
  void Receive(const Util::Handle<Msg::debugAddLineMsg>& message) override;
  void Receive(const Util::Handle<Msg::debugSetMsg>& message) override;
  void Receive(const Util::Handle<Msg::debugMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsSetBlendFourMsg>& message) override;
  void Receive(const Util::Handle<Msg::addWaterfallMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsSetFadeMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsSetFilterMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsSetShadowMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsSetResMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsPassMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsDododWalkStateMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsLanternMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsLightVecMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsLightMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsVineColorMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsFOVMsg>& message) override;
  void Receive(const Util::Handle<Msg::graphicsPickMsg>& message) override;

 private:
  friend class Util::Singleton<GraphicsFacade>;
  GraphicsFacade() : Singleton(true) {}
  ~GraphicsFacade() override;

  // The initial GL state and GLEW; false when there is no GL to draw with.
  bool StartGL();
  void LookFromCamera() const;
  void SetLighting();
  void RegisterBuiltInModels();
  // The enabled flags of the passes each switch controls.
  void RefreshShadowPasses();
  void RefreshPostPasses();
  // Debug lines (when asked for), the line list emptied, the back-buffer flag cleared, the swap.
  void EndFrame();
  void DrawDebugLines();
  void Release();

  Camera* m_Camera = nullptr;
  ResourceManager* m_Resources = nullptr;
  RenderContext* m_Context = nullptr;
  Effects* m_Effects = nullptr;
  VisualText* m_ScreenText = nullptr;
  int m_GlyphAtlas = -1;  // texture index

  std::vector<Msg::Vec4> m_LightPositions;
  std::vector<Msg::Vec4> m_LightColors;
  bool m_DebugDraw = false;
  std::vector<DebugLine> m_DebugLines;
  int32_t m_DebugLayer = 0;

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
