#pragma once
// Memory whose blocks end exactly where an inaccessible page begins, so that any read or write
// past a block's end faults at once; it logs the calls made to it.
#include <sys/mman.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "platform/posix/posix_memory.h"

namespace larkspur::testing {

class GuardedMemory final : public MemoryPort {
 public:
  ~GuardedMemory() override {
    for (const auto& [address, region] : regions_)
      ::munmap(region.start, region.length);
  }

  void* Allocate(std::size_t size) override {
    log.push_back("allocate " + std::to_string(size));
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t data_pages = (size + page - 1) / page;
    const std::size_t length = (data_pages + 1) * page;
    void* start = ::mmap(nullptr, length, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
      return nullptr;
    ::mprotect(start, data_pages * page, PROT_READ | PROT_WRITE);
    char* block = static_cast<char*>(start) + data_pages * page - size;
    regions_[block] = {start, length};
    return block;
  }
  void Lock(void*, std::size_t size) override { log.push_back("lock " + std::to_string(size)); }
  void Unlock(void*, std::size_t size) override { log.push_back("unlock " + std::to_string(size)); }
  void Decommit(void*, std::size_t size) override {
    log.push_back("decommit " + std::to_string(size));
  }
  void Release(void* address, std::size_t size) override {
    log.push_back("release " + std::to_string(size));
    const auto found = regions_.find(address);
    if (found == regions_.end())
      return;
    ::munmap(found->second.start, found->second.length);
    regions_.erase(found);
  }
  bool IsBadReadPtr(const void* address, std::size_t size) override {
    return probe_.IsBadReadPtr(address, size);
  }
  bool IsBadWritePtr(void* address, std::size_t size) override {
    return probe_.IsBadWritePtr(address, size);
  }
  bool IsBadStringPtr(const char* address, std::size_t max) override {
    return probe_.IsBadStringPtr(address, max);
  }

  std::vector<std::string> log;

 private:
  struct Region {
    void* start;
    std::size_t length;
  };
  std::map<void*, Region> regions_;
  PosixMemory probe_;
};

}  // namespace larkspur::testing
