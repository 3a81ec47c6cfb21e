#include <gtest/gtest.h>

#include "Util/ErrorLog.h"

TEST(ErrorLog, ErrorPrintsTheNoticeLineThenTheTextWithoutNewline) {
  testing::internal::CaptureStdout();
  Util::ErrorLog::Instance().Error("FMOD");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Ps: elog is not writing to a file as per KVX400 requirements.\nError: FMOD");
  Util::ErrorLog::Destroy();
}

TEST(ErrorLog, ScriptErrorPrintsItsPrefixAndTheText) {
  testing::internal::CaptureStdout();
  Util::ErrorLog::Instance().ScriptError("a.lua:3: boom");
  Util::ErrorLog::Instance().ScriptError("b");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Script Error: a.lua:3: boomScript Error: b");
  Util::ErrorLog::Destroy();
}

TEST(ErrorLog, DefaultPathAndClosingAnUnopenedLogIsHarmless) {
  EXPECT_EQ(Util::ErrorLog::Instance().Path(), "../../Assets/error_log.txt");
  Util::ErrorLog::Instance().Close();
  Util::ErrorLog::Destroy();
  EXPECT_FALSE(Util::ErrorLog::Exists());
}
