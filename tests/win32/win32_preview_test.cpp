// The folder tree and the URL cache made for a preview answer what a following run answers,
// sizes included, and change nothing; a file held without delete sharing stays, in use. The
// Wine end-to-end test (windows_clean_test.sh) holds every store to the same over a prefix.
#include <windows.h>
#include <wininet.h>
#undef DeleteFile

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/path_text.h"
#include "platform/win32/win32_folder_tree.h"
#include "platform/win32/wininet_url_cache.h"
#include "support/temp_dir.h"
#include "support/wine.h"
#include "win32/opens_while_probing.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

std::string Said(const Removal& removal) {
  if (removal.WasRemoved())
    return "removed " + std::to_string(removal.bytes);
  return removal.Gone() ? "absent" : removal.why == StayReason::kInUse ? "in use" : "refused";
}

TEST(Win32Preview, FolderTreeAnswersAsARunWithoutDeleting) {
  testing::TempDir dir;
  WriteFile(dir / "a.htm", "aaaa");
  WriteFile(dir / "ro.txt", "r");
  WriteFile(dir / "held.dat", "hh");
  fs::create_directory(dir / "empty");
  ASSERT_TRUE(::SetFileAttributesW((dir / "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  // Held as a program holds a file it works on: no delete sharing.
  const HANDLE held = ::CreateFileW((dir / "held.dat").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const auto walk = [&](FolderTree& tree) {
    const auto cursor = tree.Open(Utf8FromPath(dir.path()));
    std::string said = Said(cursor->DeleteFile("ro.txt"));
    EXPECT_TRUE(cursor->MakeArchiveOnly("ro.txt"));
    for (const char* name : {"ro.txt", "a.htm", "a.htm", "held.dat", "never-was"})
      said += ", " + Said(cursor->DeleteFile(name));
    return said + (cursor->RemoveFolder("empty") ? ", folder removed" : "");
  };
  // The sizes are the disk space the files take, whatever the file system makes of it.
  Win32FolderTree preview(std::string(), std::make_shared<PreviewLedger>());
  const std::string answers = walk(preview);
  EXPECT_THAT(answers, ::testing::MatchesRegex(
                           "refused, removed \\d+, removed \\d+, absent, in use, absent"));
  EXPECT_EQ(ReadFile(dir / "a.htm"), "aaaa");
  EXPECT_TRUE(fs::is_directory(dir / "empty"));
  EXPECT_NE(::GetFileAttributesW((dir / "ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  Win32FolderTree run{std::string()};
  EXPECT_EQ(walk(run), answers + ", folder removed");
  ::CloseHandle(held);
}

// A program that opens a file sharing everything, deletion too, never fails to while previews
// look at it: a preview takes no exclusive open and sets no deletion mark, not even for a moment.
TEST(Win32Preview, NeitherLocksNorMarksAFile) {
  testing::TempDir dir;
  WriteFile(dir / "shared.dat", "s");
  EXPECT_EQ(testing::FailedOpensWhileProbing(
                dir / "shared.dat", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                [&] {
                  Win32FolderTree preview(std::string(), std::make_shared<PreviewLedger>());
                  preview.Open(Utf8FromPath(dir.path()))->DeleteFile("shared.dat");
                }),
            0);
  EXPECT_EQ(ReadFile(dir / "shared.dat"), "s");
}

// An entry with a local file, seeded as a browser does.
std::string SeedCacheEntry(const std::string& url, const std::string& contents) {
  char file[MAX_PATH] = "";
  EXPECT_TRUE(::CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0));
  WriteFile(file, contents);
  const FILETIME never{};
  EXPECT_TRUE(::CommitUrlCacheEntryA(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, nullptr,
                                     0, nullptr, nullptr));
  return file;
}

TEST(Win32Preview, UrlCacheEntryAndItsLocalFileAreCountedOnce) {
  LARKSPUR_REQUIRE_WINE();
  const std::string page = "http://preview.example/page.htm";
  const std::string locked = "http://preview.example/locked.htm";
  const fs::path file = SeedCacheEntry(page, "cached bytes");
  SeedCacheEntry(locked, "locked");
  char info[4096];
  DWORD size = sizeof info;
  ASSERT_TRUE(::RetrieveUrlCacheEntryFileA(
      locked.c_str(), reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(info), &size, 0));
  const auto ledger = std::make_shared<PreviewLedger>();
  WininetUrlCache preview(ledger);
  EXPECT_EQ(Said(preview.DeleteEntry(page)), "removed 12");
  EXPECT_EQ(Said(preview.DeleteEntry(page)), "absent");
  EXPECT_EQ(Said(preview.DeleteEntry(locked)), "in use");
  // The sweep of the cache folder that follows finds the local file gone, as a run does.
  Win32FolderTree tree(std::string(), ledger);
  EXPECT_EQ(
      Said(tree.Open(Utf8FromPath(file.parent_path()))->DeleteFile(Utf8FromPath(file.filename()))),
      "absent");
  EXPECT_EQ(ReadFile(file), "cached bytes");

  WininetUrlCache run;
  EXPECT_EQ(Said(run.DeleteEntry(page)), "removed 12");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(Said(run.DeleteEntry(locked)), "in use");
  ::UnlockUrlCacheEntryFileA(locked.c_str(), 0);  // and wininet deletes it now
}

}  // namespace
}  // namespace larkspur
