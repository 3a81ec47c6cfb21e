#include <gmock/gmock.h>

#include <string>
#include <tuple>
#include <vector>

#include "Script/ScriptTesting.h"

using Testing::Catch;
using Testing::Counts;
using testing::HasSubstr;
using Testing::ScriptTest;
using Texts = std::vector<std::string>;
using Sizes = std::vector<size_t>;

namespace {

// The order in which a few messages reach the mailboxes.
class Arrivals : public Msg::MailBox {
 public:
  void Receive(const Util::Handle<Msg::materialMsg>& message) override {
    m_Log.push_back("material " + message->m_Name);
    m_Material = message;
  }
  void Receive(const Util::Handle<Msg::graphicsSetFadeMsg>&) override { m_Log.push_back("fade"); }
  void Receive(const Util::Handle<Msg::cameraSetPosVecMsg>&) override { m_Log.push_back("camera"); }
  void Receive(const Util::Handle<Msg::cameraSetPosVecImmediateMsg>&) override { m_Log.push_back("jump"); }

  Texts m_Log;
  Util::Handle<Msg::materialMsg> m_Material;
};

// Chunks and what they must give.
struct Answer {
  const char* chunk;
  const char* result;
};

}  // namespace

class GlobalFunctions : public ScriptTest {
 protected:
  GlobalFunctions() : m_Plain(EntityFile("Vine")) { Start(); }

  void ExpectAnswers(std::initializer_list<Answer> answers) {
    for (const Answer& answer : answers) EXPECT_EQ(Run(answer.chunk), answer.result) << answer.chunk;
  }

  const std::string m_Plain;
};

TEST_F(GlobalFunctions, AFunctionUsesTheLastValuesItIsGivenAndIgnoresSurplusLeadingOnes) {
  Catch<Msg::graphicsSetFadeMsg> fades;
  Catch<Msg::gameSetIslandHomeMsg> homes;
  Catch<Msg::soundPlay3DMsg> sounds;
  Run("Global.SetFade('surplus', {}, 0.25) Global.SetIslandHome(9, 1, 2, 3) Global.PlaySound3D('junk', 'chime', 4, 5, "
      "6)");
  Deliver();
  ASSERT_EQ(Counts(fades, homes, sounds), Sizes(3, 1));
  EXPECT_FLOAT_EQ(fades.Last().m_Fade, 0.25f);
  EXPECT_EQ(homes.Last().m_Home, (Util::Vec3{1.0f, 2.0f, 3.0f}));
  EXPECT_STREQ(sounds.Last().m_Name.Get(), "chime");
  EXPECT_EQ(sounds.Last().m_Position, (Util::Vec3{4.0f, 5.0f, 6.0f}));
  EXPECT_FALSE(sounds.Last().m_Music);
}

TEST_F(GlobalFunctions, MissingOrIllTypedArgumentsRaiseTheStandardArgumentErrors) {
  Run("e = Global.CreateEntity('" + m_Plain + "')");
  const Answer errors[] = {
      {"Global.SetFade()", "bad argument #1 to 'SetFade' (number expected, got no value)"},
      {"Global.SetFade('thick')", "(number expected, got string)"},
      {"Global.DeleteEntityByPtr(5)", "'DeleteEntityByPtr' (Game::Entity expected, got number)"},
      {"Global.SetCameraTargetObject({})", "Game::Entity expected, got table"},
      {"_G['Game::Entity'].GetID(5)", "'GetID' (Game::Entity expected, got number)"},
      // A method names its arguments as the script wrote them, the entity's own not counted.
      {"e:SPT_GiveEntity('friend', 5)", "bad argument #2 to 'SPT_GiveEntity' (Game::Entity expected"},
      // Key codes run from 0 to 322.
      {"return Global.IsTriggered(323)", "bad argument #1 to 'IsTriggered' (out of range (0 to 322))"},
      {"return Global.IsPressed(-1)", "out of range"},
      // A number that is not finite never reaches a system.
      {"Global.UpdateCameraThird(0, 0, 0/0)", "bad argument #3 to 'UpdateCameraThird' (finite number expected"},
      {"e:SHR_sPosition(1, -1/0, 3)", "bad argument #2 to 'SHR_sPosition' (finite number expected, got -inf)"},
      {"Global.CreateEntityAt('x', 0, 0, 1e300, 0, 0, 0)", "bad argument #4 to 'CreateEntityAt' (finite number"},
  };
  for (const Answer& error : errors) EXPECT_THAT(Fails(error.chunk), HasSubstr(error.result));
  ExpectAnswers({{"return Global.IsTriggered(322)", "false"}, {"return Global.IsPressed(0)", "false"}});
  // Nothing was half made on the way out of the failed calls.
  Catch<Msg::graphicsSetFadeMsg> fades;
  Deliver();
  EXPECT_EQ(fades.Count(), 0u);
}

TEST_F(GlobalFunctions, SentMessagesArriveDuringTheCallAndPostedOnesAtTheNextDelivery) {
  Arrivals arrivals;
  Run("Global.SetFade(0.5)\n"
      "Global.AddMaterial('gTest', 2, 'SHADER  TEXTURE', 'Shaders/gTest  0 Textures/a.bmp')\n"
      "Global.JumpCameraPosition(1, 2, 3)\n"
      "Global.SetCameraPositionVector(4, 5, 6)\n");
  EXPECT_EQ(arrivals.m_Log, (Texts{"material gTest", "camera"}));
  Deliver();
  EXPECT_EQ(arrivals.m_Log, (Texts{"material gTest", "camera", "fade", "jump"}));
  ASSERT_TRUE(arrivals.m_Material.IsValid());
  EXPECT_EQ(arrivals.m_Material->m_PropertyCount, 2);
  EXPECT_EQ(arrivals.m_Material->m_PropertyTypes, (Texts{"SHADER", "TEXTURE"}));
  EXPECT_EQ(arrivals.m_Material->m_PropertyParams, (Texts{"Shaders/gTest", "0 Textures/a.bmp"}));
}

TEST_F(GlobalFunctions, RenderPassesAndCollectionsCarryTheirListsInScriptOrder) {
  Catch<Msg::renderPassMsg> passes;
  Catch<Msg::materialCollectionMsg> collections;
  Catch<Msg::graphicsPassMsg> touches;
  Run("Global.AddRenderPass('Light', 3, 1, 'TARGET CLEAR NODEPTH', 'Light', 'gLight')");
  Run("Global.AddMaterialCollection('gSeasons', 2, 'spring winter', 'gSpring gWinter')");
  Run("Global.TouchRenderPass('ShadowMapping enable')");
  ASSERT_EQ(Counts(passes, collections, touches), Sizes(3, 1));
  const Msg::renderPassMsg& pass = passes.Last();
  EXPECT_EQ(pass.m_Name, "Light");
  EXPECT_EQ(pass.m_StateCount, 3);
  EXPECT_EQ(pass.m_MaterialCount, 1);
  EXPECT_EQ(pass.m_StateTypes, (Texts{"TARGET", "CLEAR", "NODEPTH"}));
  EXPECT_EQ(pass.m_StateParams, (Texts{"Light", "", ""}));
  EXPECT_EQ(pass.m_Materials, Texts{"gLight"});
  EXPECT_EQ(collections.Last().m_Keys, (Texts{"spring", "winter"}));
  EXPECT_EQ(collections.Last().m_Materials, (Texts{"gSpring", "gWinter"}));
  EXPECT_EQ(touches.Last().m_Pass, "ShadowMapping enable");
}

// Each keyword takes the words its kind reads from the parameter text, in turn; a keyword of no
// known kind takes none, for the resource manager to refuse.
TEST_F(GlobalFunctions, DefinitionParametersAreSplitByTheWordsEachKindReads) {
  Catch<Msg::materialMsg> materials;
  Catch<Msg::renderPassMsg> passes;
  Run("Global.AddMaterial('m', 4, 'TEXTURE NODEPTH BOGUS UNIFORM', '1 a.bmp 3 Kind')");
  Run("Global.AddRenderPass('p', 3, 0, 'SOURCE WINDOWSIZE CLEAR', '3 0 1 Shadow 256 256', '')");
  ASSERT_EQ(Counts(materials, passes), Sizes(2, 1));
  EXPECT_EQ(materials.Last().m_PropertyParams, (Texts{"1 a.bmp", "", "", "3 Kind"}));
  EXPECT_EQ(passes.Last().m_StateParams, (Texts{"3 0 1 Shadow", "256 256", ""}));
}

TEST_F(GlobalFunctions, DefinitionsThatDoNotHoldTogetherAreTheScriptsErrorAndSendNothing) {
  Catch<Msg::materialMsg> materials;
  Catch<Msg::renderPassMsg> passes;
  Catch<Msg::materialCollectionMsg> collections;
  const Answer errors[] = {
      {"Global.AddMaterial('m', 3, 'SHADER TEXTURE', 's 0 t.bmp')", "AddMaterial m: 2 properties given where the"},
      {"Global.AddMaterial('m', 1, 'TEXTURE', '0')", "too few parameter words for TEXTURE"},
      {"Global.AddRenderPass('p', 1, 0, 'CLEAR', 'Light', '')", "parameter words left over after the last keyword"},
      {"Global.AddRenderPass('p', 1, 2, 'TARGET', 'Light', 'gA')", "1 materials given where the count says 2"},
      {"Global.AddMaterialCollection('c', 2, 'a b', 'm')", "1 materials given where the count says 2"},
  };
  for (const Answer& error : errors) EXPECT_THAT(Fails(error.chunk), HasSubstr(error.result)) << error.chunk;
  EXPECT_EQ(Counts(materials, passes, collections), Sizes(3, 0));
}

TEST_F(GlobalFunctions, AKeyCodeOutOfRangeInAnEntityScriptIsThatScriptsError) {
  const std::string keys = Script("keys.lua", "Global.IsTriggered(27)\ncoroutine.yield()\nGlobal.IsTriggered(323)\n");
  Create(Definition("Keys", keys));
  EXPECT_THAT(Testing::Printed([&] { RunAll(2); }),
              HasSubstr("Script Error: " + keys + ": " + keys + ":3: bad argument #1 to 'IsTriggered'"));
}

TEST_F(GlobalFunctions, GameModesTimeAndTweakables) {
  ExpectAnswers({
      {"return Global.GameModeNONE() .. Global.GameModeCAMERA() .. Global.GameModeFULL()", "012"},
      {"Global.SetGameMode(true) return Global.IsInGameMode()", "2"},
      {"Global.SetGameMode(false) return Global.IsInGameMode()", "0"},
      {"Global.SetGameMode(1) Global.ToggleGameMode() return Global.IsInGameMode()", "0"},
      {"Global.ToggleGameMode() return Global.IsInGameMode()", "2"},
      {"return type(Global.TimeThisFrame()) .. type(Global.TimeElapsed()) .. type(Global.FPS())", "numbernumbernumber"},
      {"return next(Global.PrintTweakables())", "nil"},
  });
}

TEST_F(GlobalFunctions, EntitiesAreCreatedFoundAndDeletedByNameAndFromAFileThatDoesNotOpenNameless) {
  Run("e = Global.CreateEntityAt('" + m_Plain + "', 1, 2, 3, 0, 90, 0) full = e:GetName()");
  ExpectAnswers({
      {"local p = e:SHR_gPosition() return p.x .. ' ' .. p.y .. ' ' .. p.z", "1 2 3"},
      {"return e:SHR_gRotation().y", "90"},
      {"return rawequal(Global.FindEntityByName('Vine'), e)", "true"},
      {"return Global.FindEntityByName('Vine', true)", "nil"},
      {"return rawequal(Global.FindEntityByName(full, true), e)", "true"},
      {"return rawequal(Global.FindEntityByID(e:GetID()), e)", "true"},
  });
  Run("Global.DeleteEntityByName('Vine', true)");
  Deliver();
  EXPECT_EQ(Game::EntityManager::Instance().Count(), 1u);
  Run("Global.DeleteEntityByName('Vine')");
  Deliver();
  EXPECT_EQ(Game::EntityManager::Instance().Count(), 0u);

  // From a file that does not open comes a nameless entity.
  EXPECT_EQ(Run("return Global.CreateEntity('../../Assets/Xml/entities/absent.xml'):GetName()"), "");
  EXPECT_EQ(m_Asserts.Comments(), Texts{"../../Assets/Xml/entities/absent.xml failed to open for reading."});
  m_Asserts.Clear();
}

TEST_F(GlobalFunctions, TheCameraFollowsAnEntitysVisualAndIsReadAsTheGameStateLastHeard) {
  Catch<Msg::cameraSetTargetObjMsg> targets;
  Catch<Msg::cameraSetZoomMinMax> zooms;
  Run("Global.SetCameraTargetObject(Global.CreateEntity('" + m_Plain + "')) Global.ClampCameraZoomMinMax(3, 40)");
  ASSERT_EQ(Counts(targets, zooms), Sizes(2, 1));
  EXPECT_EQ(targets.Last().m_Visual, nullptr);  // this entity has no visual
  EXPECT_TRUE(zooms.Last().m_Clamp);
  EXPECT_FLOAT_EQ(zooms.Last().m_Max, 40.0f);

  Game::GlobalStateData::Instance();
  const Util::Vec3 reported[] = {{1, 2, 3}, {4, 6, 3}, {3, 5, 4}, {0, 1, 0}, {0, 5, 5}};
  for (int32_t kind = 0; kind < 5; ++kind)
    Msg::MailMan::Instance().Post(new Msg::cameraGetInfoMsg(kind, reported[kind]));
  Deliver();
  ExpectAnswers({
      {"local p = Global.gCameraPosition() return p.x .. p.y .. p.z", "123"},
      {"local t = Global.gCameraTarget() return t.x .. t.y .. t.z", "463"},
      {"local v = Global.gCameraViewVector() return v.x .. v.y .. v.z", "340"},
      {"local u = Global.gCameraUpVector() return u.y", "1"},
      {"local a, b, c = Global.gCameraBasis() return a.x .. b.y .. c.z", "315"},
      {"local f, s = Global.gCameraDirection() "
       "return string.format('%.1f %.1f %.1f %.1f %.1f', f.x, f.y, f.z, s.y, s.z)",
       "0.6 0.0 0.8 0.0 1.0"},
  });
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
  ASSERT_EQ(Counts(popups, layers, lines, islands, picks), (Sizes{2, 2, 2, 1, 1}));
  const auto& popup = popups.m_Seen;
  EXPECT_EQ(std::make_tuple(popup[0]->m_Text, popup[0]->m_Time, popup[0]->m_Extended),
            std::make_tuple(std::string("hello"), 3000.0f, false));
  EXPECT_EQ(std::make_tuple(popup[1]->m_Text, popup[1]->m_X, popup[1]->m_Extended),
            std::make_tuple(std::string("a line"), 0.3f, true));
  // A layer switched off is the highest layer.
  EXPECT_EQ(std::make_pair(layers.m_Seen[0]->m_Layer, layers.m_Seen[1]->m_Layer), std::make_pair(4, 0x7FFFFFFF));
  EXPECT_EQ(lines.m_Seen[0]->m_Layer, 0x7FFFFFFF);
  EXPECT_EQ(std::make_tuple(lines.m_Seen[1]->m_End, lines.m_Seen[1]->m_Third, lines.m_Seen[1]->m_Layer),
            std::make_tuple(Util::Vec3{4, 5, 6}, Util::Vec3{0.5f, 0.5f, 0.5f}, 9));
  EXPECT_EQ(std::make_tuple(islands.Last().m_A, islands.Last().m_C, picks.Last().m_Y), std::make_tuple(1, 0, 20));
}

// The pick arrives by mail: the entity picked may have gone by then.
TEST_F(GlobalFunctions, TheLevelEditorsPickIsReadByIdAndResetAndAnEntityGoneBeforeItsPickArrivedReadsAsNone) {
  Util::LevelEditor::Instance().Init();
  ExpectAnswers({{"return Editor.GetCurrentPicked()", "0"},
                 {"Editor.ResetCurrentPicked() return Editor.GetCurrentPicked()", "2147483647"}});
  Game::Entity* picked = Create(m_Plain);
  for (bool gone : {false, true}) {
    Msg::MailMan::Instance().Post(new Msg::graphicsPickedMsg(picked));
    if (gone) Game::EntityManager::Instance().RemoveByPtr(picked);
    Deliver();
    EXPECT_EQ(Run("return Editor.GetCurrentPicked()"), gone ? "0" : std::to_string(picked->GetID()));
  }
  EXPECT_EQ(Testing::Printed([&] { Run("Editor.IslandNewXML() Editor.IslandOpenXML()"); }), "IslandNew\nIslandOpen\n");
}
