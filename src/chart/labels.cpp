#include "chart/labels.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace vexa::chart {
namespace {

constexpr long long kMsPerDay = 86'400'000;
// 01.01.0001 and 31.12.9999 as days since 30.12.1899.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958466.0;
// Days from 01.01.1970 back to 30.12.1899.
constexpr long long kEpochShift = -25569;

// Day of the month of a count of days since 01.01.1970 (proleptic Gregorian;
// the algorithm of H. Hinnant's "chrono-compatible low-level date algorithms").
int DayOfMonth(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  return static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
}

}  // namespace

ElapsedLabel ElapsedLabel::FromDays(double days) {
  if (!(days > 0) || !std::isfinite(days)) return {};
  constexpr double kMaxDays = static_cast<double>(std::numeric_limits<std::int32_t>::max()) / 86400.0;
  if (days >= kMaxDays) return {std::numeric_limits<std::int32_t>::max()};
  const double whole = std::trunc(days);
  const long long ms = std::llround((days - whole) * static_cast<double>(kMsPerDay));
  const long long seconds = static_cast<long long>(whole) * 86400 + ms / 1000;
  if (seconds > std::numeric_limits<std::int32_t>::max()) return {std::numeric_limits<std::int32_t>::max()};
  return {static_cast<std::int32_t>(seconds)};
}

std::string FormatDayTime(double days) {
  if (!std::isfinite(days) || days < kFirstDay || days >= kLastDay) return {};
  long long day = static_cast<long long>(std::trunc(days));
  long long ms = std::llround(std::fabs(days - static_cast<double>(day)) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {  // 23:59:59.9996 rounds into the next day
    ms -= kMsPerDay;
    day += days < 0 ? -1 : 1;
  }
  const long long s = ms / 1000;
  char buf[32];
  std::snprintf(buf, sizeof buf, "[%02d]%02d:%02d:%02d", DayOfMonth(day + kEpochShift),
                static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
  return buf;
}

std::string FormatElapsed(std::int32_t seconds) {
  const long s = seconds > 0 ? seconds : 0;
  char buf[32];
  std::snprintf(buf, sizeof buf, "[%ld:%02d:%02d]", s / 3600, static_cast<int>(s / 60 % 60),
                static_cast<int>(s % 60));
  return buf;
}

}  // namespace vexa::chart
