// What the entity tests share: components that record what the entity asks of them, builders
// that make them from definition elements, mailboxes that log the manager's announcements, and a
// fixture that works in a throw-away asset tree and takes down every system the tests bring up.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Game/Entity.h"
#include "Game/EntityDefinition.h"
#include "Game/EntityManager.h"
#include "Graphics/Visual.h"
#include "Messaging/Messages.h"
#include "Physics/PhysComp.h"
#include "Script/Script.h"
#include "Sound/Sound.h"
#include "Support/AssertRecorder.h"
#include "Support/Systems.h"
#include "Support/TempTree.h"
#include "Util/FileAccess.h"
#include "Util/Grid.h"

namespace Testing {

// The calls a component received, and the destructions, in one order across all components.
inline std::vector<std::string>& ComponentLog() {
  static std::vector<std::string> log;
  return log;
}

class RecordingPhysComp : public Phy::PhysComp {
 public:
  RecordingPhysComp(Game::Entity* owner, bool hull) : PhysComp(owner), m_Hull(hull) {}
  ~RecordingPhysComp() override { ComponentLog().push_back("~physics"); }
  bool HasHull() const override { return m_Hull; }
  void TranslateHull(const Util::Vec3& d) override { Note(m_Translations, d, "translate"); }
  void RotateHull(const Util::Vec3& degrees) override { Note(m_Rotations, degrees, "rotate"); }
  void ScaleHull(float ratio) override { Note(m_Ratios, ratio, "scale"); }
  void SetVelocity(const Util::Vec3& v) override { Note(m_Velocities, v, "velocity"); }

  bool m_Hull;
  std::vector<Util::Vec3> m_Translations, m_Rotations, m_Velocities;
  std::vector<float> m_Ratios;

 private:
  template <class T>
  static void Note(std::vector<T>& calls, const T& value, const char* call) {
    calls.push_back(value);
    ComponentLog().push_back(call);
  }
};

class RecordingVisual : public Gfx::Visual {
 public:
  explicit RecordingVisual(Game::Entity* owner) : Visual(owner) {}
  ~RecordingVisual() override { ComponentLog().push_back("~visual"); }
  void SetColor(const float color[4]) override { m_Color.assign(color, color + 4); }
  void SetRadius(float radius) override { m_Radius = radius; }

  std::vector<float> m_Color;
  float m_Radius = 0.0f;
};

class RecordingScript : public Spt::Script {
 public:
  using Script::Script;
  ~RecordingScript() override { ComponentLog().push_back("~script"); }
};

class RecordingSound : public Snd::Sound {
 public:
  ~RecordingSound() override { ComponentLog().push_back("~sound"); }
};

// The last Script element a builder read.
inline Game::ScriptDefinition& LastScriptDefinition() {
  static Game::ScriptDefinition definition;
  return definition;
}

// Builders as the subsystems will register them. Physics: a hull when the element says so.
inline void BuildPhysics(Game::Entity& entity, Util::XmlReader& reader) {
  reader.Enter();
  entity.SetPhysics(new RecordingPhysComp(&entity, reader.Get<bool>("hull")));
  reader.Leave();
}
inline void BuildVisual(Game::Entity& entity, Util::XmlReader&) { entity.SetVisual(new RecordingVisual(&entity)); }
inline void BuildScript(Game::Entity& entity, Util::XmlReader& reader) {
  const Game::ScriptDefinition& definition = LastScriptDefinition() = Game::ReadScriptDefinition(reader);
  entity.SetScript(new Spt::Script(definition.m_File.c_str(), &entity, definition.m_Flag));
}

// A definition file: the Entity element with its name and the given Shared contents, then the
// other top-level elements given.
inline std::string Definition(const std::string& name, const std::string& shared = "", const std::string& others = "") {
  std::string text =
      "<?xml version=\"1.0\"?>\n<XMLRoot>\n  <Entity>\n    <string name=\"name\">" + name + "</string>\n";
  if (!shared.empty()) text += "    <Shared>" + shared + "</Shared>\n";
  return text + "  </Entity>\n" + others + "</XMLRoot>\n";
}

inline std::string Vector(const char* tag, float x, float y, float z) {
  return std::string("<") + tag + "><float name=\"x\">" + std::to_string(x) + "</float><float name=\"y\">" +
         std::to_string(y) + "</float><float name=\"z\">" + std::to_string(z) + "</float></" + tag + ">";
}

// The full name an entity of this base name has: the base followed by its ID.
inline std::string Numbered(const std::string& base, const Game::Entity& entity) {
  return base + std::to_string(entity.GetID());
}

// Position, rotation, scale and velocity, in that order.
inline std::vector<Util::Vec3> Transform(const Game::Entity& e) {
  return {e.GetPosition(), e.GetRotation(), e.GetScale(), e.GetVelocity()};
}

// Everything the manager announces, as it arrives.
class ManagerLog : public Msg::MailBox {
 public:
  struct Removed {
    std::string name;
    int32_t id;
    bool stillListed;  // the manager still listed the entity when the notice came
    bool alive;        // the entity was still on the registry of entities
  };

  void Receive(const Util::Handle<Msg::eManRemovedMsg>& message) override {
    bool alive = false;
    for (Game::Entity* e : Util::AutoList<Game::Entity>::All()) alive = alive || e->GetID() == message->m_Id;
    m_Removed.push_back({message->m_FullName.Get() ? message->m_FullName.Get() : "(null)", message->m_Id,
                         Game::EntityManager::Exists() && Game::EntityManager::Instance().FindByID(message->m_Id),
                         alive});
    m_RemovedKept.push_back(message);
  }
  void Receive(const Util::Handle<Msg::eManAddedMsg>& message) override {
    m_Added.emplace_back(message->m_Entity.Get(), message->m_Scripted);
  }

  std::vector<Removed> m_Removed;
  std::vector<std::pair<Game::Entity*, bool>> m_Added;           // the entity and its script flag
  std::vector<Util::Handle<Msg::eManRemovedMsg>> m_RemovedKept;  // read after the entity has gone
};

// Works in a throw-away asset tree; takes down the manager, the grid, the post office and the
// builders afterwards, and checks that no assertion was left unexamined.
class EntityTest : public testing::Test {
 protected:
  void SetUp() override { ComponentLog().clear(); }
  void TearDown() override {
    ShutDown<Game::EntityManager, Util::Grid, Msg::MailMan>();
    for (const char* tag : {"Script", "Visual", "Visual2D", "VisualParticle", "Light", "VisualAnimated", "Physics"})
      Game::RegisterElementBuilder(tag, nullptr);
    Util::PackDirectory::Instance().Reset();
    EXPECT_EQ(m_Asserts.Texts(), std::vector<std::string>{});
  }

  // Writes Assets/Xml/entities/<file>.xml and gives its path as the game names it.
  std::string WriteEntity(const std::string& file, const std::string& contents) {
    m_Tree.Write("Assets/Xml/entities/" + file + ".xml", contents);
    return "../../Assets/Xml/entities/" + file + ".xml";
  }

  Game::EntityManager& Manager() { return Game::EntityManager::Instance(); }

  TempTree m_Tree;
  AssertRecorder m_Asserts;
};

}  // namespace Testing
