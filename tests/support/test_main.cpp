// Every test process runs in a sandbox of its own (support/sandbox.h). The Windows build runs
// under Wine in a prefix the test script made fresh for the run.
#include <gtest/gtest.h>

#include "support/sandbox.h"

int main(int argc, char** argv) {
  larkspur::testing::EnterSandbox();
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  larkspur::testing::LeaveSandbox();
  return result;
}
