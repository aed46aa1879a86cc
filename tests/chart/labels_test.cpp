#include "chart/labels.h"

#include <gtest/gtest.h>

#include <limits>

namespace vexa::chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSecond = 1.0 / 86400;

TEST(FormatDayTime, DayOfMonthAndTimeOfDay) {
  struct Case {
    double days;
    const char* text;
  };
  const Case cases[] = {
      {0, "[30]00:00:00"},
      {1.5, "[31]12:00:00"},
      {2, "[01]00:00:00"},
      {45351 + 0.75, "[29]18:00:00"},         // 29.02.2024
      {45000 + 59 * kSecond, "[15]00:00:59"},  // 15.03.2023
      {45000 - 0.0004 * kSecond, "[15]00:00:00"},  // 23:59:59.9996 rounds into the next day
      {45000 + 0.9994 * kSecond, "[15]00:00:00"},  // rounds to .999, seconds truncated
      {-1.25, "[29]06:00:00"},  // before the epoch the fraction counts forward
      {-693593, "[01]00:00:00"},  // 01.01.0001
      {2958465.5, "[31]12:00:00"},  // 31.12.9999
      {kNaN, ""},
      {std::numeric_limits<double>::infinity(), ""},
      {2958466, ""},
      {-693594, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDayTime(c.days), c.text) << c.days;
}

TEST(FormatElapsed, HoursGoPastADay) {
  EXPECT_EQ(FormatElapsed(0), "[0:00:00]");
  EXPECT_EQ(FormatElapsed(93909), "[26:05:09]");
  EXPECT_EQ(FormatElapsed(-5), "[0:00:00]");
  EXPECT_EQ(FormatElapsed(std::numeric_limits<std::int32_t>::max()), "[596523:14:07]");
}

TEST(ElapsedLabel, FromDaysRoundsToTheMillisecondThenTruncates) {
  EXPECT_EQ(ElapsedLabel::FromDays(1 + (2 * 3600 + 5 * 60 + 9) * kSecond).seconds, 93909);
  EXPECT_EQ(ElapsedLabel::FromDays(0.9996 * kSecond).seconds, 1);
  EXPECT_EQ(ElapsedLabel::FromDays(0.9994 * kSecond).seconds, 0);
  EXPECT_EQ(ElapsedLabel::FromDays(-3).seconds, 0);
  EXPECT_EQ(ElapsedLabel::FromDays(kNaN).seconds, 0);
  EXPECT_EQ(ElapsedLabel::FromDays(1e10).seconds, std::numeric_limits<std::int32_t>::max());
}

}  // namespace
}  // namespace vexa::chart
