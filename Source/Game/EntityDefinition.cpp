#include "Game/EntityDefinition.h"

#include <cstring>
#include <memory>
#include <unordered_map>

#include "Game/Entity.h"
#include "Util/Assert.h"

namespace Game {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Game\\game_entitymanager";

// The elements that other subsystems build components from, each with its builder when one is
// registered.
struct BuilderSlot {
  const char* tag;
  ElementBuilder builder;
};
BuilderSlot s_Builders[] = {
    {"Visual", nullptr},          // graphics: a model
    {"Visual2D", nullptr},        // graphics: a 2D quad
    {"VisualParticle", nullptr},  // graphics: a particle holder
    {"Light", nullptr},           // graphics: a light
    {"VisualAnimated", nullptr},  // graphics: an animated vertex model
    {"VisualSkinned", nullptr},   // graphics: a skinned model
    {"Physics", nullptr},         // physics: a body and its hull
    {"Script", nullptr},          // scripting: the entity's script
    {"Sound", nullptr},           // sound: a positional sound where the entity stands
};

BuilderSlot* SlotFor(const char* tag) {
  for (BuilderSlot& slot : s_Builders)
    if (std::strcmp(slot.tag, tag) == 0) return &slot;
  return nullptr;
}

bool Is(const char* name, const char* tag) { return std::strcmp(name, tag) == 0; }

// float "x", "y", "z" of the innermost open element.
Util::Vec3 ReadVector(const Util::XmlReader& reader) {
  return {reader.Get<float>("x"), reader.Get<float>("y"), reader.Get<float>("z")};
}

// The children of Shared in the order they are looked for, and what each sets. Each search
// starts after the child found before it.
struct SharedChild {
  const char* tag;
  void (Entity::*set)(const Util::Vec3&);
};
const SharedChild kSharedChildren[] = {
    {"Position", &Entity::SetPositionOnly},  // the bounds come along
    {"Rotation", &Entity::SetRotation},      // angles in degrees; the matrix follows
    {"Scale", &Entity::SetScale},
    {"Velocity", &Entity::SetVelocity},
};

// A definition file as read once: what each of its top-level elements does to an entity, in
// document order. Entities are built from it while the file stays the same on disk.
struct Definition {
  struct Step {
    int m_Builder = -1;  // the element's slot among the builders; -1 for an Entity element
    // An Entity element: the base name and the Shared values found, in the order they are set.
    std::string m_Name;
    std::vector<std::pair<void (Entity::*)(const Util::Vec3&), Util::Vec3>> m_Shared;
    Util::XmlReader::Mark m_Element;  // a builder's element, where its reader stands
  };
  std::shared_ptr<const TiXmlDocument> m_Document;  // holds the builders' elements
  std::vector<Step> m_Steps;
};

// The definitions read so far, by the path their files are read at.
std::unordered_map<std::string, std::shared_ptr<const Definition>>& Definitions() {
  static std::unordered_map<std::string, std::shared_ptr<const Definition>> definitions;
  return definitions;
}

// The reader stands on the Entity element.
Definition::Step ReadEntity(Util::XmlReader& reader) {
  Definition::Step step;
  reader.Enter();
  step.m_Name = reader.Get<std::string>("name");
  if (reader.FindChild("Shared")) {
    for (const SharedChild& child : kSharedChildren) {
      if (!reader.FindChild(child.tag)) continue;
      step.m_Shared.emplace_back(child.set, ReadVector(reader));
      reader.Leave();
    }
  }
  return step;
}

// The reader has just opened the file.
std::shared_ptr<const Definition> ReadDefinition(Util::XmlReader& reader) {
  auto definition = std::make_shared<Definition>();
  definition->m_Document = reader.Document();
  while (reader.HasCurrent()) {
    const Util::XmlReader::Mark element = reader.Here();
    const char* tag = reader.ElementName();
    if (Is(tag, "Entity")) {
      definition->m_Steps.push_back(ReadEntity(reader));
    } else if (const BuilderSlot* slot = SlotFor(tag)) {
      definition->m_Steps.emplace_back();
      definition->m_Steps.back().m_Builder = static_cast<int>(slot - s_Builders);
      definition->m_Steps.back().m_Element = element;
    }
    reader.Return(element);
    reader.Next();
  }
  return definition;
}

// Data is entered: its String children until the first Number, then its Number children.
void ReadData(ScriptDefinition& script, Util::XmlReader& reader) {
  bool numbers = false;
  while (reader.HasCurrent()) {
    const char* tag = reader.ElementName();
    if (Is(tag, "Number")) numbers = true;
    const bool string = !numbers && Is(tag, "String");
    if (!string && !Is(tag, "Number")) {
      reader.Next();
      continue;
    }
    reader.Enter();
    if (string)
      script.m_Strings.emplace_back(reader.Get<std::string>("name"), reader.Get<std::string>("string"));
    else
      script.m_Numbers.emplace_back(reader.Get<std::string>("name"), reader.Get<double>("number"));
    reader.Leave();  // on to the element after it
  }
}

}  // namespace

void RegisterElementBuilder(const char* tag, ElementBuilder builder) {
  BuilderSlot* slot = tag ? SlotFor(tag) : nullptr;
  if (!UTIL_ASSERT(slot != nullptr, std::string(tag ? tag : "(null)") +
                                        " is not an element of an entity definition that a builder reads."))
    return;
  slot->builder = builder;
}

void ReadEntityDefinition(Entity& entity, const char* path) {
  if (!path) return;
  Util::XmlReader reader(path);
  if (!reader.OpenShared()) return;
  std::shared_ptr<const Definition>& known = Definitions()[reader.Path()];
  if (!known || known->m_Document != reader.Document()) known = ReadDefinition(reader);
  // Held here: a builder may build entities itself, from this very file after it changed.
  const std::shared_ptr<const Definition> definition = known;
  for (const Definition::Step& step : definition->m_Steps) {
    if (step.m_Builder < 0) {
      entity.Rename(step.m_Name.c_str());
      for (const auto& [set, value] : step.m_Shared) (entity.*set)(value);
    } else if (const ElementBuilder builder = s_Builders[step.m_Builder].builder) {
      reader.Return(step.m_Element);
      builder(entity, reader);
    }
  }
}

ScriptDefinition ReadScriptDefinition(Util::XmlReader& reader) {
  ScriptDefinition script;
  if (!reader.Enter()) return script;
  script.m_File = reader.Get<std::string>("file");
  while (reader.HasCurrent()) {
    const char* tag = reader.ElementName();
    if (Is(tag, "bool")) script.m_Flag = true;
    if (Is(tag, "Data")) {
      reader.Enter();
      ReadData(script, reader);
      reader.Leave();  // on to the element after it
      continue;
    }
    reader.Next();
  }
  reader.Leave();
  return script;
}

}  // namespace Game
