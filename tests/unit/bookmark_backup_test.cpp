#include "firefox/bookmark_backup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace larkspur {
namespace {

BookmarkRow Folder(std::int64_t id, std::int64_t parent, std::int64_t position, std::string guid,
                   std::string title = "") {
  BookmarkRow row;
  row.id = id;
  row.parent = parent;
  row.position = position;
  row.type = 2;
  row.guid = std::move(guid);
  row.title = std::move(title);
  row.date_added = 100 * id;
  row.last_modified = 100 * id + 1;
  return row;
}

BookmarkRow Bookmark(std::int64_t id, std::int64_t parent, std::int64_t position, std::string title,
                     std::string url) {
  BookmarkRow row = Folder(id, parent, position, "bookmark" + std::to_string(id), title);
  row.type = 1;
  row.url = std::move(url);
  return row;
}

std::optional<std::string> Backup(const std::vector<BookmarkRow>& rows, std::string* error) {
  return BookmarkBackupJson(rows, error);
}
std::optional<std::string> Backup(const std::vector<BookmarkRow>& rows) {
  std::string error;
  std::optional<std::string> json = BookmarkBackupJson(rows, &error);
  EXPECT_EQ(error.empty(), json.has_value()) << error;
  return json;
}

std::vector<BookmarkRow> Roots() {
  return {Folder(1, 0, 0, "root________"), Folder(2, 1, 0, "menu________", "menu"),
          Folder(4, 1, 2, "tags________", "tags"), Folder(3, 1, 1, "toolbar_____", "toolbar")};
}

TEST(BookmarkBackupJson, AnEmptyTreeKeepsItsRootsAndLeavesTheTagsFolderOut) {
  EXPECT_EQ(Backup(Roots()),
            R"({"guid":"root________","title":"","index":0,"dateAdded":100,"lastModified":101,)"
            R"("id":1,"typeCode":2,"type":"text/x-moz-place-container","root":"placesRoot",)"
            R"("children":[{"guid":"menu________","title":"menu","index":0,"dateAdded":200,)"
            R"("lastModified":201,"id":2,"typeCode":2,"type":"text/x-moz-place-container",)"
            R"("root":"bookmarksMenuFolder","children":[]},{"guid":"toolbar_____",)"
            R"("title":"toolbar","index":1,"dateAdded":300,"lastModified":301,"id":3,)"
            R"("typeCode":2,"type":"text/x-moz-place-container","root":"toolbarFolder",)"
            R"("children":[]}]})");
}

TEST(BookmarkBackupJson, BookmarksSeparatorsTagsAndKeywordsInTheirOrder) {
  std::vector<BookmarkRow> rows = Roots();
  BookmarkRow tagged = Bookmark(11, 2, 1, "Second", "https://b.example/");
  tagged.tags = {"one", "two"};
  tagged.keyword = "kw";
  tagged.post_data = "q=%s";
  rows.push_back(tagged);
  rows.push_back(Folder(10, 2, 0, "separator010"));
  rows.back().type = 3;
  rows.push_back(Folder(12, 4, 0, "tagfolder012", "one"));  // below tags: never written itself
  const std::string json = Backup(rows).value();
  EXPECT_NE(json.find(R"("children":[{"guid":"separator010","title":"","index":0,"dateAdded":1000,)"
                      R"("lastModified":1001,"id":10,"typeCode":3,)"
                      R"("type":"text/x-moz-place-separator"},{"guid":"bookmark11",)"
                      R"("title":"Second","index":1,"dateAdded":1100,"lastModified":1101,)"
                      R"("id":11,"typeCode":1,"tags":"one,two","type":"text/x-moz-place",)"
                      R"("uri":"https://b.example/","keyword":"kw","postData":"q=%s"}])"),
            std::string::npos)
      << json;
  EXPECT_EQ(json.find("tagfolder012"), std::string::npos);
}

TEST(BookmarkBackupJson, TextIsEscapedAsJson) {
  std::vector<BookmarkRow> rows = Roots();
  rows.push_back(Bookmark(20, 3, 0,
                          "Say \"hi\"\\\nnext\ttab\x01 \xc3\xbc\xe2\x80\x93\xf0\x9f\x98\x80",
                          "https://x.example/?a=\"b\""));
  rows.push_back(Bookmark(21, 3, 1, "cut \xc3 off", "https://y.example/"));
  const std::string json = Backup(rows).value();
  EXPECT_NE(json.find(R"("title":"Say \"hi\"\\\nnext\ttab\u0001 )"
                      "\xc3\xbc\xe2\x80\x93\xf0\x9f\x98\x80\""),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("uri":"https://x.example/?a=\"b\"")"), std::string::npos);
  // A title that is not UTF-8 does not cost the backup: the broken byte is replaced.
  EXPECT_NE(json.find("\"title\":\"cut \xef\xbf\xbd off\""), std::string::npos) << json;
}

TEST(BookmarkBackupJson, RowsWithoutAFitParentGoToOtherBookmarksAsFirefoxMovesThem) {
  std::vector<BookmarkRow> rows = Roots();
  rows.push_back(Folder(5, 1, 3, "unfiled_____", "unfiled"));
  rows.push_back(Bookmark(30, 5, 0, "Filed", "https://filed.example/"));
  rows.push_back(Bookmark(31, 999, 0, "Lost parent", "https://lost.example/"));
  rows.push_back(Bookmark(32, 30, 0, "Below a bookmark", "https://below.example/"));
  rows.push_back(Folder(33, 1, 7, "folder033", "On the root"));
  rows.push_back(Bookmark(34, 33, 0, "Comes along", "https://along.example/"));
  rows.push_back(Folder(35, 12, 0, "folder035", "Inside a tag"));
  rows.push_back(Folder(12, 4, 0, "tagfolder012", "tag"));
  rows.push_back(Bookmark(36, 12, 0, "", "https://filed.example/"));  // the tag's own entry
  const std::string json = Backup(rows).value();
  // Ordered by position, ties as read; numbered afresh, as Firefox numbers them.
  const auto at = [&](const char* text) { return json.find(text); };
  const std::string unfiled = json.substr(at(R"("guid":"unfiled_____")"));
  EXPECT_NE(unfiled.find(R"("guid":"bookmark30","title":"Filed","index":0,)"), std::string::npos);
  EXPECT_NE(unfiled.find(R"("guid":"bookmark31","title":"Lost parent","index":1,)"),
            std::string::npos);
  EXPECT_NE(unfiled.find(R"("guid":"bookmark32","title":"Below a bookmark","index":2,)"),
            std::string::npos);
  EXPECT_NE(unfiled.find(R"("guid":"folder035","title":"Inside a tag","index":3,)"),
            std::string::npos);
  EXPECT_NE(
      unfiled.find(R"("guid":"folder033","title":"On the root","index":4,)"
                   R"("dateAdded":3300,"lastModified":3301,"id":33,"typeCode":2,)"
                   R"("type":"text/x-moz-place-container","children":[{"guid":"bookmark34",)"),
      std::string::npos)
      << json;
  EXPECT_EQ(at("bookmark36"), std::string::npos);

  // Without an "Other Bookmarks" folder there is nowhere to put them.
  std::string error;
  EXPECT_FALSE(Backup({Roots()[0], Bookmark(31, 999, 0, "Lost", "https://lost.example/")}, &error));
  EXPECT_NE(error.find("Other Bookmarks"), std::string::npos);
}

TEST(BookmarkBackupJson, WhatCannotBeOneTreeGivesNoBackup) {
  std::string error;
  EXPECT_FALSE(Backup({}, &error));
  EXPECT_FALSE(Backup({Folder(2, 1, 0, "menu________")}, &error));

  std::vector<BookmarkRow> twice = Roots();
  twice.push_back(Folder(1, 1, 5, "folder001"));
  EXPECT_FALSE(Backup(twice, &error));
  EXPECT_EQ(error, "bookmark 1 is listed twice");
  twice.back().id = 7;
  twice.back().guid = "menu________";
  EXPECT_FALSE(Backup(twice, &error));

  // Folders that hold each other hang from nothing and would be lost.
  std::vector<BookmarkRow> loop = Roots();
  loop.push_back(Folder(40, 41, 0, "folder040"));
  loop.push_back(Folder(41, 40, 0, "folder041"));
  loop.push_back(Bookmark(42, 41, 0, "In the loop", "https://loop.example/"));
  EXPECT_FALSE(Backup(loop, &error));
  EXPECT_EQ(error, "bookmark folders that contain each other");

  std::vector<BookmarkRow> deep = Roots();
  for (int level = 0; level < 1000; ++level)
    deep.push_back(
        Folder(100 + level, level == 0 ? 2 : 99 + level, 0, "deep" + std::to_string(level)));
  EXPECT_FALSE(Backup(deep, &error));
  deep.pop_back();
  EXPECT_TRUE(Backup(deep, &error));
}

}  // namespace
}  // namespace larkspur
