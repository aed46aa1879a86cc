// What an operator reads on the chart: every axis label and title of all
// seven channels stands clear of the other axes at the monitor's first size
// and on a printed page, huge values read in exponent form inside their
// axis's room, a channel hidden in the legend leaves no axis behind, and a
// mark's label stays inside the plot above the data lines.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <set>
#include <string>

#include "core/temp_folder.h"
#include "platform/chart_painter.h"
#include "platform/print_page.h"
#include "recording/channel.h"

namespace vexa {
namespace {

constexpr int kFirstChannelAxis = 3;
// Channel colours (0x00BBGGRR) told apart from each other, the marks'
// yellow, the background and the time axes' grey.
constexpr chart::ColorRef kColours[7] = {0xFFFF00, 0x0080FF, 0xFF0000, 0x0000FF, 0x00FF00, 0xF0CAA6, 0xFF00FF};

class SevenChannels : public ::testing::Test {
 public:
  SevenChannels() : settings(TGLOB::NoFile{}, folder.path()), channel(settings) {
    settings.ShowAxisTitles = true;
    channel.CreateFixedAxes(chart);
    for (int c = 0; c < 7; ++c) {
      channel.OwnPreset.Visible[c] = true;
      channel.OwnPreset.Color[c] = kColours[c];
    }
    channel.FileViewMode = true;
    channel.BuildChart();
    channel.FileViewMode = false;
  }
  // Breathing-like rows; `value` may replace a channel's.
  void Fill(int rows, double (*value)(int channel, int row) = nullptr) {
    chart::Series* series[7] = {&channel.SeriesVO2t, &channel.SeriesVes, &channel.SeriesO2, &channel.SeriesT,
                                &channel.SeriesV,    &channel.SeriesF,   &channel.SeriesM};
    const double lo[7] = {0.2, 5, 19.5, 20, 0.1, 12, 2};
    const double hi[7] = {1.9, 55, 25, 44, 0.9, 75, 98};
    for (int i = 0; i < rows; ++i) {
      for (int c = 0; c < 7; ++c) {
        const double t = 0.5 + 0.5 * std::sin(i * 0.3 + c);
        series[c]->Add(value ? value(c, i) : lo[c] + t * (hi[c] - lo[c]));
      }
      channel.AbsTimeSeries.AddNull(chart::DayTimeLabel{46000.5 + i * 5.0 / 86400});
      channel.RelTimeSeries.AddNull(chart::ElapsedLabel{i * 5});
      channel.MarksSeries.AddNull();
    }
    channel.MakeChannelAxesAutomatic();
    for (int a : {channel.AbsTimeAxis, channel.RelTimeAxis}) chart.CustomAxis(a).Automatic = true;
    chart.BottomAxis().Automatic = true;
  }
  platform::PaintReport Paint(QImage& image) {
    QPainter p(&image);
    return platform::PaintChart(chart, p, image.rect());
  }
  std::set<QRgb> ChannelInks(int except) const {
    std::set<QRgb> inks;
    for (int i = kFirstChannelAxis; i < chart.CustomAxisCount(); ++i) {
      const chart::Axis& a = chart.CustomAxis(i);
      if (i != except && chart.AxisShown(a)) inks.insert(platform::ToQColor(a.AxisLineColor).rgb());
    }
    return inks;
  }

  testing::TempFolder folder;
  TGLOB settings;
  chart::Chart chart;
  TChannel channel;
};

bool IsAxisText(const platform::PaintedText& t) { return t.kind != platform::PaintedText::kMark; }

// Every axis text lies on the chart, apart from every other text, and no
// other channel's line or tick runs through it.
// Each of `channels` axes shows at least one label and its title, unless
// `all_shown` is false (a chart smaller than the monitor's first size, whose
// bands may be too short for a tick).
void ExpectReadable(const SevenChannels& f, const platform::PaintReport& r, const QImage* image,
                    const std::string& what, int channels = 7, bool all_shown = true) {
  const QRect chart(0, 0, r.width, r.height);
  int titles = 0;
  std::set<int> labelled;
  for (std::size_t i = 0; i < r.texts.size(); ++i) {
    const platform::PaintedText& t = r.texts[i];
    if (!IsAxisText(t)) continue;
    const bool channel = t.owner >= kFirstChannelAxis;
    if (channel && t.kind == platform::PaintedText::kAxisTitle) ++titles;
    if (channel && t.kind == platform::PaintedText::kAxisLabel) labelled.insert(t.owner);
    const std::string name = what + ": \"" + t.text.toStdString() + "\" of axis " + std::to_string(t.owner);
    EXPECT_TRUE(chart.contains(t.box)) << name << " leaves the chart";
    EXPECT_GE(t.font_px, 7) << name;
    if (channel && t.kind == platform::PaintedText::kAxisLabel) {
      EXPECT_LE(t.text.size(), 8) << name;
    }
    for (std::size_t k = i + 1; k < r.texts.size(); ++k) {
      const platform::PaintedText& o = r.texts[k];
      EXPECT_FALSE(t.box.intersects(o.box)) << name << " lies on \"" << o.text.toStdString() << "\" of axis "
                                            << o.owner;
    }
    if (!image || t.owner < kFirstChannelAxis) continue;
    const std::set<QRgb> others = f.ChannelInks(t.owner);
    const QRect inner = t.box.adjusted(1, 1, -1, -1) & image->rect();
    for (int y = inner.top(); y <= inner.bottom(); ++y) {
      for (int x = inner.left(); x <= inner.right(); ++x) {
        ASSERT_EQ(others.count(image->pixel(x, y)), 0u) << name << ": another axis at " << x << "," << y;
      }
    }
  }
  if (all_shown) {
    EXPECT_EQ(static_cast<int>(labelled.size()), channels) << what << ": every channel axis shows labels";
    EXPECT_EQ(titles, channels) << what << ": every channel axis shows its title";
  }
}

TEST_F(SevenChannels, EveryLabelAndTitleIsClearAtTheMonitorsFirstSizeInBothArrangements) {
  Fill(300);
  for (const bool stacked : {false, true}) {
    for (const bool view3d : {true, false}) {
      chart.View3D = view3d;
      channel.ArrangeAxes(stacked ? 1 : 0);
      for (const QSize size : {QSize(700, 545), QSize(1280, 720), QSize(480, 360)}) {
        QImage image(size, QImage::Format_RGB32);
        const platform::PaintReport r = Paint(image);
        ExpectReadable(*this, r, &image,
                       std::string(stacked ? "stacked" : "normal") + (view3d ? " 3D " : " flat ") +
                           std::to_string(size.width()) + "x" + std::to_string(size.height()),
                       7, size.width() >= 700);
      }
    }
  }
}

TEST_F(SevenChannels, EveryLabelAndTitleIsClearOnAPrintedPage) {
  Fill(300);
  settings.PrintColor = true;
  for (const bool stacked : {false, true}) {
    channel.ArrangeAxes(stacked ? 1 : 0);
    for (const bool landscape : {true, false}) {
      platform::PrintPageOptions options;
      options.landscape = landscape;
      options.colour = true;
      options.title = {{"File : a.vxa", "Date : 08.12.2026"}, true};
      const QSize page = landscape ? QSize(1123, 794) : QSize(794, 1123);
      QImage image(page, QImage::Format_RGB32);
      QPainter p(&image);
      const platform::PaintReport r = platform::PaintPrintPage(chart, p, QRectF(QPointF(0, 0), QSizeF(page)), options);
      // The page's chart is drawn scaled into its margins: its texts are
      // compared with each other, not with the page's pixels.
      ExpectReadable(*this, r, nullptr, std::string(stacked ? "stacked" : "normal") + (landscape ? " landscape" : " portrait"));
    }
  }
}

TEST_F(SevenChannels, HugeValuesReadInExponentFormWithinTheirAxissRoom) {
  // 1e308 from a file is a float's largest once stored.
  Fill(100, [](int c, int i) {
    const double big = 3.4028234663852886e38;
    if (c == 5) return i % 2 ? big : -big;       // F
    if (c == 6) return i % 2 ? 1.5e20 : 1.0e20;  // M
    return 0.5 + 0.01 * i;
  });
  for (const bool stacked : {false, true}) {
    channel.ArrangeAxes(stacked ? 1 : 0);
    for (const QSize size : {QSize(700, 545), QSize(1280, 720)}) {
      QImage image(size, QImage::Format_RGB32);
      const platform::PaintReport r = Paint(image);
      const std::string what =
          std::string(stacked ? "stacked " : "normal ") + std::to_string(size.width());
      ExpectReadable(*this, r, &image, what);
      const int f_axis = channel.SeriesF.CustomVertAxis;
      const chart::LabelRoom room = chart.Layout().custom_room[static_cast<std::size_t>(f_axis)];
      int exponents = 0;
      for (const platform::PaintedText& t : r.texts) {
        if (t.owner != f_axis || t.kind != platform::PaintedText::kAxisLabel) continue;
        const bool exponent = t.text.contains(QLatin1String("e38")) || t.text.contains(QLatin1String("e37"));
        EXPECT_TRUE(t.text == "0" || exponent) << what << ": " << t.text.toStdString();
        exponents += exponent;
        EXPECT_GE(t.box.left(), room.left - 1) << what << ": " << t.text.toStdString() << " leaves its axis's room";
      }
      // Where the room and the axis's length allow more than one label.
      if (!stacked && size.width() == 1280) {
        EXPECT_GE(exponents, 2) << what;
      }
    }
  }
}

TEST_F(SevenChannels, AChannelHiddenInTheLegendLeavesNoAxisLabelsTitleOrGrid) {
  settings.ShowGrid = true;
  Fill(200);
  for (int i = kFirstChannelAxis; i < chart.CustomAxisCount(); ++i) chart.CustomAxis(i).GridVisible = true;
  const int f_series = chart.IndexOf(&channel.SeriesF);
  const QRgb f_ink = platform::ToQColor(kColours[5]).rgb();
  for (const bool stacked : {false, true}) {
    channel.SeriesF.Active = true;
    channel.ArrangeAxes(stacked ? 1 : 0);
    chart.ToggleSeriesActive(f_series);  // as the legend's check box does
    channel.ArrangeAxes(stacked ? 1 : 0);
    QImage image(1000, 600, QImage::Format_RGB32);
    const platform::PaintReport r = Paint(image);
    const chart::PixelRect legend = chart.Layout().legend;
    int lit = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (x >= legend.left && image.pixel(x, y) == f_ink) continue;  // its legend row stays
        lit += image.pixel(x, y) == f_ink;
      }
    }
    EXPECT_EQ(lit, 0) << (stacked ? "stacked" : "normal");
    for (const platform::PaintedText& t : r.texts) EXPECT_NE(t.owner, channel.SeriesF.CustomVertAxis);
    ExpectReadable(*this, r, &image, stacked ? "stacked, F hidden" : "normal, F hidden", 6);
  }
}

TEST_F(SevenChannels, MarkLabelsStayInsideThePlotAboveTheLines) {
  settings.ShowMarks = true;
  channel.MarksSeries.Active = true;
  // Every channel crosses the plot from bottom to top many times: dense lines.
  Fill(2000, [](int c, int i) { return (i * 7 + c * 13) % 97 * 1.0; });
  channel.MarksSeries.Clear();
  for (int i = 0; i < 2000; ++i) {
    if (i == 0) {
      channel.MarksSeries.Add(30.0, "start");
    } else if (i == 1999) {
      channel.MarksSeries.Add(30.0, "старт нагрузки");
    } else if (i == 1000) {
      channel.MarksSeries.Add(30.0, "middle");
    } else {
      channel.MarksSeries.AddNull();
    }
  }
  for (const bool view3d : {false, true}) {
    chart.View3D = view3d;
    QImage image(700, 545, QImage::Format_RGB32);
    const platform::PaintReport r = Paint(image);
    const QRect plot(QPoint(chart.Layout().plot.left, chart.Layout().plot.top),
                     QPoint(chart.Layout().plot.right, chart.Layout().plot.bottom));
    std::set<std::string> seen;
    for (const platform::PaintedText& t : r.texts) {
      if (t.kind != platform::PaintedText::kMark) continue;
      seen.insert(t.text.toStdString());
      EXPECT_TRUE(plot.contains(t.box)) << t.text.toStdString();
      const std::set<QRgb> inks = ChannelInks(-1);
      for (int y = t.box.top(); y <= t.box.bottom(); ++y) {
        for (int x = t.box.left(); x <= t.box.right(); ++x) {
          ASSERT_EQ(inks.count(image.pixel(x, y)), 0u) << t.text.toStdString() << " under a line at " << x << "," << y;
        }
      }
    }
    EXPECT_EQ(seen, (std::set<std::string>{"start", "middle", "старт нагрузки"}));
  }
}

}  // namespace
}  // namespace vexa
