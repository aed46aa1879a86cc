#include "chart/labels.h"

#include <cmath>
#include <limits>

#include "core/datetime.h"

namespace vexa::chart {
namespace {

constexpr long long kMsPerDay = 86'400'000;
// 01.01.0001 and 31.12.9999 as days since 30.12.1899.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958466.0;

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
  return FormatDayTimeLabel(days);
}

std::string FormatElapsed(std::int32_t seconds) {
  return vexa::FormatElapsed(seconds > 0 ? seconds / 86400.0 : 0.0);
}

}  // namespace vexa::chart
