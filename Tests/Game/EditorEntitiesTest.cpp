#include "Game/EntityTesting.h"
#include "Util/DebugConsole.h"
#include "Util/LevelEditor.h"

namespace {

// The editor's entities come from the game's own asset tree, two levels above the test's working
// directory, so these tests use the shipped files.
class EditorEntities : public testing::Test {
 protected:
  void TearDown() override {
    Util::LevelEditor::Destroy();
    Util::DebugConsole::Destroy();
    if (Game::EntityManager::Exists()) {
      Game::EntityManager::Instance().Shutdown();
      Game::EntityManager::Destroy();
    }
    Msg::MailMan::Instance().Shutdown();
    Msg::MailMan::Destroy();
    Util::PackDirectory::Instance().Reset();
    EXPECT_EQ(m_Asserts.Count(), 0u) << (m_Asserts.Count() ? m_Asserts.Texts().front() : "");
  }

  Testing::AssertRecorder m_Asserts;
};

}  // namespace

TEST_F(EditorEntities, TheConsoleAndTheEditorAskForTheirEntitiesWhichTheFirstDeliveryBuilds) {
  Util::DebugConsole::Instance().Init();
  Util::LevelEditor::Instance().Init();
  Game::EntityManager& manager = Game::EntityManager::Instance();
  EXPECT_EQ(manager.Count(), 0u);
  EXPECT_EQ(Msg::MailMan::Instance().Queued(), 4u);

  Msg::MailMan::Instance().Deliver();
  std::vector<std::string> names;
  for (Game::Entity* e : manager.Entities())
    names.push_back(std::string(e->GetName()).substr(0, std::string(e->GetName()).find_first_of("0123456789")));
  EXPECT_EQ(names,
            (std::vector<std::string>{"editor_DebugConsole", "editor_DebugFPS", "editor_Levels", "editor_Islands"}));
}

TEST_F(EditorEntities, TheEditorRemembersThePickedEntityByItsIdUntilReset) {
  Util::LevelEditor& editor = Util::LevelEditor::Instance();
  editor.ResetCurrentPick();
  EXPECT_EQ(editor.GetCurrentPick(), 2147483647);
  editor.Init();
  EXPECT_EQ(editor.GetCurrentPick(), 0);

  Game::Entity* picked = Game::EntityManager::Instance().CreateEntity("../../Assets/Xml/entities/editor_Levels.xml");
  Msg::MailMan::Instance().Post(new Msg::graphicsPickedMsg(picked));
  Msg::MailMan::Instance().Deliver();
  EXPECT_EQ(editor.GetCurrentPick(), picked->GetID());
  editor.ResetCurrentPick();
  EXPECT_EQ(editor.GetCurrentPick(), 2147483647);

  // A pick of nothing, or of an entity removed before the pick arrived, reads as 0.
  Msg::MailMan::Instance().Post(new Msg::graphicsPickedMsg(picked));
  Game::EntityManager::Instance().RemoveByPtr(picked);
  Msg::MailMan::Instance().Deliver();
  EXPECT_EQ(editor.GetCurrentPick(), 0);
  editor.ResetCurrentPick();
  Msg::Send(new Msg::graphicsPickedMsg(nullptr));
  EXPECT_EQ(editor.GetCurrentPick(), 0);
}
