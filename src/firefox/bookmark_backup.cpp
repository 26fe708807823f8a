#include "firefox/bookmark_backup.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace larkspur {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kPlacesRootGuid = "root________";
constexpr std::string_view kTagsRootGuid = "tags________";
constexpr std::string_view kUnfiledGuid = "unfiled_____";
constexpr std::size_t kDeepestFolder = 1000;
constexpr int kBookmark = 1;
constexpr int kFolder = 2;
constexpr int kSeparator = 3;

// The name Firefox gives each root folder in a backup; the roots it restores.
const char* RootName(std::string_view guid) {
  if (guid == kPlacesRootGuid)
    return "placesRoot";
  if (guid == "menu________")
    return "bookmarksMenuFolder";
  if (guid == "toolbar_____")
    return "toolbarFolder";
  if (guid == kUnfiledGuid)
    return "unfiledBookmarksFolder";
  if (guid == "mobile______")
    return "mobileFolder";
  return nullptr;
}

bool IsTopFolder(const BookmarkRow& row) {
  return row.type == kFolder && (RootName(row.guid) != nullptr || row.guid == kTagsRootGuid) &&
         row.guid != kPlacesRootGuid;
}

// Each row placed below the folder it belongs in, as Firefox's maintenance would place it.
class Tree {
 public:
  explicit Tree(const std::vector<BookmarkRow>& rows) : rows_(rows) {}

  bool Build(std::string* error) {
    for (std::size_t index = 0; index < rows_.size(); ++index) {
      const BookmarkRow& row = rows_[index];
      if (!by_id_.emplace(row.id, index).second || !guids_.insert(row.guid).second) {
        *error = "bookmark " + std::to_string(row.id) + " is listed twice";
        return false;
      }
      if (row.type == kFolder && row.guid == kPlacesRootGuid)
        root_ = index;
      if (row.type == kFolder && row.guid == kUnfiledGuid)
        unfiled_ = index;
    }
    if (root_ == kNone) {
      *error = "the database holds no bookmark tree";
      return false;
    }
    parents_.assign(rows_.size(), kNone);
    for (std::size_t index = 0; index < rows_.size(); ++index) {
      if (index == root_)
        continue;
      const std::size_t parent = ParentOf(index);
      if (parent == kNone) {
        *error = "bookmarks without a folder and no \"Other Bookmarks\" folder to put them in";
        return false;
      }
      parents_[index] = parent;
      children_[parent].push_back(index);
    }
    // A folder's own rows first, as Firefox orders them; the rows moved in after them.
    for (auto& [parent, children] : children_)
      std::stable_sort(children.begin(), children.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(Moved(a), rows_[a].position) < std::pair(Moved(b), rows_[b].position);
      });
    return true;
  }

  // The backup below the root; every row is in it or rides on it as a tag.
  bool Write(Json& tree, std::string* error) {
    std::size_t placed = 0;
    if (!Node(root_, 0, 0, tree, &placed)) {
      *error = "bookmark folders nested deeper than " + std::to_string(kDeepestFolder);
      return false;
    }
    if (placed != rows_.size()) {
      *error = "bookmark folders that contain each other";
      return false;
    }
    return true;
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  const BookmarkRow* Row(std::int64_t id) const {
    const auto found = by_id_.find(id);
    return found == by_id_.end() ? nullptr : &rows_[found->second];
  }

  // Whether the row was put into another folder than its own.
  bool Moved(std::size_t index) const {
    const auto parent = by_id_.find(rows_[index].parent);
    return parent == by_id_.end() || parent->second != parents_[index];
  }

  bool IsTagFolder(const BookmarkRow& row) const {
    const BookmarkRow* parent = Row(row.parent);
    return row.type == kFolder && !IsTopFolder(row) && parent != nullptr &&
           parent->type == kFolder && parent->guid == kTagsRootGuid;
  }

  std::size_t ParentOf(std::size_t index) const {
    const BookmarkRow& row = rows_[index];
    if (IsTopFolder(row))
      return root_;
    const BookmarkRow* parent = Row(row.parent);
    const bool fits = parent != nullptr && parent->type == kFolder &&
                      // Firefox restores only the top folders below the root, and only tag folders
                      // below the tags folder, and only bookmarks below a tag.
                      (parent->guid == kPlacesRootGuid ? false
                       : parent->guid == kTagsRootGuid ? row.type == kFolder
                       : IsTagFolder(*parent)          ? row.type == kBookmark
                                                       : true);
    return fits ? by_id_.at(row.parent) : unfiled_;
  }

  bool Node(std::size_t index, std::int64_t position, std::size_t depth, Json& node,
            std::size_t* placed) const {
    if (depth > kDeepestFolder)
      return false;
    ++*placed;
    const BookmarkRow& row = rows_[index];
    node["guid"] = row.guid;
    node["title"] = row.title;
    node["index"] = position;
    node["dateAdded"] = row.date_added;
    node["lastModified"] = row.last_modified;
    node["id"] = row.id;
    node["typeCode"] = row.type;
    if (row.type == kBookmark) {
      if (!row.tags.empty()) {
        std::string tags;
        for (const std::string& tag : row.tags)
          tags += (tags.empty() ? "" : ",") + tag;
        node["tags"] = tags;
      }
      node["type"] = "text/x-moz-place";
      node["uri"] = row.url;
      if (!row.keyword.empty()) {
        node["keyword"] = row.keyword;
        if (!row.post_data.empty())
          node["postData"] = row.post_data;
      }
      return true;
    }
    if (row.type == kSeparator) {
      node["type"] = "text/x-moz-place-separator";
      return true;
    }
    node["type"] = "text/x-moz-place-container";
    if (const char* root = RootName(row.guid))
      node["root"] = root;
    Json children = Json::array();
    const auto found = children_.find(index);
    if (found != children_.end()) {
      // Firefox writes its positions; the rows moved in follow them.
      std::int64_t last = -1;
      for (const std::size_t child : found->second) {
        if (rows_[child].guid == kTagsRootGuid && IsTopFolder(rows_[child])) {
          CountTags(child, placed);
          continue;
        }
        const std::int64_t at = Moved(child) ? last + 1 : rows_[child].position;
        last = std::max(last, at);
        Json child_node;
        if (!Node(child, at, depth + 1, child_node, placed))
          return false;
        children.push_back(std::move(child_node));
      }
    }
    node["children"] = std::move(children);
    return true;
  }

  // The tags folder, its tags and their bookmarks: they ride on the bookmarks as "tags".
  void CountTags(std::size_t tags_root, std::size_t* placed) const {
    ++*placed;
    const auto tags = children_.find(tags_root);
    if (tags == children_.end())
      return;
    for (const std::size_t tag : tags->second) {
      ++*placed;
      if (const auto tagged = children_.find(tag); tagged != children_.end())
        *placed += tagged->second.size();
    }
  }

  const std::vector<BookmarkRow>& rows_;
  std::unordered_map<std::int64_t, std::size_t> by_id_;
  std::unordered_set<std::string> guids_;
  std::vector<std::size_t> parents_;
  std::unordered_map<std::size_t, std::vector<std::size_t>> children_;
  std::size_t root_ = kNone;
  std::size_t unfiled_ = kNone;
};

}  // namespace

std::optional<std::string> BookmarkBackupJson(const std::vector<BookmarkRow>& rows,
                                              std::string* error) {
  Tree tree(rows);
  Json json;
  if (!tree.Build(error) || !tree.Write(json, error))
    return std::nullopt;
  // Text that is not UTF-8 is kept readable rather than failing the whole backup.
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace larkspur
