// The run log meets what was put in its place or beside it: links and FIFOs are neither
// followed nor waited on, and a trim writes nowhere but a new file of its own.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/run_log_file.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

TEST(RunLogSafety, LinksAndFifosAreNeitherFollowedNorWaitedOn) {
  testing::TempDir dir;
  const fs::path log = dir / "larkspur.log";
  const fs::path outside = dir / "outside.txt";
  testing::WriteFile(outside, "keep");
  for (const fs::path& target : {outside, dir / "missing.txt"}) {
    fs::create_symlink(target, log);
    EXPECT_FALSE(RunLogFile(log.string()).Append("run\n")) << target;
    fs::remove(log);
  }
  EXPECT_FALSE(fs::exists(dir / "missing.txt"));
  ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0);
  EXPECT_FALSE(RunLogFile(log.string()).Append("run\n"));  // at once, with no reader
  fs::remove(log);

  for (const char* name : {"larkspur.log.new", "larkspur.log.tmp-AAAAAA"})
    fs::create_symlink(outside, dir / name);
  testing::WriteFile(log, std::string(99, 'x') + "\n");
  ASSERT_TRUE(RunLogFile(log.string(), 100).Append("run\n"));  // a trim
  EXPECT_EQ(ReadFile(log), "run\n");
  EXPECT_EQ(ReadFile(outside), "keep");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 4) << "a file was left";
}

}  // namespace
}  // namespace larkspur
