// Date-times are doubles: whole days since 30 December 1899 plus the fraction
// of the day, in local time. A value below zero keeps its time of day as the
// absolute fraction (-1.25 is 29.12.1899 06:00), as the recording files and
// the chart labels have always counted them.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace vexa {

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Range the helpers accept: 01.01.0001 00:00:00.000 to 31.12.9999 23:59:59.999.
inline constexpr double kMinDateTime = -693593.0;
inline constexpr double kMaxDateTime = 2958465.99999999;

// The current local time.
double NowDateTime();
// The local time of a moment of the system clock, as the system's time zone
// (TZ on POSIX) has it then.
double LocalDateTime(std::chrono::system_clock::time_point moment);

// Date and time to a date-time. Fields are not range-checked here (use
// IsValidDate); the year must lie within 1..9999 for a meaningful result.
double EncodeDateTime(int y, int mo, int d, int h, int mi, int s, int ms = 0);
// The fraction of a day for a time of day.
double EncodeTimeOfDay(int h, int mi, int s, int ms);

bool IsValidDate(int y, int mo, int d);

// Splits a date-time, rounded to the millisecond (a carry never gives 60
// seconds or 24 hours). NaN gives the epoch; values beyond the range (and
// infinities) are clamped to its ends.
DateTimeParts DecodeDateTime(double t);

// "dd.mm.yyyy hh:mm:ss"
std::string FormatDateTime(double t);
// Reads "dd.mm.yyyy hh:mm:ss", leading blanks allowed, trailing blanks and
// line ends ignored. False for any other form or a date that does not exist.
bool ParseDateTime(std::string_view text, double& out);
// "[dd]hh:mm:ss": day of the month in brackets, then the time of day.
std::string FormatDayTimeLabel(double t);
// "[h:mm:ss]" of a span in days, hours counting the whole days too
// (26 h 5 min 9 s gives "[26:05:09]"). A negative or non-finite span counts as 0.
std::string FormatElapsed(double days);
// "yyyy-mm-dd (hh-mm-ss)", the stamp in a recording file's name.
std::string FormatFileStamp(double t);

}  // namespace vexa
