// Material: what a visual is drawn with. An ordered list of properties, each of which sets one item
// of GL state or one shader input when the material is begun and undoes it when it is ended; the
// renderer begins a material once around all the visuals queued under it (RenderPass). Materials
// come from the material file and from materialMsg (ResourceManager), property by property through
// createPropertyFrom, whose keywords and parameter texts are the table in MaterialProperties.cpp.
// A MaterialCollection stands for one of several materials, chosen by a key.
//
// Properties reach the resource manager and the frame's values through the graphics facade. Main
// thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Gfx {

class MaterialProperty {
 public:
  virtual ~MaterialProperty() = default;
  virtual void Begin() = 0;
  virtual void End() {}
};

// How many words of a parameter text the property kind `keyword` reads; -1 for no such kind.
int PropertyParameterWords(const std::string& keyword);

class Material {
 public:
  // Region bits: "REGION_NEIGHBORHOOD", "REGION_TOWN", "REGION_LOCAL"; all three by default.
  static constexpr uint8_t kAllRegions = 7;

  Material() = default;
  virtual ~Material();
  Material(const Material&) = delete;
  Material& operator=(const Material&) = delete;

  // Keys of a collection: a plain material takes none and answers true.
  virtual bool TakeKeys(const std::vector<std::string>& keys);

  // One property from a keyword and its whitespace-separated parameter text. SHADER and TEXTURE
  // also set the material's shader and texture; REGION sets its region mask and gives no property;
  // an unknown keyword is an assertion and gives none.
  std::unique_ptr<MaterialProperty> createPropertyFrom(const std::string& keyword, const std::string& parameters);
  // createPropertyFrom for each pair, in order, keeping what it gives.
  void Build(const std::vector<std::string>& keywords, const std::vector<std::string>& parameters);
  void AddProperty(std::unique_ptr<MaterialProperty> property);

  // Begin, then End, of every property in definition order (End in the same order, not reversed).
  void Begin();
  void End();

  int PropertyCount() const { return static_cast<int>(m_Properties.size()); }
  int TextureIndex() const { return m_Texture; }
  int ShaderIndex() const { return m_Shader; }
  uint8_t RegionMask() const { return m_RegionMask; }
  void SetTextureIndex(int texture) { m_Texture = texture; }
  void SetShaderIndex(int shader) { m_Shader = shader; }
  void SetRegionMask(uint8_t mask) { m_RegionMask = mask; }

 private:
  std::vector<std::unique_ptr<MaterialProperty>> m_Properties;
  int m_Texture = -1;
  int m_Shader = -1;
  uint8_t m_RegionMask = kAllRegions;
};

class MaterialCollection : public Material {
 public:
  // Keeps a copy of the keys and answers false: a collection is no plain material.
  bool TakeKeys(const std::vector<std::string>& keys) override;
  // Appends the material chosen by the key of the same position.
  void AddMaterial(int material) { m_Materials.push_back(material); }

  // Begins the material of the first key equal to `key` and remembers it; no match does nothing.
  void Select(const std::string& key);
  // Ends the selected material, if any; none is selected afterwards.
  void EndSelection();
  // Position of the selected material in the lists; -1 for none.
  int Selected() const { return m_Selected; }

  const std::vector<std::string>& Keys() const { return m_Keys; }
  const std::vector<int>& Materials() const { return m_Materials; }
  // Keys and materials go in pairs.
  bool Validate() const { return m_Keys.size() == m_Materials.size(); }

 private:
  std::vector<int> m_Materials;
  std::vector<std::string> m_Keys;
  int m_Selected = -1;
};

}  // namespace Gfx
