#include "app/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/run_summary.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result RunLarkspur(std::vector<std::string> arguments, const OpenWindow& open_window = {}) {
  arguments.insert(arguments.begin(), "larkspur");
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::ostringstream out;
  std::ostringstream err;
  const int code =
      RunCommandLine(static_cast<int>(arguments.size()), argv.data(), out, err, open_window);
  return {code, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The test process's HOME and XDG folders are its own sandbox; fill them like a user's.
class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() {
    data_ = std::getenv("XDG_DATA_HOME");
    const fs::path config = std::getenv("XDG_CONFIG_HOME");
    profile_ = config / "mozilla" / "firefox" / "p.default-esr";
    testing::WriteFile(config / "mozilla" / "firefox" / "profiles.ini",
                       "[Profile0]\nName=default-esr\nIsRelative=1\nPath=p.default-esr\n");
    testing::WriteFile(profile_ / "prefs.js", "");
    testing::WriteFile(profile_ / "cookies.sqlite", "c");
    testing::WriteFile(profile_ / "places.sqlite", "p");
    testing::WriteFile(data_ / "larkspur" / "registry.reg",
                       "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet "
                       "Explorer\\TypedURLs]\n\"url1\"=\"http://typed.example/\"\n");
  }
  ~CommandLineTest() override {
    std::error_code ignored;
    fs::remove_all(data_ / "larkspur", ignored);
    fs::remove_all(profile_.parent_path(), ignored);
  }

  fs::path data_;
  fs::path profile_;
};

// On the Linux stand-ins; the Windows build's run on the real stores is the end-to-end test under
// Wine (tests/e2e/windows_clean_test.sh).
#ifndef _WIN32
TEST_F(CommandLineTest, APreviewListsWhatTheRunThenErasesAndTheRunIsLoggedWithoutNames) {
  const fs::path log = fs::path(std::getenv("XDG_STATE_HOME")) / "larkspur" / "larkspur.log";
  fs::remove(log);
  const std::string cookies = "-->" + (profile_ / "cookies.sqlite").string();

  // Sizes are the disk space freed.
  struct stat cookie_file {};
  ASSERT_EQ(::stat((profile_ / "cookies.sqlite").c_str(), &cookie_file), 0);
  const std::uint64_t space = static_cast<std::uint64_t>(cookie_file.st_blocks) * 512;
  const std::string total = "2 items (" + ByteSize(22 + space) + ").";

  const Result preview = RunLarkspur({"--preview", "ie-typed-urls,firefox-cookies"});
  EXPECT_EQ(preview.code, 0);
  EXPECT_EQ(Lines(preview.out),
            (std::vector<std::string>{
                "Preview: nothing is changed.", "Deleting Typed Urls In IE...",
                "-->http://typed.example/ (22 bytes)", "Deleting Firefox Cookies...",
                cookies + " (" + std::to_string(space) + " bytes)", "Would erase " + total}));
  EXPECT_TRUE(fs::exists(profile_ / "cookies.sqlite"));
  EXPECT_THAT(testing::ReadFile(data_ / "larkspur" / "registry.reg"), HasSubstr("url1"));
  EXPECT_FALSE(fs::exists(log)) << "a preview is no run";

  const Result result = RunLarkspur({"--clean", "ie-typed-urls,firefox-cookies"});
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{"Deleting Typed Urls In IE...", "-->http://typed.example/",
                                      "Deleting Firefox Cookies...", cookies, "Erased " + total}));
  EXPECT_FALSE(fs::exists(profile_ / "cookies.sqlite"));
  EXPECT_TRUE(fs::exists(profile_ / "places.sqlite"));
  EXPECT_THAT(testing::ReadFile(data_ / "larkspur" / "registry.reg"),
              ::testing::Not(HasSubstr("url1")));

  EXPECT_EQ(RunLarkspur({"--clean=ie-typed-urls"}).out,
            "Deleting Typed Urls In IE...\nNothing to erase.\n");
  const std::vector<std::string> entries = Lines(testing::ReadFile(log));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_THAT(entries[0], ::testing::MatchesRegex(
                              "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} command line: "
                              "Erased 2 items \\([^)]+\\)\\. ie-typed-urls: 1 erased "
                              "\\(22 bytes\\); firefox-cookies: 1 erased \\([^)]+\\)\\."));
  for (const std::string& entry : entries) {
    EXPECT_THAT(entry, ::testing::Not(HasSubstr("typed.example")));
    EXPECT_THAT(entry, ::testing::Not(HasSubstr("cookies.sqlite")));
  }
}

// What stays is named on its own line with its reason, the exit code says so, and stderr says
// why; with no profile at all, the last line says where Firefox's folder was looked for.
TEST_F(CommandLineTest, WhatStaysIsNamedAndNothingFoundSaysWhereItLooked) {
  const fs::path firefox = profile_.parent_path();
  fs::create_directories(firefox / "elsewhere");
  fs::create_directory_symlink(firefox / "elsewhere", firefox / "linked");
  testing::WriteFile(firefox / "elsewhere" / "prefs.js", "");
  testing::WriteFile(firefox / "elsewhere" / "cookies.sqlite", "c");
  testing::WriteFile(firefox / "profiles.ini",
                     "[Profile0]\nPath=p.default-esr\n[Profile1]\nPath=linked/\n");
  const std::string linked = (firefox / "linked").string();

  const Result result = RunLarkspur({"--clean", "firefox-cookies"});
  EXPECT_EQ(result.code, 3);
  const std::vector<std::string> lines = Lines(result.out);
  EXPECT_THAT(lines, ::testing::Contains("stayed (refused for safety): " + linked));
  EXPECT_THAT(lines.back(), ::testing::MatchesRegex(
                                "Erased 1 item \\([^)]+\\)\\. 1 stayed: refused for safety\\."));
  EXPECT_EQ(result.err,
            "larkspur: Firefox profile " + linked + " skipped: it is reached through a link.\n");
  EXPECT_TRUE(fs::exists(firefox / "elsewhere" / "cookies.sqlite"));

  fs::remove_all(firefox);
  const Result none = RunLarkspur({"--clean", "firefox-cookies"});
  EXPECT_EQ(none.code, 0);
  // Firefox's own folders first, then the Snap's and the Flatpak's.
  EXPECT_THAT(Lines(none.out).back(),
              ::testing::StartsWith("No Firefox profile found in " +
                                    (fs::path(std::getenv("HOME")) / ".mozilla/firefox").string() +
                                    ", " + firefox.string() + ", "));
  EXPECT_EQ(none.err, "");
}
#endif

#ifndef _WIN32
// An item of a browser with no data here says so, once, instead of counting nothing.
TEST_F(CommandLineTest, ItemsOfABrowserThatIsNotHereSaySo) {
  fs::remove_all(data_ / "larkspur");
  fs::remove_all(profile_.parent_path());
  const Result result = RunLarkspur({"--clean", "ie-history,firefox-cookies"});
  EXPECT_EQ(result.code, 0);
  // Said once each, as the run's last line, and nothing counted.
  EXPECT_THAT(
      Lines(result.out),
      ::testing::ElementsAre(::testing::AllOf(
          ::testing::StartsWith("Internet Explorer is not on this computer (looked for in " +
                                data_.string() + "/larkspur). No Firefox profile found in "),
          ::testing::EndsWith("."))));
}
#endif

// The window gets the folders its stores live in: the user's, or with --demo those of a fresh
// sample folder. The process's environment stays as it was.
TEST_F(CommandLineTest, TheWindowOpensOnTheUsersOrTheDemoFolders) {
  UserFolders given;
  std::string notice = "none yet";
  WindowStart start;
  const auto open_window = [&given, &notice, &start](const UserFolders& folders,
                                                     const WindowStart& how) {
    given = folders;
    notice = how.notice;
    start = how;
    return 7;
  };
  EXPECT_EQ(RunLarkspur({}, open_window).code, 7);
  EXPECT_EQ(notice, "") << "the user's own data: nothing to point out";
  EXPECT_FALSE(start.demo);
  EXPECT_FALSE(start.in_tray);
  EXPECT_EQ(RunLarkspur({"--tray"}, open_window).code, 7);
  EXPECT_TRUE(start.in_tray);
  EXPECT_EQ(given.config, UserFoldersFromEnvironment().config);
  EXPECT_FALSE(given.config.empty());

  const std::string home = std::getenv("HOME");
  given = {};
  const Result demo = RunLarkspur({"--demo"}, open_window);
#ifdef _WIN32
  EXPECT_EQ(demo.code, 1);
  EXPECT_EQ(demo.err, "larkspur: --demo is not available in the Windows build\n");
  EXPECT_TRUE(given.config.empty()) << "no window";
#else
  EXPECT_EQ(demo.code, 7);
  const std::vector<std::string> lines = Lines(demo.out);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_TRUE(lines[0].starts_with("Demo folder: /")) << lines[0];
  const fs::path root = lines[0].substr(13);
  EXPECT_EQ(given.home, (root / "home").string());
  EXPECT_EQ(given.config, (root / "config").string());
  EXPECT_EQ(given.data, (root / "data").string());
  EXPECT_EQ(given.cache, (root / "cache").string());
  EXPECT_EQ(given.state, (root / "state").string());
  EXPECT_EQ(notice, "Demo: this window works on sample data, not on your own.");
  EXPECT_TRUE(start.demo) << "no home-page invitation on sample data";
  EXPECT_TRUE(fs::exists(fs::path(given.data) / "larkspur" / "registry.reg"));
  EXPECT_TRUE(fs::exists(fs::path(given.config) / "mozilla" / "firefox" / "profiles.ini"));
  EXPECT_EQ(std::getenv("HOME"), home);
  EXPECT_EQ(UserFoldersFromEnvironment().config, std::getenv("XDG_CONFIG_HOME"));
  std::error_code ignored;
  fs::remove_all(root, ignored);
#endif
}

TEST_F(CommandLineTest, MistakesAreNamedAndNothingIsDeleted) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--clean", "firefox-cookies,bogus"},
                                             {"--clean=all,"},
                                             {"--clean", "all", "--frobnicate"},
                                             {"--clean", "firefox-cookies", "--preview=all"},
                                             {"--clean"}}) {
    const Result result = RunLarkspur(arguments);
    EXPECT_EQ(result.code, 2) << arguments.back();
    EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_THAT(RunLarkspur({"--clean", "firefox-cookies,bogus"}).err, HasSubstr("'bogus'"));
  EXPECT_THAT(RunLarkspur({"--frobnicate"}).err, HasSubstr("'--frobnicate'"));
  EXPECT_TRUE(fs::exists(profile_ / "cookies.sqlite"));
}

TEST_F(CommandLineTest, InformationOptions) {
  const Result items = RunLarkspur({"--list-items"});
  EXPECT_EQ(items.code, 0);
  EXPECT_EQ(Lines(items.out).size(), 18u);
  EXPECT_THAT(items.out, HasSubstr("firefox-typed-urls"));
  EXPECT_THAT(items.out, HasSubstr("\nedge-tabs             Microsoft Edge: Clear Open Tabs\n"));
  EXPECT_THAT(items.out, HasSubstr("Clear Typed URL(s) In Firefox"));
  EXPECT_THAT(RunLarkspur({"--version"}).out, ::testing::StartsWith("larkspur "));
  EXPECT_EQ(RunLarkspur({"-V"}).out, RunLarkspur({"--version"}).out);
  EXPECT_EQ(RunLarkspur({}).code, 2);

  // Every option the build takes, where its files live and what the exit codes mean.
  const Result help = RunLarkspur({"-h"});
  EXPECT_EQ(help.code, 0);
  for (const char* option : {"--clean", "--preview", "--list-items", "-h, --help", "-V, --version"})
    EXPECT_THAT(help.out, HasSubstr(option));
  EXPECT_THAT(help.out, HasSubstr("larkspur.log"));
  EXPECT_THAT(help.out, HasSubstr("\n  2  a mistake in the options"));
  EXPECT_THAT(help.out, HasSubstr("\n  3  something stayed"));
#ifdef _WIN32
  EXPECT_THAT(help.out, ::testing::Not(HasSubstr("--demo")));
  EXPECT_THAT(help.out, HasSubstr("%LOCALAPPDATA%\\Quillmark\\Larkspur\\larkspur.log"));
#else
  EXPECT_THAT(help.out, HasSubstr("Usage: larkspur [--demo] [--tray]\n"
                                  "  or:  larkspur [--demo] --clean ITEM[,ITEM...]\n"));
  EXPECT_THAT(help.out, HasSubstr("${XDG_STATE_HOME:-~/.local/state}/larkspur/larkspur.log"));
#endif
}

}  // namespace
}  // namespace larkspur
