#include <gtest/gtest.h>

#include "Support/Printed.h"
#include "Util/ErrorLog.h"

TEST(ErrorLog, ErrorPrintsTheNoticeLineThenItsTextAndScriptErrorItsPrefixNeitherANewline) {
  EXPECT_EQ(Testing::Printed([] {
              Util::ErrorLog::Instance().Error("FMOD");
              Util::ErrorLog::Instance().ScriptError("a.lua:3: boom");
              Util::ErrorLog::Instance().ScriptError("b");
            }),
            "Ps: elog is not writing to a file as per KVX400 requirements.\n"
            "Error: FMODScript Error: a.lua:3: boomScript Error: b");
  Util::ErrorLog::Destroy();
}

TEST(ErrorLog, DefaultPathAndClosingAnUnopenedLogIsHarmless) {
  EXPECT_EQ(Util::ErrorLog::Instance().Path(), "../../Assets/error_log.txt");
  Util::ErrorLog::Instance().Close();
  Util::ErrorLog::Destroy();
  EXPECT_FALSE(Util::ErrorLog::Exists());
}
