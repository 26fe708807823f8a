#include "platform/sqlite/folder_vfs.h"

#include <cstring>
#include <memory>
#include <utility>

namespace larkspur {

namespace {

struct OpenFile {
  sqlite3_file base;  // first, as SQLite requires
  FileToRead* file;   // null: a log that does not exist, read as empty
};

FolderVfs& Owner(sqlite3_vfs* vfs) {
  return *static_cast<FolderVfs*>(vfs->pAppData);
}

FileToRead* FileOf(sqlite3_file* file) {
  return reinterpret_cast<OpenFile*>(file)->file;
}

int Close(sqlite3_file* file) {
  delete FileOf(file);
  reinterpret_cast<OpenFile*>(file)->file = nullptr;
  return SQLITE_OK;
}

int Read(sqlite3_file* file, void* into, int amount, sqlite3_int64 offset) {
  if (amount < 0 || offset < 0)
    return SQLITE_IOERR_READ;
  const auto size = static_cast<std::size_t>(amount);
  std::size_t done = 0;
  if (FileToRead* opened = FileOf(file)) {
    const std::optional<std::size_t> read =
        opened->ReadAt(static_cast<std::uint64_t>(offset), into, size);
    if (!read)
      return SQLITE_IOERR_READ;
    done = *read;
  }
  if (done == size)
    return SQLITE_OK;
  // SQLite expects the missing part zeroed.
  std::memset(static_cast<char*>(into) + done, 0, size - done);
  return SQLITE_IOERR_SHORT_READ;
}

int Write(sqlite3_file*, const void*, int, sqlite3_int64) {
  return SQLITE_READONLY;
}
int Truncate(sqlite3_file*, sqlite3_int64) {
  return SQLITE_READONLY;
}
int Sync(sqlite3_file*, int) {
  return SQLITE_OK;  // nothing was written
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  *size = 0;
  if (FileToRead* opened = FileOf(file)) {
    const std::optional<std::uint64_t> bytes = opened->Size();
    if (!bytes)
      return SQLITE_IOERR_FSTAT;
    *size = static_cast<sqlite3_int64>(*bytes);
  }
  return SQLITE_OK;
}

// No locks are taken: nothing is written, and a running Firefox is found before any read.
int Lock(sqlite3_file*, int) {
  return SQLITE_OK;
}
int CheckReservedLock(sqlite3_file*, int* reserved) {
  *reserved = 0;
  return SQLITE_OK;
}
int FileControl(sqlite3_file*, int, void*) {
  return SQLITE_NOTFOUND;
}
int SectorSize(sqlite3_file*) {
  return 4096;
}
int DeviceCharacteristics(sqlite3_file*) {
  return 0;
}

// Version 1: no shared memory, no memory mapping.
const sqlite3_io_methods kMethods = [] {
  sqlite3_io_methods methods{};
  methods.iVersion = 1;
  methods.xClose = Close;
  methods.xRead = Read;
  methods.xWrite = Write;
  methods.xTruncate = Truncate;
  methods.xSync = Sync;
  methods.xFileSize = FileSize;
  methods.xLock = Lock;
  methods.xUnlock = Lock;
  methods.xCheckReservedLock = CheckReservedLock;
  methods.xFileControl = FileControl;
  methods.xSectorSize = SectorSize;
  methods.xDeviceCharacteristics = DeviceCharacteristics;
  return methods;
}();

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* out_flags) {
  auto* open = reinterpret_cast<OpenFile*>(file);
  open->base.pMethods = nullptr;
  open->file = nullptr;
  FolderVfs& owner = Owner(vfs);
  const std::string& database = owner.database();
  const std::string asked = name == nullptr ? std::string() : name;
  const bool main = (flags & SQLITE_OPEN_MAIN_DB) && asked == database;
  const bool log = (flags & SQLITE_OPEN_WAL) && asked == database + "-wal";
  const bool journal = (flags & SQLITE_OPEN_MAIN_JOURNAL) && asked == database + "-journal";
  if (!main && !log && !journal)
    return SQLITE_CANTOPEN;
  bool absent = false;
  std::unique_ptr<FileToRead> opened = owner.folder().OpenToRead(asked, &absent);
  // SQLite opens a log even for a database that has none; an empty one stands in, made nowhere.
  if (!opened && !(log && absent))
    return SQLITE_CANTOPEN;
  if (opened) {
    const std::optional<std::uint64_t> size = opened->Size();
    owner.CountOpened(size ? *size : 0);
  }
  open->file = opened.release();
  open->base.pMethods = &kMethods;
  if (out_flags != nullptr)
    *out_flags = SQLITE_OPEN_READONLY |
                 (flags & (SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_WAL | SQLITE_OPEN_MAIN_JOURNAL));
  return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char*, int) {
  return SQLITE_IOERR_DELETE;
}

int Access(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
  *result = 0;
  FolderVfs& owner = Owner(vfs);
  const std::string asked = name;
  if (flags != SQLITE_ACCESS_EXISTS ||
      (asked != owner.database() + "-wal" && asked != owner.database() + "-journal"))
    return SQLITE_OK;
  // Whatever stands at the name exists; one that cannot be read then fails the open.
  bool absent = false;
  const std::unique_ptr<FileToRead> opened = owner.folder().OpenToRead(asked, &absent);
  *result = absent ? 0 : 1;
  return SQLITE_OK;
}

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  const std::size_t length = std::strlen(name);
  if (size < 0 || length + 1 > static_cast<std::size_t>(size))
    return SQLITE_CANTOPEN;
  std::memcpy(out, name, length + 1);
  return SQLITE_OK;
}

void* DlOpen(sqlite3_vfs*, const char*) {
  return nullptr;
}
void DlError(sqlite3_vfs*, int size, char* message) {
  if (size > 0)
    message[0] = '\0';
}
void (*DlSym(sqlite3_vfs*, void*, const char*))(void) {
  return nullptr;
}
void DlClose(sqlite3_vfs*, void*) {}

int Randomness(sqlite3_vfs* vfs, int size, char* out) {
  sqlite3_vfs* system = Owner(vfs).system();
  return system->xRandomness(system, size, out);
}
int Sleep(sqlite3_vfs* vfs, int microseconds) {
  sqlite3_vfs* system = Owner(vfs).system();
  return system->xSleep(system, microseconds);
}
int CurrentTime(sqlite3_vfs* vfs, double* now) {
  sqlite3_vfs* system = Owner(vfs).system();
  return system->xCurrentTime(system, now);
}
int GetLastError(sqlite3_vfs*, int, char*) {
  return 0;
}

}  // namespace

FolderVfs::FolderVfs(ProfileFolder& folder, std::string database)
    : folder_(folder),
      database_(std::move(database)),
      name_("larkspur-folder-" + std::to_string(reinterpret_cast<std::uintptr_t>(this))),
      system_(sqlite3_vfs_find(nullptr)) {
  if (system_ == nullptr)
    return;
  vfs_.iVersion = 1;
  vfs_.szOsFile = sizeof(OpenFile);
  vfs_.mxPathname = 1024;
  vfs_.zName = name_.c_str();
  vfs_.pAppData = this;
  vfs_.xOpen = Open;
  vfs_.xDelete = Delete;
  vfs_.xAccess = Access;
  vfs_.xFullPathname = FullPathname;
  vfs_.xDlOpen = DlOpen;
  vfs_.xDlError = DlError;
  vfs_.xDlSym = DlSym;
  vfs_.xDlClose = DlClose;
  vfs_.xRandomness = Randomness;
  vfs_.xSleep = Sleep;
  vfs_.xCurrentTime = CurrentTime;
  vfs_.xGetLastError = GetLastError;
  registered_ = sqlite3_vfs_register(&vfs_, 0) == SQLITE_OK;
}

FolderVfs::~FolderVfs() {
  if (registered_)
    sqlite3_vfs_unregister(&vfs_);
}

}  // namespace larkspur
