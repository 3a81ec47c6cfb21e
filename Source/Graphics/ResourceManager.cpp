#include "Graphics/ResourceManager.h"

#include <cstdio>
#include <sstream>

#include "Graphics/GL.h"
#include "Graphics/Material.h"
#include "Graphics/Model.h"
#include "Graphics/RenderPass.h"
#include "Graphics/RenderTarget.h"
#include "Graphics/Shader.h"
#include "Graphics/Texture.h"
#include "Messaging/Messages.h"
#include "Util/Assert.h"
#include "Util/XmlReader.h"

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_resourcemanager";

// The parameter text of a property element of the material file, from its typed keys as the
// property kind reads them; a kind without keys of its own gets an empty text.
std::string ParameterText(const std::string& type, const Util::XmlReader& reader) {
  std::ostringstream text;
  text.precision(9);
  if (type == "SHADER") {
    text << reader.Get<std::string>("file");
  } else if (type == "TEXTURE") {
    text << reader.Get<int>("id") << ' ' << reader.Get<std::string>("file");
  } else if (type == "UNIFORM") {
    text << reader.Get<int>("value") << ' ' << reader.Get<std::string>("name");
  } else if (type == "CAMERADATA") {
    text << reader.Get<int>("flag") << ' ' << reader.Get<int>("dest");
  } else if (type == "TIMER") {
    text << reader.Get<float>("scale");
  } else if (type == "BLEND") {
    text << reader.Get<std::string>("mode");
  }
  return text.str();
}

}  // namespace

ResourceManager::ResourceManager() = default;

ResourceManager::~ResourceManager() {
  UseNoShader();
  m_RenderPasses.Clear();
  m_Materials.Clear();
  m_Textures.Clear();
  m_Shaders.Clear();
  m_RenderTargets.Clear();
  m_Models.Clear();
  BufferFactory::Instance().Release();
}

void ResourceManager::loadMaterials() {
  if (m_MaterialsLoaded) {
    UseNoShader();
    m_RenderPasses.Clear();
    m_Materials.Clear();
    m_Textures.Clear();
    m_Shaders.Clear();
  }
  m_MaterialsLoaded = true;
  loadShader(kDefaultShader);
  ReadMaterialFile();
  m_RenderQueueCount = kRenderQueueCount;
}

void ResourceManager::ReadMaterialFile() {
  Util::XmlReader reader(kMaterialFile);
  if (!reader.Open()) return;
  while (reader.FindChild("material")) {
    const std::string name = reader.Get<std::string>("name");
    const int declared = reader.Get<int>("numProperties");
    if (m_Materials.Find(name) >= 0) {
      reader.Leave();
      continue;
    }
    // Only the property elements that are there are built and begun: a material never begins a
    // slot that its file did not fill.
    auto material = std::make_unique<Material>();
    int read = 0;
    for (; read < declared && reader.FindChild("property"); ++read) {
      const std::string type = reader.Get<std::string>("type");
      material->AddProperty(material->createPropertyFrom(type, ParameterText(type, reader)));
      reader.Leave();
    }
    const bool surplus = reader.FindChild("property");
    if (surplus) reader.Leave();
    if (read < declared || surplus)
      std::printf("%s: material %s declares %d properties and holds %s; %d read\n", reader.Path().c_str(), name.c_str(),
                  declared, surplus ? "more" : "fewer", read);
    m_Materials.Add(name, std::move(material));
    reader.Leave();
  }
}

void ResourceManager::CreateRenderTargets(uint32_t width, uint32_t height) {
  BufferFactory::Instance().CreateSharedDepth(width, height);
  m_RenderTargets.Clear();
  for (int i = 0; i < RenderTarget::kCount; ++i)
    m_RenderTargets.Add(RenderTarget::NameOf(i), std::make_unique<RenderTarget>(i, width, height));
}

void ResourceManager::RebuildResources(uint32_t width, uint32_t height) {
  // The programs are new GL objects: no material may take the old one for current.
  UseNoShader();
  for (int i = 0; i < m_Shaders.Count(); ++i) {
    m_Shaders.At(i)->Delete();
    m_Shaders.At(i)->Build();
  }
  for (int i = 0; i < m_Textures.Count(); ++i) m_Textures.At(i)->Recreate();
  if (m_RenderTargets.Count() == 0) {
    CreateRenderTargets(width, height);
    return;
  }
  BufferFactory::Instance().CreateSharedDepth(width, height);
  for (int i = 0; i < m_RenderTargets.Count(); ++i)
    m_RenderTargets.Replace(i, std::make_unique<RenderTarget>(i, width, height));
}

int ResourceManager::loadMaterial(const std::string& name) {
  const int index = m_Materials.Find(name);
  UTIL_ASSERT_EXPR(index >= 0, "false", "ResourceManager::loadMaterial - Material does not exist");
  return index;
}

int ResourceManager::FindMaterial(const std::string& name) const { return m_Materials.Find(name); }

int ResourceManager::loadTexture(const std::string& file) {
  const int index = m_Textures.Find(file);
  return index >= 0 ? index : m_Textures.Add(file, std::make_unique<Texture>(file));
}

int ResourceManager::AddTexture(const std::string& name, std::unique_ptr<Texture> texture) {
  const int index = m_Textures.Find(name);
  return index >= 0 || !texture ? index : m_Textures.Add(name, std::move(texture));
}

int ResourceManager::loadShader(const std::string& basePath) {
  const int index = m_Shaders.Find(basePath);
  return index >= 0 ? index : m_Shaders.Add(basePath, std::make_unique<Shader>(basePath));
}

RenderPass* ResourceManager::GetPass(const std::string& name) {
  const int index = m_RenderPasses.Find(name);
  UTIL_ASSERT_EXPR(index >= 0, "false", "ResourceManager::GetPass - Pass does not exist");
  return m_RenderPasses.At(index);
}

int ResourceManager::FindRenderTargetChecked(const std::string& name) {
  const int index = m_RenderTargets.Find(name);
  if (!UTIL_ASSERT_EXPR(index >= 0, "false", "ResourceManager::GetRenderTarget - Render target does not exist"))
    return -2;
  return index;
}

RenderTarget* ResourceManager::GetRenderTarget(const std::string& name) {
  return m_RenderTargets.At(FindRenderTargetChecked(name));
}

int ResourceManager::AddModel(const std::string& file, ModelOwner model) {
  const int index = m_Models.Find(file);
  return index >= 0 ? index : m_Models.Add(file, std::move(model));
}

int ResourceManager::LoadModelIndex(const std::string& file) {
  const int index = m_Models.Find(file);
  if (index >= 0) return index;
  std::unique_ptr<Model> model = LoadModel(file.c_str());
  if (!model) model = std::make_unique<Model>(file);
  return m_Models.Add(file, ModelOwner(model.release(), [](Model* m) { delete m; }));
}

void ResourceManager::UseShader(int index) {
  if (index == m_CurrentShader) return;
  const Shader* shader = m_Shaders.At(index);
  glUseProgram(shader ? shader->Program() : 0);
  m_CurrentShader = shader ? index : -1;
}

void ResourceManager::UseNoShader() {
  if (m_CurrentShader >= 0) glUseProgram(0);
  m_CurrentShader = -1;
}

void ResourceManager::RunPasses() {
  for (int i = 0; i < m_RenderPasses.Count(); ++i) {
    RenderPass* pass = m_RenderPasses.At(i);
    pass->Begin();
    pass->Render();
    pass->End();
  }
}

bool ResourceManager::Validate() const {
  if (!m_Materials.Validate() || !m_RenderPasses.Validate() || !m_Textures.Validate() || !m_Shaders.Validate() ||
      !m_RenderTargets.Validate() || !m_Models.Validate())
    return false;
  if (m_CurrentShader < -1 || m_CurrentShader >= m_Shaders.Count()) return false;
  for (int i = 0; i < m_RenderPasses.Count(); ++i)
    for (int material : m_RenderPasses.At(i)->Materials())
      if (material < 0 || material >= m_Materials.Count()) return false;
  for (int i = 0; i < m_Materials.Count(); ++i) {
    const auto* collection = dynamic_cast<const MaterialCollection*>(m_Materials.At(i));
    if (collection && !collection->Validate()) return false;
  }
  for (int i = 0; i < m_Textures.Count(); ++i)
    if (!m_Textures.At(i)->Validate()) return false;
  return true;
}

void ResourceManager::Receive(const Util::Handle<Msg::renderPassMsg>& message) {
  const Msg::renderPassMsg& m = *message.Get();
  if (m_RenderPasses.Find(m.m_Name) >= 0) return;
  auto pass = std::make_unique<RenderPass>(m.m_Name);
  for (size_t i = 0; i < m.m_StateTypes.size(); ++i)
    pass->AddState(
        RenderPass::createStateFrom(m.m_StateTypes[i], i < m.m_StateParams.size() ? m.m_StateParams[i] : ""));
  for (const std::string& name : m.m_Materials) {
    const int material = loadMaterial(name);
    if (material >= 0) pass->AddMaterial(material);
  }
  m_RenderPasses.Add(m.m_Name, std::move(pass));
}

void ResourceManager::Receive(const Util::Handle<Msg::materialMsg>& message) {
  const Msg::materialMsg& m = *message.Get();
  if (m_Materials.Find(m.m_Name) >= 0) return;
  auto material = std::make_unique<Material>();
  material->Build(m.m_PropertyTypes, m.m_PropertyParams);
  m_Materials.Add(m.m_Name, std::move(material));
}

void ResourceManager::Receive(const Util::Handle<Msg::materialCollectionMsg>& message) {
  const Msg::materialCollectionMsg& m = *message.Get();
  if (m_Materials.Find(m.m_Name) >= 0) return;
  auto collection = std::make_unique<MaterialCollection>();
  collection->TakeKeys(m.m_Keys);
  for (const std::string& name : m.m_Materials) collection->AddMaterial(loadMaterial(name));
  m_Materials.Add(m.m_Name, std::move(collection));
}

}  // namespace Gfx
