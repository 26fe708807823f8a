#pragma once
#include "platform/bookmark_store.h"

namespace larkspur {

// Reads moz_bookmarks, moz_places, moz_keywords and the tag folders through SQLite, read-only,
// from the files the profile folder opened (see FolderVfs): the write-ahead log is read, and
// no file is created, written or deleted, in a preview as in a run.
class SqliteBookmarkStore final : public BookmarkStore {
 public:
  bool Read(ProfileFolder& folder, const std::string& name, std::vector<BookmarkRow>* rows,
            std::string* error) override;
};

}  // namespace larkspur
