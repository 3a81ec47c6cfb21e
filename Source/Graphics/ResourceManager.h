// ResourceManager: every catalogue the renderer draws with. Materials and material collections
// (one list), render passes, shaders, textures, the ten render targets and the models; each an
// ordered list with a name map, handing out dense indices that callers keep instead of pointers.
//
// Owned by the graphics facade, which creates it in Init (after the GL context, before the start-up
// scripts), has it load the material file and create the render targets, rebuilds its GL resources
// in place when the window size changes, and has it run the passes each frame. Afterwards it grows
// only through three messages that the start-up scripts send at once: renderPassMsg, materialMsg
// and materialCollectionMsg; for every kind the first definition of a name wins. It also remembers
// which program is current, so that a material whose program is already in use does not switch.
// Model loading belongs to the model files; this only keeps their catalogue. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Messaging/MailBox.h"

namespace Gfx {

class Material;
class Model;
class RenderPass;
class RenderTarget;
class Shader;
class Texture;

// An ordered list of owned objects and a map from their names to their positions.
template <class T, class Owner = std::unique_ptr<T>>
class Catalogue {
 public:
  // The index of the name; -1 when absent.
  int Find(const std::string& name) const {
    const auto found = m_Map.find(name);
    return found == m_Map.end() ? -1 : found->second;
  }
  // Appends under a name not yet mapped; gives the new index.
  int Add(const std::string& name, Owner item) {
    m_Items.push_back(std::move(item));
    m_Names.push_back(name);
    const int index = static_cast<int>(m_Items.size()) - 1;
    m_Map.emplace(name, index);
    return index;
  }
  // Null for an index out of range.
  T* At(int index) const {
    return index >= 0 && static_cast<size_t>(index) < m_Items.size() ? m_Items[static_cast<size_t>(index)].get()
                                                                     : nullptr;
  }
  const std::string& NameAt(int index) const { return m_Names[static_cast<size_t>(index)]; }
  int Count() const { return static_cast<int>(m_Items.size()); }
  void Clear() {
    m_Items.clear();
    m_Names.clear();
    m_Map.clear();
  }
  // Replaces the object at an index, keeping its name (resources remade in place).
  void Replace(int index, Owner item) { m_Items[static_cast<size_t>(index)] = std::move(item); }
  // Every name maps to its own position and every entry holds an object.
  bool Validate() const {
    if (m_Map.size() != m_Items.size() || m_Names.size() != m_Items.size()) return false;
    for (size_t i = 0; i < m_Items.size(); ++i)
      if (!m_Items[i] || Find(m_Names[i]) != static_cast<int>(i)) return false;
    return true;
  }

 private:
  std::vector<Owner> m_Items;
  std::vector<std::string> m_Names;
  std::unordered_map<std::string, int> m_Map;
};

// Models are made and destroyed by the model files, which hand their own deleter over with them.
using ModelOwner = std::unique_ptr<Model, void (*)(Model*)>;

class ResourceManager : public Msg::MailBox {
 public:
  static constexpr int kRenderQueueCount = 64;
  static constexpr const char* kMaterialFile = "../../Assets/Xml/materialsMin.xml";
  static constexpr const char* kDefaultShader = "../../Assets/Shaders/gBlack";

  ResourceManager();
  ~ResourceManager() override;
  ResourceManager(const ResourceManager&) = delete;
  ResourceManager& operator=(const ResourceManager&) = delete;

  // Empties the catalogues if they were loaded, loads "gBlack" as shader 0, reads the material
  // file and sets the render-queue count.
  void loadMaterials();
  // The shared depth and the ten targets for a window of this size, in table order.
  void CreateRenderTargets(uint32_t width, uint32_t height);
  // After a change of window size: every program deleted and built again, every texture made
  // again, the shared depth and every target remade in its slot.
  void RebuildResources(uint32_t width, uint32_t height);

  // The material's index; a name not in the catalogue asserts and gives -1.
  int loadMaterial(const std::string& name);
  // The material's index, or -1, without asserting.
  int FindMaterial(const std::string& name) const;
  // The texture's index, loading it on first use.
  int loadTexture(const std::string& file);
  // A texture made in memory, under a name that is no file, for materials to name like a file; the
  // index of the one already known by that name otherwise.
  int AddTexture(const std::string& name, std::unique_ptr<Texture> texture);
  // The shader's index, building it on first use.
  int loadShader(const std::string& basePath);
  // The pass of that name; a name not in the catalogue asserts and gives null.
  RenderPass* GetPass(const std::string& name);
  // The target's index; a name not in the catalogue asserts and gives -2.
  int FindRenderTargetChecked(const std::string& name);
  RenderTarget* GetRenderTarget(const std::string& name);

  Material* GetMaterial(int index) const { return m_Materials.At(index); }
  RenderPass* GetPassAt(int index) const { return m_RenderPasses.At(index); }
  Shader* GetShader(int index) const { return m_Shaders.At(index); }
  Texture* GetTexture(int index) const { return m_Textures.At(index); }
  RenderTarget* RenderTargetAt(int index) const { return m_RenderTargets.At(index); }
  int MaterialCount() const { return m_Materials.Count(); }
  int PassCount() const { return m_RenderPasses.Count(); }
  int ShaderCount() const { return m_Shaders.Count(); }
  int TextureCount() const { return m_Textures.Count(); }
  int RenderTargetCount() const { return m_RenderTargets.Count(); }
  const std::string& MaterialName(int index) const { return m_Materials.NameAt(index); }

  // The model catalogue, filled by the model loader: index of a file name (-1 when absent), a new
  // model under a file name not yet known, a model by index.
  int FindModel(const std::string& file) const { return m_Models.Find(file); }
  int AddModel(const std::string& file, ModelOwner model);
  Model* GetModel(int index) const { return m_Models.At(index); }
  // The index of the model of that file, read on first use. A file refused, or a name of neither
  // form, is kept as a model without meshes under its name, so that the index stays valid and the
  // file is not tried again every time a visual names it.
  int LoadModelIndex(const std::string& file);
  int ModelCount() const { return m_Models.Count(); }

  // Makes the shader's program current unless it already is. Code that uses a program of its own,
  // or none, says so with UseNoShader, so that the next material switches again.
  void UseShader(int index);
  void UseNoShader();
  int CurrentShader() const { return m_CurrentShader; }

  // Every pass in definition order: Begin, Render, End.
  void RunPasses();

  int RenderQueueCount() const { return m_RenderQueueCount; }
  bool MaterialsLoaded() const { return m_MaterialsLoaded; }
  // Every catalogue consistent, the current shader one of them or none.
  bool Validate() const;

  void Receive(const Util::Handle<Msg::renderPassMsg>& message) override;
  void Receive(const Util::Handle<Msg::materialMsg>& message) override;
  void Receive(const Util::Handle<Msg::materialCollectionMsg>& message) override;

 private:
  void ReadMaterialFile();

  Catalogue<Material> m_Materials;
  Catalogue<RenderPass> m_RenderPasses;
  Catalogue<Texture> m_Textures;
  Catalogue<Shader> m_Shaders;
  Catalogue<RenderTarget> m_RenderTargets;
  Catalogue<Model, ModelOwner> m_Models;
  int m_CurrentShader = -1;
  bool m_MaterialsLoaded = false;
  int m_RenderQueueCount = 0;
};

}  // namespace Gfx
