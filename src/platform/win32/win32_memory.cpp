#include "platform/win32/win32_memory.h"

#include <windows.h>
#undef IsBadStringPtr  // the port's method, not windows.h's name for the ANSI or wide call

namespace larkspur {

void* Win32Memory::Allocate(std::size_t size) {
  return ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void Win32Memory::Lock(void* address, std::size_t size) {
  ::VirtualLock(address, size);
}

void Win32Memory::Unlock(void* address, std::size_t size) {
  ::VirtualUnlock(address, size);
}

void Win32Memory::Decommit(void* address, std::size_t size) {
  ::VirtualFree(address, size, MEM_DECOMMIT);
}

void Win32Memory::Release(void* address, std::size_t) {
  ::VirtualFree(address, 0, MEM_RELEASE);  // a release takes the whole region, size 0
}

bool Win32Memory::IsBadReadPtr(const void* address, std::size_t size) {
  return ::IsBadReadPtr(address, size) != FALSE;
}

bool Win32Memory::IsBadWritePtr(void* address, std::size_t size) {
  return ::IsBadWritePtr(address, size) != FALSE;
}

bool Win32Memory::IsBadStringPtr(const char* address, std::size_t max) {
  return ::IsBadStringPtrA(address, max) != FALSE;
}

}  // namespace larkspur
