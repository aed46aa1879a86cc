// The chart on screen: paints a chart model and turns the mouse into the
// model's gestures. A left drag right and down zooms (the rectangle shows
// while dragging), any other left drag undoes the zoom, a right drag pans, a
// click on a legend row toggles that series; with the rotate tool on, a
// middle-button drag (or a left drag with Ctrl) turns the 3D walls. The
// model raises its events (OnZoom, OnUndoZoom, OnScroll, OnClickLegend)
// after each gesture, so the window around can run its handlers.
//
// The picture is kept in a buffer: Refresh() asks for a new one, and any
// number of Refresh() calls before the next paint give one paint (Qt merges
// the update requests of an event-loop turn). Moving the zoom rectangle
// repaints from the buffer without drawing the chart again.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include "chart/chart.h"

namespace vexa::ui {

class ChartWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ChartWidget(chart::Chart& chart, QWidget* parent = nullptr);

  chart::Chart& Model() { return chart_; }

  // Whether a middle drag (or Ctrl + left drag) turns the walls; only while
  // the chart is drawn in 3D.
  void SetRotateTool(bool on) { rotate_tool_ = on; }
  bool RotateTool() const { return rotate_tool_; }

  // The chart as shown now, at the widget's size (drawn anew, not the buffer).
  QImage RenderImage();

  QSize sizeHint() const override { return {700, 545}; }

 public slots:
  // The model changed: draw it again at the next paint.
  void Refresh();

 signals:
  // Before a gesture starts, so a handler can set the zoom direction and
  // the cursor for the drag that follows.
  void MousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
  void MouseReleased(Qt::MouseButton button, QPoint at);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Drag { kNone, kZoom, kPan, kRotate };
  bool ZoomBandShown() const;

  chart::Chart& chart_;
  QImage buffer_;
  bool dirty_ = true;
  bool rotate_tool_ = false;
  Drag drag_ = Drag::kNone;
  Qt::MouseButton drag_button_ = Qt::NoButton;
  QPoint start_;
  QPoint last_;
};

}  // namespace vexa::ui
