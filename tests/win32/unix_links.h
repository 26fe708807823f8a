#pragma once
// Links as Wine users meet them: unix symbolic links, made from the unix side, since Wine's own
// CreateSymbolicLinkW makes nothing.
#include <filesystem>

namespace larkspur::testing {

// False when no link can be made (also on Windows, where the tests that need one skip).
bool MakeLink(const std::filesystem::path& target, const std::filesystem::path& link);
// Neither Wine nor TempDir's clean-up removes a unix link without harm to its target, so each
// test removes its links with this.
void RemoveLink(const std::filesystem::path& link);

// Points `link` at `first` and at `second` in turn, each time by an atomic rename, as fast as
// the unix side can, until StopSwapping(`link`); the link then stays as it was last.
bool SwapLink(const std::filesystem::path& link, const std::filesystem::path& first,
              const std::filesystem::path& second);
void StopSwapping(const std::filesystem::path& link);

// A unix FIFO at `path`; false where none can be made. Remove it with RemoveLink: Wine's own
// deletion would wait on it.
bool MakeFifo(const std::filesystem::path& path);

// The same file spelt through drive Z:, which Wine maps to the unix root; empty on Windows.
std::filesystem::path ThroughDriveZ(const std::filesystem::path& path);

}  // namespace larkspur::testing
