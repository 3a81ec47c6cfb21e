// What a piece of code prints to standard output, kept from the test's own output.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace Testing {

template <class Code>
std::string Printed(Code&& code) {
  testing::internal::CaptureStdout();
  code();
  return testing::internal::GetCapturedStdout();
}

}  // namespace Testing
