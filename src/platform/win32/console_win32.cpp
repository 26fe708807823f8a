#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <ostream>
#include <streambuf>
#include <string>

#include "platform/console.h"
#include "platform/win32/code_page.h"

namespace larkspur {

namespace {

bool IsUsable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return ::GetConsoleMode(handle, &mode) != FALSE;
}

// Collects UTF-8 text and hands it to a standard handle: as UTF-16 to a console, so that every
// character shows whatever the console's code page, and as the bytes themselves to a file or pipe.
class StandardHandleBuffer final : public std::streambuf {
 public:
  explicit StandardHandleBuffer(DWORD which) : which_(which) {}
  ~StandardHandleBuffer() override { sync(); }

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof())
      pending_ += traits_type::to_char_type(c);
    if (c == '\n' || pending_.size() >= 4096)
      sync();
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    if (pending_.find('\n') != std::string::npos || pending_.size() >= 4096)
      sync();
    return count;
  }
  int sync() override {
    if (pending_.empty())
      return 0;
    const HANDLE handle = ::GetStdHandle(which_);
    bool written = false;
    if (IsUsable(handle)) {
      DWORD done = 0;
      if (IsConsole(handle)) {
        const std::wstring wide = WideFromUtf8(pending_);
        written = ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &done,
                                  nullptr) != FALSE;
      } else {
        written = ::WriteFile(handle, pending_.data(), static_cast<DWORD>(pending_.size()), &done,
                              nullptr) != FALSE;
      }
    }
    pending_.clear();
    return written ? 0 : -1;
  }

 private:
  DWORD which_;
  std::string pending_;
};

// A window program started from a console gets no standard handles of its own; it borrows the
// console it was started from. Handles that were redirected stay as they are.
void AttachToParentConsole() {
  if (IsUsable(::GetStdHandle(STD_OUTPUT_HANDLE)) && IsUsable(::GetStdHandle(STD_ERROR_HANDLE)))
    return;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS))
    return;
  const HANDLE console =
      ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE)
    return;
  if (!IsUsable(::GetStdHandle(STD_OUTPUT_HANDLE)))
    ::SetStdHandle(STD_OUTPUT_HANDLE, console);
  if (!IsUsable(::GetStdHandle(STD_ERROR_HANDLE)))
    ::SetStdHandle(STD_ERROR_HANDLE, console);
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr)
    return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int index = 0; index < count; ++index)
    arguments.push_back(Utf8FromWide(wide[index]));
  ::LocalFree(wide);
  return arguments;
}

ConsoleStreams OpenConsole() {
  AttachToParentConsole();
  static StandardHandleBuffer out_buffer(STD_OUTPUT_HANDLE);
  static StandardHandleBuffer err_buffer(STD_ERROR_HANDLE);
  static std::ostream out(&out_buffer);
  static std::ostream err(&err_buffer);
  return {out, err};
}

}  // namespace larkspur
