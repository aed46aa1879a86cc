// The sampling step every row and chart point of a live session comes from
// (SampleToChart), and the automatic-time-scale handler it depends on.
#include <gtest/gtest.h>

#include <cmath>

#include "recording/session.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

class Sampling : public testing::RecordingFixture {
 protected:
  void Show(std::initializer_list<int> channels) {
    for (bool& v : Current().Visible) v = false;
    for (int c : channels) Current().Visible[c] = true;
    channel.BuildChart();
  }
  // One sample as the tick takes it, without the file: the chart points,
  // then the marks series' null point.
  void Take(int64_t sample = 0) {
    taken = sample > 0 ? sample : taken + 1;
    channel.SampleToChart(taken);
    channel.MarksSeries.AddNull();
  }
  int64_t taken = 0;
  chart::Axis& Axis(int index) { return chart.CustomAxis(index); }
};

TEST_F(Sampling, EachShownChannelGetsItsValueAndTheTimeSeriesTheirLabels) {
  Show({kVO2t, kVes, kO2, kV, kM});
  channel.VO2tFactor = 0.5;
  channel.ValueO2.store(0.9);
  channel.ValueV.store(2.5);
  channel.ValueM.store(10.0);
  channel.ValueVes.store(7.0);
  // Labelled as the reopened file labels its rows: start + sample x interval.
  channel.SessionStartTime = now;
  channel.IntervalSeconds = 1;
  Take();
  // (20.9 - O2) x factor x M x 0.01
  EXPECT_DOUBLE_EQ(channel.ValueVO2t.load(), 1.0);
  EXPECT_DOUBLE_EQ(channel.SeriesVO2t.Value(0), 1.0);
  EXPECT_FLOAT_EQ(static_cast<float>(channel.SeriesO2.Value(0)), 0.9f);
  EXPECT_FLOAT_EQ(static_cast<float>(channel.SeriesV.Value(0)), 2.5f);
  EXPECT_DOUBLE_EQ(channel.SeriesM.Value(0), 10.0);
  EXPECT_EQ(channel.SeriesVes.Count(), 0u);  // Ves gets no points while recording
  EXPECT_EQ(channel.SeriesF.Count(), 0u);    // not shown
  EXPECT_EQ(settings.SampleTime, now + 1.0 / 86400);
  EXPECT_EQ(channel.AbsTimeSeries.LabelText(0), "[08]14:23:06");
  EXPECT_EQ(channel.RelTimeSeries.LabelText(0), "[0:00:01]");
  EXPECT_TRUE(channel.AbsTimeSeries.IsNull(0));

  now += 65.0 / 86400;  // the wall clock plays no part
  channel.ValueO2.store(25.0);  // more oxygen out than in: no negative uptake
  Take(26 * 3600 + 5 * 60 + 9);
  EXPECT_EQ(channel.SeriesVO2t.Value(1), 0.0);
  channel.ValueO2.store(0.0);
  channel.ValueM.store(std::nan(""));
  Take();
  EXPECT_EQ(channel.SeriesVO2t.Value(2), 0.0);
  EXPECT_EQ(channel.AbsTimeSeries.LabelText(1), "[09]16:28:14");
  EXPECT_EQ(channel.RelTimeSeries.LabelText(1), "[26:05:09]");
}

TEST_F(Sampling, TimeAxesScrollWithTheNewestSampleOnlyWhenAskedTo) {
  Show({kV});
  // Automatic time scale: the axes are left to it, nothing scrolls.
  ApplyAutoTimeScale(channel, settings, true, true);
  EXPECT_TRUE(settings.AutoTimeScale);
  EXPECT_FALSE(settings.AutoScroll);
  EXPECT_TRUE(Axis(channel.AbsTimeAxis).Automatic);
  EXPECT_TRUE(Axis(channel.RelTimeAxis).Automatic);
  EXPECT_TRUE(chart.BottomAxis().Automatic);
  for (int i = 0; i < 15; ++i) Take();
  EXPECT_EQ(Axis(channel.AbsTimeAxis).Maximum(), 10.0);

  // Fixed time scale with scrolling: once the samples reach the axis end,
  // each sample moves the three axes on by one.
  channel.BuildChart();
  ApplyAutoTimeScale(channel, settings, false, true);
  EXPECT_FALSE(settings.AutoTimeScale);
  EXPECT_TRUE(settings.AutoScroll);
  EXPECT_FALSE(Axis(channel.AbsTimeAxis).Automatic);
  for (int i = 0; i < 15; ++i) Take();
  for (const chart::Axis* a :
       {&Axis(channel.AbsTimeAxis), &Axis(channel.RelTimeAxis), &chart.BottomAxis()}) {
    EXPECT_EQ(a->Minimum(), 4.0);
    EXPECT_EQ(a->Maximum(), 14.0);  // the 15th sample is the last shown
  }

  // Scrolling not ticked: the axes stay.
  channel.BuildChart();
  ApplyAutoTimeScale(channel, settings, false, false);
  EXPECT_FALSE(settings.AutoScroll);
  for (int i = 0; i < 15; ++i) Take();
  EXPECT_EQ(Axis(channel.AbsTimeAxis).Maximum(), 10.0);
}

}  // namespace
}  // namespace vexa
