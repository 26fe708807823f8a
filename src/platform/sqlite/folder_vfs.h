#pragma once
// A SQLite file system of one database in one profile folder: the database, its write-ahead log
// and its journal are read through ProfileFolder::OpenToRead, so SQLite reads exactly the files
// that were checked there, and never creates, writes or deletes a file. Without shared memory
// (SQLite keeps the log's index in the heap when the connection locks exclusively) no "-shm"
// is made either.
#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "platform/profile_folder.h"

namespace larkspur {

class FolderVfs {
 public:
  // `database` is the database's name in `folder`; open it by that name with Name() as the vfs.
  FolderVfs(ProfileFolder& folder, std::string database);
  ~FolderVfs();
  FolderVfs(const FolderVfs&) = delete;
  FolderVfs& operator=(const FolderVfs&) = delete;

  // Empty when SQLite did not take it.
  const char* Name() const { return registered_ ? name_.c_str() : nullptr; }
  // The bytes of the files SQLite opened, sized when opened.
  std::uint64_t BytesOpened() const { return bytes_opened_; }

  // For the callbacks.
  ProfileFolder& folder() { return folder_; }
  const std::string& database() const { return database_; }
  sqlite3_vfs* system() const { return system_; }
  void CountOpened(std::uint64_t bytes) { bytes_opened_ += bytes; }

 private:
  ProfileFolder& folder_;
  std::string database_;
  std::string name_;
  sqlite3_vfs* system_ = nullptr;  // the platform's own, for time and randomness
  sqlite3_vfs vfs_{};
  bool registered_ = false;
  std::uint64_t bytes_opened_ = 0;
};

}  // namespace larkspur
