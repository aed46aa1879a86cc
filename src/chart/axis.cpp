#include "chart/axis.h"

#include <cmath>

#include "chart/geometry.h"

namespace vexa::chart {

bool Axis::SetMinMax(double a, double b) {
  if (!std::isfinite(a) || !std::isfinite(b)) return false;
  min_ = a < b ? a : b;
  max_ = a < b ? b : a;
  Automatic = false;
  return true;
}

void Axis::SetAutomaticRange(double min, double max) {
  if (!std::isfinite(min) || !std::isfinite(max)) return;
  min_ = min < max ? min : max;
  max_ = min < max ? max : min;
}

void Axis::Scroll(double amount) {
  if (!std::isfinite(amount)) return;
  const double lo = min_ + amount;
  const double hi = max_ + amount;
  if (!std::isfinite(lo) || !std::isfinite(hi)) return;
  min_ = lo;
  max_ = hi;
  Automatic = false;
}

double Axis::CalcPosPoint(int pixel) const {
  return PixelToValue({min_, max_}, {IStartPos, IEndPos, IPosition}, Horizontal, pixel);
}

double Axis::CalcPosValue(double value) const {
  return ValueToPixel({min_, max_}, {IStartPos, IEndPos, IPosition}, Horizontal, value);
}

}  // namespace vexa::chart
