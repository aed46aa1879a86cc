// The monitor window: the program's main window, whose client area is the
// chart MON. Creating it creates the recording object; its chart handlers
// keep the per-axis range memory of zoom, undo and pan; it refuses to close
// while a recording runs.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "chart/chart.h"
#include "core/settings.h"

namespace Ui {
class TF_MONITOR;
}

namespace vexa {
class TChannel;
}

namespace vexa::ui {

class ChartWidget;

class TF_MONITOR : public QWidget {
  Q_OBJECT

 public:
  explicit TF_MONITOR(TGLOB& settings);
  ~TF_MONITOR() override;

  chart::Chart& Chart() { return chart_; }
  ChartWidget& MON() { return *mon_; }
  // Destroys the recording object (it saves the preset file) and empties
  // the global reference Channel.
  void DestroyChannel();
  // The title: caption entry `caption` of the message table, followed by
  // the file in double quotes when one is given. It follows the language.
  void SetTitle(int caption, const std::string& file = {});
  void ApplyLanguage();
  // The chart changed: draw it again (once per event-loop turn).
  void RefreshChart();
  // The rotate tool ChartTool1.
  void SetRotateTool(bool active);

  int DownY = 0;  // y of the last mouse press on the chart

 signals:
  // The window closed; the program ends.
  void Closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  bool FormCloseQuery();
  void FormClose();
  void MONMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
  void MONMouseUp();
  void MONZoom(chart::PixelRect rect);
  void MONUndoZoom();
  void MONScroll();
  void MONClickLegend(int series);
  // Custom-axis indices of the channel axes: 3 up to this, exclusive.
  int ChannelAxesEnd() const;

  std::unique_ptr<Ui::TF_MONITOR> ui_;
  TGLOB& settings_;
  chart::Chart chart_;                 // outlives the recording object, whose series it lists
  std::unique_ptr<TChannel> channel_;  // the global Channel
  ChartWidget* mon_ = nullptr;
  int titleCaption_ = 18;
  std::string titleFile_;
  bool shown_ = false;
};

}  // namespace vexa::ui
