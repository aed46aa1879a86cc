// The chart layout of the recording object: the three fixed series and axes,
// one coloured axis per visible channel, and the normal and stacked ("one
// axis") arrangements of those axes.
//
// Index correspondence: after BuildChart the chart's series are MarksSeries,
// RelTimeSeries, AbsTimeSeries, then the visible channels; its custom axes
// are AbsTimeAxis, RelTimeAxis, MarksAxis, then the channel axes. So from
// index 3 on, series k draws against custom axis k.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "recording/channel.h"

namespace vexa {
namespace {

constexpr chart::ColorRef kTimeAxisGrey = 0xC5C5C5;
constexpr chart::ColorRef kMarksYellow = 0x00FFFF;
constexpr int kFirstChannelIndex = 3;

}  // namespace

void TChannel::CreateFixedAxes(chart::Chart& chart) {
  Chart = &chart;
  AbsTimeAxis = chart.AddCustomAxis(true);
  RelTimeAxis = chart.AddCustomAxis(true);
  MarksAxis = chart.AddCustomAxis(false);

  chart::Axis& abs = chart.CustomAxis(AbsTimeAxis);
  chart::Axis& rel = chart.CustomAxis(RelTimeAxis);
  chart::Axis& marks = chart.CustomAxis(MarksAxis);
  abs.SetMinMax(0, 10);
  rel.SetMinMax(0, 10);
  chart.BottomAxis().SetMinMax(0, 10);

  for (auto [series, axis, index] : {std::tuple{&AbsTimeSeries, &abs, AbsTimeAxis},
                                     std::tuple{&RelTimeSeries, &rel, RelTimeAxis}}) {
    series->CustomHorizAxis = index;
    series->ShowInLegend = false;
    axis->LabelsFontColor = kTimeAxisGrey;
    axis->AxisLineColor = kTimeAxisGrey;
    axis->Horizontal = true;
  }

  // The marks run along the bottom axis, against a hidden automatic axis that
  // starts 10 % down so a bar never reaches the top edge.
  MarksSeries.CustomVertAxis = MarksAxis;
  marks.Visible = false;
  marks.Automatic = true;
  marks.StartPosition = 10;
  MarksSeries.ShowInLegend = false;
  MarksSeries.MarksFontCharset = 204;
  MarksSeries.MarksShadowSize = 0;
  MarksSeries.BarWidthPercent = 1;
  MarksSeries.Color = kMarksYellow;
  MarksSeries.BarOutlineColor = kMarksYellow;
  MarksSeries.Dark3D = false;

  chart.PrintMargins = {6, 6, 6, 6};
  chart.PrintResolution = -100;
}

void TChannel::ClearChart() {
  for (int c = 0; c < kChannelCount; ++c) ChannelValue(c).store(0.0);
  if (!Chart) return;
  if (AbsTimeAxis >= 0 && AbsTimeAxis < Chart->CustomAxisCount()) {
    Chart->CustomAxis(AbsTimeAxis).SetMinMax(0, 10);
  }
  if (RelTimeAxis >= 0 && RelTimeAxis < Chart->CustomAxisCount()) {
    Chart->CustomAxis(RelTimeAxis).SetMinMax(0, 10);
  }
  for (int i = 0; i < Chart->SeriesCount(); ++i) Chart->SeriesAt(i).Clear();
}

void TChannel::AttachChannelSeries(chart::Series& series, chart::ColorRef colour) {
  if (Chart) Chart->AddSeries(&series);
  series.XValuesDateTime = false;
  series.Dark3D = true;
  series.ClickableLine = false;
  series.ColorEachPoint = false;
  series.Color = colour;
}

void TChannel::BuildChart() {
  ColumnCount = 0;
  if (FileViewMode) {
    ActivePreset = &OwnPreset;
    UsingOwnPreset = true;
  } else {
    // Before the preset list is opened (tests, tools) the built-in values
    // of OwnPreset stand in for "Default".
    TPreset* current = nullptr;
    if (Presets && Presets->Current >= 0 && Presets->Current < Presets->Count) {
      current = Presets->Items[Presets->Current].get();
    }
    ActivePreset = current ? current : &OwnPreset;
    UsingOwnPreset = false;
  }
  ClearChart();
  if (DeviceCount > 0) FlowMeter().PortNumber = ActivePreset->FlownPort;
  for (int& axis : ChannelAxis) axis = -1;

  if (!Chart) {
    // No chart to draw into: the file columns still follow the preset.
    for (int c = 0; c < kChannelCount; ++c) {
      if (ActivePreset->Visible[c]) ColumnValue[ColumnCount++] = &ChannelValue(c);
    }
    return;
  }
  chart::Chart& chart = *Chart;
  chart.ClearCustomAxes();
  chart.RemoveAllSeries();
  CreateFixedAxes(chart);
  chart.AddSeries(&MarksSeries);
  chart.AddSeries(&RelTimeSeries);
  chart.AddSeries(&AbsTimeSeries);

  int k = 0;
  for (int c = 0; c < kChannelCount; ++c) {
    if (!ActivePreset->Visible[c]) continue;
    const chart::ColorRef colour = ActivePreset->Color[c];
    const int i = k + kFirstChannelIndex;
    chart::Series& series = ChannelSeries(c);
    AttachChannelSeries(series, colour);
    ColumnValue[ColumnCount++] = &ChannelValue(c);

    const int index = chart.AddCustomAxis(false);
    ChannelAxis[c] = index;
    chart::Axis& axis = chart.CustomAxis(index);
    const AxisRange home = kChannelHomeRange[c];
    HomeMin[i] = ViewMin[i] = home.min;
    HomeMax[i] = ViewMax[i] = home.max;
    axis.SetMinMax(home.min, home.max);

    axis.LabelsFontColor = colour;
    axis.PositionPercent = -7.0 * k;
    axis.AxisLineColor = colour;
    axis.AxisLineWidth = 4;
    axis.GridColor = colour;
    axis.Ticks.Color = colour;
    axis.Ticks.Length = 5;
    axis.TicksInner.Color = colour;
    axis.TicksInner.Length = 5;
    axis.MinorTicks.Color = colour;
    axis.MinorTicks.Length = 3;
    axis.DesiredIncrement = 0.1;

    series.CustomVertAxis = index;
    series.CustomHorizAxis = AbsTimeAxis;
    series.BeforeDrawValues = [this](chart::Series& s) { ClipSeries(s); };
    series.AfterDrawValues = [this](chart::Series& s) { UnclipSeries(s); };

    axis.Title.Caption = series.Title;
    axis.Title.Visible = Settings->ShowAxisTitles;
    axis.Title.Angle = 90;
    axis.Title.FontColor = colour;
    ++k;
  }

  chart.MarginLeft = 5.0 * k;
  chart.LeftAxis().Visible = false;
  chart.Legend.Visible = Settings->ShowLegend;
  MarksSeries.Active = Settings->ShowMarks;
  chart::Axis& abs = chart.CustomAxis(AbsTimeAxis);
  chart::Axis& rel = chart.CustomAxis(RelTimeAxis);
  abs.Visible = Settings->AbsTimeScale;
  rel.Visible = !Settings->AbsTimeScale;
  chart.View3D = Settings->Show3D;
  abs.Automatic = Settings->AutoTimeScale;
  rel.Automatic = Settings->AutoTimeScale;
  chart.BottomAxis().Automatic = Settings->AutoTimeScale;
  for (int a = kFirstChannelIndex; a < chart.CustomAxisCount(); ++a) {
    chart.CustomAxis(a).GridVisible = Settings->ShowGrid;
  }
  ArrangeAxes(Settings->OneAxes ? 1 : 0);
}

void TChannel::ArrangeAxes(int oneAxes) {
  // Any non-zero arrangement is the stacked one, so placement and the clip
  // of the draw hooks always agree.
  OneAxesMode = oneAxes != 0 ? 1 : 0;
  if (!Chart) return;
  chart::Chart& chart = *Chart;
  const int last = std::min(chart.CustomAxisCount(), chart.SeriesCount());
  int n = 0;
  for (int k = kFirstChannelIndex; k < last; ++k) {
    if (chart.SeriesAt(k).Active) ++n;
  }
  if (n == 0) return;

  int b = 0;
  if (OneAxesMode == 1) {
    // Bands from the bottom up, each leaving 2 % free at its top.
    chart.MarginLeft = 5;
    const double x = 100.0 / n;
    for (int k = kFirstChannelIndex; k < last; ++k) {
      if (!chart.SeriesAt(k).Active) continue;
      chart::Axis& axis = chart.CustomAxis(k);
      axis.PositionPercent = 0;
      axis.EndPosition = 100 - b * x;
      axis.StartPosition = 100 - (b + 1) * x + 2;
      ++b;
    }
  } else {
    for (int k = kFirstChannelIndex; k < last; ++k) {
      if (!chart.SeriesAt(k).Active) continue;
      chart::Axis& axis = chart.CustomAxis(k);
      axis.PositionPercent = -8.0 * b;
      axis.StartPosition = 0;
      axis.EndPosition = 100;
      ++b;
    }
    chart.MarginLeft = std::trunc(4.5 * n + 4);
  }
}

void TChannel::MakeChannelAxesAutomatic() {
  if (!Chart) return;
  const int last = std::min(Chart->CustomAxisCount(), kMaxChannelAxes);
  for (int a = kFirstChannelIndex; a < last; ++a) Chart->CustomAxis(a).Automatic = true;
  Chart->RecalculateAutomaticRanges();
  for (int a = kFirstChannelIndex; a < last; ++a) {
    ViewMin[a] = Chart->CustomAxis(a).Minimum();
    ViewMax[a] = Chart->CustomAxis(a).Maximum();
  }
}

void TChannel::ClipSeries(chart::Series& series) {
  if (!Chart || !Chart->CanClip() || OneAxesMode == 0) return;
  const chart::Axis& h = Chart->HorizontalAxisOf(series);
  const chart::Axis& v = Chart->VerticalAxisOf(series);
  Chart->ClipRectangle({h.IStartPos, v.IStartPos - 1, h.IEndPos, v.IEndPos + 1});
}

void TChannel::UnclipSeries(chart::Series& /*series*/) {
  if (Chart && OneAxesMode != 0) Chart->UnClipRectangle();
}

}  // namespace vexa
