#include "platform/win32/win32_folder_tree.h"

#include "platform/win32/code_page.h"
#include "platform/win32/file_holders.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/profile_folder.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

// <windows.h> renames DeleteFile to DeleteFileA; here it is the cursor's own.
#undef DeleteFile

namespace larkspur {

namespace win32 {

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// "X:\..." or "\\server\...", and not the "\\?\" and "\\.\" forms, which skip normalisation.
bool NamesDriveOrShare(const std::wstring& path) {
  if (path.size() < 3)
    return false;
  const wchar_t first = path[0];
  const bool letter = (first >= L'A' && first <= L'Z') || (first >= L'a' && first <= L'z');
  if (letter && path[1] == L':' && IsSeparator(path[2]))
    return true;
  return IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]) && path[2] != L'?' &&
         path[2] != L'.';
}

}  // namespace

std::wstring FullPath(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  if (!NamesDriveOrShare(wide) || wide.find(L'\0') != std::wstring::npos)
    return {};
  const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0)
    return {};
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size)
    return {};
  full.resize(length);
  while (full.size() > 3 && full.back() == L'\\')
    full.pop_back();
  return full;
}

std::wstring LongPath(const std::wstring& full) {
  if (full.rfind(L"\\\\", 0) == 0)
    return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace win32

namespace {

using win32::FullPath;
using win32::IdentityOf;
using win32::LongPath;

constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
// No delete sharing: a folder held open this way cannot be renamed or removed meanwhile.
constexpr ULONG kFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kBlocksDeletion =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// What SetFileAttributes may set; the rest (directory, reparse point, compressed...) is the
// file system's to say.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr NTSTATUS kUnsuccessful = static_cast<NTSTATUS>(0xC0000001L);
constexpr NTSTATUS kObjectNameNotFound = static_cast<NTSTATUS>(0xC0000034L);
constexpr NTSTATUS kObjectPathNotFound = static_cast<NTSTATUS>(0xC000003AL);
constexpr NTSTATUS kSharingViolation = static_cast<NTSTATUS>(0xC0000043L);
constexpr NTSTATUS kDeletePending = static_cast<NTSTATUS>(0xC0000056L);

// Not in the headers for Windows 7, which the build targets; newer systems take it.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Handle& operator=(Handle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~Handle() {
    if (handle_ != nullptr)
      ::CloseHandle(handle_);
  }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HANDLE handle_ = nullptr;
};

// kernel32 can neither open a name relative to a folder's handle nor, under Wine, name a handle
// whose path is longer than MAX_PATH; ntdll can do both.
struct Ntdll {
  decltype(&::NtCreateFile) create_file = nullptr;
  decltype(&::NtQueryObject) query_object = nullptr;
};

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  // Through void(*)(), which converts to any function pointer without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

const Ntdll& NtdllFunctions() {
  static const Ntdll functions = [] {
    Ntdll found;
    if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
      found.create_file = Lookup<decltype(found.create_file)>(ntdll, "NtCreateFile");
      found.query_object = Lookup<decltype(found.query_object)>(ntdll, "NtQueryObject");
    }
    return found;
  }();
  return functions;
}

Handle OpenByPath(const std::wstring& path, DWORD access) {
  return Handle(::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Opens `name` in `folder` without following a link. Wine follows unix links all the same,
// which only IsEntryOf below can tell.
Handle OpenAt(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share,
              ULONG options, NTSTATUS* status) {
  const auto create_file = NtdllFunctions().create_file;
  if (create_file == nullptr || name.size() > 32767) {
    *status = kUnsuccessful;
    return {};
  }
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.c_str());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE handle = nullptr;
  *status =
      create_file(&handle, access | SYNCHRONIZE, &attributes, &io, nullptr, 0, share, FILE_OPEN,
                  options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr, 0);
  return NT_SUCCESS(*status) ? Handle(handle) : Handle();
}

// The full name of what a handle has open, as the system knows it: "\Device\HarddiskVolume3\a\b"
// on Windows, "\??\C:\a\b" under Wine, where it is the unix path with every link resolved.
std::wstring NameOf(HANDLE handle) {
  const auto query_object = NtdllFunctions().query_object;
  if (query_object == nullptr)
    return {};
  // Names are at most 32767 characters, so this always suffices.
  constexpr ULONG kBytes = sizeof(OBJECT_NAME_INFORMATION) + 65536;
  const auto buffer = std::make_unique_for_overwrite<std::uint64_t[]>(kBytes / 8);
  ULONG length = 0;
  if (!NT_SUCCESS(query_object(handle, ObjectNameInformation, buffer.get(), kBytes, &length)))
    return {};
  const auto* info = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer.get());
  return std::wstring(info->Name.Buffer, info->Name.Length / sizeof(wchar_t));
}

bool SameText(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether `inner` is `folder` or lies below it.
bool IsOrHolds(std::wstring_view folder, std::wstring_view inner) {
  if (folder.empty() || inner.size() < folder.size() ||
      !SameText(inner.substr(0, folder.size()), folder))
    return false;
  return inner.size() == folder.size() || folder.back() == L'\\' || inner[folder.size()] == L'\\';
}

// Whether `entry` is the entry `name` of `folder` itself rather than what a link leads to.
bool IsEntryOf(HANDLE entry, HANDLE folder, const std::wstring& name) {
  std::wstring expected = NameOf(folder);
  if (expected.empty())
    return false;
  if (expected.back() != L'\\')
    expected += L'\\';
  expected += name;
  return SameText(NameOf(entry), expected);
}

DWORD AttributesOf(HANDLE handle) {
  FILE_BASIC_INFO info{};
  if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info))
    return INVALID_FILE_ATTRIBUTES;
  return info.FileAttributes;
}

// Sets the settable attributes of `handle` (opened with FILE_WRITE_ATTRIBUTES) to those of
// `attributes`; times are left as they are.
bool SetAttributes(HANDLE handle, DWORD attributes) {
  FILE_BASIC_INFO info{};
  info.FileAttributes = attributes & kSettableAttributes;
  if (info.FileAttributes == 0)
    info.FileAttributes = FILE_ATTRIBUTE_NORMAL;  // zero would mean "leave them"
  return ::SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info);
}

bool IsRealFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool IsLinkToFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The volume's own root folder: its name on the volume is "\".
bool IsVolumeRoot(HANDLE folder) {
  struct {
    FILE_NAME_INFO info;
    wchar_t more[2];
  } name{};
  return ::GetFileInformationByHandleEx(folder, FileNameInfo, &name, sizeof name) &&
         name.info.FileNameLength == sizeof(wchar_t) && name.info.FileName[0] == L'\\';
}

bool IsPlainName(const std::wstring& name) {
  return !name.empty() && name != L"." && name != L".." &&
         name.find_first_of(std::wstring_view(L"\\/:\0", 4)) == std::wstring::npos;
}

// The folder `name` in `parent`, opened to be walked: null unless it is a real folder, not a link,
// the entry itself rather than where a unix link leads, and, where `same_volume` asks, on the
// parent's volume: Wine shows a unix mount as a plain folder of a volume of its own.
// `why_not`, when given, learns why a folder that is there was not opened.
Handle OpenChildFolder(HANDLE parent, const std::wstring& name, bool same_volume,
                       std::optional<StayReason>* why_not = nullptr) {
  if (!IsPlainName(name))
    return {};
  const auto refuse = [why_not](StayReason why) {
    if (why_not != nullptr)
      *why_not = why;
    return Handle();
  };
  NTSTATUS status = 0;
  Handle folder = OpenAt(parent, name, kFolderAccess, kFolderShare, FILE_DIRECTORY_FILE, &status);
  if (!folder) {
    if (status == kObjectNameNotFound || status == kObjectPathNotFound || status == kDeletePending)
      return {};
    return refuse(status == kSharingViolation ? StayReason::kInUse : StayReason::kAccessRefused);
  }
  if (!IsRealFolder(AttributesOf(folder.get())) || !IsEntryOf(folder.get(), parent, name))
    return refuse(StayReason::kRefused);
  if (same_volume) {
    const std::optional<win32::FileIdentity> outer = IdentityOf(parent);
    const std::optional<win32::FileIdentity> inner = IdentityOf(folder.get());
    if (!outer || !inner || outer->volume != inner->volume)
      return refuse(StayReason::kRefused);
  }
  return folder;
}

// The entry goes when the handle closes; a folder only if it is empty.
bool MarkForDeletion(HANDLE entry) {
  // POSIX semantics take the name away at once, even while another program still has the file
  // open (Windows 10 onwards); older systems and Wine refuse them and get the classic way.
  DWORD flags = kDispositionDelete | kDispositionPosixSemantics;
  if (::SetFileInformationByHandle(entry, kFileDispositionInfoEx, &flags, sizeof flags))
    return true;
  FILE_DISPOSITION_INFO classic{TRUE};
  return ::SetFileInformationByHandle(entry, FileDispositionInfo, &classic, sizeof classic);
}

// Why an entry could not be opened for deletion.
Removal Unopened(NTSTATUS status) {
  if (status == kObjectNameNotFound || status == kObjectPathNotFound || status == kDeletePending)
    return Removal::Absent();
  return Removal::Kept(status == kSharingViolation ? StayReason::kInUse
                                                   : StayReason::kAccessRefused);
}

// Why the system refused to mark a file opened for deletion: it refuses a read-only file, and
// one that a program has mapped into memory (wininet keeps its index.dat so), alike.
StayReason WhyKept(DWORD error, DWORD attributes) {
  const bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return error == ERROR_SHARING_VIOLATION || (error == ERROR_ACCESS_DENIED && !read_only)
             ? StayReason::kInUse
             : StayReason::kAccessRefused;
}

// The disk space a file takes (its allocation: a sparse file's holes take none), and how many
// names it has; its space is freed with the last.
struct Footprint {
  std::uint64_t bytes = 0;
  std::uint64_t names = 1;
};
Footprint FootprintOf(HANDLE entry) {
  FILE_STANDARD_INFO info{};
  if (!::GetFileInformationByHandleEx(entry, FileStandardInfo, &info, sizeof info))
    return {};
  return {static_cast<std::uint64_t>(info.AllocationSize.QuadPart), info.NumberOfLinks};
}

// What a preview's ledger knows an entry by; its attributes cleared are a claim of their own.
std::string LedgerName(HANDLE entry, const std::string& path) {
  const std::string identity = win32::IdentityText(entry);
  return identity.empty() ? "path:" + path : identity;
}
std::string WritableName(const std::string& ledger_name) {
  return "archive-only:" + ledger_name;
}
// One name of a folder, for the ledger: each name removed counts, hard links too.
std::string EntryName(HANDLE folder, std::wstring name) {
  ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return "name:" + win32::IdentityText(folder) + '\\' + Utf8FromWide(name);
}

// "C:\" or "\\server\share", as FullPath gives them.
bool IsRootPath(const std::wstring& full) {
  if (full.size() == 3 && full[1] == L':')
    return true;
  if (full.rfind(L"\\\\", 0) != 0)
    return false;
  const std::size_t server_end = full.find(L'\\', 2);
  return server_end == std::wstring::npos || full.find(L'\\', server_end + 1) == std::wstring::npos;
}

// Short (8.3) names spelled out, so that two spellings of one folder compare equal.
std::wstring WithLongNames(const std::wstring& full) {
  const DWORD size = ::GetLongPathNameW(full.c_str(), nullptr, 0);
  if (size == 0)
    return full;
  std::wstring long_names(size, L'\0');
  const DWORD length = ::GetLongPathNameW(full.c_str(), long_names.data(), size);
  if (length == 0 || length >= size)
    return full;
  long_names.resize(length);
  return long_names;
}

class Win32FolderCursor final : public FolderCursor {
 public:
  Win32FolderCursor(Handle folder, std::string path, std::shared_ptr<PreviewLedger> preview)
      : folder_(std::move(folder)), path_(std::move(path)), preview_(std::move(preview)) {}

  // Every folder the walk is still in gets back what MakeArchiveOnly took from it.
  ~Win32FolderCursor() override {
    PutBackFolder(folder_.get(), folder_attributes_);
    for (const Level& level : parents_)
      PutBackFolder(level.folder.get(), level.attributes);
  }

  bool List(FolderListing* listing) override {
    listing->files.clear();
    listing->subfolders.clear();
    std::vector<std::uint64_t> buffer(8 * 1024);
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(buffer[0]));
    auto kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
      if (!::GetFileInformationByHandleEx(folder_.get(), kind, buffer.data(), bytes)) {
        if (::GetLastError() == ERROR_NO_MORE_FILES)
          return true;
        listing->files.clear();
        listing->subfolders.clear();
        return false;
      }
      kind = FileIdBothDirectoryInfo;
      const auto* base = reinterpret_cast<const unsigned char*>(buffer.data());
      for (std::size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(base + offset);
        Classify(std::wstring_view(entry->FileName, entry->FileNameLength / sizeof(wchar_t)),
                 entry->FileAttributes, listing);
        if (entry->NextEntryOffset == 0)
          break;
        offset += entry->NextEntryOffset;
      }
    }
  }

  bool Enter(const std::string& name, std::optional<StayReason>* why_not = nullptr) override {
    Handle child = OpenChildFolder(folder_.get(), WideFromUtf8(name), true, why_not);
    if (!child)
      return false;
    parents_.push_back({std::move(folder_), path_.size(), folder_attributes_});
    folder_ = std::move(child);
    folder_attributes_ = kUnchanged;
    path_ += name;
    path_ += '\\';
    return true;
  }

  // The parent's handle was held all along, so it is still the folder the walk came from.
  bool Leave() override {
    if (parents_.empty())
      return false;
    PutBackFolder(folder_.get(), folder_attributes_);
    folder_ = std::move(parents_.back().folder);
    path_.resize(parents_.back().path_length);
    folder_attributes_ = parents_.back().attributes;
    parents_.pop_back();
    return true;
  }

  const std::string& Path() const override { return path_; }

  // A folder loses only read-only, which under Wine is a unix folder its entries cannot leave
  // (on Windows it stops nothing), until the walk leaves it; hidden and system stay. A file loses
  // read-only, hidden and system, and gets them back if its deletion then fails.
  bool MakeArchiveOnly(const std::string& name) override {
    const std::wstring wide = WideFromUtf8(name);
    if (!name.empty() && !IsPlainName(wide))
      return false;
    // An empty name reopens the folder itself.
    NTSTATUS status = 0;
    const Handle entry = OpenAt(folder_.get(), wide, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                kShareAll, 0, &status);
    if (!entry)
      return false;
    const DWORD attributes = AttributesOf(entry.get());
    if (attributes == INVALID_FILE_ATTRIBUTES)
      return false;
    const DWORD blocking = attributes & (name.empty() ? FILE_ATTRIBUTE_READONLY : kBlocksDeletion);
    if (blocking == 0)
      return true;
    // Through a unix link Wine would change the target's attributes.
    if (!name.empty() && !IsEntryOf(entry.get(), folder_.get(), wide))
      return false;
    if (preview_) {
      preview_->Claim(WritableName(LedgerName(entry.get(), path_ + name)));
      return true;
    }
    if (!SetAttributes(entry.get(), (attributes & ~blocking) | FILE_ATTRIBUTE_ARCHIVE))
      return false;
    if (name.empty()) {
      if (folder_attributes_ == kUnchanged)
        folder_attributes_ = attributes;
    } else {
      cleared_file_ = {name, attributes};
    }
    return true;
  }

  Removal DeleteFile(const std::string& name) override {
    const std::wstring wide = WideFromUtf8(name);
    if (!IsPlainName(wide))
      return Removal::Kept(StayReason::kAccessRefused);
    if (preview_)
      return Foresee(wide, path_ + name);
    const Removal removal = Delete(wide);
    // A file that stays keeps the attributes MakeArchiveOnly took from it for this deletion.
    if (!removal.Gone() && cleared_file_ && cleared_file_->name == name)
      PutBack(wide, cleared_file_->attributes);
    cleared_file_.reset();
    return removal;
  }

  // A preview removes no folder: what it answered as deleted is still in them. Read-only stops
  // a folder's removal, so it is cleared for that and put back when the folder stays.
  bool RemoveFolder(const std::string& name) override {
    const std::wstring wide = WideFromUtf8(name);
    if (preview_ || !IsPlainName(wide))
      return false;
    NTSTATUS status = 0;
    const Handle entry =
        OpenAt(folder_.get(), wide, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
               kShareAll, FILE_DIRECTORY_FILE, &status);
    // Wine's RemoveDirectoryW on a link to an empty folder removes that folder, not the link.
    const DWORD attributes = entry ? AttributesOf(entry.get()) : INVALID_FILE_ATTRIBUTES;
    if (!IsRealFolder(attributes) || !IsEntryOf(entry.get(), folder_.get(), wide))
      return false;
    const bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only && !SetAttributes(entry.get(), attributes & ~FILE_ATTRIBUTE_READONLY))
      return false;
    if (MarkForDeletion(entry.get()))
      return true;
    if (read_only)
      SetAttributes(entry.get(), attributes);
    return false;
  }

 private:
  static constexpr DWORD kUnchanged = INVALID_FILE_ATTRIBUTES;

  struct Level {
    Handle folder;
    std::size_t path_length;
    DWORD attributes;  // to put back when the walk leaves it, or kUnchanged
  };

  struct ClearedFile {
    std::string name;
    DWORD attributes;
  };

  // A junction or mount point goes as a file does; a real folder is not a file. Under Wine,
  // deleting through a unix link deletes its target.
  bool IsFileEntry(HANDLE entry, DWORD attributes, const std::wstring& name) const {
    return attributes != INVALID_FILE_ATTRIBUTES &&
           ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsLinkToFolder(attributes)) &&
           IsEntryOf(entry, folder_.get(), name);
  }

  Removal Delete(const std::wstring& name) {
    NTSTATUS status = 0;
    const Handle entry =
        OpenAt(folder_.get(), name, DELETE | FILE_READ_ATTRIBUTES, kShareAll, 0, &status);
    if (!entry)
      return Unopened(status);
    const DWORD attributes = AttributesOf(entry.get());
    if (!IsFileEntry(entry.get(), attributes, name))
      return Removal::Kept(StayReason::kAccessRefused);
    const Footprint footprint = FootprintOf(entry.get());
    if (!MarkForDeletion(entry.get()))
      return Removal::Kept(WhyKept(::GetLastError(), attributes));
    return Removal::Removed(footprint.names <= 1 ? footprint.bytes : 0);
  }

  // What deleting `name` would do, learnt without a deletion mark and, where the file system
  // says who holds a file, without any open that another program's could conflict with: the
  // system refuses a read-only file unless MakeArchiveOnly cleared it first, a file deleted once
  // is not there the second time, and a file that another program holds, or this one has mapped
  // into memory, may stay (a program that maps it or shares no deletion keeps it), which is what
  // the preview says of it.
  Removal Foresee(const std::wstring& name, const std::string& path) {
    NTSTATUS status = 0;
    const Handle entry =
        OpenAt(folder_.get(), name, win32::kQueryOnlyAccess, kShareAll, 0, &status);
    if (!entry)
      return Unopened(status);
    const DWORD attributes = AttributesOf(entry.get());
    if (!IsFileEntry(entry.get(), attributes, name))
      return Removal::Kept(StayReason::kAccessRefused);
    const std::string ledger_name = LedgerName(entry.get(), path);
    const std::string entry_name = EntryName(folder_.get(), name);
    if (preview_->Claimed(ledger_name) || preview_->Claimed(entry_name))
      return Removal::Absent();
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        !preview_->Claimed(WritableName(ledger_name)))
      return Removal::Kept(StayReason::kAccessRefused);
    const std::optional<bool> held = win32::HeldByOtherProcess(entry.get());
    if (held.value_or(false) || MappedHere(entry.get()))
      return Removal::Kept(StayReason::kInUse);
    // Where the file system does not say (Wine), an open for deletion that shares everything
    // tells a holder that shares no deletion; it sets no mark, and a preview killed meanwhile
    // leaves nothing behind.
    if (!held && !OpenAt(folder_.get(), name, DELETE | FILE_READ_ATTRIBUTES, kShareAll, 0, &status))
      return Unopened(status);
    // The file itself is gone with its last name, as the others who ask the ledger know it.
    preview_->Claim(entry_name);
    const Footprint footprint = FootprintOf(entry.get());
    if (preview_->NameGone(ledger_name) < footprint.names)
      return Removal::Removed(0);
    preview_->Claim(ledger_name);
    return Removal::Removed(footprint.bytes);
  }

  // Asked once for each walk: the stores are listed before the folders are.
  bool MappedHere(HANDLE entry) {
    if (!mapped_here_)
      mapped_here_ = win32::FilesMappedHere();
    const std::wstring name = NameOf(entry);
    return std::any_of(mapped_here_->begin(), mapped_here_->end(),
                       [&](const std::wstring& mapped) { return SameText(mapped, name); });
  }

  // Puts back the attributes MakeArchiveOnly cleared on the file `name` of the current folder.
  void PutBack(const std::wstring& name, DWORD attributes) {
    NTSTATUS status = 0;
    const Handle entry = OpenAt(folder_.get(), name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                kShareAll, 0, &status);
    if (entry && IsEntryOf(entry.get(), folder_.get(), name))
      SetAttributes(entry.get(), attributes);
  }

  static void PutBackFolder(HANDLE folder, DWORD attributes) {
    if (folder == nullptr || attributes == kUnchanged)
      return;
    NTSTATUS status = 0;
    const Handle self = OpenAt(folder, std::wstring(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                               kShareAll, 0, &status);
    if (self)
      SetAttributes(self.get(), attributes);
  }

  static void Classify(std::wstring_view name, DWORD attributes, FolderListing* listing) {
    const bool real_folder = IsRealFolder(attributes);
    if (name == L"." || name == L".." ||
        (!real_folder && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0))
      return;
    // A name that UTF-8 cannot carry could not be opened again by its name.
    std::string text = Utf8FromWide(name);
    if (text.empty())
      return;
    (real_folder ? listing->subfolders : listing->files).push_back(std::move(text));
  }

  Handle folder_;
  std::string path_;
  std::vector<Level> parents_;
  DWORD folder_attributes_ = kUnchanged;     // the current folder's, to put back on leaving
  std::optional<ClearedFile> cleared_file_;  // until the deletion it was cleared for
  std::optional<std::vector<std::wstring>> mapped_here_;  // a preview's, once asked
  std::shared_ptr<PreviewLedger> preview_;                // null in a real run
};

// Whether `folder` is the profile folder `home` or one of the folders that hold it, compared by
// identity however either was reached. The ancestors are named from the name the system gives
// the opened profile folder, which has no link left on the way.
bool IsOrHoldsHome(HANDLE folder, const std::wstring& home) {
  const std::optional<win32::FileIdentity> identity = IdentityOf(folder);
  if (!identity)
    return true;
  const Handle home_folder = OpenByPath(LongPath(home), FILE_READ_ATTRIBUTES);
  if (!home_folder)
    return false;  // a missing one was refused by name
  if (IdentityOf(home_folder.get()) == identity)
    return true;
  // "\??\C:\Users\me" under Wine, "\Device\HarddiskVolume3\Users\me" on Windows.
  std::wstring name = NameOf(home_folder.get());
  name = name.rfind(L"\\??\\", 0) == 0 ? L"\\\\?\\" + name.substr(4) : L"\\\\?\\GLOBALROOT" + name;
  // Down to the volume's root; past it the names are no folders and fail to open.
  for (std::size_t end = name.rfind(L'\\'); end > 3; end = name.rfind(L'\\', end - 1)) {
    const Handle ancestor = OpenByPath(name.substr(0, end + 1), FILE_READ_ATTRIBUTES);
    if (ancestor && IdentityOf(ancestor.get()) == identity)
      return true;
  }
  return false;
}

}  // namespace

Win32FolderTree::Win32FolderTree(std::string home, std::shared_ptr<PreviewLedger> preview)
    : homes_{std::move(home)}, preview_(std::move(preview)) {
  homes_.push_back(ProfileFolderFromSystem());
}

std::unique_ptr<FolderCursor> Win32FolderTree::Open(const std::string& path) {
  const std::wstring folder_path = FullPath(path);
  if (folder_path.empty() || IsRootPath(folder_path))
    return nullptr;
  const std::wstring full = WithLongNames(folder_path);
  std::vector<std::wstring> homes;
  for (const std::string& home : homes_) {
    const std::wstring home_path = WithLongNames(FullPath(home));
    // By name first: a profile folder that is missing is protected all the same.
    if (IsOrHolds(full, home_path))
      return nullptr;
    if (!home_path.empty())
      homes.push_back(home_path);
  }

  // The way there may lead through links; the last step may not.
  const std::size_t cut = full.rfind(L'\\');
  const std::wstring name = full.substr(cut + 1);
  const Handle parent = OpenByPath(LongPath(full.substr(0, cut + 1)), FILE_READ_ATTRIBUTES);
  if (!parent)
    return nullptr;
  Handle folder = OpenChildFolder(parent.get(), name, false);
  // Checked again on what was opened, which links on the way may have made another folder.
  if (!folder || IsVolumeRoot(folder.get()))
    return nullptr;
  for (const std::wstring& home : homes) {
    if (IsOrHoldsHome(folder.get(), home))
      return nullptr;
  }
  return std::make_unique<Win32FolderCursor>(std::move(folder), Utf8FromWide(full) + '\\',
                                             preview_);
}

}  // namespace larkspur
