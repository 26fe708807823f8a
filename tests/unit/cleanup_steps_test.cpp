#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/cleanup_steps.h"
#include "fakes/fake_folder_tree.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_url_cache.h"
#include "fakes/fake_url_history.h"
#include "fakes/guarded_memory.h"
#include "platform/sqlite/sqlite_bookmark_store.h"
#include "support/native_ports.h"

namespace larkspur {
namespace {

using ::testing::ElementsAre;

class CleanupStepsTest : public ::testing::Test {
 protected:
  CleanupStepsTest() {
    form_.Label5.SetListener([this](const std::string& text) { texts_.push_back(text); });
    registry_.PutString(kTypedUrlsKey, "url2", "http://typed.example/");
    cache_.Add("http://cached.example/");
    cache_.Add("Cookie:me@cookie.example/");
    ie_.Load_IECacheEntries();
  }

  testing::FakeRegistry registry_;
  testing::FakeUrlCache cache_;
  testing::FakeUrlHistory history_;
  testing::GuardedMemory memory_;
  testing::FakeFolderTree folders_;
  std::unique_ptr<ProfileStringPort> ini_ = testing::NativeProfileStrings();
  std::unique_ptr<FilePatternPort> files_ = testing::NativeFilePatterns();
  Form1 form_;
  std::vector<std::string> texts_;
  RunRecord record_{form_.Label5};
  IEHistory ie_{IECleanupPorts{registry_, cache_, history_, memory_, folders_, record_},
                form_.List2, form_.List3};
  std::unique_ptr<ProfileFolders> profiles_ = testing::NativeProfileFolders("");
  SqliteBookmarkStore bookmarks_;
  FirefoxHistory firefox_{FirefoxPorts{registry_, *ini_, *files_, *profiles_, folders_, bookmarks_,
                                       form_.Label5, record_, "",
                                       [] { return std::chrono::year(2026) / 12 / 7; }}};
  std::unique_ptr<UserDataFolders> user_data_ = testing::NativeUserDataFolders();
  ChromiumHistory chromium_{
      ChromiumPorts{registry_, *profiles_, *user_data_, folders_, form_.Label5, record_, ""}};
  Cleaners cleaners_{ie_, firefox_, chromium_, record_};
  // The registry here names no application-data folder.
  const std::string kNoFirefox = "No Firefox profile found: no application-data folder.";
  const std::string kNoBrowser = kNoFirefox +
                                 " No Chrome, Chromium, Brave, Vivaldi or Opera profile found."
                                 " No Edge profile found.";
};

TEST_F(CleanupStepsTest, AllBoxesTickedRunsEveryStepInOrder) {
  for (const CleanupStep& step : kCleanupSteps)
    (form_.*step.box).Value = kTicked;
  RunTickedSteps(form_, cleaners_);
  EXPECT_THAT(
      texts_,
      ElementsAre(
          "Deleting IE History...", "Deleting IE Temporary Internet Files...",
          "-->http://cached.example/", "Deleting Typed Urls In IE...", "-->http://typed.example/",
          "Deleting IE Cookies...", "-->Cookie:me@cookie.example/", "Deleting Firefox History...",
          "Deleting Firefox Downloads...", "Deleting Firefox Typed URLs...",
          "Deleting Firefox Cookies...", "Deleting Firefox Cache...", "Deleting Chrome History...",
          "Deleting Chrome Cache...", "Deleting Chrome Cookies...", "Deleting Chrome Open Tabs...",
          "Deleting Edge History...", "Deleting Edge Cache...", "Deleting Edge Cookies...",
          "Deleting Edge Open Tabs...", "Erased 3 items (22 bytes). " + kNoBrowser));
  EXPECT_EQ(history_.clear_calls, 1);
  ASSERT_EQ(record_.Items().size(), 17u);
  EXPECT_EQ(record_.Items()[2].item, "ie-typed-urls");
  EXPECT_EQ(record_.Items()[2].tally.erased_bytes, 22u) << "the value's data, terminator included";

  // Counts start afresh with every run.
  texts_.clear();
  RunTickedSteps(form_, cleaners_);
  EXPECT_EQ(texts_.back(), "Nothing to erase. " + kNoBrowser);
}

// Three kinds of nothing, three sentences: no box ticked, no data of the ticked browser, and
// nothing left of what was found.
TEST_F(CleanupStepsTest, OnlyTheTickedStepsRun) {
  RunTickedSteps(form_, cleaners_);
  EXPECT_THAT(texts_, ElementsAre("No item is ticked."));
  EXPECT_TRUE(cache_.deleted_urls().empty());

  // The Firefox "Clear Cookies" box is not Internet Explorer's box of the same caption.
  texts_.clear();
  form_.chkCookies.Value = kTicked;
  RunTickedSteps(form_, cleaners_);
  EXPECT_THAT(texts_, ElementsAre("Deleting Firefox Cookies...", kNoFirefox));
  EXPECT_TRUE(cache_.Has("Cookie:me@cookie.example/"));
  EXPECT_TRUE(registry_.HasValue(kTypedUrlsKey, "url2"));

  form_.chkCookies.Value = kUnticked;
  form_.chkIETyped.Value = kTicked;
  RunTickedSteps(form_, cleaners_);
  texts_.clear();
  RunTickedSteps(form_, cleaners_);
  EXPECT_THAT(texts_, ElementsAre("Deleting Typed Urls In IE...", "Nothing to erase."));
}

TEST(CleanupSteps, CommandLineItemsAreUniqueAndMatchTheBoxes) {
  const Form1 form;
  std::vector<std::string> captions;
  for (const CleanupStep& step : kCleanupSteps)
    captions.push_back((form.*step.box).Caption);
  EXPECT_THAT(captions, ElementsAre("Clear History", "Clear Cache/Temp Internet Files",
                                    "Clear Typed Urls In IE", "Clear Cookies", "Clear Form History",
                                    "Clear Downloads", "Clear Typed URL(s) In Firefox",
                                    "Clear Cookies", "Clear Cache", "Clear History", "Clear Cache",
                                    "Clear Cookies", "Clear Open Tabs", "Clear History",
                                    "Clear Cache", "Clear Cookies", "Clear Open Tabs"));
}

}  // namespace
}  // namespace larkspur
