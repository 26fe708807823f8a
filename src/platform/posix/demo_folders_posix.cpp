#include "platform/demo_folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/path_text.h"
#include "platform/sample_places.h"

namespace larkspur {

namespace fs = std::filesystem;

namespace {

constexpr char kProfileName[] = "k7x2m9qa.default-esr";
constexpr char kSqliteHeader[] = "SQLite format 3";

void Write(const fs::path& path, const std::string& contents) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
  if (!out)
    throw fs::filesystem_error("cannot write", path, std::make_error_code(std::errc::io_error));
}

std::string RegistryString(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '"')
      escaped += '\\';
    escaped += c;
  }
  return '"' + escaped + '"';
}

void WriteFirefox(const fs::path& config) {
  const fs::path firefox = config / "mozilla" / "firefox";
  Write(firefox / "installs.ini", "[46F0A8B2C1D3E5F7]\nDefault=k7x2m9qa.default-esr\nLocked=1\n");
  Write(firefox / "profiles.ini",
        "[Install46F0A8B2C1D3E5F7]\nDefault=k7x2m9qa.default-esr\nLocked=1\n\n"
        "[Profile1]\nName=default\nIsRelative=1\nPath=p3n8c1vd.default\nDefault=1\n\n"
        "[Profile0]\nName=default-esr\nIsRelative=1\nPath=k7x2m9qa.default-esr\n\n"
        "[General]\nStartWithLastProfile=1\nVersion=2\n");
  Write(firefox / "p3n8c1vd.default" / "times.json", "{\"created\":1765000000000}\n");

  const fs::path profile = firefox / kProfileName;
  fs::create_directories(profile);
  if (!WriteSamplePlaces(Utf8FromPath(profile / "places.sqlite")))
    throw fs::filesystem_error("cannot write", profile / "places.sqlite",
                               std::make_error_code(std::errc::io_error));
  for (const char* database :
       {"formhistory.sqlite", "cookies.sqlite", "downloads.sqlite", "favicons.sqlite"}) {
    Write(profile / database, std::string(kSqliteHeader) + '\0' + database);
  }
  for (const char* journal :
       {"cookies.sqlite-wal", "formhistory.sqlite-wal", "favicons.sqlite-wal"}) {
    Write(profile / journal, std::string("write-ahead log of ") + journal);
  }
  Write(profile / "history.dat", "// old-style history\n");
  Write(profile / "cookies.txt",
        "# Netscape HTTP Cookie File\n.example.com\tTRUE\t/\tFALSE\t0\tid\t42\n");
  Write(profile / "bookmarks.html",
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n");
  Write(profile / "bookmarks.bak", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n");
  Write(profile / "prefs.js", "user_pref(\"browser.startup.page\", 3);\n");
  Write(profile / "XPC.cache", "component cache\n");
  Write(profile / "startup.cache", "startup cache\n");
  Write(profile / "cache" / "_CACHE_MAP_", "cache map\n");
  Write(profile / "cache" / "_CACHE_001_", "cache block\n");
  Write(profile / "cache" / "3F2A1B00d01", "cached page\n");
  Write(profile / "cache" / "entries" / "kept-in-subfolder", "subfolders of the cache stay\n");
}

// A Chromium profile as the browser leaves it, its disk cache in the cache folder.
void WriteChromium(const fs::path& config, const fs::path& cache) {
  const fs::path user_data = config / "chromium";
  Write(user_data / "Local State", R"({"profile":{"info_cache":{"Default":{"name":"Person 1"}}}})");
  const fs::path profile = user_data / "Default";
  for (const char* database : {"History", "Top Sites", "Shortcuts", "Cookies", "Login Data"}) {
    Write(profile / database, std::string(kSqliteHeader) + '\0' + database);
    Write(profile / (std::string(database) + "-journal"), "");
  }
  Write(profile / "Visited Links", "visited-link hashes\n");
  Write(profile / "Preferences", "{\"browser\":{}}\n");
  Write(profile / "Bookmarks", "{\"roots\":{},\"version\":1}\n");
  Write(profile / "Sessions" / "Session_13400000000000000", "open tabs\n");
  Write(profile / "Sessions" / "Tabs_13400000000000000", "recently closed tabs\n");
  Write(profile / "GPUCache" / "data_0", "shader cache\n");
  Write(cache / "chromium" / "Default" / "Cache" / "Cache_Data" / "1a2b3c4d5e6f7a8b_0", "page\n");
  Write(cache / "chromium" / "Default" / "Code Cache" / "js" / "index", "code cache index\n");
}

struct CacheEntry {
  std::string url;
  std::string local_file;  // relative to the IE folders, or empty
};

void WriteInternetExplorer(const fs::path& root, const fs::path& data) {
  const fs::path ie = root / "ie";
  const fs::path history = ie / "History";
  const fs::path cache = ie / "INetCache";
  const fs::path cookies = ie / "INetCookies";

  Write(history / "History.IE5" / "index.dat", "history index\n");
  Write(history / "History.IE5" / "MSHist012026120120261208" / "index.dat", "week of history\n");
  Write(cache / "Content.IE5" / "index.dat", "cache index\n");
  Write(cache / "Content.IE5" / "Q8RT2XKC" / "style[1].css", "body { color: black }\n");
  Write(cache / "Content.IE5" / "Q8RT2XKC" / "deep" / "deeper" / "tracker[2].js", "track();\n");
  Write(cookies / "demo@example[1].txt", "id\n42\nexample.com/\n");
  Write(cookies / "demo@news.example[2].txt", "session\nabc\nnews.example/\n");

  const std::vector<CacheEntry> entries = {
      {"http://www.example.com/index.html", "INetCache/Content.IE5/Q8RT2XKC/index[1].htm"},
      {"http://www.example.com/logo.png", "INetCache/Content.IE5/Q8RT2XKC/logo[1].png"},
      {"Cookie:demo@example.com/", "INetCookies/demo@example[1].txt"},
      {"Cookie:demo@news.example/", "INetCookies/demo@news.example[2].txt"},
      {"Visited: demo@http://www.example.com/index.html", ""},
      {"Visited: demo@http://news.example/today", ""},
  };
  std::string tsv;
  for (const CacheEntry& entry : entries) {
    tsv += entry.url;
    if (!entry.local_file.empty()) {
      const fs::path local = ie / entry.local_file;
      if (!fs::exists(local))
        Write(local, "content of " + entry.url + "\n");
      tsv += '\t' + Utf8FromPath(local);
    }
    tsv += '\n';
  }
  Write(data / "larkspur" / "urlcache.tsv", tsv);
  Write(data / "larkspur" / "urlhistory.txt",
        "http://www.example.com/index.html\nhttp://news.example/today\n");

  std::string reg =
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\n";
  const char* typed[] = {"http://www.example.com/",           "http://news.example/",
                         "http://mail.example.net/inbox",     "http://shop.example.org/cart",
                         "http://search.example/?q=larkspur", "http://weather.example/",
                         "http://maps.example/route"};
  for (int number = 1; number <= 7; ++number)
    reg += "\"url" + std::to_string(number) + "\"=" + RegistryString(typed[number - 1]) + "\n";
  reg += "\"url101\"=" + RegistryString("http://kept.example/never-deleted") + "\n\n";
  reg +=
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
      "Folders]\n";
  reg += "\"History\"=" + RegistryString(Utf8FromPath(history)) + "\n";
  reg += "\"Cache\"=" + RegistryString(Utf8FromPath(cache)) + "\n";
  reg += "\"Cookies\"=" + RegistryString(Utf8FromPath(cookies)) + "\n";
  Write(data / "larkspur" / "registry.reg", reg);
}

}  // namespace

std::optional<DemoFolders> MakeDemoFolders(std::string* error) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp == '/' ? tmp : "/tmp") + "/larkspur-demo-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) {
    *error = "cannot build the demo folder: cannot make a temporary folder in " + pattern;
    return std::nullopt;
  }
  const fs::path root = name.data();
  DemoFolders demo{root.string(),
                   {(root / "home").string(), (root / "config").string(), (root / "data").string(),
                    (root / "cache").string(), (root / "state").string()}};
  try {
    for (const std::string& folder :
         {demo.folders.home, demo.folders.config, demo.folders.data, demo.folders.cache})
      fs::create_directories(folder);
    WriteFirefox(demo.folders.config);
    WriteChromium(demo.folders.config, demo.folders.cache);
    WriteInternetExplorer(root, demo.folders.data);
  } catch (const std::exception& failure) {
    *error = std::string("cannot build the demo folder: ") + failure.what();
    return std::nullopt;
  }
  return demo;
}

}  // namespace larkspur
