#include <gtest/gtest.h>

#include <string>

#include "Support/AssertRecorder.h"
#include "Util/Assert.h"

namespace {
constexpr const char* kAssertFile = "..\\..\\Source\\Core\\core_window";
}

TEST(Assertion, TextHasFourLinesAndNoTrailingNewline) {
  const std::string text =
      Util::AssertText("m_IsInit", "Window::shutdown() window has not been initialized", kAssertFile, 65);
  EXPECT_EQ(text,
            "Assert \"m_IsInit\" failed\n"
            "Comment: Window::shutdown() window has not been initialized\n"
            "File: ..\\..\\Source\\Core\\core_window\n"
            "Line: 65");
}

TEST(Assertion, FailedConditionReachesHandlerAndCallerContinues) {
  Testing::AssertRecorder recorder;
  bool flag = false;
  const int line = __LINE__ + 1;
  const bool result = UTIL_ASSERT(flag, "flag must be set");
  EXPECT_FALSE(result);
  ASSERT_EQ(recorder.Count(), 1u);
  EXPECT_EQ(recorder.Texts()[0], "Assert \"flag\" failed\nComment: flag must be set\nFile: " +
                                     std::string(kAssertFile) + "\nLine: " + std::to_string(line));
}

TEST(Assertion, HoldingConditionShowsNothing) {
  Testing::AssertRecorder recorder;
  EXPECT_TRUE(UTIL_ASSERT(1 + 1 == 2, "arithmetic"));
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(Assertion, StringCommentFormBehavesLikePointerForm) {
  Testing::AssertRecorder recorder;
  const std::string path = "../../Assets/Xml/missing.xml";
  EXPECT_FALSE(Util::Assert(false, "false", path + " failed to open for reading.", "f", 1));
  EXPECT_FALSE(Util::Assert(false, "false", (path + " failed to open for reading.").c_str(), "f", 1));
  ASSERT_EQ(recorder.Count(), 2u);
  EXPECT_EQ(recorder.Texts()[0], recorder.Texts()[1]);
  EXPECT_TRUE(recorder.Saw("../../Assets/Xml/missing.xml failed to open for reading."));
}

TEST(Assertion, GivenExpressionTextIsShownInsteadOfTheCode) {
  Testing::AssertRecorder recorder;
  UTIL_ASSERT_EXPR(false, "err == 0", "scriptDoFileMsg: error calling luaL_dofile.");
  ASSERT_EQ(recorder.Count(), 1u);
  EXPECT_EQ(recorder.Texts()[0].substr(0, 24), "Assert \"err == 0\" failed");
}

TEST(Assertion, RetryAndIgnoreBothContinue) {
  for (Util::AssertChoice choice : {Util::AssertChoice::Retry, Util::AssertChoice::Ignore}) {
    Testing::AssertRecorder recorder(choice);
    int after = 0;
    UTIL_ASSERT(after == 1, "continue past me");
    after = 2;
    EXPECT_EQ(after, 2);
    EXPECT_EQ(recorder.Count(), 1u);
  }
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
  EXPECT_EQ(outer.Count(), 1u);
  EXPECT_TRUE(outer.Saw("outer"));
}
