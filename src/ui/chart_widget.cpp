#include "ui/chart_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/chart_painter.h"

namespace vexa::ui {

ChartWidget::ChartWidget(chart::Chart& chart, QWidget* parent) : QWidget(parent), chart_(chart) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // the buffer covers every pixel
  setMouseTracking(false);
  setMinimumSize(160, 120);
}

void ChartWidget::Refresh() {
  dirty_ = true;
  update();
}

QImage ChartWidget::RenderImage() { return platform::RenderChartImage(chart_, size()); }

bool ChartWidget::ZoomBandShown() const {
  return drag_ == Drag::kZoom && last_.x() > start_.x() && last_.y() > start_.y();
}

void ChartWidget::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = size() * ratio;
  if (dirty_ || buffer_.size() != pixels) {
    if (buffer_.size() != pixels) buffer_ = QImage(pixels, QImage::Format_RGB32);
    buffer_.setDevicePixelRatio(ratio);
    QPainter p(&buffer_);
    platform::PaintChart(chart_, p, rect());
    dirty_ = false;
  }
  QPainter p(this);
  p.drawImage(0, 0, buffer_);
  if (ZoomBandShown()) {
    p.setPen(QPen(Qt::white, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(start_, last_).normalized());
  }
}

void ChartWidget::resizeEvent(QResizeEvent*) {
  // Gestures map pixels through the layout: keep it right for the new size
  // even before the next paint.
  chart_.UpdateLayout(width(), height());
  dirty_ = true;
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MousePressed(event->button(), event->modifiers(), at);
  if (drag_ != Drag::kNone) return;
  chart_.UpdateLayout(width(), height());
  start_ = last_ = at;
  drag_button_ = event->button();
  const bool rotating = rotate_tool_ && chart_.View3D &&
                        (event->button() == Qt::MiddleButton ||
                         (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)));
  if (rotating) {
    drag_ = Drag::kRotate;
  } else if (event->button() == Qt::LeftButton) {
    const int series = chart_.LegendHit(at.x(), at.y());
    if (series >= 0) {
      chart_.ToggleSeriesActive(series);
      drag_button_ = Qt::NoButton;
      Refresh();
      return;
    }
    drag_ = Drag::kZoom;
  } else if (event->button() == Qt::RightButton) {
    drag_ = Drag::kPan;
  }
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QPoint delta = at - last_;
  switch (drag_) {
    case Drag::kZoom:
      last_ = at;
      update();  // the rectangle only: the chart comes from the buffer
      break;
    case Drag::kPan:
      if (delta.isNull()) break;
      last_ = at;
      chart_.Pan(delta.x(), delta.y());
      Refresh();
      break;
    case Drag::kRotate:
      last_ = at;
      chart_.Rotation3D = std::clamp(chart_.Rotation3D + delta.x() * 0.5, 0.0, 45.0);
      chart_.Elevation3D = std::clamp(chart_.Elevation3D - delta.y() * 0.5, 0.0, 45.0);
      Refresh();
      break;
    case Drag::kNone:
      break;
  }
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == drag_button_ && drag_ != Drag::kNone) {
    const Drag finished = drag_;
    drag_ = Drag::kNone;
    drag_button_ = Qt::NoButton;
    if (finished == Drag::kZoom) {
      chart_.HandleLeftDrag(start_.x(), start_.y(), at.x(), at.y());
      Refresh();
    } else {
      update();
    }
  }
  emit MouseReleased(event->button(), at);
}

}  // namespace vexa::ui
