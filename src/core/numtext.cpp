#include "core/numtext.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vexa {
namespace {

std::string NonFinite(double v) {
  if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
  return v < 0 ? "-inf" : "inf";
}

// Skips blanks and one sign; returns the position of the number's first
// character and whether it is negative. A '+' is refused by from_chars, and
// "-" is handled here too so that both signs go the same way.
std::size_t SkipToNumber(std::string_view text, bool& negative) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  return i;
}

bool OnlyBlanksFrom(std::string_view text, std::size_t i) {
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

bool ReadDouble(std::string_view text, double& out, std::size_t& end) {
  bool negative;
  const std::size_t i = SkipToNumber(text, negative);
  // Only digits or a point may start the number: from_chars would also take
  // "inf", "nan" and a second sign.
  if (i >= text.size() || !((text[i] >= '0' && text[i] <= '9') || text[i] == '.')) return false;
  double v = 0;
  const char* first = text.data() + i;
  const auto [ptr, ec] =
      std::from_chars(first, text.data() + text.size(), v, std::chars_format::general);
  if (ec != std::errc() || !std::isfinite(v)) return false;
  out = negative ? -v : v;
  end = static_cast<std::size_t>(ptr - text.data());
  return true;
}

bool ReadInt(std::string_view text, long long& out, std::size_t& end) {
  bool negative;
  const std::size_t i = SkipToNumber(text, negative);
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
  unsigned long long magnitude = 0;
  const auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), magnitude);
  if (ec != std::errc()) return false;
  constexpr unsigned long long kMax = 9223372036854775807ULL;
  if (magnitude > kMax + (negative ? 1 : 0)) return false;
  out = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
  end = static_cast<std::size_t>(ptr - text.data());
  return true;
}

}  // namespace

std::string FormatFixed(double v, int decimals) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (decimals < 0) decimals = 0;
  if (decimals > 100) decimals = 100;
  char buf[320 + 100 + 8];  // 309 integer digits, sign, point and decimals
  const auto [ptr, ec] =
      std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return NonFinite(v);
  return std::string(buf, ptr);
}

std::string FormatGeneral(double v) {
  if (!std::isfinite(v)) return NonFinite(v);
  char buf[40];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  if (ec != std::errc()) return NonFinite(v);
  return std::string(buf, ptr);
}

bool ParseDoublePrefix(std::string_view text, double& out) {
  std::size_t end;
  return ReadDouble(text, out, end);
}

bool ParseIntPrefix(std::string_view text, long long& out) {
  std::size_t end;
  return ReadInt(text, out, end);
}

bool ParseDouble(std::string_view text, double& out) {
  std::size_t end;
  double v;
  if (!ReadDouble(text, v, end) || !OnlyBlanksFrom(text, end)) return false;
  out = v;
  return true;
}

bool ParseInt(std::string_view text, long long& out) {
  std::size_t end;
  long long v;
  if (!ReadInt(text, v, end) || !OnlyBlanksFrom(text, end)) return false;
  out = v;
  return true;
}

}  // namespace vexa
