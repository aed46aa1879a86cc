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

inline constexpr int kLabelFontPx = 11;     // axis labels, legend, marks
inline constexpr int kSmallestLabelPx = 7;  // where an axis's room is narrow

// A vertical axis's label: its pixel row and its text.
struct AxisLabel {
  double y = 0;
  QString text;
};

// How one axis's labels and title are drawn, chosen to fit its room.
struct AxisText {
  chart::AxisTicks ticks;
  std::vector<AxisLabel> labels;  // vertical axes: those inside the extent
  int font_px = kLabelFontPx;
  bool exponent = false;  // labels as "2.5e38"
  int gap = 3;            // between the ticks and the labels
  // The title beside the labels (left of them), or in the labels' column
  // with the labels it would cover left out.
  bool title_beside = true;
  int title_px = kLabelFontPx;
  QString title;  // as drawn (cut to the axis's length); empty: none
};

// A mark's label, drawn over everything inside the plot.
struct MarkLabel {
  QRect box;
  QString text;
  int series = 0;
};

struct PaintContext {
  PaintContext(chart::Chart& c, QPainter& p, const PaintOptions& o) : chart(c), painter(p), options(o) {}
  chart::Chart& chart;
  QPainter& painter;
  PaintOptions options;
  bool mono = false;     // every line and text black
  QRect plot;            // the front plane of the plot
  QFont font;            // axis labels, legend, marks
  // Ticks and text of every custom axis by index, computed once for grid,
  // lines and labels.
  std::vector<AxisText> axes;
  std::vector<MarkLabel> marks;
  std::vector<PaintedText>* texts = nullptr;  // the report's

  QFont FontPx(int px) const {
    QFont f = font;
    f.setPixelSize(px);
    return f;
  }
  void Report(PaintedText::Kind kind, int owner, const QRect& box, const QString& text, int px) const {
    if (texts) texts->push_back({kind, owner, box, text, px});
  }

  QColor Ink(chart::ColorRef c) const { return mono ? QColor(Qt::black) : ToQColor(c); }
};

inline QRect ToQRect(const chart::PixelRect& r) {
  return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

// Ticks and label fonts for every custom axis (ctx.axes), then the grid
// lines behind the series.
void ComputeAxisTicks(PaintContext& ctx);
void DrawGrids(PaintContext& ctx);
// Axis lines and ticks over the series, then every axis's labels and title
// on a background of their own above all the lines.
void DrawAxes(PaintContext& ctx);
// The marks' labels (ctx.marks), above the series and the axes.
void DrawMarkLabels(PaintContext& ctx);
void DrawLegend(PaintContext& ctx);

}  // namespace vexa::platform::detail
