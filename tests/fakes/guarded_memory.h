#pragma once
// Memory whose blocks end exactly where an inaccessible page begins, so that any read or write
// past a block's end faults at once; it logs the calls made to it.
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "support/native_ports.h"
#include "support/pages.h"

namespace larkspur::testing {

class GuardedMemory final : public MemoryPort {
 public:
  void* Allocate(std::size_t size) override {
    log.push_back("allocate " + std::to_string(size));
    const std::size_t page = Pages::PageSize();
    const std::size_t data_pages = (size + page - 1) / page;
    auto pages = std::make_unique<Pages>(data_pages + 1);
    if (!pages->ok())
      return nullptr;
    std::memset(pages->get(), 0, data_pages * page);  // fresh memory is zero-filled
    pages->Protect(data_pages, 1, PageAccess::kNone);
    char* block = pages->get() + data_pages * page - size;
    regions_[block] = std::move(pages);
    return block;
  }
  void Lock(void*, std::size_t size) override { log.push_back("lock " + std::to_string(size)); }
  void Unlock(void*, std::size_t size) override { log.push_back("unlock " + std::to_string(size)); }
  void Decommit(void*, std::size_t size) override {
    log.push_back("decommit " + std::to_string(size));
  }
  void Release(void* address, std::size_t size) override {
    log.push_back("release " + std::to_string(size));
    regions_.erase(address);
  }
  bool IsBadReadPtr(const void* address, std::size_t size) override {
    return probe_->IsBadReadPtr(address, size);
  }
  bool IsBadWritePtr(void* address, std::size_t size) override {
    return probe_->IsBadWritePtr(address, size);
  }
  bool IsBadStringPtr(const char* address, std::size_t max) override {
    return probe_->IsBadStringPtr(address, max);
  }

  std::vector<std::string> log;

 private:
  std::map<void*, std::unique_ptr<Pages>> regions_;
  std::unique_ptr<MemoryPort> probe_ = NativeMemory();
};

}  // namespace larkspur::testing
