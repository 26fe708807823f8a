#pragma once
// Throw-away folders for tests, and small file helpers that build browser data in them.
#include <filesystem>
#include <string>

namespace larkspur::testing {

// A fresh folder below the test process's own sandbox, removed at the end of its scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& relative) const { return path_ / relative; }

 private:
  std::filesystem::path path_;
};

// A new, empty folder below `parent`, named `prefix` and a random number.
std::filesystem::path MakeUniqueFolder(const std::filesystem::path& parent,
                                       const std::string& prefix);

// Writes `contents` to `path`, creating missing parent folders.
void WriteFile(const std::filesystem::path& path, const std::string& contents);
std::string ReadFile(const std::filesystem::path& path);

// The sandbox folder that test_main.cpp made for this process (HOME and the XDG folders live
// below it).
const std::filesystem::path& SandboxRoot();

}  // namespace larkspur::testing
