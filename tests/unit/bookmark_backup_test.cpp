#include "firefox/bookmark_backup.h"

#include <gtest/gtest.h>

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

std::vector<BookmarkRow> Roots() {
  return {Folder(1, 0, 0, "root________"), Folder(2, 1, 0, "menu________", "menu"),
          Folder(4, 1, 2, "tags________", "tags"), Folder(3, 1, 1, "toolbar_____", "toolbar")};
}

TEST(BookmarkBackupJson, AnEmptyTreeKeepsItsRootsAndLeavesTheTagsFolderOut) {
  EXPECT_EQ(BookmarkBackupJson(Roots()),
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
  const std::string json = BookmarkBackupJson(rows).value();
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
  const std::string json = BookmarkBackupJson(rows).value();
  EXPECT_NE(json.find(R"("title":"Say \"hi\"\\\nnext\ttab\u0001 )"
                      "\xc3\xbc\xe2\x80\x93\xf0\x9f\x98\x80\""),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("uri":"https://x.example/?a=\"b\"")"), std::string::npos);
  // A title that is not UTF-8 does not cost the backup: the broken byte is replaced.
  EXPECT_NE(json.find("\"title\":\"cut \xef\xbf\xbd off\""), std::string::npos) << json;
}

TEST(BookmarkBackupJson, NoRootOrAnEndlessTreeGivesNoBackup) {
  EXPECT_FALSE(BookmarkBackupJson({}).has_value());
  EXPECT_FALSE(BookmarkBackupJson({Folder(2, 1, 0, "menu________")}).has_value());

  // A damaged database whose root is its own child.
  std::vector<BookmarkRow> loop = Roots();
  loop.push_back(Folder(1, 1, 5, "root________"));
  EXPECT_FALSE(BookmarkBackupJson(loop).has_value());
}

}  // namespace
}  // namespace larkspur
