// The run log meets what was put in its place: links and FIFOs are neither followed nor waited
// on, and a trim writes nowhere but its own new file.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/run_log_file.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(RunLogSafety, ALinkOrFifoAtTheLogIsLeftAlone) {
  TempDir dir;
  const fs::path log = dir / "larkspur.log";
  const fs::path outside = dir / "outside.txt";
  WriteFile(outside, "keep");
  for (const fs::path& target : {outside, dir / "missing.txt"}) {
    fs::create_symlink(target, log);
    EXPECT_FALSE(RunLogFile(log.string()).Append("run\n")) << target;
    EXPECT_FALSE(RunLogFile(log.string()).EnsureExists()) << target;
    EXPECT_TRUE(fs::is_symlink(log));
    fs::remove(log);
  }
  EXPECT_EQ(ReadFile(outside), "keep");
  EXPECT_FALSE(fs::exists(dir / "missing.txt"));

  ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0);
  EXPECT_FALSE(RunLogFile(log.string()).Append("run\n"));  // at once, with no reader
  EXPECT_TRUE(fs::is_fifo(log));
}

TEST(RunLogSafety, ATrimFollowsNoLinkBesideTheLog) {
  TempDir dir;
  const fs::path log = dir / "larkspur.log";
  const fs::path outside = dir / "outside.txt";
  WriteFile(outside, "keep");
  for (const char* name : {"larkspur.log.new", "larkspur.log.tmp-AAAAAA", "larkspur.log.tmp"})
    fs::create_symlink(outside, dir / name);
  WriteFile(log, std::string(99, 'x') + "\n");

  ASSERT_TRUE(RunLogFile(log.string(), 100).Append("run\n"));
  EXPECT_EQ(ReadFile(log), "run\n");
  EXPECT_EQ(ReadFile(outside), "keep");
  EXPECT_TRUE(fs::is_symlink(dir / "larkspur.log.new"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5)
      << "no temporary file is left";
}

}  // namespace
}  // namespace larkspur
