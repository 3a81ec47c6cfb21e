// What the scripting tests share: a throw-away asset tree with the four start-up scripts (a
// GameTree, whose writers make scripts and entity definitions), the script engine brought up on
// it, helpers that run Lua and read its answers, and mailboxes that catch the messages scripts post
// or send. Every system a test brings up is taken down after it.
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
#include "Support/GameTree.h"
#include "Support/Printed.h"
#include "Support/Systems.h"
#include "Util/ErrorLog.h"
#include "Util/Grid.h"
#include "Util/LevelEditor.h"

namespace Testing {

// Keeps every message of class M it receives.
template <class M>
class Catch : public Msg::MailBox {
 public:
  void Receive(const Util::Handle<M>& message) override { m_Seen.push_back(message); }
  size_t Count() const { return m_Seen.size(); }
  const M& Last() const { return *m_Seen.back().Get(); }

  std::vector<Util::Handle<M>> m_Seen;
};

// How many messages each catcher holds.
template <class... Catches>
std::vector<size_t> Counts(const Catches&... catches) {
  return {catches.Count()...};
}

class ScriptTest : public testing::Test, protected GameTree {
 protected:
  // Assertions a test expects it clears; any other fails it.
  ~ScriptTest() override {
    EXPECT_EQ(m_Asserts.Texts(), std::vector<std::string>{});
    ShutDown<Game::EntityManager, Spt::ScriptEngine>();
    Game::Player::Destroy();
    Game::GlobalStateData::Destroy();
    Util::LevelEditor::Destroy();
    Util::Grid::Destroy();
    Core::Input::Destroy();
    Util::ErrorLog::Destroy();
    ShutDown<Msg::MailMan>();
  }

  Spt::ScriptEngine& Engine() { return Spt::ScriptEngine::Instance(); }
  void Start() { ASSERT_TRUE(Engine().Init()); }

  Game::Entity* Create(const std::string& definition) {
    return Game::EntityManager::Instance().CreateEntity(definition.c_str());
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

  // Frames of scripts with every live component near, so each runs once a frame.
  void RunAll(int frames = 1) {
    for (int frame = 0; frame < frames; ++frame) {
      std::set<Spt::Script*> near;
      for (Spt::Script* script : Util::AutoList<Spt::Script>::All()) near.insert(script);
      Engine().RunSchedule(near, {}, {});
    }
  }

  static void Deliver() { Msg::MailMan::Instance().Deliver(); }

  AssertRecorder m_Asserts;
};

}  // namespace Testing
