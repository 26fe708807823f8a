#include "iecleanup/memory_block.h"

#include <algorithm>
#include <cstring>

namespace larkspur {

void MemoryBlock::Allocate(std::int32_t lCount) {
  ReleaseMemory();
  if (lCount <= 0)
    return;
  const auto size = static_cast<std::size_t>(lCount);
  address_ = memory_.Allocate(size);
  if (address_ == nullptr)
    return;
  size_ = lCount;
  memory_.Lock(address_, size);
}

void MemoryBlock::ReadFrom(void* hWritePointer, std::int32_t lLength) {
  if (lLength <= 0)
    return;
  const auto length = static_cast<std::size_t>(lLength);
  const auto inside = std::min(length, static_cast<std::size_t>(size_));
  if (memory_.IsBadWritePtr(hWritePointer, length))
    return;
  if (inside == 0 || memory_.IsBadReadPtr(address_, inside))
    return;
  std::memcpy(hWritePointer, address_, inside);
  std::memset(static_cast<char*>(hWritePointer) + inside, 0, length - inside);
}

void MemoryBlock::WriteTo(const void* hReadPointer, std::int32_t lLength) {
  if (lLength <= 0)
    return;
  const auto inside = std::min(static_cast<std::size_t>(lLength), static_cast<std::size_t>(size_));
  if (inside == 0)
    return;
  if (memory_.IsBadReadPtr(hReadPointer, inside) || memory_.IsBadWritePtr(address_, inside))
    return;
  std::memcpy(address_, hReadPointer, inside);
}

std::string MemoryBlock::ExtractString(const void* hStartPointer, std::int32_t lMax) {
  if (lMax <= 0)
    return "";
  const auto max = static_cast<std::size_t>(lMax);
  const auto* start = static_cast<const char*>(hStartPointer);
  if (memory_.IsBadStringPtr(start, max))
    return "";
  // Unterminated within lMax: the first lMax characters.
  const void* terminator = std::memchr(start, '\0', max);
  const std::size_t length =
      terminator != nullptr ? static_cast<std::size_t>(static_cast<const char*>(terminator) - start)
                            : max;
  return std::string(start, length);
}

void MemoryBlock::ReleaseMemory() {
  if (address_ == nullptr)
    return;
  const auto size = static_cast<std::size_t>(size_);
  memory_.Unlock(address_, size);
  memory_.Decommit(address_, size);
  memory_.Release(address_, size);
  address_ = nullptr;
  size_ = 0;
}

}  // namespace larkspur
