#include "Game/EntityDefinition.h"

#include <cstring>

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
    {"VisualAnimated", nullptr},  // graphics: a skinned model
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

// Shared is entered.
void ReadShared(Entity& entity, Util::XmlReader& reader) {
  for (const SharedChild& child : kSharedChildren) {
    if (!reader.FindChild(child.tag)) continue;
    (entity.*child.set)(ReadVector(reader));
    reader.Leave();
  }
}

// The reader stands on the Entity element.
void ReadEntity(Entity& entity, Util::XmlReader& reader) {
  if (!reader.Enter()) return;
  entity.Rename(reader.Get<std::string>("name").c_str());
  if (reader.FindChild("Shared")) {
    ReadShared(entity, reader);
    reader.Leave();
  }
  reader.Leave();
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
  if (!reader.Open()) return;
  while (reader.HasCurrent()) {
    const Util::XmlReader::Mark element = reader.Here();
    const char* tag = reader.ElementName();
    if (Is(tag, "Entity")) {
      ReadEntity(entity, reader);
    } else if (const BuilderSlot* slot = SlotFor(tag); slot && slot->builder) {
      slot->builder(entity, reader);
    }
    reader.Return(element);
    reader.Next();
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
