#include "core/datetime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace vexa {
namespace {

constexpr long long kMsPerDay = 86'400'000;

// Days from 1970-01-01 to a civil date (proleptic Gregorian), after
// H. Hinnant's days_from_civil.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// 30.12.1899 counted from 1970-01-01.
const long long kEpochShift = DaysFromCivil(1899, 12, 30);

}  // namespace

bool IsValidDate(int y, int mo, int d) {
  if (y < 1 || y > 9999 || mo < 1 || mo > 12 || d < 1) return false;
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[mo - 1] + (mo == 2 && leap ? 1 : 0);
}

double EncodeTimeOfDay(int h, int mi, int s, int ms) {
  const long long total = ((h * 60LL + mi) * 60 + s) * 1000 + ms;
  return static_cast<double>(total) / static_cast<double>(kMsPerDay);
}

double EncodeDateTime(int y, int mo, int d, int h, int mi, int s, int ms) {
  const long long days =
      DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) - kEpochShift;
  const double time = EncodeTimeOfDay(h, mi, s, ms);
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

double NowDateTime() { return LocalDateTime(std::chrono::system_clock::now()); }

double LocalDateTime(std::chrono::system_clock::time_point now) {
  using namespace std::chrono;
  const std::time_t secs = system_clock::to_time_t(now);
  const int ms =
      static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000 + 1000) %
      1000;
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &secs);
#else
  localtime_r(&secs, &local);
#endif
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec, ms);
}

DateTimeParts DecodeDateTime(double t) {
  if (std::isnan(t)) t = 0;
  if (t < kMinDateTime) t = kMinDateTime;
  if (t > kMaxDateTime) t = kMaxDateTime;
  long long days = static_cast<long long>(std::trunc(t));
  long long ms = std::llround(std::fabs(t - static_cast<double>(days)) * kMsPerDay);
  if (ms >= kMsPerDay) {  // 23:59:59.9996 rounds into the next day
    ms -= kMsPerDay;
    days += t < 0 ? -1 : 1;
  }
  // The last millisecond of 31.12.9999 must not carry into year 10000.
  const long long maxDays = static_cast<long long>(kMaxDateTime);
  if (days > maxDays) days = maxDays, ms = kMsPerDay - 1;
  DateTimeParts p;
  CivilFromDays(days + kEpochShift, p.year, p.month, p.day);
  p.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  p.second = static_cast<int>(ms % 60);
  ms /= 60;
  p.minute = static_cast<int>(ms % 60);
  p.hour = static_cast<int>(ms / 60);
  return p;
}

std::string FormatDateTime(double t) {
  const DateTimeParts p = DecodeDateTime(t);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", p.day, p.month, p.year, p.hour,
                p.minute, p.second);
  return buf;
}

std::string FormatDayTimeLabel(double t) {
  const DateTimeParts p = DecodeDateTime(t);
  char buf[40];
  std::snprintf(buf, sizeof buf, "[%02d]%02d:%02d:%02d", p.day, p.hour, p.minute, p.second);
  return buf;
}

std::string FormatFileStamp(double t) {
  const DateTimeParts p = DecodeDateTime(t);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d (%02d-%02d-%02d)", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  return buf;
}

std::string FormatElapsed(double days) {
  if (!(days > 0)) days = 0;
  if (days > kMaxDateTime) days = kMaxDateTime;
  const long long whole = static_cast<long long>(days);
  long long ms = std::llround((days - static_cast<double>(whole)) * kMsPerDay);
  long long hours = whole * 24;
  if (ms >= kMsPerDay) ms -= kMsPerDay, hours += 24;
  const long long secs = ms / 1000;
  hours += secs / 3600;
  char buf[48];
  std::snprintf(buf, sizeof buf, "[%lld:%02d:%02d]", hours, static_cast<int>(secs / 60 % 60),
                static_cast<int>(secs % 60));
  return buf;
}

namespace {

bool TakeDigits(std::string_view s, std::size_t& i, int count, int& value) {
  value = 0;
  for (int k = 0; k < count; ++k, ++i) {
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    value = value * 10 + (s[i] - '0');
  }
  return true;
}

bool Take(std::string_view s, std::size_t& i, char c) {
  if (i >= s.size() || s[i] != c) return false;
  ++i;
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool ParseDateTime(std::string_view text, double& out) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  int d, mo, y, h, mi, s;
  if (!TakeDigits(text, i, 2, d) || !Take(text, i, '.') || !TakeDigits(text, i, 2, mo) ||
      !Take(text, i, '.') || !TakeDigits(text, i, 4, y) || !Take(text, i, ' ') ||
      !TakeDigits(text, i, 2, h) || !Take(text, i, ':') || !TakeDigits(text, i, 2, mi) ||
      !Take(text, i, ':') || !TakeDigits(text, i, 2, s)) {
    return false;
  }
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i != text.size()) return false;
  if (!IsValidDate(y, mo, d) || h > 23 || mi > 59 || s > 59) return false;
  out = EncodeDateTime(y, mo, d, h, mi, s);
  return true;
}

}  // namespace vexa
