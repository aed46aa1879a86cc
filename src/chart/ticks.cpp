#include "chart/ticks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/numtext.h"

namespace vexa::chart {
namespace {

// The smallest 1-2-5 step that is at least x (x > 0 and finite).
double NiceStepAtLeast(double x) {
  const double decade = std::pow(10.0, std::floor(std::log10(x)));
  for (const double m : {1.0, 2.0, 5.0, 10.0}) {
    // A little tolerance so 0.3 / 3 does not become 0.2 for rounding's sake.
    if (m * decade >= x * (1.0 - 1e-9)) return m * decade;
  }
  return 10.0 * decade;
}

}  // namespace

AxisTicks ComputeTicks(ValueSpan range, int length_px, int min_spacing_px,
                       double desired_increment, bool whole_numbers) {
  AxisTicks t;
  const double lo = std::min(range.min, range.max);
  const double hi = std::max(range.min, range.max);
  if (!std::isfinite(lo) || !std::isfinite(hi) || !std::isfinite(hi - lo)) return t;
  if (lo == hi) {
    t.step = 1.0;
    t.values.push_back(lo);
    return t;
  }
  const int length = std::max(length_px, 1);
  const int spacing = std::max(min_spacing_px, 1);
  double wanted = (hi - lo) * spacing / length;
  if (std::isfinite(desired_increment) && desired_increment > wanted) wanted = desired_increment;
  if (whole_numbers) wanted = std::max(wanted, 1.0);
  t.step = NiceStepAtLeast(wanted);
  const double first = std::ceil(lo / t.step - 1e-9);
  const std::size_t most = static_cast<std::size_t>(length / spacing) + 2;
  for (double k = first; t.values.size() < most; k += 1.0) {
    const double v = k * t.step;
    if (v > hi + t.step * 1e-9) break;
    t.values.push_back(v);
  }
  return t;
}

std::string FormatTick(double value, double step) {
  if (std::fabs(value) < std::fabs(step) * 1e-9) value = 0.0;
  const int decimals =
      step > 0 && step < 1 ? static_cast<int>(std::ceil(-std::log10(step) - 1e-9)) : 0;
  return FormatFixed(value, std::clamp(decimals, 0, 15));
}

std::string FormatTickExponent(double value, double step) {
  if (!std::isfinite(value)) return FormatTick(value, step);
  if (std::fabs(value) < std::fabs(step) * 1e-9 || value == 0.0) return "0";
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const double s = std::fabs(step);
  const int step_exponent =
      s > 0 && std::isfinite(s) ? static_cast<int>(std::floor(std::log10(s) + 1e-9)) : exponent;
  const int digits = std::clamp(exponent - step_exponent + 1, 1, 15);
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
  std::string text(buffer, r.ptr);
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  std::string power = text.substr(e + 1);
  const bool negative = !power.empty() && power[0] == '-';
  if (!power.empty() && (power[0] == '+' || power[0] == '-')) power.erase(0, 1);
  while (power.size() > 1 && power[0] == '0') power.erase(0, 1);
  return mantissa + "e" + (negative ? "-" : "") + power;
}

double CoarserStep(double step) {
  if (!(step > 0) || !std::isfinite(step)) return step;
  const double decade = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  const double m = step / decade;
  if (m < 1.5) return 2.0 * decade;
  if (m < 3.5) return 5.0 * decade;
  return 10.0 * decade;
}

AxisTicks ThinTicks(const AxisTicks& ticks, double step) {
  AxisTicks t;
  t.step = step;
  if (!(step > 0) || !std::isfinite(step)) return ticks;
  for (const double v : ticks.values) {
    const double k = v / step;
    if (std::fabs(k - std::round(k)) < 1e-6) t.values.push_back(std::round(k) * step);
  }
  return t;
}

}  // namespace vexa::chart
