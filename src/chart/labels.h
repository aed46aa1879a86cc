// Point labels kept as numbers and turned into text only when shown: a
// week-long recording carries a clock-time and an elapsed-time label per
// sample, and a string per point would cost more than the values themselves.
#pragma once

#include <cstdint>
#include <string>

namespace vexa::chart {

// How a series stores the numeric labels of its points.
enum class LabelKind : std::uint8_t {
  kNone,     // no numeric labels (text labels only, if any)
  kDayTime,  // date-time in days since 30.12.1899, shown as "[dd]hh:mm:ss"
  kElapsed,  // whole seconds since the start, shown as "[h:mm:ss]"
};

// A clock-time label: date-time in days (whole part) plus the fraction of the day.
struct DayTimeLabel {
  double days = 0.0;
};

// An elapsed-time label in whole seconds.
struct ElapsedLabel {
  std::int32_t seconds = 0;

  // Whole seconds of a span of days, as a clock would show it: the span is
  // rounded to the millisecond and the seconds are then truncated. A negative
  // or non-finite span gives 0; one beyond 32 bits of seconds is clamped.
  static ElapsedLabel FromDays(double days);
};

// The text comes from the date-time helpers of src/core/datetime.h: values are
// rounded to the millisecond before the seconds are truncated.

// "[dd]hh:mm:ss": day of the month in brackets, then the time of day. Empty for
// a value that is not finite or lies outside the years 1 to 9999.
std::string FormatDayTime(double days);

// "[%d:%02d:%02d]" of hours (may exceed 24), minutes and seconds. A negative
// span counts as 0.
std::string FormatElapsed(std::int32_t seconds);

}  // namespace vexa::chart
