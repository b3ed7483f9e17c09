#include "store/line_escape.h"

#include <gtest/gtest.h>

namespace lirako {
namespace {

// Every character that has an escape, and text around them.
const std::string kAwkward = "a\\b\tc\nd\re 별빛";

TEST(LineEscape, WritesEachEscapeAndTabsOnlyWhereAsked) {
  EXPECT_EQ(EscapeLine(kAwkward, EscapeTabs::kYes), "a\\\\b\\tc\\nd\\re 별빛");
  EXPECT_EQ(EscapeLine(kAwkward, EscapeTabs::kNo), "a\\\\b\tc\\nd\\re 별빛");
}

TEST(LineEscape, ReadsBackWhatItWrote) {
  for (EscapeTabs tabs : {EscapeTabs::kNo, EscapeTabs::kYes})
    EXPECT_EQ(UnescapeLine(EscapeLine(kAwkward, tabs), tabs), kAwkward);
}

TEST(LineEscape, AnEscapeItDoesNotWriteKeepsItsBackslash) {
  EXPECT_EQ(UnescapeLine("\\t\\x\\", EscapeTabs::kNo), "\\t\\x\\");
  EXPECT_EQ(UnescapeLine("\\t\\x\\", EscapeTabs::kYes), "\t\\x\\");
}

}  // namespace
}  // namespace lirako
