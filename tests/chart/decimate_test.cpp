#include "chart/decimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace vexa::chart {
namespace {

// The straightforward per-point reduction the fast one must agree with.
std::vector<ColumnStroke> Reference(const std::vector<double>& v, std::size_t first,
                                    std::size_t last, int columns) {
  std::vector<ColumnStroke> out;
  if (columns <= 0 || v.empty() || first > last || first >= v.size()) return out;
  last = std::min(last, v.size() - 1);
  const std::size_t n = last - first + 1;
  for (std::size_t i = first; i <= last; ++i) {
    if (std::isnan(v[i])) continue;
    const int c = static_cast<int>((i - first) * static_cast<std::size_t>(columns) / n);
    const float x = static_cast<float>(v[i]);
    if (out.empty() || out.back().column != c) {
      out.push_back({c, x, x, x, x});
    } else {
      out.back().min = std::min(out.back().min, x);
      out.back().max = std::max(out.back().max, x);
      out.back().last = x;
    }
  }
  return out;
}

void ExpectSame(const std::vector<ColumnStroke>& got, const std::vector<ColumnStroke>& want,
                const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t k = 0; k < got.size(); ++k) {
    ASSERT_EQ(got[k].column, want[k].column) << what << " stroke " << k;
    ASSERT_EQ(got[k].min, want[k].min) << what << " stroke " << k;
    ASSERT_EQ(got[k].max, want[k].max) << what << " stroke " << k;
    ASSERT_EQ(got[k].first, want[k].first) << what << " stroke " << k;
    ASSERT_EQ(got[k].last, want[k].last) << what << " stroke " << k;
  }
}

TEST(DecimateColumns, AgreesWithAPerPointReductionForDenseAndSparseSeries) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> value(-100, 100);
  for (double null_share : {0.0, 0.05, 0.9, 1.0}) {
    std::bernoulli_distribution is_null(null_share);
    Series s;
    std::vector<double> v;
    for (int i = 0; i < 10007; ++i) {
      v.push_back(is_null(rng) ? std::numeric_limits<double>::quiet_NaN() : value(rng));
      s.Add(v.back());
    }
    struct Window {
      std::size_t first, last;
      int columns;
    };
    const Window windows[] = {
        {0, 10006, 800},  {0, 10006, 1},      {0, 10006, 10007}, {0, 10006, 30000},
        {123, 4567, 333}, {5000, 5000, 100},  {9000, 99999, 64}, {10006, 10006, 1},
        {0, 10006, 0},    {0, 10006, -5},     {50, 10, 100},     {20000, 30000, 10},
    };
    for (const Window& w : windows) {
      const std::string what = "nulls " + std::to_string(null_share) + " window " +
                               std::to_string(w.first) + ".." + std::to_string(w.last) + " / " +
                               std::to_string(w.columns);
      ExpectSame(DecimateColumns(s, w.first, w.last, w.columns),
                 Reference(v, w.first, w.last, w.columns), what);
    }
  }
  EXPECT_TRUE(DecimateColumns(Series(), 0, 100, 10).empty());
}

TEST(DecimateColumns, EachColumnKeepsItsExtremes) {
  Series s;
  for (double x : {1.0, 9.0, -2.0, 4.0, 5.0, 5.0, 0.5, 7.0}) s.Add(x);
  const auto strokes = DecimateColumns(s, 0, 7, 2);
  ASSERT_EQ(strokes.size(), 2u);
  EXPECT_EQ(strokes[0].min, -2.0f);
  EXPECT_EQ(strokes[0].max, 9.0f);
  EXPECT_EQ(strokes[0].first, 1.0f);
  EXPECT_EQ(strokes[0].last, 4.0f);
  EXPECT_EQ(strokes[1].min, 0.5f);
  EXPECT_EQ(strokes[1].max, 7.0f);
}

}  // namespace
}  // namespace vexa::chart
