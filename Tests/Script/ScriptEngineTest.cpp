#include <gmock/gmock.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Script/ScriptTesting.h"

using testing::HasSubstr;
using Testing::Printed;
using Testing::ScriptTest;
using Texts = std::vector<std::string>;

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

// A script that counts its own runs in a local and shows the count, with a tag, in seen[its ID].
std::string Tally(const std::string& tag) {
  return "local n = 0\nwhile true do n = n + 1; seen[Entity:GetID()] = '" + tag + ":' .. n; coroutine.yield() end\n";
}

}  // namespace

class ScriptSchedule : public ScriptTest {
 protected:
  ScriptSchedule() : m_Counter(Definition("Counter", Script("counter.lua", kCounter))) {
    Start();
    Run("runs = {} order = {}");
  }

  std::string Runs(const Spt::Script* script) {
    return Run("return runs[" + std::to_string(script->Owner()->GetID()) + "] or 0");
  }
  std::string Id(const Spt::Script* script) { return std::to_string(script->Owner()->GetID()); }

  const std::string m_Counter;
};

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
}

TEST_F(ScriptTest, StartupScriptsRunInOrderAndEachFailureIsAnAssertionWithItsOwnText) {
  std::filesystem::remove(Root() + "/Assets/Scripts/gfx_material_1.lua");
  Script("gfx_material_post.lua", "order = 'b'");
  Script("gfx_render_passes_1.lua", "order = order ..\n");
  Script("game_OnStart.lua", "order = order .. 'd'");
  const std::string out = Printed([&] { Start(); });
  EXPECT_EQ(Run("return order"), "bd");
  ASSERT_EQ(m_Asserts.Comments(), (Texts{"scriptDoFileMsg: error calling luaL_dofile on gfx_material_1",
                                         "scriptDoFileMsg: error calling luaL_dofile on gfx_render_passes_2"}));
  EXPECT_THAT(m_Asserts.Texts()[0], HasSubstr("Assert \"err == 0\" failed"));
  EXPECT_THAT(m_Asserts.Texts()[0], HasSubstr("File: Source\\Script\\script_engine"));
  EXPECT_THAT(out, HasSubstr("../../Assets/Scripts/gfx_render_passes_1.lua:2:"));  // the file and the line

  // Files run by message: a failure is the assertion; a failing string is silent.
  m_Asserts.Clear();
  Msg::MailMan::Instance().Post(new Msg::scriptDoFileMsg(Script("good.lua", "done = 'yes'").c_str()));
  Msg::MailMan::Instance().Post(new Msg::scriptDoFileMsg("../../Assets/Scripts/absent.lua"));
  Msg::MailMan::Instance().Post(new Msg::scriptDoStringMsg("error('silent')"));
  EXPECT_THAT(Printed(Deliver), testing::Not(HasSubstr("silent")));
  EXPECT_EQ(Run("return done"), "yes");
  EXPECT_EQ(m_Asserts.Comments(), Texts{"scriptDoFileMsg: error calling luaL_dofile."});
  m_Asserts.Clear();
}

TEST_F(ScriptTest, EachFailingFileIsReportedOnceWithFileAndLineEvenAfterReload) {
  const std::string bad = Script("bad.lua", "coroutine.yield()\nerror('boom')\n");
  Start();
  Create(Definition("Bad", bad));
  Create(Definition("Bad", bad));
  const std::string out = Printed([&] {
    RunAll(4);
    Run("Global.ReloadScript('" + bad + "')");
    Deliver();
    RunAll(4);
  });
  EXPECT_EQ(Occurrences(out, "Script Error: "), 1u) << out;
  EXPECT_THAT(out, HasSubstr("Script Error: " + bad + ": " + bad + ":2: boom\n"));
  EXPECT_EQ(Engine().FailedSources(), 1u);
}

TEST_F(ScriptTest, AScriptThatReturnsIsReportedOnceAtItsNextRunAndWhatItReturnedNeverRuns) {
  const std::string once = Script("once.lua", "ran = (ran or 0) + 1\n");
  const std::string returns = Script("returns.lua", "return function() called = true end\n");
  Start();
  Create(Definition("Once", once));
  Create(Definition("Returns", returns));
  EXPECT_EQ(Printed([&] { RunAll(); }), "");
  const std::string later = Printed([&] { RunAll(3); });
  EXPECT_EQ(Run("return ran .. tostring(called)"), "1nil");
  for (const std::string& file : {once, returns})
    EXPECT_EQ(Occurrences(later, "Script Error: " + file + ": cannot resume dead coroutine"), 1u) << later;
}

TEST_F(ScriptTest, AnUnreadableOrUnparsableScriptIsReportedOnceAndOnceFixedAndReloadedItsFirstRuntimeError) {
  const std::string missing = "../../Assets/Scripts/late.lua";
  const std::string broken = Script("broken.lua", "while true do\n  x = = 1\nend\n");
  Start();
  const std::string out = Printed([&] {
    for (int i = 0; i < 2; ++i) {
      Create(Definition("Missing", missing));
      Create(Definition("Broken", broken));
    }
    RunAll(3);
  });
  EXPECT_EQ(Occurrences(out, "Script Error: "), 2u) << out;
  EXPECT_THAT(out, HasSubstr("Script Error: Loading" + missing + "\n"));
  EXPECT_THAT(out, HasSubstr("Script Error: " + broken + ": " + broken + ":2:"));
  // A load failure is not the file's reported runtime error.
  const std::string fixed = Printed([&] {
    for (const std::string& file : {missing, broken}) {
      Script(file.substr(file.rfind('/') + 1), "coroutine.yield()\nerror('runtime')\n");
      Run("Global.ReloadScript('" + file + "')");
    }
    Deliver();
    RunAll(2);
  });
  EXPECT_EQ(Occurrences(fixed, ":2: runtime"), 2u) << fixed;
}

TEST_F(ScriptSchedule, NearScriptsRunEveryFrameMiddleOnesByHalvesAndFarOnesByFifthsInTurn) {
  std::set<Spt::Script*> tiers[3];
  for (int tier : {0, 1, 1, 1, 2, 2, 2, 2}) tiers[tier].insert(Create(m_Counter)->GetScript());
  const std::vector<Spt::Script*> middle(tiers[1].begin(), tiers[1].end());
  Texts ranMiddle;
  for (int frame = 0; frame < 6; ++frame) {
    Run("order = {}");
    Engine().RunSchedule(tiers[0], tiers[1], tiers[2]);
    // The near one, then one middle one; no far one (four of them: a fifth is none).
    EXPECT_EQ(Run("return #order"), "2");
    ranMiddle.push_back(Run("return order[2]"));
  }
  EXPECT_EQ(ranMiddle,
            (Texts{Id(middle[1]), Id(middle[0]), Id(middle[1]), Id(middle[0]), Id(middle[1]), Id(middle[0])}));
  EXPECT_EQ(Runs(*tiers[0].begin()), "6");
  EXPECT_EQ(Runs(middle[2]), "0");
  for (Spt::Script* far : tiers[2]) EXPECT_EQ(Runs(far), "0");

  // Five far ones: each once every five frames, in turn.
  std::set<Spt::Script*> far;
  for (int i = 0; i < 5; ++i) far.insert(Create(m_Counter)->GetScript());
  Run("order = {}");
  for (int frame = 0; frame < 10; ++frame) Engine().RunSchedule({}, {}, far);
  std::string expected;
  for (int round = 0; round < 2; ++round)
    for (int i : {2, 3, 4, 0, 1}) expected += Id(*std::next(far.begin(), i)) + " ";
  EXPECT_EQ(Run("return table.concat(order, ' ') .. ' '"), expected);
}

TEST_F(ScriptSchedule, TheFramesScriptsFollowTheGridsTiersAroundTheCamera) {
  // The near one runs always: a passive entity in a near cell would be in the third tier as well.
  const std::string always = Definition("Always", "../../Assets/Scripts/counter.lua", true);
  // The camera's block of near cells spans x from -768 to -512 and y and z from 256 to 512; the
  // shell of far cells lies around it.
  const Util::Vec3 camera{-704.0f, 320.0f, 320.0f};
  const Util::Vec3 places[] = {{-640, 300, 300},  {-824, 300, 300},  {-824, 200, 300},  {-824, 300, 200},
                               {400, 1400, 1400}, {400, 1400, 1300}, {400, 1300, 1400}, {300, 1400, 1400}};
  Game::Entity* nearOne = nullptr;
  for (const Util::Vec3& place : places) {
    Game::Entity* entity = Create(nearOne ? m_Counter : always);
    entity->SetPosition(place);
    if (!nearOne) nearOne = entity;
  }
  Util::Grid& grid = Util::Grid::Instance();
  Msg::MailMan::Instance().Post(new Msg::cameraGetInfoMsg(0, camera));
  Deliver();
  for (int frame = 0; frame < 4; ++frame) {
    grid.Update(nullptr);
    Engine().Update();
  }
  ASSERT_EQ((std::vector<size_t>{grid.TierScripts(0).size(), grid.TierScripts(1).size(), grid.TierScripts(2).size()}),
            (std::vector<size_t>{1, 3, 4}));
  const std::vector<Spt::Script*> middle(grid.TierScripts(1).begin(), grid.TierScripts(1).end());
  EXPECT_EQ(Runs(nearOne->GetScript()), "4");
  EXPECT_EQ(Runs(middle[0]) + Runs(middle[1]) + Runs(middle[2]), "220");
  for (Spt::Script* far : grid.TierScripts(2)) EXPECT_EQ(Runs(far), "0");

  // An entity removed between frames is never resumed again; a new one runs once it is filed.
  const std::string gone = Id(nearOne->GetScript());
  Game::EntityManager::Instance().RemoveByPtr(nearOne);
  grid.Update(nullptr);
  Engine().Update();
  EXPECT_EQ(Run("return runs[" + gone + "]"), "4");
  Game::Entity* newcomer = Create(always);
  newcomer->SetPosition(places[0]);
  Deliver();
  grid.Update(nullptr);
  Engine().Update();
  EXPECT_EQ(Runs(newcomer->GetScript()), "1");
}

TEST_F(ScriptTest, ReloadRestartsExactlyTheComponentsOfThatFileFromTheirStartAndStartUpStartsEveryOneAfresh) {
  const std::string a = Script("a.lua", Tally("a1"));
  const std::string b = Script("b.lua", Tally("b"));
  Start();
  Run("seen = {}");
  Game::Entity* first = Create(Definition("A", a));
  const std::string a1 = std::to_string(first->GetID());
  const std::string a2 = std::to_string(Create(Definition("A", a))->GetID());
  const std::string b1 = std::to_string(Create(Definition("B", b))->GetID());
  RunAll(3);
  Script("a.lua", Tally("a2"));
  Run("Global.ReloadScript('" + a + "')");
  RunAll();  // the reload waits for the delivery
  EXPECT_EQ(Run("return seen[" + a1 + "]"), "a1:4");
  Deliver();
  RunAll();
  EXPECT_EQ(Run("return seen[" + a1 + "] .. seen[" + a2 + "] .. seen[" + b1 + "]"), "a2:1a2:1b:5");

  // The old coroutine's reference is given back before the new one is taken, so the registry
  // hands the same slot out again.
  const int reference = first->GetScript()->ThreadReference();
  Engine().StartEntityScripts();
  RunAll();
  EXPECT_EQ(Run("return seen[" + a1 + "] .. seen[" + b1 + "]"), "a2:1b:1");
  EXPECT_EQ(first->GetScript()->ThreadReference(), reference);
}

TEST_F(ScriptTest, OneEntityIsOneUserdataWhichCollectionLeavesAloneAndRemovalMakesAnError) {
  const std::string plain = EntityFile("Plain");
  Start();
  Run("e = Global.CreateEntity('" + plain + "') id = e:GetID()");
  EXPECT_EQ(Run("return rawequal(e, Global.FindEntityByID(id)) and rawequal(e, e:GetMyPointer())"), "true");
  EXPECT_EQ(Run("return tostring(e):match('^Game::Entity %(.+%)$') ~= nil"), "true");
  const int32_t id = std::stoi(Run("return id"));
  Run("e = nil collectgarbage('collect') collectgarbage('collect')");
  ASSERT_NE(Game::EntityManager::Instance().FindByID(id), nullptr);  // collection deletes no engine entity
  EXPECT_EQ(Run("e = Global.FindEntityByID(id) return e:GetName()"), "Plain" + std::to_string(id));

  // A removed entity's userdata raises a script error instead of reaching it.
  Run("Global.DeleteEntityByPtr(e)");
  EXPECT_EQ(Run("return e:GetName():sub(1, 5)"), "Plain");  // removal waits for the delivery
  Deliver();
  EXPECT_THAT(Fails("return e:GetID()"), HasSubstr("Game::Entity expected, got a removed one"));
  EXPECT_EQ(Run("return tostring(e) ~= nil"), "true");

  // One a script builds belongs to Lua and goes with its last reference; a player so built is the one player.
  const size_t before = Util::AutoList<Game::Entity>::Count();
  Run("a = _G['Game::Entity']() b = _G['Game::Entity'].new()");
  EXPECT_EQ(Util::AutoList<Game::Entity>::Count(), before + 2);
  EXPECT_EQ(Run("return a:GetName() == '' and a:GetID() ~= b:GetID()"), "true");
  Run("a = nil b = nil collectgarbage('collect')");
  EXPECT_EQ(Util::AutoList<Game::Entity>::Count(), before);
  EXPECT_EQ(Run("return rawequal(_G['Game::Player'](), Player)"), "true");
}
