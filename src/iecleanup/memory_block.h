#pragma once
// One committed, pinned block of memory that a system call fills (the URL-cache entry buffer),
// with copies out of and into it that never touch memory they may not.
#include <cstdint>
#include <string>

#include "platform/memory.h"

namespace larkspur {

class MemoryBlock {
 public:
  explicit MemoryBlock(MemoryPort& memory) : memory_(memory) {}
  ~MemoryBlock() { ReleaseMemory(); }
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;

  // The block's address; null when the object owns none.
  void* Handle() const { return address_; }
  std::int32_t Size() const { return size_; }

  // Releases the current block, then allocates and pins a zero-filled one of lCount bytes.
  void Allocate(std::int32_t lCount);

  // Copies lLength bytes from the start of the block to hWritePointer. Nothing is copied when
  // either range cannot be accessed; bytes beyond the block's end arrive as zeros.
  void ReadFrom(void* hWritePointer, std::int32_t lLength);

  // Copies lLength bytes from hReadPointer to the start of the block, never past its end.
  void WriteTo(const void* hReadPointer, std::int32_t lLength);

  // The NUL-terminated text at hStartPointer, at most lMax characters; empty when it cannot be
  // read.
  std::string ExtractString(const void* hStartPointer, std::int32_t lMax);

  void ReleaseMemory();

 private:
  MemoryPort& memory_;
  void* address_ = nullptr;
  std::int32_t size_ = 0;
};

}  // namespace larkspur
