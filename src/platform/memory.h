#pragma once
// Process memory for MemoryBlock: committed, pinned blocks and accessibility tests that report
// a bad range instead of touching it.
#include <cstddef>

namespace larkspur {

class MemoryPort {
 public:
  virtual ~MemoryPort() = default;

  // A new zero-filled, readable and writable region of at least `size` bytes, or nullptr.
  virtual void* Allocate(std::size_t size) = 0;
  virtual void Lock(void* address, std::size_t size) = 0;
  virtual void Unlock(void* address, std::size_t size) = 0;
  virtual void Decommit(void* address, std::size_t size) = 0;
  // Gives back the whole region that Allocate returned.
  virtual void Release(void* address, std::size_t size) = 0;

  virtual bool IsBadReadPtr(const void* address, std::size_t size) = 0;
  virtual bool IsBadWritePtr(void* address, std::size_t size) = 0;
  // True when the string cannot be read up to its NUL or up to `max` bytes, whichever is first.
  virtual bool IsBadStringPtr(const char* address, std::size_t max) = 0;
};

}  // namespace larkspur
