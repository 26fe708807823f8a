#include "cleanup/run_notes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace larkspur {
namespace {

using ::testing::ElementsAre;

// Two profiles, four items: each cause is one sentence, said once, in the same order however
// the run met them.
TEST(RunNotes, OneSentenceACauseEachOnceInAFixedOrder) {
  RunNotes notes;
  notes.Other("Firefox profile /p skipped: it is reached through a link.");
  for (int profile = 0; profile < 2; ++profile) {
    notes.BrowserRunning("Firefox", 2, "form history");
    notes.BrowserRunning("Firefox", 1, "cookies");
    notes.BrowserRunning("Firefox", 0, "history");
  }
  notes.NotFound("No Chrome profile found in /c.");
  notes.NotFound("No Chrome profile found in /c.");
  notes.BrowserRunning("Chrome", 1, "cookies");
  notes.Other("Firefox profile /p skipped: it is reached through a link.");

  EXPECT_THAT(notes.Sentences(),
              ElementsAre("No Chrome profile found in /c.",
                          "Close Firefox to clear its history, cookies and form history.",
                          "Close Chrome to clear its cookies.",
                          "Firefox profile /p skipped: it is reached through a link."));
  EXPECT_EQ(notes.NotFoundReports(), 2u);
  notes.Clear();
  EXPECT_TRUE(notes.Sentences().empty());
}

}  // namespace
}  // namespace larkspur
