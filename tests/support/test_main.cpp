// Every test process runs in a sandbox of its own: HOME, the XDG folders and WINEPREFIX point
// into a fresh temporary folder before any test code runs, so no test can reach the real
// user's browser data. (The Windows build runs under Wine in a prefix the test script made
// fresh for the run.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace larkspur::testing {

namespace {
std::filesystem::path& SandboxStorage() {
  static std::filesystem::path root;
  return root;
}
}  // namespace

const std::filesystem::path& SandboxRoot() {
  return SandboxStorage();
}

}  // namespace larkspur::testing

namespace {

void SetEnvironment(const char* variable, const std::filesystem::path& value) {
#ifdef _WIN32
  const std::wstring name(variable, variable + std::char_traits<char>::length(variable));
  if (::_wputenv_s(name.c_str(), value.c_str()) != 0)
    std::abort();
#else
  if (::setenv(variable, value.c_str(), 1) != 0)
    std::abort();
#endif
}

void PointUserFoldersInto(const std::filesystem::path& root) {
  const std::pair<const char*, const char*> folders[] = {
      {"HOME", "home"},          {"XDG_CONFIG_HOME", "config"},
      {"XDG_DATA_HOME", "data"}, {"XDG_CACHE_HOME", "cache"},
      {"WINEPREFIX", "wine"},
  };
  for (const auto& [variable, folder] : folders) {
    const std::filesystem::path path = root / folder;
    std::filesystem::create_directories(path);
    SetEnvironment(variable, path);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path root =
      larkspur::testing::MakeUniqueFolder(std::filesystem::temp_directory_path(), "larkspur-test-");
  larkspur::testing::SandboxStorage() = root;
  PointUserFoldersInto(root);

  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();

  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return result;
}
