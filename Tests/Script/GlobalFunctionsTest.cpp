#include <string>
#include <vector>

#include "Script/ScriptTesting.h"

using Testing::Catch;
using Testing::ScriptTest;

namespace {

// The order in which a few messages reach the mailboxes.
class Arrivals : public Msg::MailBox {
 public:
  void Receive(Util::Handle<Msg::materialMsg> message) override {
    m_Log.push_back("material " + message->m_Name);
    m_Material = message;
  }
  void Receive(Util::Handle<Msg::graphicsSetFadeMsg>) override { m_Log.push_back("fade"); }
  void Receive(Util::Handle<Msg::cameraSetPosVecMsg>) override { m_Log.push_back("camera"); }
  void Receive(Util::Handle<Msg::cameraSetPosVecImmediateMsg>) override { m_Log.push_back("jump"); }

  std::vector<std::string> m_Log;
  Util::Handle<Msg::materialMsg> m_Material;
};

constexpr const char* kPlain = "../../Assets/Xml/entities/Plain.xml";

}  // namespace

class GlobalFunctions : public ScriptTest {
 protected:
  GlobalFunctions() {
    m_Tree.Write("Assets/Xml/entities/Plain.xml",
                 "<?xml version=\"1.0\"?><XMLRoot><Entity><string name=\"name\">Vine</string></Entity></XMLRoot>");
    Start();
  }
};

TEST_F(GlobalFunctions, AFunctionUsesTheLastValuesItIsGivenAndIgnoresSurplusLeadingOnes) {
  Catch<Msg::graphicsSetFadeMsg> fades;
  Catch<Msg::gameSetIslandHomeMsg> homes;
  Catch<Msg::soundPlay3DMsg> sounds;
  Run("Global.SetFade('surplus', {}, 0.25)");
  Run("Global.SetIslandHome(9, 1, 2, 3)");
  Run("Global.PlaySound3D('junk', 'chime', 4, 5, 6)");
  Deliver();
  ASSERT_EQ(fades.Count(), 1u);
  EXPECT_FLOAT_EQ(fades.Last().m_Fade, 0.25f);
  ASSERT_EQ(homes.Count(), 1u);
  EXPECT_EQ(homes.Last().m_Home, (Util::Vec3{1.0f, 2.0f, 3.0f}));
  ASSERT_EQ(sounds.Count(), 1u);
  EXPECT_STREQ(sounds.Last().m_Name.Get(), "chime");
  EXPECT_EQ(sounds.Last().m_Position, (Util::Vec3{4.0f, 5.0f, 6.0f}));
  EXPECT_FALSE(sounds.Last().m_Music);
}

TEST_F(GlobalFunctions, MissingOrIllTypedArgumentsRaiseTheStandardArgumentErrors) {
  EXPECT_NE(Fails("Global.SetFade()").find("bad argument #1 to 'SetFade' (number expected, got no value)"),
            std::string::npos);
  EXPECT_NE(Fails("Global.SetFade('thick')").find("(number expected, got string)"), std::string::npos);
  EXPECT_NE(Fails("Global.DeleteEntityByPtr(5)").find("'DeleteEntityByPtr' (Game::Entity expected, got number)"),
            std::string::npos);
  EXPECT_NE(Fails("Global.SetCameraTargetObject({})").find("Game::Entity expected, got table"), std::string::npos);
  EXPECT_NE(Fails("_G['Game::Entity'].GetID(5)").find("'GetID' (Game::Entity expected, got number)"),
            std::string::npos);
  // A method names its arguments as the script wrote them, the entity's own not counted.
  Run("e = Global.CreateEntity('" + std::string(kPlain) + "')");
  EXPECT_NE(Fails("e:SPT_GiveEntity('friend', 5)").find("bad argument #2 to 'SPT_GiveEntity' (Game::Entity expected"),
            std::string::npos);
  // Nothing was half made on the way out of the failed calls.
  Catch<Msg::graphicsSetFadeMsg> fades;
  Deliver();
  EXPECT_EQ(fades.Count(), 0u);
}

TEST_F(GlobalFunctions, SentMessagesArriveDuringTheCallAndPostedOnesAtTheNextDelivery) {
  Arrivals arrivals;
  Run("Global.SetFade(0.5)\n"
      "Global.AddMaterial('gTest', 2, 'SHADER  TEXTURE', 'Shaders/gTest ; 0 Textures/a.bmp')\n"
      "Global.JumpCameraPosition(1, 2, 3)\n"
      "Global.SetCameraPositionVector(4, 5, 6)\n");
  EXPECT_EQ(arrivals.m_Log, (std::vector<std::string>{"material gTest", "camera"}));
  Deliver();
  EXPECT_EQ(arrivals.m_Log, (std::vector<std::string>{"material gTest", "camera", "fade", "jump"}));
  ASSERT_TRUE(arrivals.m_Material.IsValid());
  EXPECT_EQ(arrivals.m_Material->m_PropertyCount, 2);
  EXPECT_EQ(arrivals.m_Material->m_PropertyTypes, (std::vector<std::string>{"SHADER", "TEXTURE"}));
  EXPECT_EQ(arrivals.m_Material->m_PropertyParams, (std::vector<std::string>{"Shaders/gTest", "0 Textures/a.bmp"}));
}

TEST_F(GlobalFunctions, RenderPassesAndCollectionsCarryTheirListsInScriptOrder) {
  Catch<Msg::renderPassMsg> passes;
  Catch<Msg::materialCollectionMsg> collections;
  Catch<Msg::graphicsPassMsg> touches;
  Run("Global.AddRenderPass('Light', 3, 1, 'TARGET CLEAR NODEPTH', 'Light;', 'gLight')");
  Run("Global.AddMaterialCollection('gSeasons', 2, 'spring winter', 'gSpring gWinter')");
  Run("Global.TouchRenderPass('ShadowMapping enable')");
  ASSERT_EQ(passes.Count(), 1u);
  const Msg::renderPassMsg& pass = passes.Last();
  EXPECT_EQ(pass.m_Name, "Light");
  EXPECT_EQ(pass.m_StateCount, 3);
  EXPECT_EQ(pass.m_MaterialCount, 1);
  EXPECT_EQ(pass.m_StateTypes, (std::vector<std::string>{"TARGET", "CLEAR", "NODEPTH"}));
  EXPECT_EQ(pass.m_StateParams, (std::vector<std::string>{"Light", "", ""}));
  EXPECT_EQ(pass.m_Materials, std::vector<std::string>{"gLight"});
  ASSERT_EQ(collections.Count(), 1u);
  EXPECT_EQ(collections.Last().m_Keys, (std::vector<std::string>{"spring", "winter"}));
  EXPECT_EQ(collections.Last().m_Materials, (std::vector<std::string>{"gSpring", "gWinter"}));
  ASSERT_EQ(touches.Count(), 1u);
  EXPECT_EQ(touches.Last().m_Pass, "ShadowMapping enable");
}

TEST_F(GlobalFunctions, KeyCodesRunFromZeroTo322) {
  EXPECT_EQ(Run("return Global.IsTriggered(322)"), "false");
  EXPECT_EQ(Run("return Global.IsPressed(0)"), "false");
  EXPECT_NE(Fails("return Global.IsTriggered(323)").find("bad argument #1 to 'IsTriggered' (out of range (0 to 322))"),
            std::string::npos);
  EXPECT_NE(Fails("return Global.IsPressed(-1)").find("out of range"), std::string::npos);
}

TEST_F(GlobalFunctions, AKeyCodeOutOfRangeInAnEntityScriptIsThatScriptsError) {
  const std::string keys = Script("keys.lua", "Global.IsTriggered(27)\ncoroutine.yield()\nGlobal.IsTriggered(323)\n");
  Game::EntityManager::Instance().CreateEntity(Definition("Keys", keys).c_str());
  testing::internal::CaptureStdout();
  RunAll();
  RunAll();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Script Error: " + keys + ": " + keys + ":3: bad argument #1 to 'IsTriggered'"), std::string::npos)
      << out;
}

TEST_F(GlobalFunctions, GameModes) {
  EXPECT_EQ(Run("return Global.GameModeNONE() .. Global.GameModeCAMERA() .. Global.GameModeFULL()"), "012");
  EXPECT_EQ(Run("Global.SetGameMode(true) return Global.IsInGameMode()"), "2");
  EXPECT_EQ(Run("Global.SetGameMode(false) return Global.IsInGameMode()"), "0");
  EXPECT_EQ(Run("Global.SetGameMode(1) Global.ToggleGameMode() return Global.IsInGameMode()"), "0");
  EXPECT_EQ(Run("Global.ToggleGameMode() return Global.IsInGameMode()"), "2");
  EXPECT_EQ(Run("Global.ToggleGameMode() return Global.IsInGameMode()"), "0");
}

TEST_F(GlobalFunctions, EntitiesAreCreatedFoundAndDeletedByName) {
  Run("e = Global.CreateEntityAt('" + std::string(kPlain) + "', 1, 2, 3, 0, 90, 0)");
  EXPECT_EQ(Run("local p = e:SHR_gPosition() return p.x .. ' ' .. p.y .. ' ' .. p.z"), "1 2 3");
  EXPECT_EQ(Run("return e:SHR_gRotation().y"), "90");
  const std::string full = Run("return e:GetName()");
  EXPECT_EQ(Run("return rawequal(Global.FindEntityByName('Vine'), e)"), "true");
  EXPECT_EQ(Run("return Global.FindEntityByName('Vine', true)"), "nil");
  EXPECT_EQ(Run("return rawequal(Global.FindEntityByName('" + full + "', true), e)"), "true");
  EXPECT_EQ(Run("return rawequal(Global.FindEntityByID(e:GetID()), e)"), "true");

  Run("Global.DeleteEntityByName('Vine', true)");
  Deliver();
  EXPECT_EQ(Game::EntityManager::Instance().Count(), 1u);
  Run("Global.DeleteEntityByName('Vine')");
  Deliver();
  EXPECT_EQ(Game::EntityManager::Instance().Count(), 0u);
}

TEST_F(GlobalFunctions, CreatingFromAFileThatDoesNotOpenGivesANamelessEntity) {
  EXPECT_EQ(Run("return Global.CreateEntity('../../Assets/Xml/entities/absent.xml'):GetName()"), "");
  EXPECT_GE(m_Asserts.Count(), 1u);
}

TEST_F(GlobalFunctions, TheCameraFollowsAnEntitysVisualAndIsReadAsTheGameStateLastHeard) {
  Catch<Msg::cameraSetTargetObjMsg> targets;
  Catch<Msg::cameraSetZoomMinMax> zooms;
  Run("Global.SetCameraTargetObject(Global.CreateEntity('" + std::string(kPlain) + "'))");
  ASSERT_EQ(targets.Count(), 1u);
  EXPECT_EQ(targets.Last().m_Visual, nullptr);  // this entity has no visual
  Run("Global.ClampCameraZoomMinMax(3, 40)");
  ASSERT_EQ(zooms.Count(), 1u);
  EXPECT_TRUE(zooms.Last().m_Clamp);
  EXPECT_FLOAT_EQ(zooms.Last().m_Max, 40.0f);

  Game::GlobalStateData::Instance();
  const Util::Vec3 reported[] = {{1, 2, 3}, {4, 6, 3}, {3, 5, 4}, {0, 1, 0}, {0, 5, 5}};
  for (int32_t kind = 0; kind < 5; ++kind)
    Msg::MailMan::Instance().Post(new Msg::cameraGetInfoMsg(kind, reported[kind]));
  Deliver();
  EXPECT_EQ(Run("local p = Global.gCameraPosition() return p.x .. p.y .. p.z"), "123");
  EXPECT_EQ(Run("local t = Global.gCameraTarget() return t.x .. t.y .. t.z"), "463");
  EXPECT_EQ(Run("local v = Global.gCameraViewVector() return v.x .. v.y .. v.z"), "340");
  EXPECT_EQ(Run("local u = Global.gCameraUpVector() return u.y"), "1");
  EXPECT_EQ(Run("local a, b, c = Global.gCameraBasis() return a.x .. b.y .. c.z"), "315");
  EXPECT_EQ(Run("local f, s = Global.gCameraDirection() "
                "return string.format('%.1f %.1f %.1f %.1f %.1f', f.x, f.y, f.z, s.y, s.z)"),
            "0.6 0.0 0.8 0.0 1.0");
}

TEST_F(GlobalFunctions, PopupsDebugLinesAndEditorMessagesCarryTheirArgumentsInOrder) {
  Catch<Msg::gameAddPopupMsgToQueueMsg> popups;
  Catch<Msg::debugSetLineLayerMsg> layers;
  Catch<Msg::debugAddLineMsg> lines;
  Catch<Msg::graphicsIslandCreateMsg> islands;
  Catch<Msg::graphicsPickMsg> picks;
  Run("Global.AddPopupTextToQueue('hello', 0.1, 0.2, 3000)");
  Run("Global.AddPopupTextToQueueEX(true, 'a line', 0.3, 0.4, 500)");
  Run("Global.SetDebugLineLayer(true, 4) Global.SetDebugLineLayer(false, 4)");
  Run("Global.AddDebugLine(1, 2, 3, 4, 5, 6) Editor.AttachedDebugLine(1, 2, 3, 4, 5, 6, 0.5, 0.5, 0.5, 9)");
  Run("Editor.BuildIslandModel('1', '2', 'top.bmp') Editor.PickEntity(10, 20)");
  Deliver();
  ASSERT_EQ(popups.Count(), 2u);
  EXPECT_EQ(popups.m_Seen[0]->m_Text, "hello");
  EXPECT_FLOAT_EQ(popups.m_Seen[0]->m_Time, 3000.0f);
  EXPECT_FALSE(popups.m_Seen[0]->m_Extended);
  EXPECT_EQ(popups.m_Seen[1]->m_Text, "a line");
  EXPECT_FLOAT_EQ(popups.m_Seen[1]->m_X, 0.3f);
  EXPECT_TRUE(popups.m_Seen[1]->m_Extended);
  ASSERT_EQ(layers.Count(), 2u);
  EXPECT_EQ(layers.m_Seen[0]->m_Layer, 4);
  EXPECT_EQ(layers.m_Seen[1]->m_Layer, 0x7FFFFFFF);
  ASSERT_EQ(lines.Count(), 2u);
  EXPECT_EQ(lines.m_Seen[0]->m_Layer, 0x7FFFFFFF);
  EXPECT_EQ(lines.m_Seen[1]->m_End, (Util::Vec3{4.0f, 5.0f, 6.0f}));
  EXPECT_EQ(lines.m_Seen[1]->m_Third, (Util::Vec3{0.5f, 0.5f, 0.5f}));
  EXPECT_EQ(lines.m_Seen[1]->m_Layer, 9);
  ASSERT_EQ(islands.Count(), 1u);
  EXPECT_EQ(islands.Last().m_A, 1);
  EXPECT_EQ(islands.Last().m_C, 0);
  ASSERT_EQ(picks.Count(), 1u);
  EXPECT_EQ(picks.Last().m_Y, 20);
}

TEST_F(GlobalFunctions, TheLevelEditorsPickIsReadAndReset) {
  Util::LevelEditor::Instance();
  Msg::MailMan::Instance().Post(new Msg::graphicsPickedMsg(nullptr));
  Deliver();
  EXPECT_EQ(Run("return Editor.GetCurrentPicked()"), "0");
  EXPECT_EQ(Run("Editor.ResetCurrentPicked() return Editor.GetCurrentPicked()"), "2147483647");
  testing::internal::CaptureStdout();
  Run("Editor.IslandNewXML() Editor.IslandOpenXML()");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "IslandNew\nIslandOpen\n");
}

TEST_F(GlobalFunctions, TimeAndTweakables) {
  EXPECT_EQ(Run("return type(Global.TimeThisFrame()) .. type(Global.TimeElapsed()) .. type(Global.FPS())"),
            "numbernumbernumber");
  EXPECT_EQ(Run("return next(Global.PrintTweakables())"), "nil");
}
