#include "platform/run_log_file.h"

#include <gtest/gtest.h>

#include "platform/path_text.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(RunLogFile, EntriesAppendAcrossRunsInFoldersItMakes) {
  TempDir dir;
  const std::string path = Utf8FromPath(dir / "state" / "larkspur" / "larkspur.log");
  ASSERT_TRUE(RunLogFile(path).EnsureExists());
  EXPECT_EQ(ReadFile(PathFromUtf8(path)), "");
  ASSERT_TRUE(RunLogFile(path).Append("first run\n"));
  ASSERT_TRUE(RunLogFile(path).Append("second run\n"));
  ASSERT_TRUE(RunLogFile(path).EnsureExists());
  EXPECT_EQ(ReadFile(PathFromUtf8(path)), "first run\nsecond run\n");
}

TEST(RunLogFile, TheOldestWholeLinesGoWhenTheLimitWouldBePassed) {
  TempDir dir;
  const std::string path = Utf8FromPath(dir / "larkspur.log");
  RunLogFile log(path, 100);
  for (int run = 0; run < 30; ++run)
    ASSERT_TRUE(log.Append("run " + std::to_string(run) + " erased 0\n"));
  const std::string kept = ReadFile(PathFromUtf8(path));
  EXPECT_LE(kept.size(), 100u);
  EXPECT_TRUE(kept.ends_with("run 29 erased 0\n")) << kept;
  EXPECT_TRUE(kept.starts_with("run ")) << kept;  // never half a line
  EXPECT_EQ(kept.find("run 0 "), std::string::npos);
}

TEST(RunLogFile, NoPathOrAFolderInTheWayFailsWithoutHarm) {
  EXPECT_FALSE(RunLogFile("").Append("x\n"));
  EXPECT_FALSE(RunLogFile("relative/larkspur.log").EnsureExists());
  TempDir dir;
  std::filesystem::create_directories(dir / "larkspur.log" / "inside");
  EXPECT_FALSE(RunLogFile(Utf8FromPath(dir / "larkspur.log")).Append("x\n"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "larkspur.log" / "inside"));
}

}  // namespace
}  // namespace larkspur
