#pragma once
#include "platform/bookmark_store.h"

namespace larkspur {

// Reads moz_bookmarks, moz_places, moz_keywords and the tag folders through SQLite, opened
// read-only: the write-ahead log is read, nothing is checkpointed or written back.
class SqliteBookmarkStore final : public BookmarkStore {
 public:
  bool Read(const std::string& path, std::vector<BookmarkRow>* rows, std::string* error) override;
};

}  // namespace larkspur
