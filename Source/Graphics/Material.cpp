#include "Graphics/Material.h"

#include "Graphics/GraphicsFacade.h"
#include "Graphics/ResourceManager.h"

namespace Gfx {
namespace {

Material* MaterialAt(int index) {
  ResourceManager* resources = GraphicsFacade::Instance().GetResourceManager();
  return resources ? resources->GetMaterial(index) : nullptr;
}

}  // namespace

Material::~Material() = default;

bool Material::TakeKeys(const std::vector<std::string>&) { return true; }

void Material::Build(const std::vector<std::string>& keywords, const std::vector<std::string>& parameters) {
  for (size_t i = 0; i < keywords.size(); ++i) {
    std::unique_ptr<MaterialProperty> property =
        createPropertyFrom(keywords[i], i < parameters.size() ? parameters[i] : std::string());
    if (property) AddProperty(std::move(property));
  }
}

void Material::AddProperty(std::unique_ptr<MaterialProperty> property) {
  if (property) m_Properties.push_back(std::move(property));
}

void Material::Begin() {
  for (const std::unique_ptr<MaterialProperty>& property : m_Properties) property->Begin();
}

void Material::End() {
  for (const std::unique_ptr<MaterialProperty>& property : m_Properties) property->End();
}

bool MaterialCollection::TakeKeys(const std::vector<std::string>& keys) {
  m_Keys = keys;
  return false;
}

void MaterialCollection::Select(const std::string& key) {
  for (size_t i = 0; i < m_Keys.size() && i < m_Materials.size(); ++i) {
    if (m_Keys[i] != key) continue;
    if (Material* material = MaterialAt(m_Materials[i])) material->Begin();
    m_Selected = static_cast<int>(i);
    return;
  }
}

void MaterialCollection::EndSelection() {
  if (m_Selected < 0) return;
  if (Material* material = MaterialAt(m_Materials[static_cast<size_t>(m_Selected)])) material->End();
  m_Selected = -1;
}

}  // namespace Gfx
