#include "chart/geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace vexa::chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

AxisPlacement Horizontal(AxisAnchor anchor, bool visible = true, bool title = false) {
  AxisPlacement a;
  a.horizontal = true;
  a.anchor = anchor;
  a.visible = visible;
  a.shows_title = title;
  return a;
}

AxisPlacement Vertical(AxisAnchor anchor, double position = 0, double start = 0, double end = 100) {
  AxisPlacement a;
  a.anchor = anchor;
  a.position_percent = position;
  a.start_percent = start;
  a.end_percent = end;
  return a;
}

// 1000 × 500 chart, no margins, standard axes hidden.
LayoutInput Bare() {
  LayoutInput in;
  in.width = 1000;
  in.height = 500;
  in.standard[0] = Horizontal(AxisAnchor::kBottom, false);
  in.standard[1] = Vertical(AxisAnchor::kLeft);
  in.standard[1].visible = false;
  in.standard[2] = Vertical(AxisAnchor::kRight);
  in.standard[2].visible = false;
  in.standard[3] = Horizontal(AxisAnchor::kTop, false);
  return in;
}

TEST(PlotRect, TakesLegendMarginsTitleBandsAndDepthInTurn) {
  struct Case {
    const char* what;
    void (*setup)(LayoutInput&);
    PixelRect expected;
  };
  const Case cases[] = {
      {"bare", [](LayoutInput&) {}, {0, 0, 999, 499}},
      {"margins truncate to whole pixels",
       [](LayoutInput& in) {
         in.margin_left = 10.05, in.margin_right = 1, in.margin_top = 2, in.margin_bottom = 2;
       },
       {100, 10, 989, 489}},
      {"legend strip", [](LayoutInput& in) { in.legend = true; }, {0, 0, 863, 499}},
      {"two title lines", [](LayoutInput& in) { in.title_lines = 2; }, {0, 40, 999, 499}},
      {"title lines beyond four count as four", [](LayoutInput& in) { in.title_lines = 9; },
       {0, 76, 999, 499}},
      {"visible bottom axis", [](LayoutInput& in) { in.standard[0].visible = true; },
       {0, 0, 999, 477}},
      {"custom bottom axis with title",
       [](LayoutInput& in) { in.custom.push_back(Horizontal(AxisAnchor::kBottom, true, true)); },
       {0, 0, 999, 461}},
      {"hidden custom horizontal axis takes nothing",
       [](LayoutInput& in) { in.custom.push_back(Horizontal(AxisAnchor::kBottom, false, true)); },
       {0, 0, 999, 499}},
      {"top axis", [](LayoutInput& in) { in.standard[3].visible = true; }, {0, 22, 999, 499}},
      {"right axis", [](LayoutInput& in) { in.standard[2].visible = true; }, {0, 0, 959, 499}},
      {"3D depth from the smaller side",
       [](LayoutInput& in) { in.view_3d = true, in.depth_percent = 10; }, {0, 49, 950, 499}},
      {"margins past the chart collapse onto its edge",
       [](LayoutInput& in) { in.margin_left = 150, in.margin_top = 120; }, {999, 499, 999, 499}},
      {"negative margins stay on the chart",
       [](LayoutInput& in) { in.margin_left = -20, in.margin_bottom = -5; }, {0, 0, 999, 499}},
      {"NaN margins count as none",
       [](LayoutInput& in) { in.margin_left = kNaN, in.margin_top = kNaN; }, {0, 0, 999, 499}},
      {"legend wider than the chart",
       [](LayoutInput& in) { in.width = 100, in.legend = true; }, {0, 0, 0, 499}},
  };
  for (const Case& c : cases) {
    LayoutInput in = Bare();
    c.setup(in);
    EXPECT_EQ(PlotRect(in), c.expected) << c.what;
  }
}

TEST(PlotRect, EmptyChartHasEmptyPlotAndInvalidLayout) {
  for (auto [w, h] : {std::pair{0, 500}, {1000, 0}, {-5, 100}, {INT_MIN, INT_MIN}}) {
    LayoutInput in = Bare();
    in.width = w, in.height = h;
    in.custom.resize(3);
    EXPECT_EQ(PlotRect(in), PixelRect{});
    const ChartLayout layout = ComputeLayout(in);
    EXPECT_FALSE(layout.valid);
    EXPECT_EQ(layout.custom.size(), 3u) << "one (empty) extent per custom axis all the same";
  }
}

TEST(PlotRect, HugeChartIsCappedWithoutOverflow) {
  LayoutInput in = Bare();
  in.width = INT_MAX, in.height = INT_MAX;
  in.margin_left = 1e300, in.view_3d = true, in.depth_percent = INT_MAX;
  in.custom.push_back(Vertical(AxisAnchor::kLeft, -1e300, -1e300, 1e300));
  const ChartLayout layout = ComputeLayout(in);
  EXPECT_TRUE(layout.valid);
  EXPECT_EQ(layout.chart.right, kMaxChartPx - 1);
  EXPECT_LE(layout.plot.right, kMaxChartPx - 1);
}

TEST(PlaceAxis, FollowsPercentPlacement) {
  const PixelRect plot{100, 10, 900, 410};  // 800 × 400
  struct Case {
    const char* what;
    AxisPlacement axis;
    AxisExtent expected;
  };
  const double third = 100.0 / 3;
  const Case cases[] = {
      {"left axis, whole height", Vertical(AxisAnchor::kLeft), {10, 410, 100}},
      {"second channel axis at -7 %", Vertical(AxisAnchor::kLeft, -7), {10, 410, 44}},
      {"seventh channel axis at -48 % lies left of the chart", Vertical(AxisAnchor::kLeft, -48),
       {10, 410, -284}},
      {"right anchor", Vertical(AxisAnchor::kRight, 5), {10, 410, 940}},
      {"marks axis starting at 10 %", Vertical(AxisAnchor::kLeft, 0, 10, 100), {50, 410, 100}},
      {"stacked band 1 of 3 (lowest)", Vertical(AxisAnchor::kLeft, 0, 100 - third + 2, 100),
       {285, 410, 100}},
      {"stacked band 2 of 3", Vertical(AxisAnchor::kLeft, 0, 100 - 2 * third + 2, 100 - third),
       {151, 277, 100}},
      {"stacked band 3 of 3 (top)", Vertical(AxisAnchor::kLeft, 0, 2, 100 - 2 * third),
       {18, 143, 100}},
      {"bottom axis", Horizontal(AxisAnchor::kBottom), {100, 900, 410}},
      {"bottom-anchored axis raised 10 %",
       [] {
         AxisPlacement a = Horizontal(AxisAnchor::kBottom);
         a.position_percent = 10;
         return a;
       }(),
       {100, 900, 370}},
      {"top-anchored axis lowered 10 %, right half",
       [] {
         AxisPlacement a = Horizontal(AxisAnchor::kTop);
         a.position_percent = 10, a.start_percent = 50;
         return a;
       }(),
       {500, 900, 50}},
      {"NaN percentages count as 0", Vertical(AxisAnchor::kLeft, kNaN, kNaN, kNaN), {10, 10, 100}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceAxis(plot, c.axis), c.expected) << c.what;
}

// The normal arrangement: each channel axis's labels reach the next axis
// line to its left; stacked bands (no overlap) reach the chart's edge, and
// hidden axes are nobody's neighbour.
TEST(LabelRoom, ReachesTheNearestShownOverlappingAxisToTheLeft) {
  LayoutInput in = Bare();
  in.margin_left = 30;  // plot from x 300, 700 wide
  struct Case {
    const char* what;
    std::vector<AxisPlacement> axes;
    std::vector<LabelRoom> rooms;
  };
  auto hidden = [](AxisPlacement a) {
    a.visible = false;
    return a;
  };
  const Case cases[] = {
      {"normal arrangement",
       {Vertical(AxisAnchor::kLeft, 0), Vertical(AxisAnchor::kLeft, -8), Vertical(AxisAnchor::kLeft, -16)},
       {{244, true}, {188, true}, {0, false}}},
      {"a hidden axis between: the next shown one",
       {Vertical(AxisAnchor::kLeft, 0), hidden(Vertical(AxisAnchor::kLeft, -8)),
        Vertical(AxisAnchor::kLeft, -16)},
       {{188, true}, {0, false}, {0, false}}},
      {"stacked bands do not overlap",
       {Vertical(AxisAnchor::kLeft, 0, 68, 100), Vertical(AxisAnchor::kLeft, 0, 35, 66),
        Vertical(AxisAnchor::kLeft, 0, 2, 33)},
       {{0, false}, {0, false}, {0, false}}},
      {"an axis left of the chart is no neighbour",
       {Vertical(AxisAnchor::kLeft, 0), Vertical(AxisAnchor::kLeft, -60)},
       {{0, false}, {0, false}}},
      {"horizontal axes are no neighbours",
       {Vertical(AxisAnchor::kLeft, 0), Horizontal(AxisAnchor::kBottom)},
       {{0, false}, {0, false}}},
  };
  for (const Case& c : cases) {
    in.custom = c.axes;
    const ChartLayout layout = ComputeLayout(in);
    EXPECT_EQ(layout.custom_room, c.rooms) << c.what;
  }
}

TEST(ValuePixel, MapsBothWaysWithVerticalAxesGrowingUpwards) {
  const AxisExtent across{100, 900, 0};
  const AxisExtent up{10, 410, 0};
  struct Case {
    ValueSpan range;
    AxisExtent extent;
    bool horizontal;
    double value;
    double pixel;
  };
  const Case cases[] = {
      {{0, 10}, across, true, 0, 100},   {{0, 10}, across, true, 10, 900},
      {{0, 10}, across, true, 5, 500},   {{0, 10}, across, true, -5, -300},
      {{0, 10}, up, false, 0, 410},      {{0, 10}, up, false, 10, 10},
      {{0, 10}, up, false, 2.5, 310},    {{-60, 60}, up, false, 30, 110},
      {{15, 45}, up, false, 45, 10},     {{0, 1e-9}, across, true, 5e-10, 500},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(ValueToPixel(c.range, c.extent, c.horizontal, c.value), c.pixel)
        << c.range.min << ".." << c.range.max << " value " << c.value;
    EXPECT_NEAR(PixelToValue(c.range, c.extent, c.horizontal, c.pixel), c.value,
                1e-12 * (c.range.max - c.range.min) + 1e-12)
        << c.range.min << ".." << c.range.max << " pixel " << c.pixel;
  }
}

TEST(ValuePixel, DegenerateInputsGiveDefinedAnswers) {
  const AxisExtent across{100, 900, 0};
  // min == max: every value at the middle, every pixel reads min.
  EXPECT_DOUBLE_EQ(ValueToPixel({5, 5}, across, true, 123), 500);
  EXPECT_DOUBLE_EQ(PixelToValue({5, 5}, across, true, 777), 5);
  // Zero-length extent (collapsed plot).
  EXPECT_DOUBLE_EQ(ValueToPixel({0, 10}, {300, 300, 0}, false, 7), 300);
  EXPECT_DOUBLE_EQ(PixelToValue({0, 10}, {300, 300, 0}, false, 300), 0);
  // NaN in, NaN out for values; a NaN pixel reads min.
  EXPECT_TRUE(std::isnan(ValueToPixel({0, 10}, across, true, kNaN)));
  EXPECT_DOUBLE_EQ(PixelToValue({0, 10}, across, true, kNaN), 0);
  // A span too wide for a double behaves like min == max instead of giving inf.
  const double big = std::numeric_limits<double>::max();
  EXPECT_DOUBLE_EQ(ValueToPixel({-big, big}, across, true, 0), 500);
}

TEST(ClassifyDrag, ZoomsOnlyRightAndDownByTheMinimumAndUndoesLeftOrUp) {
  struct Case {
    int x0, y0, x1, y1;
    DragKind expected;
  };
  const Case cases[] = {
      {0, 0, 10, 10, DragKind::kZoom},      {5, 5, 400, 300, DragKind::kZoom},
      {0, 0, 9, 50, DragKind::kNone},       {0, 0, 50, 9, DragKind::kNone},
      {7, 7, 7, 7, DragKind::kNone},        {10, 10, 5, 50, DragKind::kUndo},
      {10, 10, 50, 5, DragKind::kUndo},     {10, 10, 0, 0, DragKind::kUndo},
      {10, 10, 10, 0, DragKind::kUndo},     {INT_MIN, INT_MIN, INT_MAX, INT_MAX, DragKind::kZoom},
      {INT_MAX, INT_MAX, INT_MIN, INT_MIN, DragKind::kUndo},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyDrag(c.x0, c.y0, c.x1, c.y1, 10), c.expected)
        << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
  }
  EXPECT_EQ(ClassifyDrag(0, 0, 1, 1, 0), DragKind::kZoom) << "no minimum";
}

TEST(ZoomPanScroll, RangeChangesForGestures) {
  const AxisExtent across{100, 900, 0};
  const AxisExtent up{10, 410, 0};
  EXPECT_EQ(ZoomSpan({0, 10}, across, true, 300, 700), (ValueSpan{2.5, 7.5}));
  EXPECT_EQ(ZoomSpan({0, 10}, across, true, 700, 300), (ValueSpan{2.5, 7.5}));
  EXPECT_EQ(ZoomSpan({0, 10}, up, false, 110, 310), (ValueSpan{2.5, 7.5}));

  EXPECT_EQ(PanSpan({0, 10}, across, true, 80), (ValueSpan{-1, 9})) << "drag right: earlier";
  EXPECT_EQ(PanSpan({0, 10}, up, false, 40), (ValueSpan{1, 11})) << "drag down: higher";
  EXPECT_EQ(PanSpan({5, 5}, up, false, 40), (ValueSpan{5, 5}));
  EXPECT_EQ(PanSpan({0, 10}, {3, 3, 0}, true, 40), (ValueSpan{0, 10}));
  const double big = std::numeric_limits<double>::max();
  EXPECT_EQ(PanSpan({big / 2, big}, across, true, -800), (ValueSpan{big / 2, big}))
      << "a pan that would overflow changes nothing";
}

TEST(ScrollSpan, WithinLimitsMovesOnlyWhileTheLeadingEndHasNotPassedTheData) {
  const MinMax data0to10{true, 0, 10};
  const MinMax none{};
  struct Case {
    const char* what;
    ValueSpan range;
    double amount;
    bool limited;
    MinMax data;
    ValueSpan expected;
  };
  const Case cases[] = {
      {"end reached: moves in full", {0, 10}, 1, true, data0to10, {1, 11}},
      {"end not reached yet", {0, 10}, 1, true, {true, 0, 9}, {0, 10}},
      {"already past the end", {5, 15}, 1, true, data0to10, {5, 15}},
      {"backwards from the start", {0, 10}, -1, true, data0to10, {-1, 9}},
      {"backwards past the start", {-1, 9}, -1, true, data0to10, {-1, 9}},
      {"no data stops a limited scroll", {0, 10}, 1, true, none, {0, 10}},
      {"unlimited ignores the data", {0, 10}, 3, false, none, {3, 13}},
      {"NaN amount", {0, 10}, kNaN, false, none, {0, 10}},
      {"infinite amount", {0, 10}, std::numeric_limits<double>::infinity(), false, none, {0, 10}},
      {"overflow", {0, std::numeric_limits<double>::max()}, 1e308, false, none,
       {0, std::numeric_limits<double>::max()}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScrollSpan(c.range, c.amount, c.limited, c.data), c.expected) << c.what;
  }
}

TEST(AutoRange, UsesTheDataAndWidensASingleValue) {
  const ValueSpan previous{0, 10};
  EXPECT_EQ(AutoRange({true, 2, 8}, previous), (ValueSpan{2, 8}));
  EXPECT_EQ(AutoRange({true, 5, 5}, previous), (ValueSpan{4, 6}));
  EXPECT_EQ(AutoRange({true, 0, 0}, previous), (ValueSpan{-1, 1}));
  EXPECT_EQ(AutoRange({true, -1000, -1000}, previous), (ValueSpan{-1010, -990}));
  EXPECT_EQ(AutoRange({}, previous), previous);
  EXPECT_EQ(AutoRange({true, kNaN, 3}, previous), previous);
}

}  // namespace
}  // namespace vexa::chart
