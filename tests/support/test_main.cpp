// Every test process runs in a sandbox of its own: HOME, the XDG folders and WINEPREFIX point
// into a fresh temporary folder before any test code runs, so no test can reach the real
// user's browser data.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

std::filesystem::path MakeSandbox() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/larkspur-test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr)
    std::abort();
  return name.data();
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
    ::setenv(variable, path.c_str(), 1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path root = MakeSandbox();
  larkspur::testing::SandboxStorage() = root;
  PointUserFoldersInto(root);

  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();

  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return result;
}
