// The run log under Wine meets unix links and FIFOs put in its place: neither followed nor
// waited on.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/path_text.h"
#include "platform/run_log_file.h"
#include "support/temp_dir.h"
#include "win32/unix_links.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

TEST(Win32RunLog, ALinkOrFifoAtTheLogIsLeftAlone) {
  testing::TempDir dir;
  const fs::path log = dir / "larkspur.log";
  const fs::path outside = dir / "outside.txt";
  testing::WriteFile(outside, "keep");
  if (!testing::MakeLink(outside, log))
    GTEST_SKIP() << "cannot make links here";
  EXPECT_FALSE(RunLogFile(Utf8FromPath(log)).Append("run\r\n"));
  EXPECT_FALSE(RunLogFile(Utf8FromPath(log)).EnsureExists());
  testing::RemoveLink(log);
  EXPECT_EQ(ReadFile(outside), "keep");

  ASSERT_TRUE(testing::MakeFifo(log));
  EXPECT_FALSE(RunLogFile(Utf8FromPath(log)).Append("run\r\n"));  // at once, with no reader
  testing::RemoveLink(log);
}

}  // namespace
}  // namespace larkspur
