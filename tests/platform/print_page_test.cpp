// The printed page: the title's date and number in the system's forms, the
// chart inside the print margins in either orientation, black and white or
// colour with black time labels, and the chart left as the screen had it.
#include "platform/print_page.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <string>

#include "core/datetime.h"
#include "platform/support/example_recording.h"
#include "recording/channel.h"
#include "recording/open_recording.h"
#include "recording/session.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

using platform::FormatTitleDateTime;
using platform::FormatTitleNumber;

TEST(PrintTitleFormats, DateIsTheShortDateAndLongTimeWithoutAZone) {
  const double t = EncodeDateTime(2026, 12, 8, 14, 23, 5);
  const double midnight = EncodeDateTime(2026, 12, 8, 0, 0, 0);
  const double timeOnly = EncodeTimeOfDay(9, 5, 7, 0);
  struct Case {
    const char* locale;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {"ru_RU", t, "08.12.2026 14:23:05"},  {"en_US", t, "12/8/26 2:23:05 PM"},
      {"ru_RU", midnight, "08.12.2026"},    {"en_US", midnight, "12/8/26"},
      {"ru_RU", timeOnly, "09:05:07"},      {"en_US", timeOnly, "9:05:07 AM"},
      {"ru_RU", 0.0, "00:00:00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatTitleDateTime(c.value, QLocale(QString::fromLatin1(c.locale))), c.text) << c.locale;
  }
}

TEST(PrintTitleFormats, IntervalIsTheShortestNumberWithTheLocalesSeparator) {
  const QLocale ru(QStringLiteral("ru_RU")), us(QStringLiteral("en_US"));
  EXPECT_EQ(FormatTitleNumber(5.0, ru), "5");
  EXPECT_EQ(FormatTitleNumber(0.5, ru), "0,5");
  EXPECT_EQ(FormatTitleNumber(0.1, us), "0.1");
  EXPECT_EQ(FormatTitleNumber(1234.25, ru), "1234,25") << "no group separator";
  EXPECT_EQ(FormatTitleNumber(1.0 / 3.0, us), "0.333333333333333");
}

class PrintedRecording : public ::testing::Test {
 protected:
  PrintedRecording() : settings(TGLOB::NoFile{}, folder.path()), channel(settings) {
    channel.CreateFixedAxes(chart);
    const std::string path = folder.File("example.vxa");
    testing::WriteAll(path, testing::kExample);
    EXPECT_EQ(OpenRecordingFile(channel, path).status, 0);
    ApplyAutoTimeScale(channel, settings, true, false);
    channel.MakeChannelAxesAutomatic();
    settings.AppliedLanguage = 0;
  }
  platform::PrintPageOptions Options(bool landscape, bool colour) {
    settings.PrintLandscape = landscape;
    settings.PrintColor = colour;
    return platform::PrintPageOptionsFor(settings, channel, QLocale(QStringLiteral("en_US")));
  }

  testing::TempFolder folder;
  TGLOB settings;
  chart::Chart chart;
  TChannel channel;
};

bool Coloured(QRgb p) { return qRed(p) != qGreen(p) || qGreen(p) != qBlue(p); }

TEST_F(PrintedRecording, ThePageHoldsTheChartInsideItsMarginsInBothOrientations) {
  for (const QSize size : {QSize(1123, 794), QSize(794, 1123), QSize(2480, 3508)}) {
    const QImage page = platform::RenderPrintPage(chart, size, Options(size.width() > size.height(), true));
    const int mx = size.width() * 6 / 100, my = size.height() * 6 / 100;
    int inside = 0;
    for (int y = 0; y < size.height(); ++y) {
      for (int x = 0; x < size.width(); ++x) {
        const bool margin = x < mx || x >= size.width() - mx || y < my || y >= size.height() - my;
        if (page.pixel(x, y) == 0xFFFFFFFFu) continue;
        ASSERT_FALSE(margin) << "ink in the margin at " << x << "," << y << " of " << size.width();
        ++inside;
      }
    }
    EXPECT_GT(inside, size.width() * size.height() / 10) << "the chart fills the page";
  }
}

TEST_F(PrintedRecording, BlackAndWhiteHasNoColourAndColourPrintsTimeLabelsBlack) {
  const QImage mono = platform::RenderPrintPage(chart, QSize(1123, 794), Options(true, false));
  const QImage colour = platform::RenderPrintPage(chart, QSize(1123, 794), Options(true, true));
  int coloured = 0;
  for (int y = 0; y < mono.height(); ++y) {
    for (int x = 0; x < mono.width(); ++x) {
      ASSERT_FALSE(Coloured(mono.pixel(x, y))) << x << "," << y;
      coloured += Coloured(colour.pixel(x, y));
    }
  }
  EXPECT_GT(coloured, 10000);

  // The time labels lie in the band under the plot; on paper they are black,
  // where the light grey of the screen would be nearly invisible.
  platform::PrintPageOptions grey = Options(true, true);
  grey.timeAxes.clear();
  const QImage greyLabels = platform::RenderPrintPage(chart, QSize(1123, 794), grey);
  auto darkBelowPlot = [&](const QImage& img) {
    const platform::PrintPageLayout l = platform::LayoutPrintPage(chart, QRectF(0, 0, 1123, 794));
    int dark = 0;
    const int top = static_cast<int>(l.chart.bottom()) - 40, bottom = static_cast<int>(l.chart.bottom());
    for (int y = top; y < bottom; ++y) {
      for (int x = static_cast<int>(l.chart.left()) + 100; x < static_cast<int>(l.chart.right()); ++x) {
        dark += qGray(img.pixel(x, y)) < 0x40;
      }
    }
    return dark;
  };
  EXPECT_GT(darkBelowPlot(colour), 50);
  EXPECT_EQ(darkBelowPlot(greyLabels), 0);
}

TEST_F(PrintedRecording, PrintingLeavesTheScreensChartAsItWas) {
  chart.UpdateLayout(700, 545);
  const chart::PixelRect plot = chart.Layout().plot;
  ASSERT_TRUE(chart.Legend.Visible);
  platform::PrintPageOptions o = Options(false, true);
  ASSERT_EQ(o.title.lines.size(), 4u);
  platform::RenderPrintPage(chart, QSize(794, 1123), o);
  platform::RenderPrintPage(chart, QSize(794, 1123), Options(true, false));
  QImage tiny(1, 1, QImage::Format_RGB32);
  QPainter painter(&tiny);
  EXPECT_EQ(platform::PaintPrintPage(chart, painter, QRectF(0, 0, 0.5, 100), o).width, 0) << "an empty page";
  EXPECT_TRUE(chart.Legend.Visible);
  EXPECT_FALSE(chart.TitleVisible);
  EXPECT_TRUE(chart.TitleLines.empty());
  EXPECT_FALSE(chart.Monochrome);
  for (int axis : {channel.AbsTimeAxis, channel.RelTimeAxis}) {
    EXPECT_EQ(chart.CustomAxis(axis).LabelsFontColor, 0xC5C5C5u);
    EXPECT_EQ(chart.CustomAxis(axis).AxisLineColor, 0xC5C5C5u);
  }
  EXPECT_EQ(chart.Layout().plot, plot) << "gestures still map the widget's pixels";
}

}  // namespace
}  // namespace vexa
