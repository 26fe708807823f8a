#pragma once
// Paths are UTF-8 text inside the program; these convert at the edge.
#include <filesystem>
#include <string>

namespace larkspur {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Whether `path` is absolute on this platform; an empty or relative path names no place a
// deletion may start from.
inline bool IsAbsolutePath(const std::string& path) {
  return !path.empty() && PathFromUtf8(path).is_absolute();
}

}  // namespace larkspur
