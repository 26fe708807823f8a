#include "platform/console_text.h"

#include <gtest/gtest.h>

namespace larkspur {
namespace {

TEST(ConsoleLine, ControlsAndBrokenUtf8AreEscapedAndNothingElse) {
  EXPECT_EQ(ConsoleLine("-->/cache/a\nb.htm"), "-->/cache/a\\nb.htm");
  EXPECT_EQ(ConsoleLine("\x1b]0;owned\x07\x1b[2J"), "\\x1B]0;owned\\x07\\x1B[2J");
  EXPECT_EQ(ConsoleLine("tab\there\rDEL\x7f"), "tab\\there\\rDEL\\x7F");
  EXPECT_EQ(ConsoleLine(std::string("nul\0x", 5)), "nul\\x00x");
  // C1 controls written as UTF-8 (U+009B is a CSI of its own), and bytes that are no UTF-8.
  EXPECT_EQ(ConsoleLine("a\xc2\x9b"
                        "31mb"),
            "a\\xC2\\x9B31mb");
  EXPECT_EQ(ConsoleLine("\x9b\xff\xc3"), "\\x9B\\xFF\\xC3");
  EXPECT_EQ(ConsoleLine("\xe2\x82"), "\\xE2\\x82");
  // Windows paths, accents and other scripts stay as they are.
  EXPECT_EQ(ConsoleLine("-->C:\\Users\\Zoë\\Cache\\日本.htm \xc2\xa0"),
            "-->C:\\Users\\Zoë\\Cache\\日本.htm \xc2\xa0");
  EXPECT_EQ(ConsoleLine(""), "");
}

}  // namespace
}  // namespace larkspur
