// Tick labels: the exponent form that keeps huge or tiny values within an
// axis's room, and the coarser steps a narrow axis thins its ticks to.
#include "chart/ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vexa::chart {
namespace {

TEST(FormatTickExponent, KeepsTheDigitsTheStepNeedsAndNoMore) {
  struct Case {
    double value, step;
    const char* text;
  };
  const Case cases[] = {
      {3.4028234663852886e38, 5e37, "3.4e38"},  // a float's largest, ticks 5e37 apart
      {-3.4028234663852886e38, 5e37, "-3.4e38"},
      {3e38, 1e38, "3e38"},                     // trailing zeros dropped
      {1.5e38, 5e37, "1.5e38"},
      {5e37, 5e37, "5e37"},
      {0.0, 5e37, "0"},
      {1e22, 1e37, "0"},                        // a rounding remnant of zero
      {2.5e-12, 5e-13, "2.5e-12"},
      {123456.0, 1.0, "1.23456e5"},
      {-0.000125, 0.000005, "-1.25e-4"},
      {1e300, 1e-300, "1e300"},                 // at most 15 digits
  };
  for (const Case& c : cases) EXPECT_EQ(FormatTickExponent(c.value, c.step), c.text) << c.value;
}

TEST(FormatTickExponent, IsNeverLongerThanTheFixedFormForHugeValues) {
  for (const double v : {3.4e38, 1e20, -7.5e15}) {
    EXPECT_GT(FormatTick(v, v / 5).size(), 15u);
    EXPECT_LE(FormatTickExponent(v, v / 5).size(), 8u) << v;
  }
}

TEST(CoarserSteps, GoOneTwoFiveAndThinTheTicksToTheirMultiples) {
  const double steps[][2] = {{0.1, 0.2}, {0.2, 0.5}, {0.5, 1}, {1, 2}, {5, 10}, {2e37, 5e37}};
  for (const auto& s : steps) EXPECT_DOUBLE_EQ(CoarserStep(s[0]), s[1]) << s[0];
  const AxisTicks half = ComputeTicks({19.5, 25.0}, 400, 20, 0.1);
  ASSERT_DOUBLE_EQ(half.step, 0.5);
  const AxisTicks whole = ThinTicks(half, 1.0);
  EXPECT_EQ(whole.values, (std::vector<double>{20, 21, 22, 23, 24, 25}));
  EXPECT_EQ(FormatTick(whole.values.back(), whole.step), "25") << "no decimal left to show";
  EXPECT_TRUE(ThinTicks(AxisTicks{}, 2.0).values.empty());
}

}  // namespace
}  // namespace vexa::chart
