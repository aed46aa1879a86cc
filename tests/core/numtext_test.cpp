#include "core/numtext.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

#include "core/comma_locale.h"

namespace vexa {
namespace {

TEST(FormatFixed, MatchesPrintfInTheCLocale) {
  for (double v : {0.0, 5.0, 760.0, -0.04, 0.05, 0.15, 2.5, 1234567.891, 1e20, -3.25, 0.45}) {
    for (int d : {0, 1, 3}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%0.*f", d, v);
      EXPECT_EQ(FormatFixed(v, d), expected) << v << " " << d;
    }
  }
  EXPECT_EQ(FormatFixed(1e308, 1).size(), 311u);
  EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 1), "inf");
}

TEST(FormatGeneral, WritesUpToFifteenDigits) {
  EXPECT_EQ(FormatGeneral(5.0), "5");
  EXPECT_EQ(FormatGeneral(0.1), "0.1");
  EXPECT_EQ(FormatGeneral(2.5), "2.5");
  EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatGeneral(1e20), "1e+20");
}

TEST(NumText, IgnoresARussianLocale) {
  // The point stays a point whatever the C locale says.
  testing::CommaLocale comma;
  VEXA_REQUIRE_COMMA_LOCALE(comma);
  EXPECT_EQ(FormatFixed(760.0, 1), "760.0");
  double v = 0;
  EXPECT_TRUE(ParseDouble("2.5", v));
  EXPECT_EQ(v, 2.5);
}

TEST(ParseDoublePrefix, ReadsALeadingNumber) {
  double v = 0;
  ASSERT_TRUE(ParseDoublePrefix("  5.0 s", v));
  EXPECT_EQ(v, 5.0);
  ASSERT_TRUE(ParseDoublePrefix("\t-0.5", v));
  EXPECT_EQ(v, -0.5);
  ASSERT_TRUE(ParseDoublePrefix("+.25e1x", v));
  EXPECT_EQ(v, 2.5);
  ASSERT_TRUE(ParseDoublePrefix("5,0", v));  // the comma ends the number
  EXPECT_EQ(v, 5.0);
  v = 7;
  for (const char* bad : {"", "  ", "abc", ".", "-", "+-1", "--1", "inf", "nan", "1e999", " ,5"}) {
    EXPECT_FALSE(ParseDoublePrefix(bad, v)) << bad;
  }
  EXPECT_EQ(v, 7);
}

TEST(ParseIntPrefix, ReadsALeadingIntegerAndRefusesOverflow) {
  long long v = 0;
  ASSERT_TRUE(ParseIntPrefix(" 42 rows", v));
  EXPECT_EQ(v, 42);
  ASSERT_TRUE(ParseIntPrefix("-9223372036854775808", v));
  EXPECT_EQ(v, std::numeric_limits<long long>::min());
  ASSERT_TRUE(ParseIntPrefix("9223372036854775807", v));
  EXPECT_EQ(v, std::numeric_limits<long long>::max());
  EXPECT_FALSE(ParseIntPrefix("9223372036854775808", v));
  EXPECT_FALSE(ParseIntPrefix("99999999999999999999999", v));
  EXPECT_FALSE(ParseIntPrefix("x1", v));
  EXPECT_FALSE(ParseIntPrefix("- 1", v));
}

TEST(ParseWholeField, RefusesTrailingText) {
  double d = 0;
  long long i = 0;
  EXPECT_TRUE(ParseDouble(" 5.5 \r\n", d));
  EXPECT_FALSE(ParseDouble("5.5 s", d));
  EXPECT_FALSE(ParseDouble("5,5", d));
  EXPECT_TRUE(ParseInt("12 ", i));
  EXPECT_EQ(i, 12);
  EXPECT_FALSE(ParseInt("12.0", i));
  EXPECT_FALSE(ParseInt("", i));
}

}  // namespace
}  // namespace vexa
