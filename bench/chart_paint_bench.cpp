// Drawing cost by pixels, not points. For a seven-channel chart at 1920x1080:
//   paint    999,999 rows against 10,000 rows, normal and stacked, 3D on and
//            off: the median of 30 paints after 3 to warm up; with breathing-like
//            data and with data dense enough to fill every pixel column;
//   memory   what the drawing summaries add to the chart model;
//   append   one sample appended to every series, then a paint, with 1,000
//            points against 1,000,000: the median of 200.
//   build/bench/bench/chart_paint_bench            the figures above
//   build/bench/bench/chart_paint_bench --write DIR [ROWS]
//                                                  writes a synthetic recording
//                                                  (default 999,999 rows) for vexa-render
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "chart/chart.h"
#include "platform/chart_painter.h"
#include "recording/channel.h"
#include "synthetic_recording.h"

namespace {

using namespace vexa;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A recording object showing all seven channels, as after opening a file.
struct Recording {
  Recording(std::int64_t rows, bench::Profile profile) : settings(TGLOB::NoFile{}, "."), channel(settings) {
    channel.CreateFixedAxes(chart);
    for (bool& v : channel.OwnPreset.Visible) v = true;
    channel.FileViewMode = true;
    channel.BuildChart();
    channel.FileViewMode = false;
    bench::FillSyntheticRows(channel, rows, profile);
    channel.MakeChannelAxesAutomatic();
  }
  TGLOB settings;
  chart::Chart chart;
  TChannel channel;
};

double PaintMs(chart::Chart& chart, QImage& image, int rounds) {
  std::vector<double> ms;
  for (int i = 0; i < rounds + 3; ++i) {
    QPainter p(&image);
    const platform::PaintReport r = platform::PaintChart(chart, p, image.rect());
    if (i >= 3) ms.push_back(r.milliseconds);
  }
  return Median(ms);
}

void Arrange(Recording& rec, bool stacked, bool view3d) {
  rec.chart.View3D = view3d;
  rec.channel.ArrangeAxes(stacked ? 1 : 0);
}

double AppendAndPaintMs(std::int64_t rows, bench::Profile profile) {
  Recording rec(rows, profile);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  std::vector<double> ms;
  for (int i = 0; i < 203; ++i) {
    const auto t0 = Clock::now();
    for (int c = 0; c < kChannelCount; ++c) {
      rec.channel.ChannelSeries(c).Add(bench::SyntheticValue(c, rows + i, true, profile));
    }
    rec.channel.AbsTimeSeries.AddNull(chart::DayTimeLabel{46364.6 + i / 86400.0});
    rec.channel.RelTimeSeries.AddNull(chart::ElapsedLabel{static_cast<std::int32_t>(rows + i)});
    rec.channel.MarksSeries.AddNull();
    QPainter p(&image);
    platform::PaintChart(rec.chart, p, image.rect());
    p.end();
    if (i >= 3) ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  return Median(ms);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc >= 3 && !std::strcmp(argv[1], "--write")) {
    const long long rows = argc >= 4 ? std::atoll(argv[3]) : 999'999;
    std::printf("%s\n", bench::WriteSyntheticRecording(argv[2], rows).c_str());
    return 0;
  }

  for (const bench::Profile profile : {bench::Profile::kBreathing, bench::Profile::kDense}) {
    const char* name = profile == bench::Profile::kBreathing ? "breathing-like data" : "dense data (every column full)";
    std::printf("\n%s: paint at %dx%d, 7 channels, median ms of 30\n", name, kWidth, kHeight);
    std::printf("%-22s %12s %12s %8s\n", "arrangement", "10,000 rows", "999,999 rows", "ratio");
    Recording small(10'000, profile);
    Recording large(999'999, profile);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (const bool stacked : {false, true}) {
      for (const bool view3d : {true, false}) {
        Arrange(small, stacked, view3d);
        Arrange(large, stacked, view3d);
        const double a = PaintMs(small.chart, image, 30);
        const double b = PaintMs(large.chart, image, 30);
        const std::string label = std::string(stacked ? "stacked" : "normal") + (view3d ? ", 3D" : ", flat");
        std::printf("%-22s %12.2f %12.2f %8.2f\n", label.c_str(), a, b, b / a);
      }
    }
    if (profile == bench::Profile::kBreathing) {
      std::size_t model = 0, summaries = 0;
      for (int i = 0; i < large.chart.SeriesCount(); ++i) {
        model += large.chart.SeriesAt(i).MemoryBytes();
        summaries += large.chart.SeriesAt(i).SummaryBytes();
      }
      std::printf("memory, 999,999 rows: model %.1f MB, summaries %.2f MB (%.1f %%)\n", model / 1e6,
                  summaries / 1e6, 100.0 * static_cast<double>(summaries) / static_cast<double>(model));
    }
    const double few = AppendAndPaintMs(1'000, profile);
    const double many = AppendAndPaintMs(1'000'000, profile);
    std::printf("append a sample + paint, median ms of 200: 1,000 points %.2f, 1,000,000 points %.2f "
                "(ratio %.2f)\n",
                few, many, many / few);
  }
  return 0;
}
