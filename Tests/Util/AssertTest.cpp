// Assertions, the singletons whose misuse they report, and the error log.
#include "Util/Assert.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/Printed.h"
#include "Util/ErrorLog.h"
#include "Util/Singleton.h"

using Testing::AssertRecorder;
using Texts = std::vector<std::string>;

namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Core\\core_window";

int g_Alive = 0;

// Destroyed explicitly, or (Explicit false) at program exit.
template <bool Explicit>
class Counted : public Util::Singleton<Counted<Explicit>> {
  friend class Util::Singleton<Counted>;
  Counted() : Util::Singleton<Counted>(Explicit) { ++g_Alive; }
  ~Counted() override { --g_Alive; }
};

// Its constructor asks for its own instance once, so two instances compete for the one record.
class Reentrant : public Util::Singleton<Reentrant> {
 public:
  static inline Reentrant* inner = nullptr;

 private:
  friend class Util::Singleton<Reentrant>;
  Reentrant() : Singleton(true) {
    static bool asked = false;
    if (!std::exchange(asked, true)) inner = &Instance();
  }
};

}  // namespace

TEST(Assertion, TextHasFourLinesAndNoTrailingNewline) {
  EXPECT_EQ(Util::AssertText("m_IsInit", "Window::shutdown() window has not been initialized", kAssertFile, 65),
            "Assert \"m_IsInit\" failed\n"
            "Comment: Window::shutdown() window has not been initialized\n"
            "File: ..\\..\\Source\\Core\\core_window\n"
            "Line: 65");
}

TEST(Assertion, AFailedConditionReachesTheHandlerInEveryFormAndTheCallerGoesOnAfterRetryOrIgnore) {
  for (Util::AssertChoice choice : {Util::AssertChoice::Retry, Util::AssertChoice::Ignore}) {
    Testing::AssertRecorder recorder(choice);
    const bool flag = false;
    EXPECT_TRUE(UTIL_ASSERT(1 + 1 == 2, "arithmetic"));  // a holding condition shows nothing
    const int line = __LINE__ + 1;
    EXPECT_FALSE(UTIL_ASSERT(flag, "flag must be set"));
    EXPECT_FALSE(UTIL_ASSERT_EXPR(flag, "err == 0", std::string("a comment ") + "as a string"));
    EXPECT_FALSE(Util::Assert(false, "false", std::string("../a.xml failed"), "f", 1));
    EXPECT_EQ(recorder.Texts(), (Texts{Util::AssertText("flag", "flag must be set", kAssertFile, line),
                                       Util::AssertText("err == 0", "a comment as a string", kAssertFile, line + 1),
                                       Util::AssertText("false", "../a.xml failed", "f", 1)}));
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

TEST(Assertion, TheDefaultHandlerPrintsAndGoesOnAndAHandlerReplacedComesBack) {
  Util::SetAssertHandler(nullptr);
  testing::internal::CaptureStderr();
  const int line = __LINE__ + 1;
  EXPECT_FALSE(UTIL_ASSERT(false, "printed, not shown"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: Assertion Failed\n" + Util::AssertText("false", "printed, not shown", kAssertFile, line) + "\n");
  Testing::AssertRecorder outer;
  { Testing::AssertRecorder inner; }
  UTIL_ASSERT(false, "outer");
  EXPECT_EQ(outer.Comments(), Texts{"outer"});
}

TEST(ErrorLog, ErrorPrintsTheNoticeLineThenItsTextAndScriptErrorItsPrefixNeitherANewline) {
  EXPECT_EQ(Util::ErrorLog::Instance().Path(), "../../Assets/error_log.txt");
  EXPECT_EQ(Testing::Printed([] {
              Util::ErrorLog::Instance().Error("FMOD");
              Util::ErrorLog::Instance().ScriptError("a.lua:3: boom");
            }),
            "Ps: elog is not writing to a file as per KVX400 requirements.\nError: FMODScript Error: a.lua:3: boom");
  Util::ErrorLog::Instance().Close();  // nothing opened it: harmless
  Util::ErrorLog::Destroy();
}

// A class destroyed explicitly without the flag, or a second instance made for one record.
TEST(Singleton, MisuseIsReportedAndTheOperationGoesOn) {
  AssertRecorder recorder;
  Counted<true>::Destroy();  // never made: nothing
  Counted<false>::Instance();
  Counted<false>::Destroy();
  EXPECT_FALSE(Counted<false>::Exists());
  EXPECT_EQ(g_Alive, 0);  // deleted all the same
  Reentrant& r = Reentrant::Instance();
  EXPECT_EQ(&Reentrant::Instance(), &r);
  EXPECT_NE(Reentrant::inner, &r);  // the second replaced the first
  EXPECT_EQ(recorder.Heads(),
            (Texts{AssertRecorder::Head("record.m_ExplicitDelete == true",
                                        "Somebody is explicitly destroying a singleton when they shouldn't be.",
                                        "Source\\Util\\util_singleton"),
                   AssertRecorder::Head("record.m_Singleton == 0",
                                        "Assigning a new singleton to a SingletonDestructor that is already in use",
                                        "Source\\Util\\util_singleton")}));
  Reentrant::Destroy();
  delete static_cast<Util::Singleton<Reentrant>*>(Reentrant::inner);  // nobody's any more
}

// The default handler prints to standard error.
TEST(SingletonDeathTest, AtExitAnExplicitOneAliveIsReportedAndAnAutomaticOneGoesQuietly) {
  for (bool flag : {true, false}) {
    EXPECT_EXIT(
        {
          Util::SetAssertHandler(nullptr);
          flag ? (void)Counted<true>::Instance() : (void)Counted<false>::Instance();
          std::fprintf(stderr, "exit\n");
          std::exit(0);
        },
        testing::ExitedWithCode(0),
        flag ? "^exit\n.*Comment: Somebody forgot to explicitly destroy a singleton when they should have.\n"
             : "^exit\n$");
  }
}
