#include "Graphics/GraphicsFactory.h"

#include <memory>
#include <string>

#include "Game/Entity.h"
#include "Game/EntityDefinition.h"
#include "Graphics/VisualParticleSystem.h"
#include "Graphics/VisualSkinned.h"
#include "Graphics/Visuals.h"
#include "Util/XmlReader.h"

namespace Gfx {
namespace {

using Game::Entity;
using Util::XmlReader;

struct Builder {
  const char* tag;
  Game::ElementBuilder build;
};

const Builder kBuilders[] = {
    {"Visual", &GraphicsFactory::BuildVisual},        {"Visual2D", &GraphicsFactory::BuildVisual2D},
    {"Light", &GraphicsFactory::BuildLight},          {"VisualAnimated", &GraphicsFactory::BuildVisualAnimated},
    {"VisualParticle", &VisualParticleSystem::Build}, {"VisualSkinned", &VisualSkinned::Build},
};

// Names a material unless the element left it out (text then takes the text material itself).
void Material(Visual& visual, const std::string& name) {
  if (!name.empty()) visual.setMaterial(name);
}

}  // namespace

void GraphicsFactory::Init() {
  for (const Builder& builder : kBuilders) Game::RegisterElementBuilder(builder.tag, builder.build);
  m_Registered = true;
}

void GraphicsFactory::Shutdown() {
  if (!m_Registered) return;
  for (const Builder& builder : kBuilders) Game::RegisterElementBuilder(builder.tag, nullptr);
  m_Registered = false;
}

void GraphicsFactory::BuildVisual(Entity& entity, XmlReader& reader) {
  if (!reader.Enter()) return;
  float billboard = 0.0f;
  const bool hasBillboard = reader.Read("billboard", billboard);
  const float size = reader.Get<float>("size");
  const std::string model = reader.Get<std::string>("model");
  const std::string material = reader.Get<std::string>("material");
  const bool cull = !hasBillboard && reader.FindChild("Cull");
  if (cull) reader.Leave();
  reader.Leave();

  std::unique_ptr<Visual> visual;
  if (hasBillboard) {
    visual = std::make_unique<VisualText>(&entity, model, size > 0.0f ? size : 1.0f, billboard != 0.0f);
  } else if (model.find("Text") != std::string::npos) {
    visual = std::make_unique<VisualText>(&entity, model, size > 0.0f ? size : VisualText::kScreenSize, false);
  } else {
    visual = std::make_unique<Visual>(&entity);
    visual->SetModel(model);
  }
  Material(*visual, material);
  if (cull) visual->SetNeverCull(false);
  entity.SetVisual(visual.release());
}

void GraphicsFactory::BuildVisual2D(Entity& entity, XmlReader& reader) {
  if (!reader.Enter()) return;
  const auto f = [&reader](const char* key) { return reader.Get<float>(key); };
  const Visual2D::Rect corners{f("x0"), f("y0"), f("z0"), f("x1"), f("y1"), f("z1")};
  const Visual2D::TexRect texture{f("tx0"), f("ty0"), f("tx1"), f("ty1")};
  const bool billboard = f("billboard") != 0.0f;
  const std::string material = reader.Get<std::string>("material");
  reader.Leave();
  auto visual = std::make_unique<Visual2D>(&entity, corners, texture, billboard);
  Material(*visual, material);
  entity.SetVisual(visual.release());
}

void GraphicsFactory::BuildLight(Entity& entity, XmlReader& reader) {
  if (!reader.Enter()) return;
  const auto f = [&reader](const char* key) { return reader.Get<float>(key); };
  const float color[4] = {f("red"), f("green"), f("blue"), f("special")};
  const Util::Vec3 offset{f("x"), f("y"), f("z")};
  const float radius = f("radius");
  std::string model, material;
  const bool hasModel = reader.FindChild("Model");
  if (hasModel) {
    model = reader.Get<std::string>("model");
    material = reader.Get<std::string>("material");
    reader.Leave();
  }
  reader.Leave();
  auto light = std::make_unique<VisualLight>(&entity, color, offset, radius);
  if (hasModel) {
    light->SetModel(model);
    Material(*light, material);
  }
  entity.SetVisual(light.release());
}

void GraphicsFactory::BuildVisualAnimated(Entity& entity, XmlReader& reader) {
  if (!reader.Enter()) return;
  const std::string base = reader.Get<std::string>("basefile");
  const int count = reader.Get<int>("numFrames");
  const std::string material = reader.Get<std::string>("material");
  AnimatedModel model(base, static_cast<uint32_t>(count > 0 ? count : 0));
  // The frames in document order: each "frame" file with the "length" after it.
  std::string frame;
  int added = 0;
  for (; reader.HasCurrent() && added < count; reader.Next()) {
    const char* tag = reader.ElementName();
    if (std::string(tag) == "string" && reader.NameAttributeIs("frame")) {
      reader.ReadText(frame);
    } else if (std::string(tag) == "int" && reader.NameAttributeIs("length") && !frame.empty()) {
      int length = 0;
      reader.ReadText(length);
      model.AddAnimation(frame.c_str(), static_cast<float>(length));
      frame.clear();
      ++added;
    }
  }
  reader.Leave();
  auto visual = std::make_unique<VisualDynamiker>(&entity, std::make_unique<VertexAnimation>(std::move(model)));
  Material(*visual, material);
  entity.SetVisual(visual.release());
}

}  // namespace Gfx
