// The one painter of the chart model: the monitor widget, chart images, the
// print preview and printed pages all draw through PaintChart, so they show
// the same picture. Every position comes from the model's geometry
// (chart::Chart::UpdateLayout), which the gestures use as well.
#pragma once

#include <QColor>
#include <QImage>
#include <QLoggingCategory>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

#include "chart/chart.h"

class QPainter;

namespace vexa::platform {

// "vexa.chart.paint": one line per paint with its time, off by default
// (QT_LOGGING_RULES="vexa.chart.paint.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcChartPaint)

// 0x00BBGGRR, as the model keeps colours, to a QColor.
QColor ToQColor(chart::ColorRef c);

struct PaintOptions {
  // A printed page: white paper instead of the chart's background. The
  // chart's Monochrome flag turns every line and text black as well.
  bool paper = false;
  // Draw every point instead of one stroke per pixel column: the reference
  // picture the fast drawing is compared with.
  bool every_point = false;
};

// A text the painter drew, where it lies (the chart's pixels, before any
// scaling of the painter): what a reader's eye must find unobstructed.
struct PaintedText {
  enum Kind : std::uint8_t { kAxisLabel, kAxisTitle, kMark };
  Kind kind = kAxisLabel;
  // Axis texts: the custom axis's index, or -1 - k for standard axis k
  // (bottom, left, right, top); marks: the series' index.
  int owner = 0;
  QRect box;
  QString text;
  int font_px = 0;
};

struct PaintReport {
  double milliseconds = 0;  // the painter's own time
  long long points = 0;     // points of the series drawn
  int width = 0;
  int height = 0;
  std::vector<PaintedText> texts;  // axis labels and titles, mark labels
};

// Draws the chart into rect (logical pixels of the painter). The model's
// layout is computed for rect's size; when the chart was last laid out for
// another size (a widget that is being printed) that layout is restored
// afterwards, so gestures keep mapping the widget's pixels.
PaintReport PaintChart(chart::Chart& chart, QPainter& painter, const QRect& rect,
                       const PaintOptions& options = {});

// The chart drawn into a new image of the given size (RGB32).
QImage RenderChartImage(chart::Chart& chart, QSize size, const PaintOptions& options = {});

}  // namespace vexa::platform
