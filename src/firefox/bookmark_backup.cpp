#include "firefox/bookmark_backup.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>
#include <unordered_map>

namespace larkspur {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kTagsRootGuid = "tags________";
constexpr std::size_t kDeepestFolder = 1000;

// The name Firefox gives each root folder in a backup.
const char* RootName(std::string_view guid) {
  if (guid == "root________")
    return "placesRoot";
  if (guid == "menu________")
    return "bookmarksMenuFolder";
  if (guid == "toolbar_____")
    return "toolbarFolder";
  if (guid == "unfiled_____")
    return "unfiledBookmarksFolder";
  if (guid == "mobile______")
    return "mobileFolder";
  return nullptr;
}

class TreeWriter {
 public:
  explicit TreeWriter(const std::vector<BookmarkRow>& rows) : rows_(rows) {
    for (std::size_t index = 0; index < rows.size(); ++index)
      children_[rows[index].parent].push_back(index);
    for (auto& [parent, children] : children_)
      std::stable_sort(children.begin(), children.end(), [&](std::size_t a, std::size_t b) {
        return rows_[a].position < rows_[b].position;
      });
  }

  // False when the tree is too deep to be real.
  bool Node(const BookmarkRow& row, std::size_t depth, Json& node) const {
    if (depth > kDeepestFolder)
      return false;
    node["guid"] = row.guid;
    node["title"] = row.title;
    node["index"] = row.parent == 0 ? 0 : row.position;
    node["dateAdded"] = row.date_added;
    node["lastModified"] = row.last_modified;
    node["id"] = row.id;
    node["typeCode"] = row.type;
    if (row.type == 1) {
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
    if (row.type == 3) {
      node["type"] = "text/x-moz-place-separator";
      return true;
    }
    node["type"] = "text/x-moz-place-container";
    if (const char* root = RootName(row.guid))
      node["root"] = root;
    Json children = Json::array();
    const auto found = children_.find(row.id);
    if (found != children_.end()) {
      for (const std::size_t child : found->second) {
        if (rows_[child].guid == kTagsRootGuid)
          continue;
        Json child_node;
        if (!Node(rows_[child], depth + 1, child_node))
          return false;
        children.push_back(std::move(child_node));
      }
    }
    node["children"] = std::move(children);
    return true;
  }

 private:
  const std::vector<BookmarkRow>& rows_;
  std::unordered_map<std::int64_t, std::vector<std::size_t>> children_;
};

}  // namespace

std::optional<std::string> BookmarkBackupJson(const std::vector<BookmarkRow>& rows) {
  const auto root = std::find_if(rows.begin(), rows.end(), [](const BookmarkRow& row) {
    return row.guid == "root________" && row.type == 2;
  });
  if (root == rows.end())
    return std::nullopt;
  Json tree;
  if (!TreeWriter(rows).Node(*root, 0, tree))
    return std::nullopt;
  // Text that is not UTF-8 is kept readable rather than failing the whole backup.
  return tree.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace larkspur
