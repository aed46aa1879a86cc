#include "core/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vexa {
namespace {

TEST(EncodeDateTime, CountsDaysFromTheEpoch) {
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1, 6, 0, 0), 2.25);
  EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 2, 29, 12, 0, 0), 36585.5);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0), -1.25);
  EXPECT_DOUBLE_EQ(EncodeTimeOfDay(18, 0, 0, 0), 0.75);
}

TEST(DecodeDateTime, RoundTripsAndNeverShowsSixtySeconds) {
  const double t = EncodeDateTime(2026, 12, 8, 14, 23, 5, 250);
  const DateTimeParts p = DecodeDateTime(t);
  EXPECT_EQ(p.year, 2026);
  EXPECT_EQ(p.month, 12);
  EXPECT_EQ(p.day, 8);
  EXPECT_EQ(p.hour, 14);
  EXPECT_EQ(p.minute, 23);
  EXPECT_EQ(p.second, 5);
  EXPECT_EQ(p.millisecond, 250);

  // A hair before midnight rounds into the next day, not to 24:00:00.
  const double almost = EncodeDateTime(2024, 12, 31, 0, 0, 0) + 0.99999999999;
  EXPECT_EQ(FormatDateTime(almost), "01.01.2025 00:00:00");
  // A hair before a full minute rounds to the minute, not to :60.
  const double minute = EncodeDateTime(2024, 1, 1, 10, 0, 59, 999) + 0.6 / 86400000.0;
  EXPECT_EQ(FormatDateTime(minute), "01.01.2024 10:01:00");
  EXPECT_EQ(FormatDateTime(-1.25), "29.12.1899 06:00:00");
}

TEST(DecodeDateTime, ClampsValuesOutsideTheCalendar) {
  EXPECT_EQ(FormatDateTime(std::numeric_limits<double>::quiet_NaN()), "30.12.1899 00:00:00");
  EXPECT_EQ(FormatDateTime(std::numeric_limits<double>::infinity()), "31.12.9999 23:59:59");
  EXPECT_EQ(FormatDateTime(1e300), "31.12.9999 23:59:59");
  EXPECT_EQ(FormatDateTime(-1e300), "01.01.0001 00:00:00");
  EXPECT_EQ(DecodeDateTime(kMaxDateTime + 0.5e-8).year, 9999);
}

TEST(FormatDateTime, WritesEveryForm) {
  const double t = EncodeDateTime(2026, 12, 8, 14, 23, 5);
  EXPECT_EQ(FormatDateTime(t), "08.12.2026 14:23:05");
  EXPECT_EQ(FormatDayTimeLabel(t), "[08]14:23:05");
  EXPECT_EQ(FormatFileStamp(t), "2026-12-08 (14-23-05)");
}

TEST(FormatElapsed, CountsWholeDaysAsHours) {
  EXPECT_EQ(FormatElapsed(EncodeTimeOfDay(26, 5, 9, 0)), "[26:05:09]");
  EXPECT_EQ(FormatElapsed(0), "[0:00:00]");
  EXPECT_EQ(FormatElapsed(EncodeTimeOfDay(1, 59, 59, 999) + 0.9 / 86400000.0), "[2:00:00]");
  EXPECT_EQ(FormatElapsed(-0.5), "[0:00:00]");
  EXPECT_EQ(FormatElapsed(std::numeric_limits<double>::quiet_NaN()), "[0:00:00]");
  EXPECT_EQ(FormatElapsed(1e300).front(), '[');
}

TEST(ParseDateTime, AcceptsTheFileFormOnly) {
  double t = 0;
  ASSERT_TRUE(ParseDateTime("  08.12.2026 14:23:05\r\n", t));
  EXPECT_EQ(FormatDateTime(t), "08.12.2026 14:23:05");
  ASSERT_TRUE(ParseDateTime("29.02.2024 00:00:00", t));

  t = 42;
  for (const char* bad :
       {"", "                   ", "8.12.2026 14:23:05", "08/12/2026 14:23:05", "08.12.2026 14:23",
        "08.12.2026 14:23:05x", "29.02.2023 00:00:00", "31.04.2026 00:00:00", "00.01.2026 00:00:00",
        "01.13.2026 00:00:00", "01.01.2026 24:00:00", "01.01.2026 12:60:00", "01.01.0000 00:00:00",
        "-1.01.2026 00:00:00"}) {
    EXPECT_FALSE(ParseDateTime(bad, t)) << bad;
  }
  EXPECT_EQ(t, 42);  // a failed parse leaves the target alone
}

TEST(NowDateTime, IsAPlausibleLocalTime) {
  const DateTimeParts p = DecodeDateTime(NowDateTime());
  EXPECT_GE(p.year, 2024);
  EXPECT_LE(p.year, 2200);
}

}  // namespace
}  // namespace vexa
