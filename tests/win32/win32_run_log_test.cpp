// The run log under Wine: unix links and FIFOs at its name are neither followed nor waited on.
#include <gtest/gtest.h>

#include "platform/path_text.h"
#include "platform/run_log_file.h"
#include "support/temp_dir.h"
#include "win32/unix_links.h"

namespace larkspur {
namespace {

TEST(Win32RunLog, ALinkOrFifoAtTheLogIsLeftAlone) {
  testing::TempDir dir;
  const std::filesystem::path log = dir / "larkspur.log";
  testing::WriteFile(dir / "outside.txt", "keep");
  if (!testing::MakeLink(dir / "outside.txt", log))
    GTEST_SKIP() << "cannot make links here";
  EXPECT_FALSE(RunLogFile(Utf8FromPath(log)).Append("run\r\n"));
  testing::RemoveLink(log);
  EXPECT_EQ(testing::ReadFile(dir / "outside.txt"), "keep");

  ASSERT_TRUE(testing::MakeFifo(log));
  EXPECT_FALSE(RunLogFile(Utf8FromPath(log)).Append("run\r\n"));  // at once, with no reader
  testing::RemoveLink(log);
}

}  // namespace
}  // namespace larkspur
