#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Util/Assert.h"

namespace {
constexpr const char* kAssertFile = "..\\..\\Source\\Core\\core_window";
}

TEST(Assertion, TextHasFourLinesAndNoTrailingNewline) {
  EXPECT_EQ(Util::AssertText("m_IsInit", "Window::shutdown() window has not been initialized", kAssertFile, 65),
            "Assert \"m_IsInit\" failed\n"
            "Comment: Window::shutdown() window has not been initialized\n"
            "File: ..\\..\\Source\\Core\\core_window\n"
            "Line: 65");
}

TEST(Assertion, AFailedConditionReachesTheHandlerAndTheCallerContinuesAfterRetryOrIgnore) {
  for (Util::AssertChoice choice : {Util::AssertChoice::Retry, Util::AssertChoice::Ignore}) {
    Testing::AssertRecorder recorder(choice);
    bool flag = false;
    EXPECT_TRUE(UTIL_ASSERT(1 + 1 == 2, "arithmetic"));  // a holding condition shows nothing
    const int line = __LINE__ + 1;
    EXPECT_FALSE(UTIL_ASSERT(flag, "flag must be set"));
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>{"Assert \"flag\" failed\nComment: flag must be set\nFile: " +
                                                         std::string(kAssertFile) + "\nLine: " + std::to_string(line)});
  }
}

TEST(Assertion, CommentsAsStringsOrPointersAndGivenExpressionTextsShowAlike) {
  Testing::AssertRecorder recorder;
  const std::string path = "../../Assets/Xml/missing.xml";
  EXPECT_FALSE(Util::Assert(false, "false", path + " failed to open for reading.", "f", 1));
  EXPECT_FALSE(Util::Assert(false, "false", (path + " failed to open for reading.").c_str(), "f", 1));
  UTIL_ASSERT_EXPR(false, "err == 0", "scriptDoFileMsg: error calling luaL_dofile.");
  ASSERT_EQ(recorder.Count(), 3u);
  EXPECT_EQ(recorder.Texts()[0], recorder.Texts()[1]);
  EXPECT_TRUE(recorder.Saw("../../Assets/Xml/missing.xml failed to open for reading."));
  EXPECT_EQ(recorder.Texts()[2].substr(0, 24), "Assert \"err == 0\" failed");
}

TEST(AssertionDeathTest, AbortEndsTheProcess) {
  EXPECT_DEATH(
      {
        Util::SetAssertHandler([](const std::string&) { return Util::AssertChoice::Abort; });
        UTIL_ASSERT(false, "abort now");
      },
      "");
}

TEST(Assertion, DefaultHandlerPrintsToStandardErrorAndContinues) {
  Util::SetAssertHandler(nullptr);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(UTIL_ASSERT(false, "printed, not shown"));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Comment: printed, not shown"), std::string::npos);
  EXPECT_NE(err.find("Error: Assertion Failed"), std::string::npos);
}

TEST(Assertion, RecorderRestoresThePreviousHandler) {
  Testing::AssertRecorder outer;
  {
    Testing::AssertRecorder inner;
    UTIL_ASSERT(false, "inner");
    EXPECT_EQ(inner.Count(), 1u);
  }
  UTIL_ASSERT(false, "outer");
  EXPECT_EQ(outer.Comments(), std::vector<std::string>{"outer"});
}
