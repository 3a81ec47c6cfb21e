#include <string>

#include "Script/ScriptTesting.h"

using Testing::Catch;
using Testing::ScriptTest;

namespace {

// Each run starts a new table, refreshes every kind of entry into it and publishes it as seen.
constexpr const char* kCollector =
    "while true do\n"
    "  local t = Entity:Data()\n"
    "  Entity:SPT_RefreshNumbers(t)\n"
    "  Entity:SPT_RefreshStrings(t)\n"
    "  Entity:SPT_RefreshEntities(t)\n"
    "  seen = t\n"
    "  coroutine.yield()\n"
    "end\n";

std::string String(const std::string& name, const std::string& text) {
  return "<String><string name=\"name\">" + name + "</string><string name=\"string\">" + text + "</string></String>";
}

std::string Number(const std::string& name, double value) {
  return "<Number><string name=\"name\">" + name + "</string><double name=\"number\">" + std::to_string(value) +
         "</double></Number>";
}

}  // namespace

class ScriptData : public ScriptTest {
 protected:
  ScriptData() {
    const std::string data = "<Data>" + String("greeting", "hello") + Number("speed", 2.5) +
                             String("hidden", "never read") + "</Data><Data>" + Number("count", 7) + "</Data>";
    const std::string definition = Definition("Collector", Script("collector.lua", kCollector), true, data);
    Start();
    m_Entity = Create(definition);
    Run("E = Global.FindEntityByID(" + std::to_string(m_Entity->GetID()) + ") F = Global.CreateEntity('" +
        EntityFile("Plain") + "')");
  }

  // The expression, over the table the collector published at its run in a new frame.
  std::string Seen(const std::string& expression) {
    RunAll();
    return Run("return " + expression);
  }

  Game::Entity* m_Entity = nullptr;
};

TEST_F(ScriptData, TheDefinitionsFlagAndEntriesComeAtEveryRefreshAndANumberHidesALaterString) {
  EXPECT_TRUE(m_Entity->ScriptFlag());
  for (int run = 0; run < 3; ++run)
    EXPECT_EQ(Seen("seen.speed .. ' ' .. seen.count .. ' ' .. seen.greeting .. tostring(seen.hidden)"),
              "2.5 7 hellonil");
}

TEST_F(ScriptData, GivenEntriesComeAtTheNextRefreshOnlyAndTheLaterOfTwoWins) {
  Run("E:SPT_GiveNumber('boost', 1) E:SPT_GiveNumber('boost', 3) E:SPT_GiveString('word', 'hi')");
  Run("E:SPT_AddNumber('extra', 4)");
  EXPECT_EQ(Seen("seen.boost .. seen.word .. seen.extra"), "3hi4");
  EXPECT_EQ(Seen("tostring(seen.boost) .. tostring(seen.word) .. tostring(seen.extra) .. seen.speed"), "nilnilnil2.5");
}

TEST_F(ScriptData, ChangingAPersistentEntryLastsAndANewOneStaysBesideTransientOnes) {
  Run("E:SPT_AddNumber('speed', 1)");
  EXPECT_EQ(Seen("seen.speed"), "3.5");
  EXPECT_EQ(Seen("seen.speed"), "3.5");
  // A transient entry is waiting when a new persistent one arrives: the new one lasts, the
  // transient one goes after one refresh.
  Run("E:SPT_GiveNumber('once', 1) E:SPT_GiveNumberEx('speed', 9, 'x') E:SPT_GiveNumberEx('fresh', 5, '')");
  Run("E:SPT_GiveString('note', 'a') E:SPT_GiveStringEx('greeting', 'howdy') E:SPT_GiveStringEx('title', 'Sir')");
  EXPECT_EQ(Seen("seen.once .. seen.speed .. seen.fresh .. seen.note .. seen.greeting .. seen.title"), "195ahowdySir");
  EXPECT_EQ(
      Seen("seen.speed .. seen.fresh .. seen.greeting .. seen.title .. tostring(seen.once) .. tostring(seen.note)"),
      "95howdySirnilnil");
  // speed, count, fresh: the marks given with them.
  EXPECT_TRUE(m_Entity->GetScript()->NumberMark(0));
  EXPECT_FALSE(m_Entity->GetScript()->NumberMark(2));
}

TEST_F(ScriptData, EntityEntriesComeOnceAndAnEntityThatDiedByAnyPathComesAsNil) {
  Run("E:SPT_GiveEntity('friend', F)");
  EXPECT_EQ(Seen("seen.friend == F"), "true");
  EXPECT_EQ(Seen("seen.friend"), "nil");
  Run("E:SPT_GiveEntity('friend', F) Global.DeleteEntityByPtr(F)");
  Deliver();
  EXPECT_EQ(Seen("seen.friend"), "nil");
  // One a script built goes with Lua's collector, which announces nothing.
  Run("E:SPT_GiveEntity('built', _G['Game::Entity']()) collectgarbage('collect')");
  EXPECT_EQ(Seen("tostring(seen.built)"), "nil");
}

TEST_F(ScriptData, AnEntityStaysAliveForTheWholeOfAMethodCalledOnIt) {
  // The table's metamethod drops the last reference and collects while SHR_Refresh still works.
  EXPECT_EQ(Run("local e = _G['Game::Entity']() "
                "local t = setmetatable({}, {__newindex = function(t, k, v) e = nil collectgarbage('collect') "
                "rawset(t, k, v) end}) "
                "e:SHR_Refresh(t, true, true, true, true) return t.vel.x + t.scl.y + t.rot.z"),
            "0");
}

TEST_F(ScriptData, SharedValuesAreSetAndReadAndRefreshedByFlag) {
  Run("E:SHR_sPosition('surplus', 4, 5, 6) E:SHR_sVelocity(1, 0, 0) E:SHR_sScale(2, 2, 2)");
  EXPECT_EQ(m_Entity->GetPosition(), (Util::Vec3{4.0f, 5.0f, 6.0f}));
  EXPECT_EQ(Run("local v = E:SHR_gVelocity() return v.x .. v.y .. v.z"), "100");
  EXPECT_EQ(Run("local t = {} E:SHR_Refresh(t, true, false, false, true) "
                "return t.pos.z .. ' ' .. t.vel.x .. ' ' .. tostring(t.rot) .. tostring(t.scl)"),
            "6 1 nilnil");
  Run("E:SHR_sRotation(0, 90, 0) E:SHR_sRotationMatrix(1, 2, 3, 4, 5, 6, 7, 8, 9)");
  EXPECT_EQ(m_Entity->GetRotation(), Util::Vec3{});
  EXPECT_FLOAT_EQ(m_Entity->GetRotationMatrix().m[1][2], 6.0f);
  EXPECT_EQ(Run("return tostring(E:SHR_Has()) .. tostring(E:SPT_Has())"), "truetrue");
  EXPECT_EQ(Run("return E:Data() ~= E:Data() and next(E:Data()) == nil"), "true");
}

TEST_F(ScriptData, DataMethodsOnAnEntityWithoutAScriptDoNothing) {
  EXPECT_EQ(Run("return F:SPT_Has()"), "false");
  EXPECT_EQ(Run("F:SPT_GiveNumber('a', 1) F:SPT_GiveNumberEx('b', 1, 'x') local t = {} F:SPT_RefreshNumbers(t) "
                "return next(t)"),
            "nil");
}

TEST_F(ScriptTest, ThePlayerKeepsItsValuesAndBuildsDododAndTheLantern) {
  const std::string dododFile = EntityFile("Dodod"), lanternFile = EntityFile("Lantern");
  Start();
  const std::pair<const char*, const char*> answers[] = {
      {"return Player:gLightCount() .. ' ' .. Player:gMaxLight() .. ' ' .. Player:gMinLight()", "255 255 100"},
      {"return Player:gFallDist() .. ' ' .. Player:gFFDist() .. ' ' .. Player:gPSTime()", "-50 10 40"},
      {"Player:AddToLightCount(10) return Player:gLightCount()", "255"},
      {"Player:sLightCount(20) Player:AddToLightCount(-50) return Player:gLightCount()", "-30"},
      {"Player:AddToFFDist(2) Player:sPSTime(5) Player:AddToPSTime(1) return Player:gFFDist() .. ' ' .. "
       "Player:gPSTime()",
       "12 6"},
  };
  for (const auto& [chunk, result] : answers) EXPECT_EQ(Run(chunk), result) << chunk;

  Catch<Msg::eManDododMsg> dodods;
  Catch<Msg::eManLanternMsg> lanterns;
  Run("Global.CreateDodod('" + dododFile + "') Global.CreateLantern('" + lanternFile + "')");
  Deliver();
  Game::Entity* dodod = Game::Player::Instance().GetDodod();
  ASSERT_NE(dodod, nullptr);
  EXPECT_EQ(dodod->GetPosition(), (Util::Vec3{0.0f, 5.0f, 0.0f}));
  EXPECT_EQ(Game::Player::Instance().GetLantern()->GetPosition(), (Util::Vec3{35.003f, 0.0617981f, 20.997f}));
  EXPECT_EQ(Run("return Player:gDodod():GetName():sub(1, 5) .. Player:gLantern():GetName():sub(1, 7)"), "DododLantern");
  Deliver();
  EXPECT_EQ(Testing::Counts(dodods, lanterns), (std::vector<size_t>{1, 1}));
  EXPECT_EQ(dodods.Last().m_Dodod.Get(), dodod);

  Game::EntityManager::Instance().RemoveByPtr(dodod);
  EXPECT_EQ(Run("return Player:gDodod()"), "nil");

  // A removal queued twice for one entity removes nothing else, even a lantern built in its
  // memory between the two.
  Run("local old = Player:gLantern() Global.DeleteEntityByPtr(old) Global.CreateLantern('" + lanternFile +
      "') Global.DeleteEntityByPtr(old)");
  Deliver();
  EXPECT_NE(Game::EntityManager::Instance().FindByName("Lantern"), nullptr);
  EXPECT_EQ(Run("return Player:gLantern():GetName():sub(1, 7)"), "Lantern");
}
