#include "chart/chart.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexa::chart {
namespace {

TEST(ChartSeries, ListRefusesNullAndDuplicates) {
  Chart chart;
  Series a, b;
  EXPECT_EQ(chart.AddSeries(&a), 0);
  EXPECT_EQ(chart.AddSeries(&b), 1);
  EXPECT_EQ(chart.AddSeries(&a), -1);
  EXPECT_EQ(chart.AddSeries(nullptr), -1);
  EXPECT_EQ(chart.IndexOf(&b), 1);
  chart.RemoveAllSeries();
  EXPECT_EQ(chart.SeriesCount(), 0);
  EXPECT_EQ(chart.IndexOf(&a), -1);
}

TEST(ChartAxes, SeriesFallBackToStandardAxesWhenTheirCustomAxisIsGone) {
  Chart chart;
  const int first = chart.AddCustomAxis(true);
  Axis* kept = &chart.CustomAxis(first);
  for (int i = 0; i < 50; ++i) chart.AddCustomAxis();
  EXPECT_EQ(kept, &chart.CustomAxis(first)) << "references survive appends";
  Series s;
  s.CustomHorizAxis = 0;
  s.CustomVertAxis = 7;
  EXPECT_EQ(&chart.HorizontalAxisOf(s), kept);
  EXPECT_EQ(&chart.VerticalAxisOf(s), &chart.CustomAxis(7));
  chart.ClearCustomAxes();
  EXPECT_EQ(&chart.HorizontalAxisOf(s), &chart.BottomAxis());
  EXPECT_EQ(&chart.VerticalAxisOf(s), &chart.LeftAxis());
}

// A channel hidden in the legend takes its axis with it, from the drawing
// and from the layout (its neighbour's labels get the room).
TEST(ChartAxes, AnAxisIsShownWhileOneOfItsSeriesIsActiveOrNoneUsesIt) {
  Chart chart;
  const int time = chart.AddCustomAxis(true);
  const int a = chart.AddCustomAxis();
  const int b = chart.AddCustomAxis();
  const int empty = chart.AddCustomAxis();
  chart.CustomAxis(b).PositionPercent = -8;
  Series carrier, sa, sb, shared;
  carrier.CustomHorizAxis = sa.CustomHorizAxis = sb.CustomHorizAxis = time;
  sa.CustomVertAxis = a;
  sb.CustomVertAxis = shared.CustomVertAxis = b;
  for (Series* s : {&carrier, &sa, &sb, &shared}) chart.AddSeries(s);
  for (int i : {time, a, b, empty}) EXPECT_TRUE(chart.AxisShown(chart.CustomAxis(i))) << i;
  chart.MarginLeft = 30;
  chart.UpdateLayout(1000, 500);
  EXPECT_TRUE(chart.Layout().custom_room[static_cast<std::size_t>(a)].at_axis);
  sb.Active = false;
  EXPECT_TRUE(chart.AxisShown(chart.CustomAxis(b))) << "another active series uses it";
  shared.Active = false;
  EXPECT_FALSE(chart.AxisShown(chart.CustomAxis(b)));
  sa.Active = false;
  EXPECT_FALSE(chart.AxisShown(chart.CustomAxis(a)));
  EXPECT_TRUE(chart.AxisShown(chart.CustomAxis(time))) << "the carrier is still active";
  EXPECT_TRUE(chart.AxisShown(chart.CustomAxis(empty)));
  chart.CustomAxis(empty).Visible = false;
  EXPECT_FALSE(chart.AxisShown(chart.CustomAxis(empty)));
  sa.Active = true;
  chart.MarginLeft = 30;
  chart.UpdateLayout(1000, 500);
  EXPECT_FALSE(chart.Layout().custom_room[static_cast<std::size_t>(a)].at_axis)
      << "the hidden axis is no neighbour";
}

TEST(ChartAxes, SetMinMaxAcceptsEitherOrderAndRefusesNonFinite) {
  Axis axis;
  EXPECT_TRUE(axis.Automatic);
  EXPECT_TRUE(axis.SetMinMax(60, 0));
  EXPECT_EQ(axis.Minimum(), 0);
  EXPECT_EQ(axis.Maximum(), 60);
  EXPECT_FALSE(axis.Automatic);
  axis.Automatic = true;
  EXPECT_FALSE(axis.SetMinMax(0, std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(axis.Automatic);
  EXPECT_EQ(axis.Maximum(), 60);
}

// The chart's automatic scaling, with series as the recording object builds
// them: channel values on their own axis, a marks bar series, time carriers.
TEST(ChartRanges, AutomaticAxesFollowTheirSeries) {
  Chart chart;
  const int time = chart.AddCustomAxis(true);
  const int channel = chart.AddCustomAxis();
  const int marks_axis = chart.AddCustomAxis();
  const int empty_axis = chart.AddCustomAxis();
  Series a, b, marks(SeriesKind::kBar), carrier;
  for (Series* s : {&a, &b}) {
    s->CustomHorizAxis = time;
    s->CustomVertAxis = channel;
  }
  marks.CustomVertAxis = marks_axis;
  carrier.CustomHorizAxis = time;
  for (int i = 0; i < 20; ++i) {
    a.Add(10 + i);
    b.Add(i % 2 ? std::numeric_limits<double>::quiet_NaN() : -3.0);
    carrier.AddNull(ElapsedLabel{i});
  }
  for (int i = 0; i < 5; ++i) marks.AddNull();
  marks.Add(30, "mark");
  for (Series* s : {&marks, &carrier, &a, &b}) chart.AddSeries(s);
  chart.CustomAxis(empty_axis).SetMinMax(2, 4);
  chart.CustomAxis(empty_axis).Automatic = true;
  chart.LeftAxis().SetMinMax(-1, 1);  // fixed: left alone
  chart.BottomAxis().Automatic = true;  // a new chart's is fixed; the layout turns it on

  chart.RecalculateAutomaticRanges();
  auto range = [&](const Axis& x) { return ValueSpan{x.Minimum(), x.Maximum()}; };
  EXPECT_EQ(range(chart.CustomAxis(time)), (ValueSpan{0, 19}));
  EXPECT_EQ(range(chart.CustomAxis(channel)), (ValueSpan{-3, 29}));
  EXPECT_EQ(range(chart.CustomAxis(marks_axis)), (ValueSpan{0, 30})) << "bars stand on zero";
  EXPECT_EQ(range(chart.BottomAxis()), (ValueSpan{0, 5})) << "marks run along the bottom axis";
  EXPECT_EQ(range(chart.CustomAxis(empty_axis)), (ValueSpan{2, 4})) << "no data: unchanged";
  EXPECT_EQ(range(chart.LeftAxis()), (ValueSpan{-1, 1}));
  EXPECT_EQ(chart.LabelSourceFor(chart.CustomAxis(time)), &carrier);
  EXPECT_EQ(chart.LabelSourceFor(chart.CustomAxis(channel)), nullptr);

  a.Clear();
  b.Clear();
  b.Add(7);
  chart.RecalculateAutomaticRanges();
  EXPECT_EQ(range(chart.CustomAxis(channel)), (ValueSpan{6, 8})) << "a single value is widened";
}

// The live view: the time axis is scrolled by one before each sample is added.
TEST(ChartScroll, LiveTimeAxisWaitsForTheDataThenKeepsTheNewestSampleAtItsEnd) {
  Chart chart;
  Axis& time = chart.CustomAxis(chart.AddCustomAxis(true));
  time.SetMinMax(0, 10);
  Series s;
  s.CustomHorizAxis = 0;
  chart.AddSeries(&s);
  for (int n = 0; n < 30; ++n) {
    chart.ScrollAxis(time, 1.0, true);
    s.Add(n);
    const double newest = n;
    EXPECT_EQ(time.Maximum(), std::max(10.0, newest)) << "after sample " << n;
    EXPECT_EQ(time.Maximum() - time.Minimum(), 10.0);
  }
  chart.ScrollAxis(time, 100.0, false);
  EXPECT_EQ(time.Minimum(), 119);
  chart.ScrollAxis(time, 1.0, true);
  EXPECT_EQ(time.Minimum(), 119) << "past the data: stays";
}

struct Recorded {
  std::vector<PixelRect> zooms;
  int undos = 0;
  int scrolls = 0;
  std::vector<int> legend_clicks;
};

// A chart laid out like the monitor: one channel axis beside the plot, the
// time axis at the bottom; 1000 × 500 pixels.
class GestureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chart.MarginLeft = 10;
    chart.MarginRight = 0;
    chart.MarginTop = 0;
    chart.MarginBottom = 0;
    chart.Legend.Visible = false;
    chart.BottomAxis().Visible = false;
    chart.LeftAxis().Visible = false;
    chart.RightAxis().Visible = false;
    chart.TopAxis().Visible = false;
    time = chart.AddCustomAxis(true);
    channel = chart.AddCustomAxis();
    chart.CustomAxis(time).SetMinMax(0, 100);
    chart.CustomAxis(channel).SetMinMax(0, 60);
    chart.BottomAxis().SetMinMax(0, 100);
    chart.LeftAxis().SetMinMax(0, 10);
    chart.OnZoom = [this](PixelRect r) { log.zooms.push_back(r); };
    chart.OnUndoZoom = [this] { ++log.undos; };
    chart.OnScroll = [this] { ++log.scrolls; };
    chart.OnClickLegend = [this](int i) { log.legend_clicks.push_back(i); };
    chart.UpdateLayout(1000, 500);
  }
  ValueSpan Range(const Axis& a) { return {a.Minimum(), a.Maximum()}; }

  Chart chart;
  int time = -1, channel = -1;
  Recorded log;
};

TEST_F(GestureTest, LayoutReachesTheAxes) {
  // Plot: x 100..999, y 0..477 (the visible custom time axis takes its band).
  EXPECT_EQ(chart.Layout().plot, (PixelRect{100, 0, 999, 477}));
  const Axis& t = chart.CustomAxis(time);
  EXPECT_EQ((AxisExtent{t.IStartPos, t.IEndPos, t.IPosition}), (AxisExtent{100, 999, 477}));
  const Axis& c = chart.CustomAxis(channel);
  EXPECT_EQ((AxisExtent{c.IStartPos, c.IEndPos, c.IPosition}), (AxisExtent{0, 477, 100}));
  EXPECT_DOUBLE_EQ(c.CalcPosPoint(477), 0);
  EXPECT_DOUBLE_EQ(c.CalcPosPoint(0), 60);
  EXPECT_DOUBLE_EQ(t.CalcPosValue(50), 549.5);

  Series legend_item;
  chart.AddSeries(&legend_item);
  chart.Legend.Visible = true;
  chart.TitleVisible = true;
  chart.TitleLines = {"a", "b", "c", "d", "e"};
  chart.UpdateLayout(1000, 500);
  EXPECT_EQ(chart.Layout().plot, (PixelRect{100, 76, 863, 477}));
  legend_item.ShowInLegend = false;
  chart.UpdateLayout(1000, 500);
  EXPECT_EQ(chart.Layout().plot.right, 999) << "a legend without items takes no room";
}

TEST_F(GestureTest, ZoomChangesTheStandardAxesOnlyAndUndoRestoresThem) {
  chart.BottomAxis().Automatic = true;  // automatic before the zoom: restored as such
  Series s;
  for (int i = 0; i <= 200; ++i) s.Add(i);
  chart.AddSeries(&s);

  EXPECT_EQ(chart.HandleLeftDrag(100 + 225, 0 + 48, 100 + 675, 477 - 48), DragKind::kZoom);
  ASSERT_EQ(log.zooms.size(), 1u);
  EXPECT_EQ(log.zooms[0], (PixelRect{325, 48, 775, 429}));
  // The automatic bottom axis ran 0..200 over pixels 100..999.
  EXPECT_DOUBLE_EQ(chart.BottomAxis().Minimum(), 225.0 / 899 * 200);
  EXPECT_DOUBLE_EQ(chart.BottomAxis().Maximum(), 675.0 / 899 * 200);
  EXPECT_FALSE(chart.BottomAxis().Automatic);
  EXPECT_NEAR(chart.LeftAxis().Minimum(), 1.0063, 1e-4);
  EXPECT_NEAR(chart.LeftAxis().Maximum(), 8.9937, 1e-4);
  EXPECT_EQ(Range(chart.CustomAxis(time)), (ValueSpan{0, 100})) << "custom axes keep their range";
  EXPECT_EQ(Range(chart.CustomAxis(channel)), (ValueSpan{0, 60}));
  EXPECT_TRUE(chart.Zoomed());

  chart.HandleLeftDrag(325, 48, 775, 429);  // zoom again, deeper
  EXPECT_EQ(chart.HandleLeftDrag(500, 300, 400, 200), DragKind::kUndo);
  EXPECT_EQ(log.undos, 1);
  EXPECT_FALSE(chart.Zoomed());
  EXPECT_TRUE(chart.BottomAxis().Automatic) << "back to the state before the first zoom";
  EXPECT_EQ(Range(chart.LeftAxis()), (ValueSpan{0, 10}));

  // A small drag does nothing; an undo when not zoomed still reports the gesture.
  EXPECT_EQ(chart.HandleLeftDrag(10, 10, 19, 300), DragKind::kNone);
  EXPECT_EQ(chart.HandleLeftDrag(10, 10, 5, 5), DragKind::kUndo);
  EXPECT_EQ(log.undos, 2);
  EXPECT_EQ(Range(chart.LeftAxis()), (ValueSpan{0, 10}));
}

TEST_F(GestureTest, ZoomDirectionLimitsTheAxesItChanges) {
  chart.Direction = ZoomDirection::kHorizontal;
  chart.HandleLeftDrag(325, 48, 775, 429);
  EXPECT_EQ(Range(chart.LeftAxis()), (ValueSpan{0, 10}));
  EXPECT_NE(Range(chart.BottomAxis()), (ValueSpan{0, 100}));
  chart.UndoZoom();
  chart.Direction = ZoomDirection::kVertical;
  chart.HandleLeftDrag(325, 48, 775, 429);
  EXPECT_EQ(Range(chart.BottomAxis()), (ValueSpan{0, 100}));
  EXPECT_NE(Range(chart.LeftAxis()), (ValueSpan{0, 10}));
}

TEST_F(GestureTest, PanMovesStandardAndCustomAxesAlike) {
  chart.CustomAxis(channel).Automatic = true;  // automatic ends with a pan
  Series s;
  s.CustomVertAxis = channel;
  s.Add(0);
  s.Add(60);
  chart.AddSeries(&s);
  chart.Pan(90, 0);  // 90 px of 899: a tenth of the width to the right
  EXPECT_NEAR(chart.CustomAxis(time).Minimum(), -10.011, 1e-3);
  EXPECT_NEAR(chart.BottomAxis().Maximum(), 89.989, 1e-3);
  EXPECT_EQ(Range(chart.CustomAxis(channel)), (ValueSpan{0, 60})) << "no vertical move";
  EXPECT_TRUE(chart.CustomAxis(channel).Automatic);
  chart.Pan(0, -477);  // a whole plot height up: lower values come into view
  EXPECT_EQ(Range(chart.CustomAxis(channel)), (ValueSpan{-60, 0}));
  EXPECT_FALSE(chart.CustomAxis(channel).Automatic);
  EXPECT_EQ(Range(chart.LeftAxis()), (ValueSpan{-10, 0}));
  EXPECT_EQ(log.scrolls, 2);
}

TEST_F(GestureTest, LegendClickTogglesTheSeries) {
  Series a, b;
  chart.AddSeries(&a);
  chart.AddSeries(&b);
  chart.ToggleSeriesActive(1);
  chart.ToggleSeriesActive(5);
  chart.ToggleSeriesActive(-1);
  EXPECT_TRUE(a.Active);
  EXPECT_FALSE(b.Active);
  EXPECT_EQ(log.legend_clicks, std::vector<int>{1});
}

TEST_F(GestureTest, ZeroSizeChartLeavesGesturesHarmless) {
  chart.UpdateLayout(0, 0);
  EXPECT_FALSE(chart.Layout().valid);
  EXPECT_EQ(chart.CustomAxis(channel).CalcPosPoint(100), 0);
  chart.HandleLeftDrag(0, 0, 50, 50);
  chart.Pan(30, 30);
  EXPECT_EQ(Range(chart.CustomAxis(channel)), (ValueSpan{0, 60}));
  EXPECT_EQ(chart.BottomAxis().Minimum(), chart.BottomAxis().Maximum())
      << "zooming a collapsed axis gives the one value it shows";
}

TEST(ChartClip, ForwardsToThePainterAndRemembersTheRectangle) {
  Chart chart;
  EXPECT_FALSE(chart.CanClip());
  chart.ClipRectangle({1, 2, 3, 4});  // without a painter: only remembered
  EXPECT_EQ(chart.ActiveClip(), (PixelRect{1, 2, 3, 4}));
  std::vector<PixelRect> clips;
  int unclips = 0;
  chart.CanClipHook = [] { return true; };
  chart.ClipHook = [&](PixelRect r) { clips.push_back(r); };
  chart.UnclipHook = [&] { ++unclips; };
  EXPECT_TRUE(chart.CanClip());
  chart.ClipRectangle({10, 20, 30, 40});
  chart.UnClipRectangle();
  EXPECT_EQ(clips, std::vector<PixelRect>{(PixelRect{10, 20, 30, 40})});
  EXPECT_EQ(unclips, 1);
  EXPECT_FALSE(chart.ActiveClip().has_value());
}

}  // namespace
}  // namespace vexa::chart
