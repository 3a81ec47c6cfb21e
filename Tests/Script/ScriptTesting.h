// What the scripting tests share: a throw-away asset tree with the four start-up scripts, the
// script engine brought up on it, helpers that run Lua and read its answers, entity definitions
// with scripts, and mailboxes that catch the messages scripts post or send. Every system a test
// brings up is taken down after it, so a whole test program can run in one process.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "Core/Input.h"
#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Game/GlobalStateData.h"
#include "Game/Player.h"
#include "Messaging/Messages.h"
#include "Script/Script.h"
#include "Script/ScriptEngine.h"
#include "Support/AssertRecorder.h"
#include "Support/TempTree.h"
#include "Util/ErrorLog.h"
#include "Util/Grid.h"
#include "Util/LevelEditor.h"

namespace Testing {

// Keeps every message of class M it receives.
template <class M>
class Catch : public Msg::MailBox {
 public:
  void Receive(Util::Handle<M> message) override { m_Seen.push_back(message); }
  size_t Count() const { return m_Seen.size(); }
  const M& Last() const { return *m_Seen.back().Get(); }

  std::vector<Util::Handle<M>> m_Seen;
};

class ScriptTest : public testing::Test {
 protected:
  static constexpr const char* kStartup[] = {"gfx_material_1", "gfx_material_post", "gfx_render_passes_1",
                                             "game_OnStart"};

  ScriptTest() {
    for (const char* name : kStartup) Script(std::string(name) + ".lua", "");
  }

  ~ScriptTest() override {
    if (Game::EntityManager::Exists()) {
      Game::EntityManager::Instance().Shutdown();
      Game::EntityManager::Destroy();
    }
    if (Spt::ScriptEngine::Exists()) {
      Spt::ScriptEngine::Instance().Shutdown();
      Spt::ScriptEngine::Destroy();
    }
    Game::Player::Destroy();
    Game::GlobalStateData::Destroy();
    Util::LevelEditor::Destroy();
    Util::Grid::Destroy();
    Core::Input::Destroy();
    Util::ErrorLog::Destroy();
    if (Msg::MailMan::Exists()) {
      Msg::MailMan::Instance().Shutdown();
      Msg::MailMan::Destroy();
    }
  }

  Spt::ScriptEngine& Engine() { return Spt::ScriptEngine::Instance(); }
  void Start() { ASSERT_TRUE(Engine().Init()); }

  // Writes Assets/Scripts/<name> and returns the path scripts and definitions name it by.
  std::string Script(const std::string& name, const std::string& text) {
    m_Tree.Write("Assets/Scripts/" + name, text);
    return "../../Assets/Scripts/" + name;
  }

  // Writes an entity definition whose Script element names the script file, with the flag when
  // asked and the given Data sections; returns its path.
  std::string Definition(const std::string& name, const std::string& script, bool flag = false,
                         const std::string& data = "") {
    const std::string text = "<?xml version=\"1.0\"?>\n<XMLRoot>\n  <Entity><string name=\"name\">" + name +
                             "</string></Entity>\n  <Script><string name=\"file\">" + script + "</string>" +
                             (flag ? "<bool name=\"always\">1</bool>" : "") + data + "</Script>\n</XMLRoot>\n";
    m_Tree.Write("Assets/Xml/entities/" + name + ".xml", text);
    return "../../Assets/Xml/entities/" + name + ".xml";
  }

  // Runs a chunk that must succeed and gives its first result as text.
  std::string Run(const std::string& chunk) {
    std::string result;
    EXPECT_TRUE(Engine().DoString(chunk.c_str(), &result)) << chunk << "\n" << result;
    return result;
  }

  // Runs a chunk that must fail and gives the error message.
  std::string Fails(const std::string& chunk) {
    std::string error;
    EXPECT_FALSE(Engine().DoString(chunk.c_str(), &error)) << chunk;
    return error;
  }

  // One frame of scripts with every live component near, so each runs once.
  void RunAll() {
    std::set<Spt::Script*> near;
    for (Spt::Script* script : Util::AutoList<Spt::Script>::All()) near.insert(script);
    Engine().RunSchedule(near, {}, {});
  }

  static void Deliver() { Msg::MailMan::Instance().Deliver(); }

  TempTree m_Tree;
  AssertRecorder m_Asserts;
};

}  // namespace Testing
