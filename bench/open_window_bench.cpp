// The open-recording window against the core it is built on, with the
// program's windows made as start-up makes them (offscreen unless DISPLAY):
//   --scan DIR   the window lists DIR: time to its first rows and to the
//                last; compare with `vexa-rec scan DIR` (bench/open_window.sh)
//   --load FILE  ReadHeader + LoadRecording alone, against opening FILE as
//                Open does (checked, loaded with the progress bar pumping
//                the event loop, the panel showing it, the chart painted)
// Both print the longest stretch between two turns of the event loop, a
// 0 ms timer's view of how long the window did not answer.
//   build/bench/bench/scan_bench --write DIR
//   build/bench/bench/chart_paint_bench --write DIR
//   build/bench/bench/open_window_bench --scan DIR | --load FILE
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "chart/chart.h"
#include "core/settings.h"
#include "recording/channel.h"
#include "ui/f_control.h"
#include "ui/f_monitor.h"
#include "ui/f_open.h"
#include "ui/windows.h"

namespace {

using namespace vexa;

// The longest time between two turns of the event loop while it lives.
class Turns {
 public:
  Turns() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (last_ >= 0 && now - last_ > longest_) longest_ = now - last_;
      last_ = now;
    });
    clock_.start();
    timer_.start(0);
  }
  double LongestMs() const { return longest_ / 1e6; }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = -1, longest_ = 0;
};

void Idle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

int Scan(const std::string& dir) {
  auto& list = *ui::FOpen->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
  ui::FOpen->show();
  while (ui::FOpen->Scanning()) QCoreApplication::processEvents();
  for (int round = 0; round < 5; ++round) {
    ui::FOpen->GoToFolder(QStringLiteral("/"));
    while (ui::FOpen->Scanning()) QCoreApplication::processEvents();
    Idle();
    Turns turns;
    QElapsedTimer clock;
    clock.start();
    double first = -1;
    ui::FOpen->GoToFolder(QString::fromStdString(dir));
    while (ui::FOpen->Scanning()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      if (first < 0 && list.topLevelItemCount() > 0) first = clock.nsecsElapsed() / 1e6;
    }
    const double all = clock.nsecsElapsed() / 1e6;
    std::printf(
        "window: %d rows, first rows after %.1f ms, all after %.1f ms; longest gap %.1f ms\n",
        list.topLevelItemCount(), first, all, turns.LongestMs());
  }
  return 0;
}

double LoadAlone(const std::string& file, TGLOB& settings) {
  chart::Chart chart;
  TChannel channel(settings);
  channel.CreateFixedAxes(chart);
  QElapsedTimer clock;
  clock.start();
  if (channel.ReadHeader(file) != 0 || channel.LoadRecording() != 0) return -1;
  return clock.nsecsElapsed() / 1e6;
}

int Load(const std::string& file, TGLOB& settings) {
  for (int round = 0; round < 3; ++round) {
    const double alone = LoadAlone(file, settings);
    Idle();
    Turns turns;
    QElapsedTimer clock;
    clock.start();
    const bool opened = ui::OpenRecordingPath(file, true);
    const double open = clock.nsecsElapsed() / 1e6;
    Idle();  // the monitor paints the recording
    const double shown = clock.nsecsElapsed() / 1e6;
    std::printf(
        "LoadRecording alone %.1f ms; opened%s in %.1f ms (ratio %.2f), shown after %.1f ms; "
        "longest gap %.1f ms\n",
        alone, opened ? "" : " NOT", open, open / alone, shown, turns.LongestMs());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "--scan") && std::strcmp(argv[1], "--load"))) {
    std::fprintf(stderr, "usage: open_window_bench --scan DIR | --load FILE\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::filesystem::path config = std::filesystem::temp_directory_path() / "vexa-open-bench";
  std::filesystem::create_directories(config);
  TGLOB settings(TGLOB::NoFile{}, config.string());
  QApplication app(argc, argv);
  ui::CreateWindows(settings);
  ui::F_CONTROL->show();
  ui::F_MONITOR->resize(1280, 800);
  ui::F_MONITOR->show();
  Idle();
  const int r = !std::strcmp(argv[1], "--scan") ? Scan(argv[2]) : Load(argv[2], settings);
  ui::DestroyWindows();
  return r;
}
