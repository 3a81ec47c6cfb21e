#include <gtest/gtest.h>

#include <cstdlib>

#include "Core/AssertDialog.h"
#include "Util/Assert.h"

TEST(AssertDialog, WithoutADisplayTheTextGoesToStandardErrorAndTheGameGoesOn) {
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  Core::InstallAssertDialog();
  testing::internal::CaptureStderr();
  const bool result = Util::Assert(false, "m_IsInit", "no window to own the dialog", "file", 7);
  const std::string err = testing::internal::GetCapturedStderr();
  Util::SetAssertHandler(nullptr);
  EXPECT_FALSE(result);
  EXPECT_NE(err.find("Assert \"m_IsInit\" failed\nComment: no window to own the dialog\nFile: file\nLine: 7"),
            std::string::npos);
}
