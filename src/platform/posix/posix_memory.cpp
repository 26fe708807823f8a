#include "platform/posix/posix_memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace larkspur {

namespace {

// Raw system calls: the C library's wrappers may be instrumented to check the range first,
// which is the very access these tests must avoid.
long RawWrite(int fd, const void* data, std::size_t size) {
  return ::syscall(SYS_write, fd, data, size);
}
long RawRead(int fd, void* data, std::size_t size) {
  return ::syscall(SYS_read, fd, data, size);
}

constexpr std::size_t kProbeChunk = 4096;  // a pipe takes this much without blocking

std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

}  // namespace

PosixMemory::PosixMemory() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    read_end_.reset(ends[0]);
    write_end_.reset(ends[1]);
  }
}

PosixMemory::~PosixMemory() = default;

void* PosixMemory::Allocate(std::size_t size) {
  if (size == 0)
    return nullptr;
  void* address = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return address == MAP_FAILED ? nullptr : address;
}

void PosixMemory::Lock(void* address, std::size_t size) {
  ::mlock(address, size);
}

void PosixMemory::Unlock(void* address, std::size_t size) {
  ::munlock(address, size);
}

void PosixMemory::Decommit(void* address, std::size_t size) {
  ::madvise(address, size, MADV_DONTNEED);
}

void PosixMemory::Release(void* address, std::size_t size) {
  ::munmap(address, size);
}

// Passes the range through the pipe in chunks: the kernel copies from it and answers EFAULT
// where it cannot.
bool PosixMemory::CanRead(const char* address, std::size_t size) {
  if (!read_end_)
    return false;
  char drain[kProbeChunk];
  for (std::size_t done = 0; done < size;) {
    const std::size_t chunk = std::min(kProbeChunk, size - done);
    const long written = RawWrite(write_end_.get(), address + done, chunk);
    if (written <= 0) {
      if (written < 0 && errno == EINTR)
        continue;
      return false;
    }
    while (RawRead(read_end_.get(), drain, sizeof drain) > 0) {
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Copies each chunk out through the pipe and back into place: the kernel refuses to write
// where it may not, and writable memory gets its own bytes back unchanged.
bool PosixMemory::CanWrite(char* address, std::size_t size) {
  if (!read_end_)
    return false;
  for (std::size_t done = 0; done < size;) {
    const std::size_t chunk = std::min(kProbeChunk, size - done);
    const long written = RawWrite(write_end_.get(), address + done, chunk);
    if (written <= 0)
      return false;
    const long read = RawRead(read_end_.get(), address + done, static_cast<std::size_t>(written));
    if (read != written) {
      char drain[kProbeChunk];
      while (RawRead(read_end_.get(), drain, sizeof drain) > 0) {
      }
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

bool PosixMemory::IsBadReadPtr(const void* address, std::size_t size) {
  if (size == 0)
    return false;
  if (address == nullptr)
    return true;
  return !CanRead(static_cast<const char*>(address), size);
}

bool PosixMemory::IsBadWritePtr(void* address, std::size_t size) {
  if (size == 0)
    return false;
  if (address == nullptr)
    return true;
  return !CanWrite(static_cast<char*>(address), size);
}

bool PosixMemory::IsBadStringPtr(const char* address, std::size_t max) {
  if (max == 0)
    return false;
  if (address == nullptr)
    return true;
  // Page by page, so nothing past the terminator's page is asked about.
  std::size_t checked = 0;
  while (checked < max) {
    const auto at = reinterpret_cast<std::uintptr_t>(address + checked);
    const std::size_t to_page_end = PageSize() - (at % PageSize());
    const std::size_t chunk = std::min(to_page_end, max - checked);
    if (!CanRead(address + checked, chunk))
      return true;
    if (std::memchr(address + checked, '\0', chunk) != nullptr)
      return false;
    checked += chunk;
  }
  return false;
}

}  // namespace larkspur
