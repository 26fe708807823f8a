#pragma once
// The units this system's file manager shows sizes in, so that a size reads as the user sees it
// there.
#include <array>
#include <cstdint>

namespace larkspur {

struct SizeUnits {
  std::uint64_t base;                // 1000 or 1024
  std::array<const char*, 4> names;  // for base^1 … base^4
};

// GNOME's Files: 1000-based kB, MB, GB (as GLib's g_format_size).
inline constexpr SizeUnits kDecimalUnits{1000, {"kB", "MB", "GB", "TB"}};
// Windows Explorer: 1024-based KB, MB, GB.
inline constexpr SizeUnits kBinaryUnits{1024, {"KB", "MB", "GB", "TB"}};

extern const SizeUnits kFileManagerUnits;

}  // namespace larkspur
