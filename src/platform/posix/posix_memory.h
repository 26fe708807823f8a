#pragma once
#include "platform/memory.h"
#include "platform/posix/unique_fd.h"

namespace larkspur {

// Anonymous mappings, pinned with mlock; the accessibility tests hand the range to the kernel
// through a pipe, which reports EFAULT for a bad address instead of faulting.
class PosixMemory final : public MemoryPort {
 public:
  PosixMemory();
  ~PosixMemory() override;
  PosixMemory(const PosixMemory&) = delete;
  PosixMemory& operator=(const PosixMemory&) = delete;

  void* Allocate(std::size_t size) override;
  void Lock(void* address, std::size_t size) override;
  void Unlock(void* address, std::size_t size) override;
  void Decommit(void* address, std::size_t size) override;
  void Release(void* address, std::size_t size) override;

  bool IsBadReadPtr(const void* address, std::size_t size) override;
  bool IsBadWritePtr(void* address, std::size_t size) override;
  bool IsBadStringPtr(const char* address, std::size_t max) override;

 private:
  bool CanRead(const char* address, std::size_t size);
  bool CanWrite(char* address, std::size_t size);

  UniqueFd read_end_;
  UniqueFd write_end_;
};

}  // namespace larkspur
