// Fills and reads the URL cache of a Wine prefix for the end-to-end test, as a browser would:
//   url_cache_tool add URL [CONTENT]   an entry (content entries get a local file with CONTENT)
//   url_cache_tool list                every entry's URL, one a line, and its local file
//   url_cache_tool hold PATH           keeps PATH open without delete sharing, as a program
//                                      working on it does, until its input ends; says "held"
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

DWORD EntryType(const std::string& url) {
  if (url.rfind("Cookie:", 0) == 0)
    return COOKIE_CACHE_ENTRY;
  if (url.rfind("Visited:", 0) == 0)
    return URLHISTORY_CACHE_ENTRY;
  return NORMAL_CACHE_ENTRY;
}

int Add(const std::string& url, const std::string& content) {
  char file[MAX_PATH] = "";
  const DWORD type = EntryType(url);
  if (type == NORMAL_CACHE_ENTRY || type == COOKIE_CACHE_ENTRY) {
    if (!CreateUrlCacheEntryA(url.c_str(), 0, type == COOKIE_CACHE_ENTRY ? "txt" : "htm", file,
                              0)) {
      std::fprintf(stderr, "CreateUrlCacheEntryA %s: %lu\n", url.c_str(), GetLastError());
      return 1;
    }
    FILE* out = std::fopen(file, "wb");
    if (out == nullptr)
      return 1;
    std::fwrite(content.data(), 1, content.size(), out);
    std::fclose(out);
  }
  FILETIME never = {};
  if (!CommitUrlCacheEntryA(url.c_str(), file[0] ? file : nullptr, never, never, type, nullptr, 0,
                            nullptr, nullptr)) {
    std::fprintf(stderr, "CommitUrlCacheEntryA %s: %lu\n", url.c_str(), GetLastError());
    return 1;
  }
  std::printf("%s\t%s\n", url.c_str(), file);
  return 0;
}

// Every entry of one enumeration; Windows leaves cookies and history out of the default one.
void Enumerate(const char* pattern, std::set<std::string>* lines) {
  std::vector<char> buffer(4096);
  DWORD size = static_cast<DWORD>(buffer.size());
  auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  HANDLE find = FindFirstUrlCacheEntryA(pattern, entry, &size);
  while (find == nullptr && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    buffer.resize(size);
    entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    find = FindFirstUrlCacheEntryA(pattern, entry, &size);
  }
  if (find == nullptr)
    return;
  for (;;) {
    lines->insert(std::string(entry->lpszSourceUrlName) + "\t" +
                  (entry->lpszLocalFileName ? entry->lpszLocalFileName : ""));
    size = static_cast<DWORD>(buffer.size());
    if (FindNextUrlCacheEntryA(find, entry, &size))
      continue;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
      break;
    buffer.resize(size);
    entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    if (!FindNextUrlCacheEntryA(find, entry, &size))
      break;
  }
  FindCloseUrlCache(find);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "add") == 0)
    return Add(argv[2], argc >= 4 ? argv[3] : "cached bytes");
  if (argc == 2 && std::strcmp(argv[1], "list") == 0) {
    std::set<std::string> lines;
    for (const char* pattern :
         {static_cast<const char*>(nullptr), "cookie:", "visited:", "Cookie:", "Visited:"})
      Enumerate(pattern, &lines);
    for (const std::string& line : lines)
      std::printf("%s\n", line.c_str());
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
    const HANDLE file = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return 1;
    std::printf("held\n");
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    CloseHandle(file);
    return 0;
  }
  std::fprintf(stderr, "usage: url_cache_tool add URL [CONTENT] | list | hold PATH\n");
  return 2;
}
