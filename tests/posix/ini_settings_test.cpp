#include "platform/posix/ini_settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace larkspur {
namespace {

TEST(IniSettings, AReadOnlyFileIsNeverReplaced) {
  testing::TempDir config;
  const std::filesystem::path file = config / "Quillmark" / "settings.ini";
  testing::WriteFile(file, "[Larkspur]\nOftenIndex=3\n");
  ::chmod(file.c_str(), 0444);

  IniSettings settings(config.str());
  EXPECT_FALSE(settings.SaveSetting("Quillmark", "Larkspur", "TickedItems", "ie-history"));
  EXPECT_TRUE(settings.SaveSetting("Quillmark", "Larkspur", "OftenIndex", "3")) << "unchanged";
  EXPECT_EQ(testing::ReadFile(file), "[Larkspur]\nOftenIndex=3\n");
}

}  // namespace
}  // namespace larkspur
