#pragma once
// A file opened for reading only. It stays the file that was opened and checked, whatever
// happens to its name meanwhile, so a reader never reaches anything else.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace larkspur {

class FileToRead {
 public:
  virtual ~FileToRead() = default;
  // The file's size now; nullopt when the system does not say.
  virtual std::optional<std::uint64_t> Size() = 0;
  // Reads up to `size` bytes at `offset` into `into`: the count read, less than `size` only at
  // the end of the file; nullopt on an error.
  virtual std::optional<std::size_t> ReadAt(std::uint64_t offset, void* into, std::size_t size) = 0;
};

}  // namespace larkspur
