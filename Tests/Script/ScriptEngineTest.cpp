#include <filesystem>
#include <string>
#include <vector>

#include "Script/ScriptTesting.h"

using Testing::ScriptTest;

namespace {

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

// A script that counts its runs in the global table runs, by entity ID, and logs each run's
// entity in the global list order.
constexpr const char* kCounter =
    "local id = Entity:GetID()\n"
    "while true do\n"
    "  runs[id] = (runs[id] or 0) + 1\n"
    "  order[#order + 1] = id\n"
    "  coroutine.yield()\n"
    "end\n";

}  // namespace

TEST_F(ScriptTest, TheStateHasTheChosenLibrariesTheEngineTablesAndThePlayer) {
  Start();
  EXPECT_EQ(Run("return type(os) .. type(debug) .. type(package)"), "nilnilnil");
  EXPECT_EQ(Run("return type(string) .. type(math) .. type(io) .. type(table) .. type(coroutine)"),
            "tabletabletabletabletable");
  EXPECT_EQ(Run("return type(Global.QuitGame) .. type(Editor.PickEntity)"), "functionfunction");
  EXPECT_EQ(Run("return tostring(Player):match('^Game::Player %(.+%)$') ~= nil"), "true");
  // The real metatable stays out of reach: scripts see the method table in its place.
  EXPECT_EQ(Run("return getmetatable(Player) == _G['Game::Player']"), "true");
  EXPECT_EQ(Run("return rawequal(Player:GetMyPointer(), Player)"), "true");
  EXPECT_EQ(m_Asserts.Count(), 0u);
}

TEST_F(ScriptTest, StartupScriptsRunInOrderAndEachFailureIsAnAssertionWithItsOwnText) {
  std::filesystem::remove(m_Tree.Root() + "/Assets/Scripts/gfx_material_1.lua");
  Script("gfx_material_post.lua", "order = 'b'");
  Script("gfx_render_passes_1.lua", "order = order ..\n");
  Script("game_OnStart.lua", "order = order .. 'd'");
  testing::internal::CaptureStdout();
  Start();
  const std::string out = testing::internal::GetCapturedStdout();

  EXPECT_EQ(Run("return order"), "bd");
  ASSERT_EQ(m_Asserts.Count(), 2u);
  EXPECT_EQ(m_Asserts.Comments(), (std::vector<std::string>{
                                      "scriptDoFileMsg: error calling luaL_dofile on gfx_material_1",
                                      "scriptDoFileMsg: error calling luaL_dofile on gfx_render_passes_2",
                                  }));
  EXPECT_NE(m_Asserts.Texts()[0].find("Assert \"err == 0\" failed"), std::string::npos);
  EXPECT_NE(m_Asserts.Texts()[0].find("File: Source\\Script\\script_engine"), std::string::npos);
  // The Lua error names the file and the line.
  EXPECT_NE(out.find("../../Assets/Scripts/gfx_render_passes_1.lua:2:"), std::string::npos) << out;
}

TEST_F(ScriptTest, DoFileRunsAFileAndItsFailureIsTheAssertion) {
  Start();
  const std::string good = Script("good.lua", "done = 'yes'");
  Msg::MailMan::Instance().Post(new Msg::scriptDoFileMsg(good.c_str()));
  Msg::MailMan::Instance().Post(new Msg::scriptDoFileMsg("../../Assets/Scripts/absent.lua"));
  Msg::MailMan::Instance().Post(new Msg::scriptDoStringMsg("error('silent')"));
  testing::internal::CaptureStdout();
  Deliver();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(Run("return done"), "yes");
  EXPECT_EQ(m_Asserts.Comments(), std::vector<std::string>{"scriptDoFileMsg: error calling luaL_dofile."});
  EXPECT_EQ(out.find("silent"), std::string::npos);
}

TEST_F(ScriptTest, EachFailingFileIsReportedOnceWithFileAndLineEvenAfterReload) {
  const std::string bad = Script("bad.lua", "coroutine.yield()\nerror('boom')\n");
  const std::string definition = Definition("Bad", bad);
  Start();
  Game::EntityManager::Instance().CreateEntity(definition.c_str());
  Game::EntityManager::Instance().CreateEntity(definition.c_str());
  testing::internal::CaptureStdout();
  for (int frame = 0; frame < 4; ++frame) RunAll();
  Run("Global.ReloadScript('" + bad + "')");
  Deliver();
  for (int frame = 0; frame < 4; ++frame) RunAll();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(Occurrences(out, "Script Error: "), 1u) << out;
  EXPECT_NE(out.find("Script Error: " + bad + ": " + bad + ":2: boom\n"), std::string::npos) << out;
  EXPECT_EQ(Engine().FailedSources(), 1u);
}

TEST_F(ScriptTest, AScriptThatReturnsIsReportedOnceAtItsNextRunAndThenStaysSilent) {
  const std::string once = Script("once.lua", "ran = (ran or 0) + 1\n");
  Start();
  Game::EntityManager::Instance().CreateEntity(Definition("Once", once).c_str());
  testing::internal::CaptureStdout();
  RunAll();
  const std::string first = testing::internal::GetCapturedStdout();
  testing::internal::CaptureStdout();
  for (int frame = 0; frame < 3; ++frame) RunAll();
  const std::string later = testing::internal::GetCapturedStdout();
  EXPECT_EQ(Run("return ran"), "1");
  EXPECT_EQ(first, "");
  EXPECT_EQ(Occurrences(later, "Script Error: " + once + ": "), 1u) << later;
}

TEST_F(ScriptTest, AnUnreadableOrUnparsableScriptIsReportedOnceAndItsComponentsStaySilent) {
  const std::string missing = "../../Assets/Scripts/missing.lua";
  const std::string broken = Script("broken.lua", "while true do\n  x = = 1\nend\n");
  Start();
  testing::internal::CaptureStdout();
  for (int i = 0; i < 2; ++i) {
    Game::EntityManager::Instance().CreateEntity(Definition("Missing", missing).c_str());
    Game::EntityManager::Instance().CreateEntity(Definition("Broken", broken).c_str());
  }
  for (int frame = 0; frame < 3; ++frame) RunAll();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(Occurrences(out, "Script Error: "), 2u) << out;
  EXPECT_NE(out.find("Script Error: Loading" + missing + "\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Script Error: " + broken + ": " + broken + ":2:"), std::string::npos) << out;
}

TEST_F(ScriptTest, NearScriptsRunEveryFrameMiddleOnesByHalvesAndFarOnesByFifths) {
  const std::string counter = Script("counter.lua", kCounter);
  const std::string definition = Definition("Counter", counter);
  Start();
  Run("runs = {} order = {}");
  std::set<Spt::Script*> tiers[3];
  std::vector<Game::Entity*> entities;
  for (int tier : {0, 1, 1, 1, 2, 2, 2, 2}) {
    entities.push_back(Game::EntityManager::Instance().CreateEntity(definition.c_str()));
    tiers[tier].insert(entities.back()->GetScript());
  }
  auto runs = [&](Spt::Script* script) {
    return Run("return runs[" + std::to_string(script->Owner()->GetID()) + "] or 0");
  };
  const std::vector<Spt::Script*> middle(tiers[1].begin(), tiers[1].end());

  std::vector<std::string> ranMiddle;
  for (int frame = 0; frame < 6; ++frame) {
    Run("order = {}");
    Engine().RunSchedule(tiers[0], tiers[1], tiers[2]);
    // The near one, then one middle one; no far one (four of them: a fifth is none).
    EXPECT_EQ(Run("return #order"), "2");
    ranMiddle.push_back(Run("return order[2]"));
  }
  const std::string first = std::to_string(middle[0]->Owner()->GetID());
  const std::string second = std::to_string(middle[1]->Owner()->GetID());
  EXPECT_EQ(ranMiddle, (std::vector<std::string>{second, first, second, first, second, first}));
  EXPECT_EQ(runs(*tiers[0].begin()), "6");
  EXPECT_EQ(runs(middle[2]), "0");
  for (Spt::Script* far : tiers[2]) EXPECT_EQ(runs(far), "0");
}

TEST_F(ScriptTest, FiveFarScriptsEachRunOnceEveryFiveFramesInTurn) {
  const std::string definition = Definition("Counter", Script("counter.lua", kCounter));
  Start();
  Run("runs = {} order = {}");
  std::set<Spt::Script*> far;
  for (int i = 0; i < 5; ++i) far.insert(Game::EntityManager::Instance().CreateEntity(definition.c_str())->GetScript());
  for (int frame = 0; frame < 10; ++frame) Engine().RunSchedule({}, {}, far);
  std::string expected;
  for (int round = 0; round < 2; ++round)
    for (int i : {1, 2, 3, 4, 0}) expected += std::to_string((*std::next(far.begin(), i))->Owner()->GetID()) + " ";
  EXPECT_EQ(Run("return table.concat(order, ' ') .. ' '"), expected);
}

TEST_F(ScriptTest, ReloadRestartsExactlyTheComponentsOfThatFileFromTheirStart) {
  const std::string a = Script("a.lua",
                               "local n = 0\n"
                               "while true do n = n + 1; seen[Entity:GetID()] = 'a1:' .. n; coroutine.yield() end\n");
  const std::string b = Script("b.lua",
                               "local n = 0\n"
                               "while true do n = n + 1; seen[Entity:GetID()] = 'b:' .. n; coroutine.yield() end\n");
  Start();
  Run("seen = {}");
  Game::EntityManager& manager = Game::EntityManager::Instance();
  const int32_t a1 = manager.CreateEntity(Definition("A", a).c_str())->GetID();
  const int32_t a2 = manager.CreateEntity(Definition("A", a).c_str())->GetID();
  const int32_t b1 = manager.CreateEntity(Definition("B", b).c_str())->GetID();
  for (int frame = 0; frame < 3; ++frame) RunAll();

  Script("a.lua",
         "local n = 0\n"
         "while true do n = n + 1; seen[Entity:GetID()] = 'a2:' .. n; coroutine.yield() end\n");
  Run("Global.ReloadScript('" + a + "')");
  RunAll();  // the reload waits for the delivery
  EXPECT_EQ(Run("return seen[" + std::to_string(a1) + "]"), "a1:4");
  Deliver();
  RunAll();
  EXPECT_EQ(Run("return seen[" + std::to_string(a1) + "]"), "a2:1");
  EXPECT_EQ(Run("return seen[" + std::to_string(a2) + "]"), "a2:1");
  EXPECT_EQ(Run("return seen[" + std::to_string(b1) + "]"), "b:5");
}

TEST_F(ScriptTest, StartingEveryScriptAtStartUpGivesEachAFreshCoroutine) {
  const std::string local =
      Script("local.lua", "local n = 0\nwhile true do n = n + 1; count = n; coroutine.yield() end\n");
  Start();
  Game::Entity* entity = Game::EntityManager::Instance().CreateEntity(Definition("Local", local).c_str());
  const int reference = entity->GetScript()->ThreadReference();
  ASSERT_NE(entity->GetScript()->Thread(), nullptr);
  RunAll();
  RunAll();
  EXPECT_EQ(Run("return count"), "2");
  Engine().StartEntityScripts();
  RunAll();
  EXPECT_EQ(Run("return count"), "1");
  // The old coroutine's reference was given back before the new one was taken, so the registry
  // handed the same slot out again.
  EXPECT_EQ(entity->GetScript()->ThreadReference(), reference);
}

TEST_F(ScriptTest, OneEntityIsOneUserdataAndCollectionNeverDeletesAnEngineEntity) {
  m_Tree.Write("Assets/Xml/entities/Plain.xml",
               "<?xml version=\"1.0\"?><XMLRoot><Entity><string name=\"name\">Plain</string></Entity></XMLRoot>");
  Start();
  Run("e = Global.CreateEntity('../../Assets/Xml/entities/Plain.xml') id = e:GetID()");
  EXPECT_EQ(Run("return rawequal(e, Global.FindEntityByID(id)) and rawequal(e, e:GetMyPointer())"), "true");
  EXPECT_EQ(Run("return tostring(e):match('^Game::Entity %(.+%)$') ~= nil"), "true");
  const int32_t id = std::stoi(Run("return id"));
  Run("e = nil collectgarbage('collect') collectgarbage('collect')");
  ASSERT_NE(Game::EntityManager::Instance().FindByID(id), nullptr);
  EXPECT_EQ(Run("return Global.FindEntityByID(id):GetName()"), "Plain" + std::to_string(id));
}

TEST_F(ScriptTest, AnEntityConstructedByAScriptBelongsToLuaAndGoesWithItsLastReference) {
  Start();
  const size_t before = Util::AutoList<Game::Entity>::Count();
  Run("a = _G['Game::Entity']() b = _G['Game::Entity'].new()");
  EXPECT_EQ(Util::AutoList<Game::Entity>::Count(), before + 2);
  EXPECT_EQ(Run("return a:GetName() == '' and a:GetID() ~= b:GetID()"), "true");
  Run("a = nil b = nil collectgarbage('collect')");
  EXPECT_EQ(Util::AutoList<Game::Entity>::Count(), before);
  // A player constructed by a script is the one player.
  EXPECT_EQ(Run("return rawequal(_G['Game::Player'](), Player)"), "true");
}

TEST_F(ScriptTest, ARemovedEntitysUserdataRaisesAScriptErrorInsteadOfReachingIt) {
  m_Tree.Write("Assets/Xml/entities/Plain.xml",
               "<?xml version=\"1.0\"?><XMLRoot><Entity><string name=\"name\">Plain</string></Entity></XMLRoot>");
  Start();
  Run("e = Global.CreateEntity('../../Assets/Xml/entities/Plain.xml')");
  Run("Global.DeleteEntityByPtr(e)");
  EXPECT_EQ(Run("return e:GetName():sub(1, 5)"), "Plain");  // removal waits for the delivery
  Deliver();
  const std::string error = Fails("return e:GetID()");
  EXPECT_NE(error.find("Game::Entity expected, got a removed one"), std::string::npos) << error;
  EXPECT_EQ(Run("return tostring(e) ~= nil"), "true");
}

TEST_F(ScriptTest, TheFramesScriptsFollowTheGridsTiersAroundTheCamera) {
  const std::string counter = Script("counter.lua", kCounter);
  const std::string definition = Definition("Counter", counter);
  // The near one runs always: a passive entity in a near cell would be in the third tier as well.
  const std::string always = Definition("Always", counter, true);
  Start();
  Run("runs = {} order = {}");
  // The camera's block of near cells spans x from -768 to -512 and y and z from 256 to 512; the
  // shell of far cells lies around it.
  const Util::Vec3 camera{-704.0f, 320.0f, 320.0f};
  const Util::Vec3 places[] = {{-640, 300, 300},  {-824, 300, 300},  {-824, 200, 300},  {-824, 300, 200},
                               {400, 1400, 1400}, {400, 1400, 1300}, {400, 1300, 1400}, {300, 1400, 1400}};
  std::vector<Game::Entity*> entities;
  for (const Util::Vec3& place : places) {
    const std::string& file = entities.empty() ? always : definition;
    entities.push_back(Game::EntityManager::Instance().CreateEntity(file.c_str()));
    entities.back()->SetPosition(place);
  }
  Util::Grid& grid = Util::Grid::Instance();
  Msg::MailMan::Instance().Post(new Msg::cameraGetInfoMsg(0, camera));
  Deliver();
  for (int frame = 0; frame < 4; ++frame) {
    grid.Update(nullptr);
    Engine().Update();
  }
  ASSERT_EQ(grid.TierScripts(0).size(), 1u);
  ASSERT_EQ(grid.TierScripts(1).size(), 3u);
  ASSERT_EQ(grid.TierScripts(2).size(), 4u);
  auto runs = [&](Spt::Script* script) {
    return Run("return runs[" + std::to_string(script->Owner()->GetID()) + "] or 0");
  };
  const std::vector<Spt::Script*> middle(grid.TierScripts(1).begin(), grid.TierScripts(1).end());
  EXPECT_EQ(runs(entities[0]->GetScript()), "4");
  EXPECT_EQ(runs(middle[0]), "2");
  EXPECT_EQ(runs(middle[1]), "2");
  EXPECT_EQ(runs(middle[2]), "0");
  for (Spt::Script* far : grid.TierScripts(2)) EXPECT_EQ(runs(far), "0");
}
