// A settings file the user made read-only stays as it is, and the save says it failed.
#include "platform/posix/ini_settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;

TEST(IniSettings, AReadOnlyFileIsNeverReplaced) {
  testing::TempDir config;
  const fs::path file = config / "Quillmark" / "settings.ini";
  const std::string text = "[Larkspur]\nOftenIndex=3\n";
  testing::WriteFile(file, text);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);

  IniSettings settings(config.str());
  EXPECT_FALSE(settings.SaveSetting("Quillmark", "Larkspur", "TickedItems", "ie-history"));
  EXPECT_TRUE(settings.SaveSetting("Quillmark", "Larkspur", "OftenIndex", "3"))
      << "nothing to change";

  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(testing::ReadFile(file), text);

  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(settings.SaveSetting("Quillmark", "Larkspur", "TickedItems", "ie-history"));
  EXPECT_EQ(settings.GetSetting("Quillmark", "Larkspur", "TickedItems", ""), "ie-history");
}

}  // namespace
}  // namespace larkspur
