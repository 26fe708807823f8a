#include "platform/run_log_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/path_text.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

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

TEST(RunLogFile, AnyLogKeepsThisRunsEntryAndReadsOnlyItsTail) {
  TempDir dir;
  const std::filesystem::path path = dir / "larkspur.log";
  RunLogFile log(Utf8FromPath(path));
  WriteFile(path, "no line break");
  ASSERT_TRUE(log.Append("run 1\n"));
  EXPECT_EQ(ReadFile(path), "no line break\nrun 1\n");
  WriteFile(path, std::string(2 << 20, 'x'));
  ASSERT_TRUE(log.Append("run 2\n"));
  EXPECT_EQ(ReadFile(path), "run 2\n");
  // Sparse where the system allows: read whole it would take seconds and gigabytes.
  std::filesystem::resize_file(path, std::uintmax_t{2} << 30);
  ASSERT_TRUE(log.Append("run 3\n"));
  EXPECT_EQ(ReadFile(path), "run 3\n");
}

// Each writer opens the log itself, as a run in another process does; the limit makes them trim.
TEST(RunLogFile, WritersAtOnceLoseNoEntryWhileTheyTrim) {
  TempDir dir;
  const std::string path = Utf8FromPath(dir / "larkspur.log");
  constexpr int kEntries = 40;
  std::vector<std::thread> writers;
  for (int writer = 0; writer < 4; ++writer)
    writers.emplace_back([&path, writer] {
      for (int entry = 0; entry < kEntries; ++entry)
        RunLogFile(path, 1000).Append(std::to_string(writer) + " " + std::to_string(entry) + "\n");
    });
  for (std::thread& writer : writers)
    writer.join();

  // What stays of each writer's entries runs unbroken to its last.
  std::istringstream kept(ReadFile(PathFromUtf8(path)));
  std::map<int, int> next;  // writer -> the entry that must follow
  for (int writer = 0, entry = 0; kept >> writer >> entry; next[writer] = entry + 1)
    EXPECT_TRUE(!next.contains(writer) || next[writer] == entry) << writer << " " << entry;
  ASSERT_FALSE(next.empty());
  for (const auto& [writer, following] : next)
    EXPECT_EQ(following, kEntries) << "writer " << writer;
}

}  // namespace
}  // namespace larkspur
