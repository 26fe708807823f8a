#include "support/pages.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace larkspur::testing {

#ifdef _WIN32

std::size_t Pages::PageSize() {
  SYSTEM_INFO info;
  ::GetSystemInfo(&info);
  return info.dwPageSize;
}

Pages::Pages(std::size_t count) : size_(count * PageSize()) {
  start_ =
      static_cast<char*>(::VirtualAlloc(nullptr, size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (start_ != nullptr)
    std::memset(start_, 'x', size_);
}

Pages::~Pages() {
  if (start_ != nullptr)
    ::VirtualFree(start_, 0, MEM_RELEASE);
}

void Pages::Protect(std::size_t first, std::size_t count, PageAccess access) {
  const DWORD protection = access == PageAccess::kReadWrite  ? PAGE_READWRITE
                           : access == PageAccess::kReadOnly ? PAGE_READONLY
                                                             : PAGE_NOACCESS;
  DWORD previous = 0;
  ::VirtualProtect(start_ + first * PageSize(), count * PageSize(), protection, &previous);
}

#else

std::size_t Pages::PageSize() {
  return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

Pages::Pages(std::size_t count) : size_(count * PageSize()) {
  void* start = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (start == MAP_FAILED)
    return;
  start_ = static_cast<char*>(start);
  std::memset(start_, 'x', size_);
}

Pages::~Pages() {
  if (start_ != nullptr)
    ::munmap(start_, size_);
}

void Pages::Protect(std::size_t first, std::size_t count, PageAccess access) {
  const int protection = access == PageAccess::kReadWrite  ? PROT_READ | PROT_WRITE
                         : access == PageAccess::kReadOnly ? PROT_READ
                                                           : PROT_NONE;
  ::mprotect(start_ + first * PageSize(), count * PageSize(), protection);
}

#endif

}  // namespace larkspur::testing
