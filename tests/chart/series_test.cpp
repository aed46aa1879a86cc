#include "chart/series.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace vexa::chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Appends the same points to a series and to a plain vector (NaN = null) and
// checks that the series reads them back, whatever storage it chose.
void ExpectSameValues(const Series& s, const std::vector<double>& want, const char* what) {
  ASSERT_EQ(s.Count(), want.size()) << what;
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (std::isnan(want[i])) {
      ASSERT_TRUE(s.IsNull(i)) << what << " at " << i;
    } else {
      ASSERT_EQ(s.Value(i), static_cast<float>(want[i])) << what << " at " << i;
    }
  }
}

TEST(SeriesPoints, StorageSwitchKeepsEveryValue) {
  struct Pattern {
    const char* what;
    bool (*is_value)(std::size_t i);
    bool dense_at_end;
  };
  const Pattern patterns[] = {
      {"all null (label carrier)", [](std::size_t) { return false; }, false},
      {"a bar every 100 (marks)", [](std::size_t i) { return i % 100 == 7; }, false},
      {"every point (channel)", [](std::size_t) { return true; }, true},
      {"long null stretch, then values", [](std::size_t i) { return i >= 1000; }, true},
      {"one in three", [](std::size_t i) { return i % 3 == 0; }, false},
      {"two of three", [](std::size_t i) { return i % 3 != 0; }, true},
  };
  for (const Pattern& p : patterns) {
    Series s;
    std::vector<double> want;
    for (std::size_t i = 0; i < 5000; ++i) {
      const double v = p.is_value(i) ? 0.1 * static_cast<double>(i % 977) - 20 : kNaN;
      want.push_back(v);
      if (std::isnan(v)) {
        s.AddNull();
      } else {
        s.Add(v);
      }
    }
    EXPECT_EQ(s.Dense(), p.dense_at_end) << p.what;
    ExpectSameValues(s, want, p.what);
  }
}

TEST(SeriesPoints, NonFiniteValuesAreNullAndHugeOnesClamp) {
  Series s;
  s.Add(kNaN);
  s.Add(std::numeric_limits<double>::infinity());
  s.Add(-std::numeric_limits<double>::infinity());
  s.Add(1e300);
  s.Add(-1e300);
  s.Add(760.1);
  EXPECT_EQ(s.Count(), 6u);
  EXPECT_TRUE(s.IsNull(0) && s.IsNull(1) && s.IsNull(2));
  EXPECT_EQ(s.Value(3), FLT_MAX);
  EXPECT_EQ(s.Value(4), -FLT_MAX);
  EXPECT_FLOAT_EQ(static_cast<float>(s.Value(5)), 760.1f);
  EXPECT_EQ(s.ValueRange().min, -FLT_MAX);
  // Out of range reads are null, never a crash.
  EXPECT_TRUE(s.IsNull(6));
  EXPECT_TRUE(std::isnan(s.Value(static_cast<std::size_t>(-1))));
  EXPECT_EQ(s.LabelText(99), "");
}

TEST(SeriesPoints, ValueRangeOverSubrangesMatchesAScan) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> value(-50, 50);
  for (double null_share : {0.0, 0.3, 0.7, 1.0}) {
    Series s;
    std::vector<double> want;
    std::bernoulli_distribution is_null(null_share);
    for (int i = 0; i < 3000; ++i) {
      const double v = is_null(rng) ? kNaN : static_cast<float>(value(rng));
      want.push_back(v);
      s.Add(v);
    }
    std::uniform_int_distribution<std::size_t> index(0, 3100);
    for (int k = 0; k < 200; ++k) {
      const std::size_t a = index(rng), b = index(rng);
      MinMax expect;
      for (std::size_t i = a; i <= b && i < want.size(); ++i) {
        if (std::isnan(want[i])) continue;
        expect.min = expect.valid ? std::min(expect.min, want[i]) : want[i];
        expect.max = expect.valid ? std::max(expect.max, want[i]) : want[i];
        expect.valid = true;
      }
      const MinMax got = s.ValueRange(a, b);
      ASSERT_EQ(got.valid, expect.valid) << a << ".." << b << " nulls " << null_share;
      if (got.valid) {
        ASSERT_EQ(got.min, expect.min);
        ASSERT_EQ(got.max, expect.max);
      }
    }
  }
  EXPECT_FALSE(Series().ValueRange().valid);
  EXPECT_FALSE(Series().ValueRange(0, 10).valid);
}

TEST(SeriesLabels, TextAndNumericLabelsFormatOnDemand) {
  Series s;
  s.AddNull("start");
  s.AddNull(DayTimeLabel{45000.5});  // 15.03.2023 12:00
  s.Add(30.0, "mark one");
  s.AddNull();
  s.AddNull(DayTimeLabel{45001.0 + 1.0 / 86400});
  s.AddNull(ElapsedLabel{93909});  // other numeric kind: kept as text
  EXPECT_TRUE(s.HasLabels());
  EXPECT_EQ(s.NumericLabelKind(), LabelKind::kDayTime);
  const char* want[] = {"start", "[15]12:00:00", "mark one", "", "[16]00:00:01", "[26:05:09]"};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(s.LabelText(i), want[i]) << i;
  EXPECT_EQ(s.Value(2), 30.0);

  Series elapsed;
  elapsed.AddNull(ElapsedLabel{0});
  elapsed.AddNull(ElapsedLabel{3599});
  EXPECT_EQ(elapsed.LabelText(0), "[0:00:00]");
  EXPECT_EQ(elapsed.LabelText(1), "[0:59:59]");
  EXPECT_FALSE(Series().HasLabels());
}

TEST(SeriesLabels, ClearDropsPointsAndLabelsButKeepsAppearance) {
  Series s(SeriesKind::kBar, "Marks");
  s.Color = 0x00FFFF;
  s.Active = false;
  for (int i = 0; i < 200; ++i) s.Add(i, DayTimeLabel{45000.0 + i});
  s.AddNull("x");
  s.Clear();
  EXPECT_EQ(s.Count(), 0u);
  EXPECT_FALSE(s.HasLabels());
  EXPECT_FALSE(s.ValueRange().valid);
  EXPECT_FALSE(s.Dense());
  EXPECT_EQ(s.MemoryBytes(), 0u);
  EXPECT_EQ(s.Title, "Marks");
  EXPECT_EQ(s.Color, 0x00FFFFu);
  EXPECT_FALSE(s.Active);
  EXPECT_EQ(s.Kind(), SeriesKind::kBar);
  // The series is usable again, with a fresh label kind.
  s.AddNull(ElapsedLabel{61});
  EXPECT_EQ(s.LabelText(0), "[0:01:01]");
}

// A week-long recording at the largest size the loader promises: seven
// channels, both time-label carriers and the marks series must together stay
// below what seven vectors of doubles would take.
TEST(SeriesMemory, MillionRowRecordingFitsInLessThanSevenDoubleColumns) {
  constexpr std::size_t kRows = 1'000'000;
  std::vector<Series> channels(7);
  Series abs_time, rel_time, marks(SeriesKind::kBar);
  for (Series* s : {&abs_time, &rel_time, &marks}) s->Reserve(kRows);
  for (Series& s : channels) s.Reserve(kRows);
  for (std::size_t r = 0; r < kRows; ++r) {
    for (std::size_t c = 0; c < 7; ++c) channels[c].Add(static_cast<double>(r % 1000) / 10 + c);
    abs_time.AddNull(DayTimeLabel{45000.0 + r * 5.0 / 86400});
    rel_time.AddNull(ElapsedLabel{static_cast<std::int32_t>(r * 5)});
    if (r % 100 == 0) {
      marks.Add(30.0, "mark text of a usual length");
    } else {
      marks.AddNull();
    }
  }
  std::size_t total = abs_time.MemoryBytes() + rel_time.MemoryBytes() + marks.MemoryBytes();
  for (const Series& s : channels) {
    EXPECT_EQ(s.MemoryBytes(), kRows * sizeof(float)) << "reserved exactly, no growth slack";
    total += s.MemoryBytes();
  }
  EXPECT_EQ(abs_time.MemoryBytes(), kRows * sizeof(double));
  EXPECT_EQ(rel_time.MemoryBytes(), kRows * sizeof(std::int32_t));
  EXPECT_LT(marks.MemoryBytes(), kRows / 100 * 120) << "about a hundred bytes per mark";
  EXPECT_LT(total, 7 * sizeof(double) * kRows);
  EXPECT_EQ(abs_time.LabelText(kRows - 1), "[11]20:53:15");
  EXPECT_EQ(rel_time.LabelText(kRows - 1), "[1388:53:15]");
  EXPECT_EQ(marks.LabelText(kRows - 100), "mark text of a usual length");
}

}  // namespace
}  // namespace vexa::chart
