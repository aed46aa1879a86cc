// Inside the chart painter: what its parts share while one chart is drawn.
// chart_painter.cpp draws the frame, the walls and the series;
// chart_axes_painter.cpp the axes, grid lines and the legend.
#pragma once

#include <QFont>
#include <QPainter>
#include <QRect>
#include <vector>

#include "chart/chart.h"
#include "chart/ticks.h"
#include "platform/chart_painter.h"

namespace vexa::platform::detail {

struct PaintContext {
  PaintContext(chart::Chart& c, QPainter& p, const PaintOptions& o) : chart(c), painter(p), options(o) {}
  chart::Chart& chart;
  QPainter& painter;
  PaintOptions options;
  bool mono = false;     // every line and text black
  QRect plot;            // the front plane of the plot
  QFont font;            // axis labels, legend, marks
  // Ticks of every custom axis by index, computed once for grid and labels.
  std::vector<chart::AxisTicks> ticks;

  QColor Ink(chart::ColorRef c) const { return mono ? QColor(Qt::black) : ToQColor(c); }
};

inline QRect ToQRect(const chart::PixelRect& r) {
  return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

// Ticks for every custom axis (ctx.ticks), then the grid lines behind the series.
void ComputeAxisTicks(PaintContext& ctx);
void DrawGrids(PaintContext& ctx);
// Axis lines, ticks, labels and titles, over the series.
void DrawAxes(PaintContext& ctx);
void DrawLegend(PaintContext& ctx);

}  // namespace vexa::platform::detail
