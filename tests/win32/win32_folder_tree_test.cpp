// SweepFolder and the cursor on real folders under Wine: links as Wine presents them, names
// outside the code page, paths longer than MAX_PATH, and the folders that are never opened.
#include "platform/win32/win32_folder_tree.h"

#include <windows.h>
#include <winioctl.h>
#undef DeleteFile

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cleanup/folder_sweep.h"
#include "platform/path_text.h"
#include "platform/user_folders.h"
#include "platform/win32/profile_folder.h"
#include "support/temp_dir.h"
#include "support/wine.h"
#include "win32/unix_links.h"

namespace larkspur {

namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempDir;
using ::testing::UnorderedElementsAre;
using testing::WriteFile;

struct RecordingStatus final : StatusLine {
  void SetCaption(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

void SetAttributes(const fs::path& path, DWORD attributes) {
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
  ASSERT_EQ(::GetFileAttributesW(path.c_str()) & attributes, attributes) << path;
}

class Win32Sweep : public ::testing::Test {
 protected:
  Win32Sweep() : tree_(Utf8FromPath(home_)) { fs::create_directories(home_); }
  ~Win32Sweep() override {
    for (const fs::path& link : links_)
      testing::RemoveLink(link);
  }

  bool Link(const fs::path& target, const fs::path& link) {
    links_.push_back(link);
    return testing::MakeLink(target, link);
  }

  void Sweep(const fs::path& folder) { SweepFolder(tree_, record_, Utf8FromPath(folder)); }
  static std::string Shown(const fs::path& file) { return "-->" + Utf8FromPath(file); }
  static std::vector<std::wstring> Entries(const fs::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().wstring());
    return names;
  }

  TempDir dir_;
  const fs::path home_ = dir_ / "home";
  Win32FolderTree tree_;
  RecordingStatus status_;
  RunRecord record_{status_};
  std::vector<fs::path> links_;
};

TEST_F(Win32Sweep, EmptiesTheTreeAndKeepsTheFolder) {
  const fs::path cache = dir_ / "INetCache";
  WriteFile(cache / "one.htm", "1");
  WriteFile(cache / "Content.IE5" / "X1" / "deep.js", "2");
  fs::create_directories(cache / "empty");
  SetAttributes(cache / "Content.IE5" / "X1" / "deep.js", FILE_ATTRIBUTE_READONLY);
  // More entries than one listing call returns.
  for (int i = 0; i < 600; ++i)
    WriteFile(cache / "many" / (std::string(80, 'x') + std::to_string(i)), "");

  Sweep(cache);
  SweepFolder(tree_, record_, Utf8FromPath(dir_.path()) + "/INetCache/");  // slashes, trailing too

  EXPECT_TRUE(fs::is_directory(cache));
  EXPECT_THAT(Entries(cache), IsEmpty());
  EXPECT_EQ(status_.texts.size(), 602u);
  EXPECT_THAT(status_.texts, Contains(Shown(cache / "one.htm")));
  EXPECT_THAT(status_.texts, Contains(Shown(cache / "Content.IE5" / "X1" / "deep.js")));
}

TEST_F(Win32Sweep, HiddenAndSystemFoldersAreSweptTheirFilesStay) {
  const fs::path cache = dir_ / "cache";
  WriteFile(cache / "sub" / "hidden.dat", "h");
  WriteFile(cache / "sub" / "system.dat", "s");
  WriteFile(cache / "sub" / "plain.dat", "p");
  WriteFile(cache / "Content.IE5" / "X1Y2Z3" / "page[1].htm", "i");
  WriteFile(cache / "Content.IE5" / "X1Y2Z3" / "logo.png", "i");
  SetAttributes(cache / "sub" / "hidden.dat", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(cache / "sub" / "system.dat", FILE_ATTRIBUTE_SYSTEM);
  // As Windows marks them (Wine keeps no read-only flag on a folder).
  SetAttributes(cache / "Content.IE5" / "X1Y2Z3", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(cache / "Content.IE5", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

  Sweep(cache);

  EXPECT_THAT(Entries(cache), UnorderedElementsAre(L"sub"));
  EXPECT_THAT(Entries(cache / "sub"), UnorderedElementsAre(L"hidden.dat", L"system.dat"));
  EXPECT_NE(::GetFileAttributesW((cache / "sub" / "hidden.dat").c_str()) & FILE_ATTRIBUTE_HIDDEN,
            0u);
  EXPECT_THAT(status_.texts, Contains(Shown(cache / "Content.IE5" / "X1Y2Z3" / "page[1].htm")));
}

TEST_F(Win32Sweep, DeletesNamesOutsideTheCodePage) {
  const fs::path cache = dir_.path() / L"\u041a\u044d\u0448";  // Cyrillic
  WriteFile(cache / L"\u65e5\u672c\u8a9e.txt", "x");           // Japanese
  WriteFile(cache / L"\u0436\u0443\u0440\u043d\u0430\u043b" / L"\u00e9\u20ac.dat", "y");
  Sweep(cache);
  EXPECT_THAT(Entries(cache), IsEmpty());
  EXPECT_THAT(status_.texts, Contains(Shown(cache / L"\u65e5\u672c\u8a9e.txt")));
}

TEST_F(Win32Sweep, LinksAreNeverFollowed) {
  const fs::path outside = dir_ / "outside";
  WriteFile(outside / "precious.txt", "keep me");
  WriteFile(outside / "writable.txt", "keep me");
  WriteFile(outside / "folder" / "also-precious.txt", "keep me too");
  fs::create_directories(outside / "empty");
  SetAttributes(outside / "precious.txt", FILE_ATTRIBUTE_READONLY);
  const fs::path cache = dir_ / "cache";
  WriteFile(cache / "sub" / "plain.txt", "p");
  if (!Link(outside / "folder", cache / "link-to-folder") ||
      !Link(outside / "empty", cache / "link-to-empty-folder") ||
      !Link(outside / "precious.txt", cache / "sub" / "link-to-file") ||
      !Link(outside / "writable.txt", cache / "link-to-writable-file") ||
      !Link(outside, cache / "sub" / "link-up"))
    GTEST_SKIP() << "cannot make links here";

  Sweep(cache);

  EXPECT_FALSE(fs::exists(cache / "sub" / "plain.txt"));
  EXPECT_EQ(testing::ReadFile(outside / "precious.txt"), "keep me");
  EXPECT_NE(::GetFileAttributesW((outside / "precious.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  ::SetFileAttributesW((outside / "precious.txt").c_str(), FILE_ATTRIBUTE_NORMAL);  // for clean-up
  EXPECT_EQ(testing::ReadFile(outside / "writable.txt"), "keep me");
  EXPECT_EQ(testing::ReadFile(outside / "folder" / "also-precious.txt"), "keep me too");

  // A link to a folder is listed as a file, to be removed itself; Wine's unix links stay.
  const auto cursor = tree_.Open(Utf8FromPath(cache));
  ASSERT_TRUE(cursor);
  FolderListing listing;
  ASSERT_TRUE(cursor->List(&listing));
  EXPECT_THAT(listing.subfolders, ElementsAre("sub"));
  EXPECT_THAT(listing.files, Contains("link-to-folder"));
  EXPECT_FALSE(cursor->Enter("link-to-folder"));
  EXPECT_FALSE(cursor->DeleteFile("link-to-folder").Gone());
  // Wine removes the target of a link to an empty folder when asked to remove the link.
  EXPECT_FALSE(cursor->RemoveFolder("link-to-empty-folder"));
  EXPECT_FALSE(cursor->DeleteFile("link-to-empty-folder").Gone());
  EXPECT_TRUE(fs::is_directory(outside / "empty"));
  EXPECT_FALSE(tree_.Open(Utf8FromPath(cache / "link-to-folder")));
  EXPECT_FALSE(tree_.Open(Utf8FromPath(cache / "link-to-folder") + "\\"));
}

TEST_F(Win32Sweep, NeverOpensRootsTheHomeFolderOrFoldersAboveIt) {
  // Only asked whether it would open them: a failure here must not sweep anything real.
  const std::string home = Utf8FromPath(home_);
  std::string shouted = home;
  for (char& c : shouted)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  WriteFile(dir_ / "file.txt", "f");
  for (const char* path :
       {"C:\\", "C:", "c:/", "C:\\users\\..", "Z:\\", "\\\\server\\share", "\\\\server\\share\\",
        "relative", "C:relative", "\\on-no-drive", "", "C:\\\xff"})
    EXPECT_FALSE(tree_.Open(path)) << path;
  for (const std::string& path : {home, home + "\\", home + "/", shouted, home + "\\..\\home",
                                  Utf8FromPath(dir_.path()), "\\\\?\\" + home + "\\sub",
                                  Utf8FromPath(dir_ / "file.txt"), Utf8FromPath(dir_ / "missing")})
    EXPECT_FALSE(tree_.Open(path)) << path;
  // Nor when the home folder is missing.
  Win32FolderTree missing_home(Utf8FromPath(dir_.path() / "gone" / "home"));
  EXPECT_FALSE(missing_home.Open(Utf8FromPath(dir_.path())));
  // Nor through a link on the way to it (not to an ancestor of the link: no cycles here).
  fs::create_directories(dir_.path() / "real" / "home");
  Win32FolderTree linked_home(Utf8FromPath(dir_.path() / "real" / "home"));
  if (Link(dir_.path() / "real", dir_.path() / "alias")) {
    EXPECT_FALSE(linked_home.Open(Utf8FromPath(dir_.path() / "alias" / "home")));
  }
  fs::create_directories(home_ / "History");
  EXPECT_TRUE(tree_.Open(home + "\\History"));
}

// A junction, made as mklink /J makes one. False where the file system cannot hold one: Wine 8
// answers FSCTL_SET_REPARSE_POINT with ERROR_NOT_SUPPORTED and SetVolumeMountPointW with
// ERROR_CALL_NOT_IMPLEMENTED, so it can make neither junctions nor volume mount points.
bool MakeJunction(const fs::path& target, const fs::path& junction) {
  if (!::CreateDirectoryW(junction.c_str(), nullptr))
    return false;
  const HANDLE handle =
      ::CreateFileW(junction.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return false;
  const std::wstring substitute = L"\\??\\" + target.wstring();
  const std::wstring print = target.wstring();
  struct {
    DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    WORD data_length = 0, reserved = 0;
    WORD substitute_offset = 0, substitute_length = 0, print_offset = 0, print_length = 0;
    wchar_t names[2 * MAX_PATH] = {};
  } data;
  data.substitute_length = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
  data.print_offset = static_cast<WORD>(data.substitute_length + sizeof(wchar_t));
  data.print_length = static_cast<WORD>(print.size() * sizeof(wchar_t));
  substitute.copy(data.names, substitute.size());
  print.copy(data.names + substitute.size() + 1, print.size());
  data.data_length = static_cast<WORD>(8 + data.print_offset + data.print_length + 2);
  DWORD returned = 0;
  const bool made = ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, &data, 8 + data.data_length,
                                      nullptr, 0, &returned, nullptr);
  ::CloseHandle(handle);
  if (!made)
    ::RemoveDirectoryW(junction.c_str());
  return made;
}

TEST_F(Win32Sweep, JunctionsAreRemovedNotFollowed) {
  WriteFile(dir_ / "outside" / "precious.txt", "keep me");
  const fs::path cache = dir_ / "cache";
  WriteFile(cache / "Content.IE5" / "page.htm", "p");
  if (!MakeJunction(dir_ / "outside", cache / "Content.IE5" / "junction"))
    GTEST_SKIP() << "no junctions here (Wine 8 cannot make them)";
  Sweep(cache);
  EXPECT_THAT(Entries(cache), IsEmpty());
  EXPECT_EQ(testing::ReadFile(dir_ / "outside" / "precious.txt"), "keep me");
}

// Only asked whether it would open them: a failure here must not sweep anything real.
TEST_F(Win32Sweep, TheSystemsProfileFolderIsProtectedWhateverUserProfileSays) {
  const std::string profile = ProfileFolderFromSystem();
  ASSERT_FALSE(profile.empty());
  const fs::path profile_path = PathFromUtf8(profile);
  const std::string users = Utf8FromPath(profile_path.parent_path());
  const wchar_t* saved = ::_wgetenv(L"USERPROFILE");
  const std::wstring kept = saved != nullptr ? saved : L"";
  for (const std::string value : {"", "relative", "C:relative", "\\no-drive"}) {
    SCOPED_TRACE(value);
    ASSERT_EQ(::_wputenv_s(L"USERPROFILE", std::wstring(value.begin(), value.end()).c_str()), 0);
    EXPECT_EQ(UserFoldersFromEnvironment().home, profile);
    Win32FolderTree tree(UserFoldersFromEnvironment().home);
    Win32FolderTree without_home{std::string()};
    for (Win32FolderTree* each : {&tree, &without_home}) {
      EXPECT_FALSE(each->Open(profile));
      EXPECT_FALSE(each->Open(users));
      // Another spelling of the same folders: compared by what was opened, not by name.
      EXPECT_FALSE(each->Open(Utf8FromPath(testing::ThroughDriveZ(profile_path))));
      EXPECT_FALSE(each->Open(Utf8FromPath(testing::ThroughDriveZ(profile_path.parent_path()))));
    }
  }
  ASSERT_EQ(::_wputenv_s(L"USERPROFILE", kept.c_str()), 0);
  // A test's own home is protected beside the system's, and folders inside either open.
  EXPECT_FALSE(tree_.Open(profile));
  EXPECT_FALSE(tree_.Open(Utf8FromPath(testing::ThroughDriveZ(dir_.path()))));
  fs::create_directories(home_ / "History");
  EXPECT_TRUE(tree_.Open(Utf8FromPath(testing::ThroughDriveZ(home_ / "History"))));
  EXPECT_TRUE(tree_.Open(Utf8FromPath(profile_path / "AppData")));
}

// The way to the folder changes between two opens, as fast as a unix loop can change it; what
// was opened is checked, so a cursor is never on the profile folder, whichever way was taken.
TEST_F(Win32Sweep, ALinkSwappedOnTheWayNeverLeadsIntoTheProfileFolder) {
  WriteFile(dir_ / "real" / "home" / "letter.txt", "mine");
  WriteFile(dir_ / "decoy" / "home" / "cached.htm", "");
  Win32FolderTree tree(Utf8FromPath(dir_ / "real" / "home"));
  const fs::path alias = dir_ / "alias";
  if (!Link(dir_ / "decoy", alias) || !testing::SwapLink(alias, dir_ / "real", dir_ / "decoy"))
    GTEST_SKIP() << "cannot make links here";
  // Stopped however the test ends, before the fixture removes the link.
  const std::unique_ptr<const fs::path, void (*)(const fs::path*)> swapping(
      &alias, [](const fs::path* link) { testing::StopSwapping(*link); });
  int opened = 0;
  int refused = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < until) {
    const auto cursor = tree.Open(Utf8FromPath(alias / "home"));
    FolderListing listing;
    if (!cursor || !cursor->List(&listing)) {
      ++refused;
      continue;
    }
    ++opened;
    ASSERT_THAT(listing.files, ElementsAre("cached.htm"));
  }
  // Both ways were taken.
  EXPECT_GT(opened, 0);
  EXPECT_GT(refused, 0);
}

TEST_F(Win32Sweep, SweepsPathsLongerThanMaxPath) {
  const fs::path top = dir_ / "History";
  std::wstring folder = win32::LongPath(top.wstring());
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  for (int level = 0; level < 8; ++level) {
    folder += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + level));
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const HANDLE file = ::CreateFileW((folder + L"\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
  }
  Sweep(top);
  EXPECT_THAT(Entries(top), IsEmpty());
  ASSERT_EQ(status_.texts.size(), 8u);
  EXPECT_GT(status_.texts.back().size(), static_cast<std::size_t>(MAX_PATH));
}

TEST_F(Win32Sweep, CursorStaysInsideItsFolder) {
  WriteFile(dir_ / "top" / "inner" / "file.txt", "x");
  const auto cursor = tree_.Open(Utf8FromPath(dir_ / "top"));
  ASSERT_TRUE(cursor);
  for (const char* name : {"", ".", "..", "inner\\file.txt", "inner/..", "C:\\", "inner:x"})
    EXPECT_FALSE(cursor->Enter(name)) << name;
  EXPECT_FALSE(cursor->DeleteFile("..\\top\\inner\\file.txt").Gone());
  ASSERT_TRUE(cursor->Enter("inner"));
  EXPECT_EQ(cursor->Path(), Utf8FromPath(dir_ / "top" / "inner") + "\\");
  // Held without delete sharing while the walk is in it.
  EXPECT_FALSE(::MoveFileW((dir_ / "top" / "inner").c_str(), (dir_ / "moved").c_str()));
  EXPECT_TRUE(cursor->Leave());
  EXPECT_FALSE(cursor->Leave());
  EXPECT_EQ(cursor->Path(), Utf8FromPath(dir_ / "top") + "\\");
  EXPECT_FALSE(cursor->RemoveFolder("inner"));       // not empty
  EXPECT_FALSE(cursor->DeleteFile("inner").Gone());  // a folder
  EXPECT_TRUE(cursor->DeleteFile("never-was").Gone());
  EXPECT_TRUE(fs::exists(dir_ / "top" / "inner" / "file.txt"));
}

}  // namespace
}  // namespace larkspur
