#include "support/sandbox.h"

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace larkspur::testing {

namespace {

std::filesystem::path& SandboxStorage() {
  static std::filesystem::path root;
  return root;
}

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

}  // namespace

const std::filesystem::path& SandboxRoot() {
  return SandboxStorage();
}

void EnterSandbox() {
  const std::filesystem::path root =
      MakeUniqueFolder(std::filesystem::temp_directory_path(), "larkspur-test-");
  SandboxStorage() = root;
  const std::pair<const char*, const char*> folders[] = {
      {"HOME", "home"},
      {"XDG_CONFIG_HOME", "config"},
      {"XDG_DATA_HOME", "data"},
      {"XDG_CACHE_HOME", "cache"},
      {"XDG_STATE_HOME", "state"},
      {"WINEPREFIX", "wine"},
  };
  for (const auto& [variable, folder] : folders) {
    const std::filesystem::path path = root / folder;
    std::filesystem::create_directories(path);
    SetEnvironment(variable, path);
  }
}

void LeaveSandbox() {
  std::error_code ignored;
  std::filesystem::remove_all(SandboxStorage(), ignored);
}

}  // namespace larkspur::testing
