#include "platform/posix/posix_user_data_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;

std::string Host() {
  char name[HOST_NAME_MAX + 1] = {};
  ::gethostname(name, sizeof name - 1);
  return name;
}

TEST(PosixUserDataFolders, TheLockNamesALiveProcessOfThisHost) {
  testing::TempDir dir;
  PosixUserDataFolders folders;
  const std::string folder = dir.str();
  EXPECT_FALSE(folders.Running(folder, false));
  EXPECT_FALSE(folders.Running(folder, true));
  const auto lock = [&](const std::string& target) {
    fs::remove(dir / "SingletonLock");
    fs::create_symlink(target, dir / "SingletonLock");
  };
  lock(Host() + "-" + std::to_string(::getpid()));
  EXPECT_TRUE(folders.Running(folder, false));
  lock("elsewhere-" + std::to_string(::getpid()));
  EXPECT_FALSE(folders.Running(folder, false));
  EXPECT_TRUE(folders.Running(folder, true)) << "a Flatpak's process is not ours to look for";
  lock(Host() + "-999999999");
  EXPECT_FALSE(folders.Running(folder, false));
  lock(Host() + "-12x");
  EXPECT_FALSE(folders.Running(folder, false));
}

TEST(PosixUserDataFolders, LocalStateAndSubfoldersWithoutLinks) {
  testing::TempDir dir;
  PosixUserDataFolders folders;
  testing::WriteFile(dir / "elsewhere" / "Local State", "{}");
  fs::create_symlink(dir / "elsewhere" / "Local State", dir / "Local State");
  fs::create_directory_symlink(dir / "elsewhere", dir / "Profile 1");
  fs::create_directory(dir / "Default");
  EXPECT_EQ(folders.LocalState(dir.str()), "");
  std::vector<std::string> subfolders = folders.Subfolders(dir.str());
  std::sort(subfolders.begin(), subfolders.end());
  EXPECT_EQ(subfolders, (std::vector<std::string>{"Default", "elsewhere"}));
  EXPECT_EQ(folders.LocalState((dir / "elsewhere").string()), "{}");
}

}  // namespace
}  // namespace larkspur
