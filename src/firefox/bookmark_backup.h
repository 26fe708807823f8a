#pragma once
// Firefox's own bookmark-backup format (what it restores from bookmarkbackups/ when it finds no
// places.sqlite), written from the rows of the places database.
#include <optional>
#include <string>
#include <vector>

#include "platform/bookmark_store.h"

namespace larkspur {

// The backup of the tree below the places root (guid "root________"); the tags folder is left
// out, since tags and keywords ride on the bookmarks. Nullopt when the rows hold no root or the
// tree is deeper than any real one.
std::optional<std::string> BookmarkBackupJson(const std::vector<BookmarkRow>& rows);

}  // namespace larkspur
