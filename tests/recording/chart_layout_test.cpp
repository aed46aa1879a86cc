#include <gtest/gtest.h>

#include <memory>

#include "chart/chart.h"
#include "core/settings.h"
#include "recording/channel.h"

namespace vexa {
namespace {

class ChartLayout : public ::testing::Test {
 protected:
  ChartLayout() : settings(TGLOB::NoFile{}, "/tmp"), channel(settings) {
    channel.CreateFixedAxes(chart);
    channel.Presets = std::make_unique<TPresets>();
    channel.Presets->AddDefault();
  }
  TPreset& Current() { return *channel.Presets->Items[channel.Presets->Current]; }
  void Show(std::initializer_list<int> channels) {
    for (bool& v : Current().Visible) v = false;
    for (int c : channels) Current().Visible[c] = true;
  }

  TGLOB settings;
  chart::Chart chart;  // outlives the channel, which detaches its series
  TChannel channel;
};

TEST_F(ChartLayout, NoVisibleChannelLeavesOnlyTheFixedSeriesAndAxes) {
  Show({});
  channel.BuildChart();
  ASSERT_EQ(chart.SeriesCount(), 3);
  EXPECT_EQ(&chart.SeriesAt(0), &channel.MarksSeries);
  EXPECT_EQ(&chart.SeriesAt(1), &channel.RelTimeSeries);
  EXPECT_EQ(&chart.SeriesAt(2), &channel.AbsTimeSeries);
  EXPECT_EQ(chart.CustomAxisCount(), 3);
  EXPECT_EQ(channel.ColumnCount, 0);
  EXPECT_EQ(chart.MarginLeft, 0.0);
  channel.ArrangeAxes(1);
  EXPECT_EQ(chart.MarginLeft, 0.0);
}

TEST_F(ChartLayout, AllSevenChannelsGetTheirOwnAxesSideBySide) {
  Show({0, 1, 2, 3, 4, 5, 6});
  Current().FlownPort = 7;
  channel.ValueM.store(12.0);
  channel.BuildChart();

  EXPECT_EQ(channel.FlowMeter().PortNumber, 7);
  EXPECT_EQ(channel.ValueM.load(), 0.0);  // the rebuild clears the values
  ASSERT_EQ(chart.SeriesCount(), 10);
  ASSERT_EQ(chart.CustomAxisCount(), 10);
  ASSERT_EQ(channel.ColumnCount, 7);
  // Each channel's title and home range, in channel order.
  const struct {
    const char* title;
    double min, max;
  } expected[kChannelCount] = {
      {"V02t (l/min)", 0, 2}, {"Ves(l/min)", 0, 60}, {"02 (%)", 0, 25},     {"T (\u00B0C)", 15, 45},
      {"V (l)", 0, 1},        {"F (1/min)", 0, 80},  {"M (l/min)", 0, 100},
  };
  for (int c = 0; c < kChannelCount; ++c) {
    const int k = c + 3;
    chart::Series& s = chart.SeriesAt(k);
    const chart::Axis& axis = chart.CustomAxis(k);
    EXPECT_EQ(&s, &channel.ChannelSeries(c));
    EXPECT_EQ(channel.ColumnValue[c], &channel.ChannelValue(c));
    EXPECT_EQ(channel.ChannelAxis[c], k);
    EXPECT_EQ(s.CustomVertAxis, k);
    EXPECT_EQ(s.CustomHorizAxis, channel.AbsTimeAxis);
    EXPECT_EQ(s.Color, Current().Color[c]);
    EXPECT_EQ(axis.AxisLineColor, Current().Color[c]);
    EXPECT_EQ(axis.Title.Caption, expected[c].title);
    EXPECT_EQ(s.Title, expected[c].title);
    EXPECT_EQ(axis.Minimum(), expected[c].min);
    EXPECT_EQ(axis.Maximum(), expected[c].max);
    EXPECT_EQ(channel.HomeMax[k], expected[c].max);
    EXPECT_EQ(channel.ViewMin[k], expected[c].min);
    EXPECT_EQ(axis.PositionPercent, -8.0 * c);
    EXPECT_EQ(axis.StartPosition, 0.0);
    EXPECT_EQ(axis.EndPosition, 100.0);
    EXPECT_TRUE(static_cast<bool>(s.BeforeDrawValues));
  }
  EXPECT_EQ(chart.MarginLeft, 35.0);
  EXPECT_FALSE(chart.LeftAxis().Visible);
  // The time axes and the bottom axis follow the automatic-time-scale option.
  EXPECT_EQ(chart.CustomAxis(channel.AbsTimeAxis).Automatic, settings.AutoTimeScale);
  EXPECT_EQ(chart.BottomAxis().Automatic, settings.AutoTimeScale);
  EXPECT_EQ(chart.CustomAxis(channel.RelTimeAxis).Visible, !settings.AbsTimeScale);
}

TEST_F(ChartLayout, StackedArrangementGivesEachActiveChannelABandFromTheBottomUp) {
  Show({kV, kF, kM});
  settings.OneAxes = true;
  channel.BuildChart();
  EXPECT_EQ(channel.OneAxesMode, 1);
  EXPECT_EQ(chart.MarginLeft, 5.0);
  const double bands[3][2] = {{68.67, 100}, {35.33, 66.67}, {2, 33.33}};
  for (int b = 0; b < 3; ++b) {
    const chart::Axis& axis = chart.CustomAxis(3 + b);
    EXPECT_NEAR(axis.StartPosition, bands[b][0], 0.01) << b;
    EXPECT_NEAR(axis.EndPosition, bands[b][1], 0.01) << b;
    EXPECT_EQ(axis.PositionPercent, 0.0);
  }

  // Unchecking F in the legend: V and M share the height; F keeps its band.
  chart.ToggleSeriesActive(4);
  channel.ArrangeAxes(1);
  EXPECT_NEAR(chart.CustomAxis(3).StartPosition, 52, 1e-9);
  EXPECT_NEAR(chart.CustomAxis(3).EndPosition, 100, 1e-9);
  EXPECT_NEAR(chart.CustomAxis(4).StartPosition, 35.33, 0.01);
  EXPECT_NEAR(chart.CustomAxis(5).StartPosition, 2, 1e-9);
  EXPECT_NEAR(chart.CustomAxis(5).EndPosition, 50, 1e-9);

  // Back to side by side: only the active ones are placed and counted.
  channel.ArrangeAxes(0);
  EXPECT_EQ(chart.CustomAxis(3).PositionPercent, 0.0);
  EXPECT_EQ(chart.CustomAxis(5).PositionPercent, -8.0);
  EXPECT_EQ(chart.MarginLeft, 13.0);
}

TEST_F(ChartLayout, SeriesAreClippedToTheirBandOnlyWhenStackedAndTheCanvasCanClip) {
  Show({kV, kM});
  channel.BuildChart();
  bool canClip = true;
  chart.CanClipHook = [&] { return canClip; };
  chart.UpdateLayout(800, 600);
  chart::Series& v = channel.SeriesV;

  v.BeforeDrawValues(v);  // side by side: no clip
  EXPECT_FALSE(chart.ActiveClip().has_value());

  channel.ArrangeAxes(1);
  chart.UpdateLayout(800, 600);
  v.BeforeDrawValues(v);
  ASSERT_TRUE(chart.ActiveClip().has_value());
  const chart::Axis& h = chart.CustomAxis(channel.AbsTimeAxis);
  const chart::Axis& a = chart.CustomAxis(3);
  EXPECT_EQ(*chart.ActiveClip(),
            (chart::PixelRect{h.IStartPos, a.IStartPos - 1, h.IEndPos, a.IEndPos + 1}));
  v.AfterDrawValues(v);
  EXPECT_FALSE(chart.ActiveClip().has_value());

  canClip = false;
  v.BeforeDrawValues(v);
  EXPECT_FALSE(chart.ActiveClip().has_value());
}

TEST_F(ChartLayout, FileViewUsesTheFilesOwnPresetAndTheNextBuildTheListsOne) {
  Show({kV});
  for (bool& b : channel.OwnPreset.Visible) b = false;
  channel.OwnPreset.Visible[kVes] = true;
  channel.OwnPreset.Visible[kT] = true;
  channel.FileViewMode = true;
  channel.BuildChart();
  channel.FileViewMode = false;
  EXPECT_TRUE(channel.UsingOwnPreset);
  EXPECT_EQ(channel.ActivePreset, &channel.OwnPreset);
  ASSERT_EQ(chart.SeriesCount(), 5);
  EXPECT_EQ(&chart.SeriesAt(3), &channel.SeriesVes);
  EXPECT_EQ(&chart.SeriesAt(4), &channel.SeriesT);
  EXPECT_EQ(channel.ChannelAxis[kV], -1);

  channel.SeriesVes.Add(1.0);
  channel.BuildChart();
  EXPECT_FALSE(channel.UsingOwnPreset);
  EXPECT_EQ(channel.ActivePreset, &Current());
  ASSERT_EQ(chart.SeriesCount(), 4);
  EXPECT_EQ(&chart.SeriesAt(3), &channel.SeriesV);
  EXPECT_EQ(channel.ColumnCount, 1);
  EXPECT_EQ(channel.ColumnValue[0], &channel.ValueV);
}

TEST_F(ChartLayout, ClearChartEmptiesTheSeriesAndResetsTheTimeAxes) {
  Show({kV});
  channel.BuildChart();
  channel.SeriesV.Add(0.5);
  channel.AbsTimeSeries.AddNull(chart::DayTimeLabel{46000.5});
  chart.CustomAxis(channel.AbsTimeAxis).SetMinMax(40, 50);
  channel.ValueVO2t.store(3.0);
  channel.ClearChart();
  EXPECT_EQ(channel.SeriesV.Count(), 0u);
  EXPECT_EQ(channel.AbsTimeSeries.Count(), 0u);
  EXPECT_EQ(chart.CustomAxis(channel.AbsTimeAxis).Maximum(), 10.0);
  EXPECT_EQ(channel.ValueVO2t.load(), 0.0);
}

}  // namespace
}  // namespace vexa
