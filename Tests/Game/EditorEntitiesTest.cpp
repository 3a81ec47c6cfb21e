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
    Testing::ShutDown<Game::EntityManager, Msg::MailMan>();
    Util::PackDirectory::Instance().Reset();
    EXPECT_EQ(m_Asserts.Texts(), std::vector<std::string>{});
  }

  Testing::AssertRecorder m_Asserts;
};

constexpr int32_t kNoPick = 2147483647;

}  // namespace

TEST_F(EditorEntities, TheConsoleAndTheEditorAskForTheirEntitiesWhichTheFirstDeliveryBuilds) {
  Util::DebugConsole::Instance().Init();
  Util::LevelEditor::Instance().Init();
  EXPECT_EQ(Game::EntityManager::Instance().Count(), 0u);
  EXPECT_EQ(Msg::MailMan::Instance().Queued(), 4u);

  Msg::MailMan::Instance().Deliver();
  std::vector<std::string> names;
  for (Game::Entity* e : Game::EntityManager::Instance().Entities())
    names.push_back(std::string(e->GetName()).substr(0, std::string(e->GetName()).find_first_of("0123456789")));
  EXPECT_EQ(names,
            (std::vector<std::string>{"editor_DebugConsole", "editor_DebugFPS", "editor_Levels", "editor_Islands"}));
}

TEST_F(EditorEntities, TheEditorRemembersThePickedEntityByItsIdUntilReset) {
  Util::LevelEditor& editor = Util::LevelEditor::Instance();
  editor.ResetCurrentPick();
  EXPECT_EQ(editor.GetCurrentPick(), kNoPick);
  editor.Init();
  EXPECT_EQ(editor.GetCurrentPick(), 0);

  Game::Entity* picked = Game::EntityManager::Instance().CreateEntity("../../Assets/Xml/entities/editor_Levels.xml");
  Msg::MailMan::Instance().Post(new Msg::graphicsPickedMsg(picked));
  Msg::MailMan::Instance().Deliver();
  EXPECT_EQ(editor.GetCurrentPick(), picked->GetID());
  editor.ResetCurrentPick();
  EXPECT_EQ(editor.GetCurrentPick(), kNoPick);

  // A pick of nothing, or of an entity removed before the pick arrived, reads as 0.
  Msg::MailMan::Instance().Post(new Msg::graphicsPickedMsg(picked));
  Game::EntityManager::Instance().RemoveByPtr(picked);
  Msg::MailMan::Instance().Deliver();
  EXPECT_EQ(editor.GetCurrentPick(), 0);
  editor.ResetCurrentPick();
  Msg::Send(new Msg::graphicsPickedMsg(nullptr));
  EXPECT_EQ(editor.GetCurrentPick(), 0);
}
