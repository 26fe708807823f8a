#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chromium/profile_names.h"

// What the profiles lose and keep is seen end to end: e2e/chromium, e2e/windows_chromium_test.sh.
namespace larkspur {
namespace {

using ::testing::ElementsAre;

TEST(Chromium, ProfileNamesFromLocalStateThenTheUsualFoldersEachOnce) {
  EXPECT_THAT(ProfileNames(R"({"profile":{"info_cache":{"Work":{},"Default":{},"../up":{},)"
                           R"("a\\b":{},"System Profile":{},"":{}}}})",
                           {"Profile 10", "Default", "Profile x", "Profile 2", "Cache"}),
              ElementsAre("Default", "Work", "Profile 10", "Profile 2"));
  EXPECT_THAT(ProfileNames("{not json", {"Default", "Guest Profile"}), ElementsAre("Default"));
  EXPECT_THAT(ProfileNames(R"({"profile":{"info_cache":["Default"]}})", {}), ElementsAre());
}

}  // namespace
}  // namespace larkspur
