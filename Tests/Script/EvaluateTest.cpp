// Reading results out of a Lua state as plain values, the way tools look into the running game.
#include <gtest/gtest.h>

#include "Script/Lua.h"

namespace {

using Kind = Spt::ScriptValue::Kind;

class Evaluate : public testing::Test {
 protected:
  Evaluate() : L(luaL_newstate()) { luaL_openlibs(L); }
  ~Evaluate() override { lua_close(L); }

  bool Run(const char* text) { return Spt::Evaluate(L, text, results, error); }

  lua_State* L;
  std::vector<Spt::ScriptValue> results;
  std::string error;
};

TEST_F(Evaluate, GivesEveryResultWithItsKindAndVectorsAsTables) {
  ASSERT_TRUE(Run("return 2.5, 'text\\0more', false, nil, {x = 1, y = -2, z = 3}, print"));
  ASSERT_EQ(results.size(), 6u);
  EXPECT_EQ(results[0].kind, Kind::Number);
  EXPECT_EQ(results[0].number, 2.5);
  EXPECT_EQ(results[1].text, std::string("text\0more", 9));
  EXPECT_EQ(results[2].kind, Kind::Boolean);
  EXPECT_FALSE(results[2].boolean);
  EXPECT_EQ(results[3].kind, Kind::Nil);
  ASSERT_EQ(results[4].kind, Kind::Table);
  ASSERT_NE(results[4].Field("y"), nullptr);
  EXPECT_EQ(results[4].Field("y")->number, -2.0);
  EXPECT_EQ(results[4].Field("w"), nullptr);
  EXPECT_EQ(results[5].kind, Kind::Other);
  EXPECT_EQ(results[5].text, "function");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(Evaluate, ATableThatHoldsItselfEndsAtTheDepthLimit) {
  ASSERT_TRUE(Run("local t = {name = 'loop'}; t.self = t; return t"));
  const Spt::ScriptValue* inner = &results[0];
  int depth = 0;
  while (inner->kind == Kind::Table) {
    inner = inner->Field("self");
    ASSERT_NE(inner, nullptr);
    ++depth;
  }
  EXPECT_EQ(inner->kind, Kind::Other);
  EXPECT_LE(depth, 8);
}

TEST_F(Evaluate, FailuresGiveTheLuaErrorAndLeaveTheStackAsFound) {
  lua_pushnumber(L, 1);
  EXPECT_FALSE(Run("return +"));
  EXPECT_NE(error.find("unexpected symbol"), std::string::npos);
  EXPECT_FALSE(Run("error('no such island')"));
  EXPECT_NE(error.find("no such island"), std::string::npos);
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(lua_gettop(L), 1);
}

}  // namespace
