#include "app/run_summary.h"

#include <gtest/gtest.h>

namespace larkspur {
namespace {

TEST(RunSummary, CountsAndSizesReadAsPeopleWriteThem) {
  EXPECT_EQ(GroupedCount(0), "0");
  EXPECT_EQ(GroupedCount(999), "999");
  EXPECT_EQ(GroupedCount(1000), "1,000");
  EXPECT_EQ(GroupedCount(1234567), "1,234,567");
  // Windows Explorer's units of 1024, GNOME Files' of 1000; rounding may reach the next unit.
  EXPECT_EQ(ByteSize(1, kBinaryUnits), "1 byte");
  EXPECT_EQ(ByteSize(1023, kBinaryUnits), "1,023 bytes");
  EXPECT_EQ(ByteSize(1'048'575, kBinaryUnits), "1.0 MB");
  EXPECT_EQ(ByteSize(1'043'333, kBinaryUnits), "1,018.9 KB");
  EXPECT_EQ(ByteSize(999, kDecimalUnits), "999 bytes");
  EXPECT_EQ(ByteSize(999'950, kDecimalUnits), "1.0 MB");
  EXPECT_EQ(ByteSize(999'949, kDecimalUnits), "999.9 kB");
#ifdef _WIN32
  EXPECT_EQ(ByteSize(1024), "1.0 KB");
#else
  EXPECT_EQ(ByteSize(1024), "1.0 kB");
#endif
}

TEST(RunSummary, OneLineSaysWhatWentAndWhyTheRestStayed) {
  RunTally tally;
  EXPECT_EQ(SummaryLine(tally), "Nothing to erase.");

  for (int i = 0; i < 1234; ++i)
    tally.Erased(i == 0 ? 59'454'259 - 1233 : 1);
  tally.Stayed(StayReason::kInUse, 3);
  const std::string size = ByteSize(59'454'259);  // in this system's units
  EXPECT_EQ(SummaryLine(tally), "Erased 1,234 items (" + size + "). 3 stayed: in use.");

  tally.Stayed(StayReason::kBrowserRunning);
  EXPECT_EQ(SummaryLine(tally),
            "Erased 1,234 items (" + size + "). 4 stayed: 3 in use, 1 browser running.");

  RunTally only_stayed;
  only_stayed.Stayed(StayReason::kNotFound);
  EXPECT_EQ(SummaryLine(only_stayed), "Nothing erased. 1 stayed: not found.");

  RunTally one;
  one.Erased(0);
  EXPECT_EQ(SummaryLine(one), "Erased 1 item (0 bytes).");

  // A preview's words say that nothing happened yet.
  EXPECT_EQ(SummaryLine(one, true), "Would erase 1 item (0 bytes).");
  EXPECT_EQ(SummaryLine(only_stayed, true), "Nothing would be erased. 1 would stay: not found.");
  EXPECT_EQ(SummaryLine(RunTally{}, true), "Nothing to erase.");
  EXPECT_EQ(StayedLine("/c/index.dat", StayReason::kInUse, false), "stayed (in use): /c/index.dat");
  EXPECT_EQ(StayedLine("URL history", StayReason::kNotSupported, true),
            "would stay (not supported): URL history");
}

TEST(RunSummary, LogEntryGivesTheSummaryThenOnlyTheItemsThatDidSomething) {
  RunTally one;
  one.Erased(0);
  RunTally cookies;
  cookies.Erased(300);
  cookies.Erased(300);
  cookies.Stayed(StayReason::kBrowserRunning);
  RunTally history;
  EXPECT_EQ(
      LogEntry("2026-12-07 14:35:02", "Delete Now",
               {{"ie-history", history}, {"firefox-cookies", cookies}}),
      "2026-12-07 14:35:02 Delete Now: Erased 2 items (600 bytes). 1 stayed: browser running. "
      "firefox-cookies: 2 erased (600 bytes), 1 stayed (browser running).\n");
  RunTally locked;
  locked.Stayed(StayReason::kInUse, 3);
  EXPECT_EQ(LogEntry("2026-12-07 14:35:02", "timed run",
                     {{"ie-cookies", locked}, {"ie-history", history}, {"ie-typed-urls", one}}),
            "2026-12-07 14:35:02 timed run: Erased 1 item (0 bytes). 3 stayed: in use. "
            "ie-cookies: 3 stayed (in use); ie-typed-urls: 1 erased (0 bytes).\n");
  EXPECT_EQ(LogEntry("2026-12-07 14:35:02", "timed run", {}),
            "2026-12-07 14:35:02 timed run: No item ticked.\n");
}

TEST(RunSummary, TrayTipNamesTheNextRunWithinTheTipLimit) {
  EXPECT_EQ(NextRunTip(14, 35), "Larkspur: next run at 14:35");
  EXPECT_EQ(NextRunTip(0, 5), "Larkspur: next run at 00:05");
  EXPECT_LE(NextRunTip(23, 59).size(), 63u);
}

}  // namespace
}  // namespace larkspur
