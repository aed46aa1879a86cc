#include "platform/chart_painter.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

#include "chart/trace.h"
#include "platform/chart_painter_parts.h"
#include "platform/span_fill.h"

namespace vexa::platform {

Q_LOGGING_CATEGORY(lcChartPaint, "vexa.chart.paint", QtInfoMsg)

QColor ToQColor(chart::ColorRef c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

namespace {

using detail::PaintContext;
using detail::ToQRect;

void DrawBackground(PaintContext& ctx, const QRect& area) {
  const QColor back = ctx.options.paper ? QColor(Qt::white) : ToQColor(ctx.chart.BackColor);
  ctx.painter.fillRect(area, back);
}

// The back wall with its gradient; in 3D also the left wall and the floor
// that join it to the front plane.
void DrawWalls(PaintContext& ctx) {
  QPainter& p = ctx.painter;
  const chart::Chart& c = ctx.chart;
  QRect back = ctx.plot;
  const chart::WallOffset off =
      c.View3D ? chart::BackWallOffset(c.Layout().depth, c.Rotation3D, c.Elevation3D) : chart::WallOffset{};
  back.translate(off.dx, -off.dy);
  const QColor edge = ctx.mono ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80);
  if (off.dx != 0 || off.dy != 0) {
    const QRect& f = ctx.plot;
    const QPolygon left{QPoint(f.left(), f.top()), QPoint(back.left(), back.top()),
                        QPoint(back.left(), back.bottom()), QPoint(f.left(), f.bottom())};
    const QPolygon floor{QPoint(f.left(), f.bottom()), QPoint(back.left(), back.bottom()),
                         QPoint(back.right(), back.bottom()), QPoint(f.right(), f.bottom())};
    p.setPen(edge);
    p.setBrush(ctx.mono ? QColor(Qt::white) : QColor(0x3A, 0x3A, 0x40));
    p.drawPolygon(left);
    p.setBrush(ctx.mono ? QColor(Qt::white) : QColor(0x48, 0x48, 0x50));
    p.drawPolygon(floor);
  }
  if (ctx.mono) {
    p.setPen(edge);
    p.setBrush(Qt::NoBrush);
    p.drawRect(back);
    return;
  }
  QLinearGradient g(back.topLeft(), back.bottomRight());
  g.setColorAt(0, ToQColor(c.BackWallGradientStart));
  g.setColorAt(1, ToQColor(c.BackWallGradientEnd));
  p.fillRect(back, g);
}

chart::TraceAxes AxesOf(const chart::Chart& c, const chart::Series& s) {
  const chart::Axis& h = c.HorizontalAxisOf(s);
  const chart::Axis& v = c.VerticalAxisOf(s);
  return {{h.Minimum(), h.Maximum()},
          {h.IStartPos, h.IEndPos, h.IPosition},
          {v.Minimum(), v.Maximum()},
          {v.IStartPos, v.IEndPos, v.IPosition}};
}

void DrawLine(PaintContext& ctx, const chart::Series& s) {
  const chart::LineTrace trace = chart::TraceLine(s, AxesOf(ctx.chart, s), ctx.options.every_point);
  const QRgb colour = ctx.Ink(s.Color).rgb();
  QPainter& p = ctx.painter;
  const QRect clip = p.clipBoundingRect().toAlignedRect();
  FillColumnSpans(p, trace.columns, colour, clip);
  if (s.LinePenWidth <= 1) {
    StrokeSegments(p, trace.segments, colour, clip);
    return;
  }
  QVarLengthArray<QLineF, 1024> lines;
  for (const chart::Segment& g : trace.segments) lines.append(QLineF(g.x0, g.y0, g.x1, g.y1));
  p.setPen(QPen(QColor::fromRgb(colour), s.LinePenWidth));
  p.drawLines(lines.constData(), static_cast<int>(lines.size()));
}

// Bars with the texts of their points (the marks) above them; a text that
// would overlap the one before it is left out.
void DrawBars(PaintContext& ctx, const chart::Series& s) {
  QPainter& p = ctx.painter;
  const chart::TraceAxes axes = AxesOf(ctx.chart, s);
  const std::vector<chart::Bar> bars = chart::TraceBars(s, axes);
  if (bars.empty()) return;
  const chart::IndexRange view = chart::VisibleIndices(s, axes.horizontal);
  const double per_point = ctx.plot.width() / std::max(1.0, static_cast<double>(view.last - view.first + 1));
  const int width = std::max(2, static_cast<int>(std::lround(per_point * s.BarWidthPercent / 100.0)));
  // A bar is its outline's colour around its fill; both are filled as boxes,
  // since a tall thin rectangle through the painter costs per pixel row.
  std::vector<PixelBox> fill, outline;
  for (const chart::Bar& b : bars) {
    const int left = static_cast<int>(std::lround(b.x)) - width / 2;
    const int right = left + width - 1;
    const int top = static_cast<int>(std::lround(std::min(b.top, b.base)));
    const int bottom = static_cast<int>(std::lround(std::max(b.top, b.base)));
    if (right - left >= 2 && bottom - top >= 2 && s.BarOutlineColor != s.Color) {
      fill.push_back({left + 1, top + 1, right - 1, bottom - 1});
      outline.push_back({left, top, right, top});
      outline.push_back({left, bottom, right, bottom});
      outline.push_back({left, top + 1, left, bottom - 1});
      outline.push_back({right, top + 1, right, bottom - 1});
    } else {
      (s.BarOutlineColor != s.Color ? outline : fill).push_back({left, top, right, bottom});
    }
  }
  const QRect clip = p.clipBoundingRect().toAlignedRect();
  FillBoxes(p, fill, ctx.Ink(s.Color).rgb(), clip);
  FillBoxes(p, outline, ctx.Ink(s.BarOutlineColor).rgb(), clip);
  if (!s.MarksVisible) return;
  // The texts are drawn later, above every line (DrawMarkLabels), each kept
  // inside the plot.
  const QFontMetrics fm(ctx.font);
  const QRect& plot = ctx.plot;
  int last_right = std::numeric_limits<int>::min();
  // No box is narrower than this: bars under the last box are passed over
  // before their text is measured, which is what costs.
  const int narrowest = fm.averageCharWidth() + 6;
  for (const chart::Bar& b : bars) {
    if (std::lround(b.x) - narrowest / 2 <= last_right) continue;
    const std::string text = s.LabelText(b.index);
    if (text.empty()) continue;
    const QString label = QString::fromStdString(text);
    const int w = std::min(fm.horizontalAdvance(label) + 6, std::max(plot.width() - 2, 1));
    const int h = fm.height() + 2;
    QRect box(static_cast<int>(std::lround(b.x)) - w / 2,
              static_cast<int>(std::lround(std::min(b.top, b.base))) - h - 4, w, h);
    box.moveLeft(std::clamp(box.left(), plot.left() + 1, std::max(plot.left() + 1, plot.right() - w)));
    box.moveTop(std::clamp(box.top(), plot.top() + 1, std::max(plot.top() + 1, plot.bottom() - h)));
    if (box.left() <= last_right) continue;
    last_right = box.right() + 2;
    ctx.marks.push_back({box, label, ctx.chart.IndexOf(&s)});
  }
}

// Every active series with values, in chart order, each inside the plot or
// inside the rectangle its before-draw hook clips to (a band of the stacked
// arrangement).
long long DrawSeries(PaintContext& ctx) {
  chart::Chart& c = ctx.chart;
  QPainter& p = ctx.painter;
  const QRect plot = ctx.plot;
  c.CanClipHook = [] { return true; };
  c.ClipHook = [&p, plot](chart::PixelRect r) { p.setClipRect(ToQRect(r).intersected(plot)); };
  c.UnclipHook = [&p, plot] { p.setClipRect(plot); };
  long long points = 0;
  p.setClipRect(plot);
  for (int i = 0; i < c.SeriesCount(); ++i) {
    chart::Series& s = c.SeriesAt(i);
    if (!s.Active || !s.ValueRange().valid) continue;
    points += static_cast<long long>(s.Count());
    if (s.BeforeDrawValues) s.BeforeDrawValues(s);
    if (s.Kind() == chart::SeriesKind::kBar) {
      DrawBars(ctx, s);
    } else {
      DrawLine(ctx, s);
    }
    if (s.AfterDrawValues) s.AfterDrawValues(s);
  }
  p.setClipping(false);
  // The hooks hold this painter: they must not outlive the paint.
  c.CanClipHook = nullptr;
  c.ClipHook = nullptr;
  c.UnclipHook = nullptr;
  return points;
}

// The title's colour, unless it would not show on the background (the
// monitor's black under black title lines while the print window is shown):
// then white or black, whichever stands out.
QColor TitleInk(const PaintContext& ctx) {
  const QColor ink = ctx.Ink(ctx.chart.TitleFontColor);
  const QColor back = ctx.options.paper ? QColor(Qt::white) : ToQColor(ctx.chart.BackColor);
  auto luma = [](const QColor& c) { return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue(); };
  if (std::fabs(luma(ink) - luma(back)) >= 96) return ink;
  return luma(back) < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

void DrawTitle(PaintContext& ctx, const QRect& area) {
  const chart::Chart& c = ctx.chart;
  if (!c.TitleVisible || c.TitleLines.empty()) return;
  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(c.TitleFontPx);
  // Without shaping no "fl" or "fi" ligature replaces the letters in a PDF,
  // so a reader's search finds the title's words.
  f.setStyleStrategy(QFont::PreferNoShaping);
  QPainter& p = ctx.painter;
  p.setFont(f);
  p.setPen(TitleInk(ctx));
  const int top = static_cast<int>(area.height() * c.MarginTop / 100.0);
  const QFontMetrics fm(f);
  const int lines = std::min<int>(static_cast<int>(c.TitleLines.size()), chart::Chart::kMaxTitleLines);
  for (int k = 0; k < lines; ++k) {
    p.drawText(QPoint(8, top + k * chart::kTitleLinePx + fm.ascent() + 2),
               QString::fromStdString(c.TitleLines[static_cast<std::size_t>(k)]));
  }
}

}  // namespace

PaintReport PaintChart(chart::Chart& chart, QPainter& painter, const QRect& rect,
                       const PaintOptions& options) {
  QElapsedTimer timer;
  timer.start();
  PaintReport report;
  report.width = rect.width();
  report.height = rect.height();
  const chart::ChartLayout before = chart.Layout();

  chart.RecalculateAutomaticRanges();
  chart.UpdateLayout(rect.width(), rect.height());
  painter.save();
  painter.translate(rect.topLeft());
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect area(0, 0, rect.width(), rect.height());
  PaintContext ctx(chart, painter, options);
  ctx.mono = chart.Monochrome;
  ctx.plot = ToQRect(chart.Layout().plot);
  ctx.font.setPixelSize(detail::kLabelFontPx);
  ctx.texts = &report.texts;
  DrawBackground(ctx, area);
  if (chart.Layout().valid) {
    DrawWalls(ctx);
    detail::ComputeAxisTicks(ctx);
    detail::DrawGrids(ctx);
    report.points = DrawSeries(ctx);
    detail::DrawAxes(ctx);
    detail::DrawMarkLabels(ctx);
    detail::DrawLegend(ctx);
    DrawTitle(ctx, area);
  }
  painter.restore();

  const int old_w = before.chart.right + 1;
  const int old_h = before.chart.bottom + 1;
  if (before.valid && (old_w != rect.width() || old_h != rect.height())) chart.UpdateLayout(old_w, old_h);
  report.milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  qCDebug(lcChartPaint, "paint %.2f ms %lld points %dx%d", report.milliseconds, report.points,
          report.width, report.height);
  return report;
}

QImage RenderChartImage(chart::Chart& chart, QSize size, const PaintOptions& options) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintChart(chart, painter, QRect(QPoint(0, 0), size), options);
  return image;
}

}  // namespace vexa::platform
