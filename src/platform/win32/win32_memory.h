#pragma once
#include "platform/memory.h"

namespace larkspur {

// kernel32's virtual memory and its IsBad…Ptr tests.
class Win32Memory final : public MemoryPort {
 public:
  void* Allocate(std::size_t size) override;
  void Lock(void* address, std::size_t size) override;
  void Unlock(void* address, std::size_t size) override;
  void Decommit(void* address, std::size_t size) override;
  void Release(void* address, std::size_t size) override;

  bool IsBadReadPtr(const void* address, std::size_t size) override;
  bool IsBadWritePtr(void* address, std::size_t size) override;
  bool IsBadStringPtr(const char* address, std::size_t max) override;
};

}  // namespace larkspur
