#include "platform/win32/win32_profile_folder.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/file_holders.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/win32_file_patterns.h"
#include "platform/win32/win32_file_to_read.h"
#include "platform/win32/win32_folder_tree.h"

namespace larkspur {

namespace {

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  Handle& operator=(Handle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE)
      ::CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A folder, held so that it cannot be renamed or removed meanwhile; with `own_entry`, a reparse
// point is opened as itself (and then refused) rather than followed.
Handle OpenFolder(const std::wstring& path, bool own_entry, std::string* identity) {
  Handle folder(::CreateFileW(
      win32::LongPath(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | (own_entry ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder || !::GetFileInformationByHandle(folder.get(), &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (own_entry && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)))
    return Handle();
  *identity = win32::IdentityText(folder.get());
  return identity->empty() ? Handle() : std::move(folder);
}

// Why a folder that OpenFolder refused is not taken; none when it is missing.
const char* WhyNotOpened(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(win32::LongPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? nullptr
                                                                          : kProfileUnreadable;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return kProfileIsLink;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? kProfileUnreadable : kProfileNotFolder;
}

bool IsEmptyFolder(const std::wstring& path) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(win32::LongPath(path + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return true;
  bool empty = true;
  do {
    const std::wstring_view name = found.cFileName;
    empty = name == L"." || name == L"..";
  } while (empty && ::FindNextFileW(search, &found));
  ::FindClose(search);
  return empty;
}

std::set<std::string> HomeAndAbove(const std::string& home) {
  std::set<std::string> found;
  std::wstring folder = win32::FullPath(home);
  while (!folder.empty()) {
    std::string identity;
    if (OpenFolder(folder, false, &identity))
      found.insert(identity);
    const std::size_t last = folder.find_last_of(L'\\');
    if (last == std::wstring::npos || last + 1 >= folder.size())
      break;
    folder.resize(last == 2 ? 3 : last);  // "C:\" keeps its separator
  }
  return found;
}

DWORD Attributes(const std::wstring& path) {
  return ::GetFileAttributesW(win32::LongPath(path).c_str());
}

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("\\/:") == std::string::npos;
}

class Win32ProfileFolder final : public ProfileFolder {
 public:
  Win32ProfileFolder(std::vector<Handle> held, std::wstring path, std::string name,
                     std::string identity, std::shared_ptr<PreviewLedger> preview)
      : held_(std::move(held)),
        wide_(std::move(path)),
        path_(Utf8FromWide(wide_)),
        name_(std::move(name)),
        identity_(std::move(identity)),
        preview_(std::move(preview)) {}

  const std::string& Path() const override { return path_; }
  const std::string& Name() const override { return name_; }
  const std::string& Identity() const override { return identity_; }

  bool Exists(const std::string& name) override {
    if (!IsPlainName(name) || Attributes(In(name)) == INVALID_FILE_ATTRIBUTES)
      return false;
    return !preview_ || !preview_->Claimed(
                            win32::IdentityTextAt(win32::LongPath(In(name)), FILE_READ_ATTRIBUTES));
  }

  std::vector<NamedRemoval> DeleteMatching(const std::string& subfolder,
                                           const std::string& pattern) override {
    if (!subfolder.empty() && !IsRealSubfolder(subfolder))
      return {};
    const std::string folder = subfolder.empty() ? path_ : path_ + "\\" + subfolder;
    Win32FolderTree tree(std::string(), preview_);
    return win32::DeleteMatches(tree, folder + "\\" + pattern);
  }

  // Firefox holds parent.lock open without sharing while it runs, and leaves it behind when it
  // ends. Trying to open it as Firefox does would make a Firefox starting at that moment fail;
  // asking who holds it, on a handle that takes no part in sharing, never can.
  bool InUse() override {
    Handle lock(::CreateFileW(win32::LongPath(In("parent.lock")).c_str(), win32::kQueryOnlyAccess,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!lock)
      return false;
    // Where the file system does not say (Wine), any running Firefox may be the one.
    const std::optional<bool> held = win32::HeldByOtherProcess(lock.get());
    return held ? *held : win32::ProgramRuns(L"firefox.exe");
  }

  std::unique_ptr<FileToRead> OpenToRead(const std::string& name, bool* absent) override {
    return win32::OpenFileToRead(held_.back().get(), wide_, name, absent);
  }

  std::vector<std::string> List(const std::string& subfolder) override {
    std::vector<std::string> names;
    if (!IsRealSubfolder(subfolder))
      return names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(win32::LongPath(In(subfolder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      return names;
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..")
        names.push_back(Utf8FromWide(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
  }

  bool Rename(const std::string& subfolder, const std::string& from,
              const std::string& to) override {
    if (!IsRealSubfolder(subfolder) || !IsPlainName(from) || !IsPlainName(to))
      return false;
    if (preview_)
      return true;
    const std::wstring folder = In(subfolder) + L"\\";
    return ::MoveFileExW(win32::LongPath(folder + WideFromUtf8(from)).c_str(),
                         win32::LongPath(folder + WideFromUtf8(to)).c_str(), 0) != 0;
  }

  bool WriteNew(const std::string& subfolder, const std::string& name,
                const std::string& contents) override {
    if (!IsPlainName(subfolder) || !IsPlainName(name))
      return false;
    if (preview_)
      return true;
    ::CreateDirectoryW(win32::LongPath(In(subfolder)).c_str(), nullptr);
    if (!IsRealSubfolder(subfolder))
      return false;
    const std::wstring folder = In(subfolder) + L"\\";
    // The temporary name ends in ".tmp", which Firefox clears from its backup folder.
    const std::wstring temporary =
        win32::LongPath(folder + L".larkspur-" + std::to_wstring(std::random_device{}()) + L".tmp");
    bool written = false;
    {
      Handle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file)
        return false;
      DWORD wrote = 0;
      written = contents.size() <= MAXDWORD &&
                ::WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()),
                            &wrote, nullptr) &&
                wrote == contents.size() && ::FlushFileBuffers(file.get());
    }
    if (written &&
        ::MoveFileExW(temporary.c_str(), win32::LongPath(folder + WideFromUtf8(name)).c_str(),
                      MOVEFILE_WRITE_THROUGH))
      return true;
    ::DeleteFileW(temporary.c_str());
    return false;
  }

 private:
  std::wstring In(const std::string& name) const { return wide_ + L"\\" + WideFromUtf8(name); }

  bool IsRealSubfolder(const std::string& subfolder) const {
    if (!IsPlainName(subfolder))
      return false;
    const DWORD attributes = Attributes(In(subfolder));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }

  std::vector<Handle> held_;
  std::wstring wide_;
  std::string path_;
  std::string name_;
  std::string identity_;
  std::shared_ptr<PreviewLedger> preview_;  // null in a real run
};

}  // namespace

std::unique_ptr<ProfileFolder> Win32ProfileFolders::OpenMarked(const std::string& base,
                                                               const std::string& entry,
                                                               bool relative,
                                                               std::span<const char* const> markers,
                                                               std::string* refusal) {
  std::wstring path = win32::FullPath(relative ? base : entry);
  if (path.empty())
    return nullptr;
  std::vector<std::string> steps;
  if (relative) {
    steps = ProfilePathSteps(entry);
  } else {
    // From the drive's root (or the share), every step checked.
    const std::filesystem::path full(path);
    steps = ProfilePathSteps(Utf8FromWide(full.relative_path().wstring()));
    path = full.root_path().wstring();
  }
  std::vector<Handle> held;
  std::string identity;
  // The base folder may itself be a link (a user's choice); below it, no step may be.
  held.push_back(OpenFolder(path, !relative, &identity));
  std::string name = Utf8FromWide(path.substr(path.find_last_of(L'\\') + 1));
  for (const std::string& step : steps) {
    if (!held.back())
      return nullptr;
    if (step == ".." || !IsPlainName(step)) {
      Refuse(refusal, kProfileHasDotDot);
      return nullptr;
    }
    path += (path.back() == L'\\' ? L"" : L"\\") + WideFromUtf8(step);
    held.push_back(OpenFolder(path, true, &identity));
    if (!held.back()) {
      if (const char* why = WhyNotOpened(path))
        Refuse(refusal, why);
      return nullptr;
    }
    name = step;
  }
  if (!held.back())
    return nullptr;
  if (std::filesystem::path(path).relative_path().empty()) {
    Refuse(refusal, kProfileIsRoot);  // a drive's root
    return nullptr;
  }
  if (HomeAndAbove(home_).contains(identity)) {
    Refuse(refusal, kProfileIsHome);
    return nullptr;
  }
  const auto is_file = [&](const char* marker) {
    const DWORD attributes = Attributes(path + L"\\" + WideFromUtf8(marker));
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  };
  if (std::none_of(markers.begin(), markers.end(), is_file)) {
    // An empty folder (Firefox makes one for a profile never used) holds nothing that stays.
    if (!IsEmptyFolder(path))
      Refuse(refusal, NotAProfile(markers));
    return nullptr;
  }
  return std::make_unique<Win32ProfileFolder>(std::move(held), path, name, identity, preview_);
}

}  // namespace larkspur
