#pragma once
#include "platform/bookmark_store.h"

namespace larkspur {

// Reads moz_bookmarks, moz_places, moz_keywords and the tag folders through SQLite, opened
// read-only: the write-ahead log is read, nothing is checkpointed or written back.
class SqliteBookmarkStore final : public BookmarkStore {
 public:
  // SQLite makes the log's index ("-shm") beside the database it reads; a run removes the one
  // it made, and with `preview` a copy of the database and its log is read instead, so that
  // the profile stays as it was.
  explicit SqliteBookmarkStore(bool preview = false) : preview_(preview) {}

  bool Read(const std::string& path, std::vector<BookmarkRow>* rows, std::string* error) override;

 private:
  bool ReadCopy(const std::string& path, std::vector<BookmarkRow>* rows, std::string* error);
  static bool ReadInPlace(const std::string& path, std::vector<BookmarkRow>* rows,
                          std::string* error);

  bool preview_;
};

}  // namespace larkspur
