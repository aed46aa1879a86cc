// Where an axis puts its ticks, labels and grid lines: the multiples of a
// 1-2-5 step (…, 0.1, 0.2, 0.5, 1, 2, 5, 10, …) that lie in its range, the
// step chosen so that neighbouring labels stay a given number of pixels
// apart and never finer than the axis's desired increment.
#pragma once

#include <string>
#include <vector>

#include "chart/geometry.h"

namespace vexa::chart {

struct AxisTicks {
  double step = 0.0;           // 0 when there are no ticks
  std::vector<double> values;  // increasing
};

// length_px is the axis's pixel length, min_spacing_px the least distance
// between two ticks; whole_numbers keeps the step at 1 or more (an index
// axis). An empty or non-finite range gives no ticks; a range of one value
// gives that value. At most length_px / min_spacing_px + 2 ticks come back.
AxisTicks ComputeTicks(ValueSpan range, int length_px, int min_spacing_px,
                       double desired_increment, bool whole_numbers = false);

// A tick value as its label: as many decimals as the step needs, "." as the
// separator, never "-0".
std::string FormatTick(double value, double step);
// The same in exponent form, for labels the fixed form makes too wide:
// "2.5e38", "-1e-12", "0". The mantissa keeps the significant digits that
// tell the value from its neighbours a step away (at most 15), without
// trailing zeros; the exponent has no "+" and no leading zeros.
std::string FormatTickExponent(double value, double step);

// The next coarser 1-2-5 step (1 -> 2 -> 5 -> 10); ticks of it are a subset
// of the ticks of `step` whenever those start at a multiple of it.
double CoarserStep(double step);
// The ticks of `ticks` that are multiples of `step` (a coarser step).
AxisTicks ThinTicks(const AxisTicks& ticks, double step);

}  // namespace vexa::chart
