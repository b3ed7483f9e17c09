#include "settings/decimal_text.h"

#include <gtest/gtest.h>

namespace lirako {
namespace {

TEST(ReadDecimal, ReadsLeadingNumberAndSaturates) {
  EXPECT_EQ(ReadDecimal(u"   42abc"), 42);
  EXPECT_EQ(ReadDecimal(u"\t-7"), -7);
  EXPECT_EQ(ReadDecimal(u"+9"), 9);
  EXPECT_EQ(ReadDecimal(u""), 0);
  EXPECT_EQ(ReadDecimal(u"- 5"), 0);
  EXPECT_EQ(ReadDecimal(u"1,400"), 1);
  EXPECT_EQ(ReadDecimal(u"2147483648"), 2147483647);
  EXPECT_EQ(ReadDecimal(u"-99999999999999"), -2147483647 - 1);
}

TEST(FormatThousands, GroupsThreeDigitsWithCommas) {
  EXPECT_EQ(FormatThousands(300), u"300");
  EXPECT_EQ(FormatThousands(1400), u"1,400");
  EXPECT_EQ(FormatThousands(1234567), u"1,234,567");
  EXPECT_EQ(FormatThousands(-1000), u"-1,000");
}

}  // namespace
}  // namespace lirako
