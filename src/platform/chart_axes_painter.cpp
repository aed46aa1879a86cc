// Axes, grid lines and the legend of the chart painter.
#include <QFontMetrics>
#include <QLinearGradient>
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/chart_painter_parts.h"

namespace vexa::platform::detail {
namespace {

constexpr int kLabelGapPx = 3;

bool IsIndexAxis(const chart::Chart& c, const chart::Axis& a) {
  return a.Horizontal && c.LabelSourceFor(a) != nullptr;
}

// The label of a tick: the label of the point with that index on an axis
// that has a label series (formatted only now, for the ticks shown), else the
// number itself. Empty when the index has no point.
QString TickLabel(const chart::Chart& c, const chart::Axis& a, double value, double step) {
  if (const chart::Series* source = a.Horizontal ? c.LabelSourceFor(a) : nullptr) {
    const long long i = std::llround(value);
    if (i < 0 || static_cast<std::size_t>(i) >= source->Count()) return {};
    return QString::fromStdString(source->LabelText(static_cast<std::size_t>(i)));
  }
  return QString::fromStdString(chart::FormatTick(value, step));
}

chart::AxisTicks TicksFor(const PaintContext& ctx, const chart::Axis& a) {
  const QFontMetrics fm(ctx.font);
  int spacing = fm.height() + 8;
  if (a.Horizontal) {
    // Wide enough for the widest label this axis can show.
    QString sample = QStringLiteral("0000.0");
    if (const chart::Series* source = ctx.chart.LabelSourceFor(a); source && source->Count() > 0) {
      sample = QString::fromStdString(source->LabelText(source->Count() - 1));
      const QString first = QString::fromStdString(source->LabelText(0));
      if (first.size() > sample.size()) sample = first;
    }
    spacing = fm.horizontalAdvance(sample) + 16;
  }
  const int length = std::abs(a.IEndPos - a.IStartPos);
  return chart::ComputeTicks({a.Minimum(), a.Maximum()}, length, spacing, a.DesiredIncrement,
                             IsIndexAxis(ctx.chart, a));
}

bool InExtent(const chart::Axis& a, double pixel) {
  return pixel >= std::min(a.IStartPos, a.IEndPos) - 0.5 && pixel <= std::max(a.IStartPos, a.IEndPos) + 0.5;
}

void DrawVerticalAxis(PaintContext& ctx, const chart::Axis& a, const chart::AxisTicks& t) {
  QPainter& p = ctx.painter;
  const QFontMetrics fm(ctx.font);
  const int x = a.IPosition;
  const int half = std::max(1, a.AxisLineWidth) / 2;
  p.setPen(QPen(ctx.Ink(a.AxisLineColor), std::max(1, a.AxisLineWidth), Qt::SolidLine, Qt::FlatCap));
  p.drawLine(x, a.IStartPos, x, a.IEndPos);

  const int outer = a.Ticks.Visible ? a.Ticks.Length : 0;
  if (a.MinorTicks.Visible && a.MinorTicks.Length > 0 && t.values.size() >= 2) {
    p.setPen(QPen(ctx.Ink(a.MinorTicks.Color), 1));
    for (std::size_t k = 0; k + 1 < t.values.size(); ++k) {
      for (int m = 1; m < 4; ++m) {
        const double y = a.CalcPosValue(t.values[k] + t.step * m / 4.0);
        if (InExtent(a, y)) p.drawLine(QPointF(x - half - a.MinorTicks.Length, y), QPointF(x - half, y));
      }
    }
  }
  int widest = 0;
  p.setFont(ctx.font);
  for (const double v : t.values) {
    const double y = a.CalcPosValue(v);
    if (!InExtent(a, y)) continue;
    if (outer > 0) {
      p.setPen(QPen(ctx.Ink(a.Ticks.Color), 1));
      p.drawLine(QPointF(x - half - outer, y), QPointF(x - half, y));
    }
    if (a.TicksInner.Visible && a.TicksInner.Length > 0) {
      p.setPen(QPen(ctx.Ink(a.TicksInner.Color), 1));
      p.drawLine(QPointF(x + half, y), QPointF(x + half + a.TicksInner.Length, y));
    }
    if (!a.LabelsVisible) continue;
    const QString label = TickLabel(ctx.chart, a, v, t.step);
    const int w = fm.horizontalAdvance(label);
    widest = std::max(widest, w);
    p.setPen(ctx.Ink(a.LabelsFontColor));
    p.drawText(QPointF(x - half - outer - kLabelGapPx - w, y + fm.ascent() / 2.0 - 1), label);
  }
  if (a.Title.Visible && !a.Title.Caption.empty()) {
    const QString title = QString::fromStdString(a.Title.Caption);
    const double tx = x - half - outer - kLabelGapPx - widest - kLabelGapPx - fm.descent();
    const double ty = (a.IStartPos + a.IEndPos) / 2.0;
    p.save();
    p.translate(tx, ty);
    p.rotate(-a.Title.Angle);
    p.setPen(ctx.Ink(a.Title.FontColor));
    p.drawText(QPointF(-fm.horizontalAdvance(title) / 2.0, 0), title);
    p.restore();
  }
}

void DrawHorizontalAxis(PaintContext& ctx, const chart::Axis& a, const chart::AxisTicks& t) {
  QPainter& p = ctx.painter;
  const QFontMetrics fm(ctx.font);
  const int y = a.IPosition;
  const int half = std::max(1, a.AxisLineWidth) / 2;
  const int down = a.OtherSide ? -1 : 1;  // labels below a bottom axis, above a top one
  p.setPen(QPen(ctx.Ink(a.AxisLineColor), std::max(1, a.AxisLineWidth), Qt::SolidLine, Qt::FlatCap));
  p.drawLine(a.IStartPos, y, a.IEndPos, y);
  const int outer = a.Ticks.Visible ? a.Ticks.Length : 0;
  p.setFont(ctx.font);
  for (const double v : t.values) {
    const double x = a.CalcPosValue(v);
    if (!InExtent(a, x)) continue;
    if (outer > 0) {
      p.setPen(QPen(ctx.Ink(a.Ticks.Color), 1));
      p.drawLine(QPointF(x, y + down * half), QPointF(x, y + down * (half + outer)));
    }
    if (!a.LabelsVisible) continue;
    const QString label = TickLabel(ctx.chart, a, v, t.step);
    if (label.isEmpty()) continue;
    const double base = down > 0 ? y + half + outer + kLabelGapPx + fm.ascent()
                                 : y - half - outer - kLabelGapPx - fm.descent();
    p.setPen(ctx.Ink(a.LabelsFontColor));
    p.drawText(QPointF(x - fm.horizontalAdvance(label) / 2.0, base), label);
  }
}

}  // namespace

void ComputeAxisTicks(PaintContext& ctx) {
  ctx.ticks.clear();
  for (int i = 0; i < ctx.chart.CustomAxisCount(); ++i) {
    const chart::Axis& a = ctx.chart.CustomAxis(i);
    ctx.ticks.push_back(a.Visible ? TicksFor(ctx, a) : chart::AxisTicks{});
  }
}

void DrawGrids(PaintContext& ctx) {
  QPainter& p = ctx.painter;
  const QRect& plot = ctx.plot;
  for (int i = 0; i < ctx.chart.CustomAxisCount(); ++i) {
    const chart::Axis& a = ctx.chart.CustomAxis(i);
    if (!a.Visible || !a.GridVisible) continue;
    p.setPen(QPen(ctx.Ink(a.GridColor), 1, Qt::DotLine));
    for (const double v : ctx.ticks[static_cast<std::size_t>(i)].values) {
      const double at = a.CalcPosValue(v);
      if (!InExtent(a, at)) continue;
      if (a.Horizontal) {
        p.drawLine(QPointF(at, plot.top()), QPointF(at, plot.bottom()));
      } else {
        p.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
      }
    }
  }
}

void DrawAxes(PaintContext& ctx) {
  chart::Chart& c = ctx.chart;
  for (int i = 0; i < c.CustomAxisCount(); ++i) {
    const chart::Axis& a = c.CustomAxis(i);
    if (!a.Visible) continue;
    const chart::AxisTicks& t = ctx.ticks[static_cast<std::size_t>(i)];
    if (a.Horizontal) {
      DrawHorizontalAxis(ctx, a, t);
    } else {
      DrawVerticalAxis(ctx, a, t);
    }
  }
  for (const chart::StandardAxis which : {chart::StandardAxis::kBottom, chart::StandardAxis::kLeft,
                                          chart::StandardAxis::kRight, chart::StandardAxis::kTop}) {
    const chart::Axis& a = c.Standard(which);
    if (!a.Visible) continue;
    if (a.Horizontal) {
      DrawHorizontalAxis(ctx, a, TicksFor(ctx, a));
    } else {
      DrawVerticalAxis(ctx, a, TicksFor(ctx, a));
    }
  }
}

void DrawLegend(PaintContext& ctx) {
  const chart::Chart& c = ctx.chart;
  if (!c.Legend.Visible) return;
  const std::vector<int> items = c.LegendSeries();
  const std::vector<chart::LegendRow> rows =
      chart::LegendRows(c.Layout().legend, static_cast<int>(items.size()));
  if (rows.empty()) return;
  QPainter& p = ctx.painter;
  const QRect box = ToQRect(chart::LegendBox(c.Layout().legend, static_cast<int>(rows.size())));
  if (ctx.mono) {
    p.fillRect(box, Qt::white);
  } else {
    QLinearGradient g(box.topLeft(), box.topRight());
    g.setColorAt(0, ToQColor(c.LegendGradientStart));
    g.setColorAt(1, ToQColor(c.LegendGradientEnd));
    p.fillRect(box, g);
  }
  // A raised bevel of one pixel.
  p.setPen(ctx.mono ? QColor(Qt::black) : QColor(0xF0, 0xF0, 0xF0));
  p.drawLine(box.topLeft(), box.topRight());
  p.drawLine(box.topLeft(), box.bottomLeft());
  p.setPen(ctx.mono ? QColor(Qt::black) : QColor(0x40, 0x40, 0x40));
  p.drawLine(box.bottomLeft(), box.bottomRight());
  p.drawLine(box.topRight(), box.bottomRight());

  const QFontMetrics fm(ctx.font);
  p.setFont(ctx.font);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const chart::Series& s = c.SeriesAt(items[k]);
    const chart::LegendRow& r = rows[k];
    const QRect check = ToQRect(r.check);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(check.adjusted(0, 0, -1, -1));
    if (s.Active) {
      p.setPen(QPen(Qt::black, 2));
      const QPoint a(check.left() + 2, check.center().y());
      const QPoint b(check.left() + 4, check.bottom() - 2);
      const QPoint e(check.right() - 2, check.top() + 2);
      p.drawLine(a, b);
      p.drawLine(b, e);
    }
    p.setPen(QPen(ctx.Ink(s.Color), 2));
    p.drawLine(r.symbol.left, r.symbol.top, r.symbol.right, r.symbol.top);
    p.setPen(ctx.Ink(s.Color));
    const QString title = fm.elidedText(QString::fromStdString(s.Title), Qt::ElideRight,
                                        std::max(0, r.row.right - r.text_left - 2));
    p.drawText(QPointF(r.text_left, (r.row.top + r.row.bottom + 1) / 2.0 + fm.ascent() / 2.0 - 1), title);
  }
  p.setBrush(Qt::NoBrush);
}

}  // namespace vexa::platform::detail
