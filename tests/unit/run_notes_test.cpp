#include "cleanup/run_notes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace larkspur {
namespace {

// Two profiles, several causes met in any order: one sentence each, said once, in a fixed order.
TEST(RunNotes, OneSentenceACauseEachOnceInAFixedOrder) {
  RunNotes notes;
  notes.Other("Firefox profile /p skipped: it is reached through a link.");
  for (int profile = 0; profile < 2; ++profile) {
    notes.BrowserRunning("Firefox", 2, "form history");
    notes.BrowserRunning("Firefox", 1, "cookies");
    notes.BrowserRunning("Firefox", 0, "history");
    notes.NotFound("No Chrome profile found in /c.");
  }
  notes.BrowserRunning("Chrome", 1, "cookies");
  EXPECT_THAT(
      notes.Sentences(),
      ::testing::ElementsAre("No Chrome profile found in /c.",
                             "Close Firefox to clear its history, cookies and form history.",
                             "Close Chrome to clear its cookies.",
                             "Firefox profile /p skipped: it is reached through a link."));
}

}  // namespace
}  // namespace larkspur
