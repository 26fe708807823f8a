#pragma once
// Firefox's own bookmark-backup format (what it restores from bookmarkbackups/ when it finds no
// places.sqlite), written from the rows of the places database.
#include <optional>
#include <string>
#include <vector>

#include "platform/bookmark_store.h"

namespace larkspur {

// The backup of the tree below the places root (guid "root________"), holding every row: the
// tags folder is left out as Firefox leaves it out, since tags ride on the bookmarks, and a row
// whose parent is missing or no folder goes into "Other Bookmarks" ("unfiled_____"), as Firefox's
// own maintenance moves it. Nullopt, with the reason in `error`, when some row cannot be placed:
// no root, an id or guid twice, folders that contain each other, a tree deeper than any real one.
std::optional<std::string> BookmarkBackupJson(const std::vector<BookmarkRow>& rows,
                                              std::string* error);

}  // namespace larkspur
