#pragma once
// Whole pages of the test's own with a chosen protection, for memory that must fault or be
// reported bad at an exact address.
#include <cstddef>

namespace larkspur::testing {

enum class PageAccess { kReadWrite, kReadOnly, kNone };

class Pages {
 public:
  // `count` read-write pages filled with 'x'.
  explicit Pages(std::size_t count);
  ~Pages();
  Pages(const Pages&) = delete;
  Pages& operator=(const Pages&) = delete;

  static std::size_t PageSize();
  char* get() const { return start_; }
  std::size_t size() const { return size_; }
  bool ok() const { return start_ != nullptr; }
  // Changes the protection of `count` pages from page `first` on.
  void Protect(std::size_t first, std::size_t count, PageAccess access);

 private:
  char* start_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace larkspur::testing
