// The painter, judged by its pixels: a recording's channels are drawn in
// their colours inside their own bands, a missing value leaves a gap, a mark
// stands at its row, and the fast drawing of a long series shows what
// drawing every point shows.
#include "platform/chart_painter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <string>

#include "core/temp_folder.h"
#include "recording/channel.h"
#include "recording/open_recording.h"
#include "recording/session.h"
#include "platform/support/example_recording.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

using testing::TempFolder;

constexpr QRgb kLime = 0xFF00FF00;     // V in the default preset (0x00FF00)
constexpr QRgb kFuchsia = 0xFFFF00FF;  // M (0xFF00FF)
constexpr QRgb kYellow = 0xFFFFFF00;   // the marks (0x00FFFF)

// A recording opened as the control panel opens one, drawn flat and without
// grid lines (which take the channels' colours), unless a test says else.
class PaintedRecording : public ::testing::Test {
 protected:
  PaintedRecording() : settings(TGLOB::NoFile{}, folder.path()), channel(settings) {
    settings.Show3D = false;
    settings.ShowGrid = false;
    channel.CreateFixedAxes(chart);
  }
  void Open() {
    const std::string path = folder.File("example.vxa");
    testing::WriteAll(path, testing::kExample);
    ASSERT_EQ(OpenRecordingFile(channel, path).status, 0);
    ApplyAutoTimeScale(channel, settings, true, false);
    channel.MakeChannelAxesAutomatic();
  }
  QImage Render() { return platform::RenderChartImage(chart, QSize(720, 420)); }
  int X(double index) { return static_cast<int>(std::lround(chart.BottomAxis().CalcPosValue(index))); }

  TempFolder folder;
  TGLOB settings;
  chart::Chart chart;
  TChannel channel;
};

// Rows of `colour` in pixel column x, within rows top..bottom.
std::vector<int> RowsOf(const QImage& img, int x, QRgb colour, int top = 0, int bottom = -1) {
  std::vector<int> rows;
  if (bottom < 0) bottom = img.height() - 1;
  for (int y = std::max(0, top); y <= std::min(bottom, img.height() - 1); ++y) {
    if (img.pixel(x, y) == colour) rows.push_back(y);
  }
  return rows;
}

TEST_F(PaintedRecording, WorkedExampleShowsChannelsGapAndMark) {
  Open();
  const QImage img = Render();
  const chart::PixelRect plot = chart.Layout().plot;
  EXPECT_EQ(img.pixel(2, 2), 0xFF000000u) << "black background";

  // Inside the plot (right of the axis lines on its left edge) the channel
  // colours appear, and only within their axes' vertical extent.
  for (const auto& [colour, series] : {std::pair{kLime, 3}, std::pair{kFuchsia, 4}}) {
    const chart::Axis& axis = chart.VerticalAxisOf(chart.SeriesAt(series));
    int found = 0;
    for (int x = plot.left + 3; x <= plot.right; ++x) {
      for (int y : RowsOf(img, x, colour)) {
        ++found;
        EXPECT_GE(y, axis.IStartPos - 1) << "x " << x;
        EXPECT_LE(y, axis.IEndPos + 1) << "x " << x;
      }
    }
    EXPECT_GT(found, 100) << "series " << series;
  }
  // Row 4 has no V: no V line between rows 3 and 5.
  for (int x = X(2) + 2; x <= X(4) - 2; ++x) EXPECT_TRUE(RowsOf(img, x, kLime).empty()) << "x " << x;
  EXPECT_FALSE(RowsOf(img, X(1.5), kLime).empty()) << "V climbs from row 2 to 3";
  // The mark "start" is a bar at its row.
  EXPECT_GT(RowsOf(img, X(1), kYellow, plot.top, plot.bottom).size(), 20u);
  EXPECT_TRUE(RowsOf(img, X(3), kYellow, plot.top, plot.bottom).empty());
}

TEST_F(PaintedRecording, StackedSeriesStayInTheirBands) {
  settings.OneAxes = true;
  settings.ShowGrid = true;
  Open();
  // Ranges narrower than the data: the lines would leave their bands unclipped.
  chart.CustomAxis(3).SetMinMax(0.55, 0.6);
  chart.CustomAxis(4).SetMinMax(12.0, 12.3);
  const QImage img = Render();
  const chart::PixelRect plot = chart.Layout().plot;
  for (const auto& [colour, series] : {std::pair{kLime, 3}, std::pair{kFuchsia, 4}}) {
    const chart::Axis& axis = chart.CustomAxis(series);
    ASSERT_LT(axis.IEndPos - axis.IStartPos, plot.Height() / 2 + 2) << "a band, not the whole plot";
    int found = 0;
    for (int x = plot.left + 3; x <= plot.right; ++x) {
      for (int y : RowsOf(img, x, colour)) {
        ++found;
        ASSERT_GE(y, axis.IStartPos - 1) << "series " << series << " x " << x;
        ASSERT_LE(y, axis.IEndPos + 1) << "series " << series << " x " << x;
      }
    }
    EXPECT_GT(found, 50);
  }
}

// The lit rows of every pixel column of a colour: first and last, or none.
struct ColumnInk {
  bool lit = false;
  int top = 0, bottom = 0;
};
std::vector<ColumnInk> Ink(const QImage& img, QRgb colour) {
  std::vector<ColumnInk> out(static_cast<std::size_t>(img.width()));
  for (int x = 0; x < img.width(); ++x) {
    const std::vector<int> rows = RowsOf(img, x, colour);
    if (!rows.empty()) out[static_cast<std::size_t>(x)] = {true, rows.front(), rows.back()};
  }
  return out;
}

// Every lit pixel of `a` lies within one pixel, across and down, of what `b`
// lights: the rasterizer may put a point that lies on a column edge on
// either side of it.
void ExpectInkWithinOnePixel(const std::vector<ColumnInk>& a, const std::vector<ColumnInk>& b,
                             const std::string& what) {
  for (std::size_t x = 0; x < a.size(); ++x) {
    if (!a[x].lit) continue;
    int top = INT_MAX, bottom = INT_MIN;
    for (std::size_t n = x == 0 ? 0 : x - 1; n <= std::min(x + 1, b.size() - 1); ++n) {
      if (!b[n].lit) continue;
      top = std::min(top, b[n].top);
      bottom = std::max(bottom, b[n].bottom);
    }
    ASSERT_NE(top, INT_MAX) << what << ": column " << x << " has no neighbour lit";
    ASSERT_GE(a[x].top, top - 1) << what << ": column " << x;
    ASSERT_LE(a[x].bottom, bottom + 1) << what << ": column " << x;
  }
}

// A long random series with spikes, drawn through the summaries and point by
// point: the two pictures have the same shape, no column off by more than a
// pixel, no spike lost.
TEST(PaintSummaries, AgreeWithDrawingEveryPoint) {
  std::mt19937 rng(8);
  std::normal_distribution<double> noise(0, 3);
  std::uniform_int_distribution<int> spike(0, 4000);
  for (const std::size_t count : {std::size_t{3'000}, std::size_t{200'003}, std::size_t{1'000'000}}) {
    chart::Series s(chart::SeriesKind::kLine, "s");
    s.Color = 0x00FF00;
    double level = 50;
    for (std::size_t i = 0; i < count; ++i) {
      level += noise(rng) * 0.1;
      s.Add(spike(rng) == 0 ? level + 40 : level + noise(rng));
    }
    chart::Chart c;
    c.Legend.Visible = false;
    c.LeftAxis().Visible = false;
    c.BottomAxis().Automatic = true;
    c.AddSeries(&s);
    // Also a zoomed view that starts and ends inside summary blocks.
    for (const bool zoomed : {false, true}) {
      if (zoomed) c.BottomAxis().SetMinMax(count / 7.0 + 0.3, count / 2.0 + 0.6);
      const auto fast = Ink(platform::RenderChartImage(c, QSize(800, 400)), kLime);
      const auto exact = Ink(platform::RenderChartImage(c, QSize(800, 400), {.every_point = true}), kLime);
      const std::string what = std::to_string(count) + " points" + (zoomed ? ", zoomed" : "");
      ExpectInkWithinOnePixel(fast, exact, what + ", fast against every point");
      ExpectInkWithinOnePixel(exact, fast, what + ", every point against fast");
    }
  }
}

TEST(PaintReport, CountsThePointsDrawnAndTheSize) {
  chart::Series a, marks(chart::SeriesKind::kBar), carrier;
  for (int i = 0; i < 10; ++i) {
    a.Add(i);
    carrier.AddNull(chart::ElapsedLabel{i});
    marks.AddNull();
  }
  chart::Chart c;
  for (chart::Series* s : {&marks, &carrier, &a}) c.AddSeries(s);
  QImage img(300, 200, QImage::Format_RGB32);
  QPainter p(&img);
  const platform::PaintReport r = platform::PaintChart(c, p, img.rect());
  EXPECT_EQ(r.points, 10) << "series without a value are not drawn";
  EXPECT_EQ(r.width, 300);
  EXPECT_EQ(r.height, 200);
  EXPECT_GE(r.milliseconds, 0.0);
}

}  // namespace
}  // namespace vexa
