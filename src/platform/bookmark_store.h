#pragma once
// The bookmarks of a Firefox places database, read without ever writing to it.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile_folder.h"

namespace larkspur {

// One row of moz_bookmarks, with what Firefox keeps elsewhere about it.
struct BookmarkRow {
  std::int64_t id = 0;
  std::int64_t parent = 0;
  std::int64_t position = 0;
  int type = 0;  // 1 bookmark, 2 folder, 3 separator
  std::string guid;
  std::string title;
  std::int64_t date_added = 0;     // microseconds since 1970
  std::int64_t last_modified = 0;  // microseconds since 1970
  std::string url;                 // bookmarks only
  std::string keyword;             // empty: none
  std::string post_data;           // with a keyword only
  std::vector<std::string> tags;
};

class BookmarkStore {
 public:
  virtual ~BookmarkStore() = default;
  // Every row of the database `name` in `folder`, its write-ahead log included, read through
  // ProfileFolder::OpenToRead only; false with a reason in `error` when the database cannot be
  // read whole, or within bounds (a database made to make its reader spin or grow).
  virtual bool Read(ProfileFolder& folder, const std::string& name, std::vector<BookmarkRow>* rows,
                    std::string* error) = 0;
};

}  // namespace larkspur
