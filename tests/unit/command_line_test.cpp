#include "app/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

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

  const Result preview = RunLarkspur({"--preview", "ie-typed-urls,firefox-cookies"});
  EXPECT_EQ(preview.code, 0);
  EXPECT_EQ(
      Lines(preview.out),
      (std::vector<std::string>{
          "Deleting Typed Urls In IE...", "-->http://typed.example/ (22 bytes)",
          "Deleting Firefox Cookies...", cookies + " (1 bytes)", "Erased 2 items (23 bytes)."}));
  EXPECT_TRUE(fs::exists(profile_ / "cookies.sqlite"));
  EXPECT_THAT(testing::ReadFile(data_ / "larkspur" / "registry.reg"), HasSubstr("url1"));
  EXPECT_FALSE(fs::exists(log)) << "a preview is no run";

  const Result result = RunLarkspur({"--clean", "ie-typed-urls,firefox-cookies"});
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{"Deleting Typed Urls In IE...", "-->http://typed.example/",
                                      "Deleting Firefox Cookies...", cookies,
                                      "Erased 2 items (23 bytes)."}));
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
                              "Erased 2 items \\(23 bytes\\)\\. ie-typed-urls: 1 erased "
                              "\\(22 bytes\\); firefox-cookies: 1 erased \\(1 byte\\)\\."));
  for (const std::string& entry : entries) {
    EXPECT_THAT(entry, ::testing::Not(HasSubstr("typed.example")));
    EXPECT_THAT(entry, ::testing::Not(HasSubstr("cookies.sqlite")));
  }
}
#endif

// The window gets the folders its stores live in: the user's, or with --demo those of a fresh
// sample folder. The process's environment stays as it was.
TEST_F(CommandLineTest, TheWindowOpensOnTheUsersOrTheDemoFolders) {
  UserFolders given;
  std::string notice = "none yet";
  const auto open_window = [&given, &notice](const UserFolders& folders, const std::string& text) {
    given = folders;
    notice = text;
    return 7;
  };
  EXPECT_EQ(RunLarkspur({}, open_window).code, 7);
  EXPECT_EQ(notice, "") << "the user's own data: nothing to point out";
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
  EXPECT_THAT(help.out, HasSubstr("Usage: larkspur [--demo] [--clean ITEM[,ITEM...]]\n  or:  "));
  EXPECT_THAT(help.out, HasSubstr("${XDG_STATE_HOME:-~/.local/state}/larkspur/larkspur.log"));
#endif
}

}  // namespace
}  // namespace larkspur
