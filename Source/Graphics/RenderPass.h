// RenderPass: one named step of the frame. A list of render states (bind a target, bind source
// textures, blend, draw a full-screen quad, begin a material, draw what is queued under a material,
// ...) begun in order, then the queues of its own list of materials drawn, then the states ended,
// in the same order. Passes come from renderPassMsg (ResourceManager) in script order and run in
// that order every frame; the graphics facade switches them on and off by name, and a disabled
// pass does nothing at all. States are made by createStateFrom from a keyword and a parameter text;
// the keywords are the table in RenderStates.cpp. Names of targets and materials are resolved to
// indices once, when the state is made. Main thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace Gfx {

class RenderState {
 public:
  virtual ~RenderState() = default;
  virtual void Begin() = 0;
  virtual void End() {}
};

// How many words of a parameter text the render state kind `keyword` reads; -1 for no such kind.
int StateParameterWords(const std::string& keyword);

// Begins the material, draws every visual queued this frame under material index `queue` (their
// lit drawing when `lit`), ends the material.
void DrawQueue(int material, int queue, bool lit);

class RenderPass {
 public:
  explicit RenderPass(const std::string& name) : m_Name(name) {}

  // A state of the kind `type` from its whitespace-separated parameter text; an unknown kind is an
  // assertion and gives none.
  static std::unique_ptr<RenderState> createStateFrom(const std::string& type, const std::string& parameters);

  void AddState(std::unique_ptr<RenderState> state);
  void AddMaterial(int material) { m_Materials.push_back(material); }

  void Begin();
  void Render();
  void End();

  bool IsEnabled() const { return m_Enabled; }
  void SetEnabled(bool enabled) { m_Enabled = enabled; }
  const std::string& Name() const { return m_Name; }
  int StateCount() const { return static_cast<int>(m_States.size()); }
  const std::vector<int>& Materials() const { return m_Materials; }

 private:
  bool m_Enabled = true;
  std::vector<std::unique_ptr<RenderState>> m_States;
  std::string m_Name;
  std::vector<int> m_Materials;
};

}  // namespace Gfx
