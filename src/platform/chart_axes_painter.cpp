// Axes, grid lines, mark labels and the legend of the chart painter.
#include <QFontMetrics>
#include <QLinearGradient>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "platform/chart_painter_parts.h"

namespace vexa::platform::detail {
namespace {

constexpr int kLabelGapPx = 3;
// Below this room the gap between ticks and labels shrinks to a pixel.
constexpr int kNarrowRoomPx = 30;
constexpr int kTitleGapPx = 2;

bool IsIndexAxis(const chart::Chart& c, const chart::Axis& a) {
  return a.Horizontal && c.LabelSourceFor(a) != nullptr;
}

QColor LabelBackground(const PaintContext& ctx) {
  return ctx.options.paper ? QColor(Qt::white) : ToQColor(ctx.chart.BackColor);
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

int HalfLine(const chart::Axis& a) { return std::max(1, a.AxisLineWidth) / 2; }
int OuterTicks(const chart::Axis& a) { return a.Ticks.Visible ? a.Ticks.Length : 0; }

// The labels of the ticks inside the axis's extent, in fixed form, and in
// exponent form when a fixed one is long enough for that to be narrower.
struct LabelForms {
  std::vector<AxisLabel> fixed, exponent;
};
LabelForms VerticalLabels(const PaintContext& ctx, const chart::Axis& a, const chart::AxisTicks& t) {
  LabelForms out;
  if (!a.LabelsVisible) return out;
  bool longer = false;
  for (const double v : t.values) {
    const double y = a.CalcPosValue(v);
    if (!InExtent(a, y)) continue;
    out.fixed.push_back({y, TickLabel(ctx.chart, a, v, t.step)});
    // "1e5" is never shorter than a fixed label of up to six characters.
    longer = longer || out.fixed.back().text.size() > 6;
  }
  if (!longer) return out;
  for (const double v : t.values) {
    const double y = a.CalcPosValue(v);
    if (InExtent(a, y))
      out.exponent.push_back({y, QString::fromStdString(chart::FormatTickExponent(v, t.step))});
  }
  return out;
}

int Widest(const QFontMetrics& fm, const std::vector<AxisLabel>& labels) {
  int w = 0;
  for (const AxisLabel& l : labels) w = std::max(w, fm.horizontalAdvance(l.text));
  return w;
}

// The right edge of a vertical axis's labels and the room left of it.
struct Column {
  int right = 0;
  int width = 0;
};
Column LabelColumn(const chart::Axis& a, const chart::LabelRoom& room, int gap) {
  // Labels may cover a neighbour's line (they are drawn above it on their
  // own background), never its ticks.
  const int left = room.at_axis ? room.left - 1 : room.left + 1;
  const int right = a.IPosition - HalfLine(a) - OuterTicks(a) - gap;
  return {right, right - left};
}

// The font, form and ticks that let an axis's labels and title fit its
// room: the largest font (down to kSmallestLabelPx) at which the labels and
// the title beside them fit; else the labels alone, the title in their
// column; ticks thinned to a coarser step only when no font fits the labels;
// the exponent form wherever it is narrower.
AxisText FitVertical(const PaintContext& ctx, const chart::Axis& a, const chart::LabelRoom& room,
                     const chart::AxisTicks& base) {
  AxisText out;
  out.ticks = base;
  out.gap = LabelColumn(a, room, kLabelGapPx).width >= kNarrowRoomPx ? kLabelGapPx : 1;
  const int width = LabelColumn(a, room, out.gap).width;
  const int length = std::abs(a.IEndPos - a.IStartPos);
  const QString title =
      a.Title.Visible ? QString::fromStdString(a.Title.Caption) : QString();

  struct Fit {
    chart::AxisTicks ticks;
    std::vector<AxisLabel> labels;
    int px;
    bool exponent;
  };
  std::optional<Fit> labels_fit;
  chart::AxisTicks t = base;
  LabelForms forms;
  for (int round = 0; round < 4; ++round) {
    forms = VerticalLabels(ctx, a, t);
    for (int px = kLabelFontPx; px >= kSmallestLabelPx; --px) {
      const QFontMetrics fm(ctx.FontPx(px));
      const int wf = Widest(fm, forms.fixed);
      const int we = forms.exponent.empty() ? wf : Widest(fm, forms.exponent);
      const bool exponent = we < wf;
      const int w = exponent ? we : wf;
      if (w > width) continue;
      if (title.isEmpty() ||
          (w + out.gap + fm.height() <= width && fm.horizontalAdvance(title) <= length)) {
        out.ticks = t;
        out.labels = exponent ? std::move(forms.exponent) : std::move(forms.fixed);
        out.font_px = out.title_px = px;
        out.exponent = exponent;
        out.title = title;
        out.title_beside = true;
        return out;
      }
      if (!labels_fit) labels_fit = Fit{t, exponent ? forms.exponent : forms.fixed, px, exponent};
    }
    if (labels_fit) break;
    // Down to one tick: one readable label says more than several over the
    // neighbours.
    const chart::AxisTicks thinner = chart::ThinTicks(t, chart::CoarserStep(t.step));
    if (thinner.values.empty()) break;
    t = thinner;
  }
  if (labels_fit) {
    out.ticks = labels_fit->ticks;
    out.labels = std::move(labels_fit->labels);
    out.font_px = labels_fit->px;
    out.exponent = labels_fit->exponent;
  } else {
    // Nothing fits: the smallest font, the coarsest ticks, the narrower form.
    out.ticks = t;
    out.font_px = kSmallestLabelPx;
    forms = VerticalLabels(ctx, a, t);
    const QFontMetrics fm(ctx.FontPx(kSmallestLabelPx));
    out.exponent = !forms.exponent.empty() && Widest(fm, forms.exponent) < Widest(fm, forms.fixed);
    out.labels = out.exponent ? std::move(forms.exponent) : std::move(forms.fixed);
  }
  out.title_beside = false;
  if (title.isEmpty()) return out;
  const QFontMetrics lfm(ctx.FontPx(out.font_px));
  const int label_height = lfm.height();
  // A long axis (the normal arrangement's): the whole title in the labels'
  // column, the labels it covers left out; the largest font whose line
  // fits the column.
  for (int px = kLabelFontPx; px >= kSmallestLabelPx; --px) {
    const QFontMetrics fm(ctx.FontPx(px));
    if (fm.height() <= width + 1 && fm.horizontalAdvance(title) + 4 * label_height <= length) {
      out.title_px = px;
      out.title = title;
      return out;
    }
  }
  // A short one (a band of the stacked arrangement): beside the labels,
  // cut to the axis's length, where the room allows; else in their column.
  const int labels_width = Widest(lfm, out.labels);
  for (int px = kLabelFontPx; px >= kSmallestLabelPx; --px) {
    const QFontMetrics fm(ctx.FontPx(px));
    if (labels_width + out.gap + fm.height() <= width) {
      out.title_beside = true;
      out.title_px = px;
      out.title = fm.elidedText(title, Qt::ElideRight, std::max(0, length));
      return out;
    }
  }
  // No room for the title without hiding every label: the labels stay (the
  // legend names the channel in its colour).
  out.title.clear();
  return out;
}

void DrawVerticalLine(PaintContext& ctx, const chart::Axis& a, const chart::AxisTicks& t) {
  QPainter& p = ctx.painter;
  const int x = a.IPosition;
  const int half = HalfLine(a);
  p.setPen(QPen(ctx.Ink(a.AxisLineColor), std::max(1, a.AxisLineWidth), Qt::SolidLine, Qt::FlatCap));
  p.drawLine(x, a.IStartPos, x, a.IEndPos);
  const int outer = OuterTicks(a);
  if (a.MinorTicks.Visible && a.MinorTicks.Length > 0 && t.values.size() >= 2) {
    p.setPen(QPen(ctx.Ink(a.MinorTicks.Color), 1));
    for (std::size_t k = 0; k + 1 < t.values.size(); ++k) {
      for (int m = 1; m < 4; ++m) {
        const double y = a.CalcPosValue(t.values[k] + t.step * m / 4.0);
        if (InExtent(a, y)) p.drawLine(QPointF(x - half - a.MinorTicks.Length, y), QPointF(x - half, y));
      }
    }
  }
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
  }
}

// The labels and the title, each on the chart's background so that no line
// runs through them.
void DrawVerticalTexts(PaintContext& ctx, const chart::Axis& a, const chart::LabelRoom& room,
                       const AxisText& text, int owner) {
  QPainter& p = ctx.painter;
  const QColor back = LabelBackground(ctx);
  const int right = LabelColumn(a, room, text.gap).right;
  const QFont title_font = ctx.FontPx(text.title_px);
  const QFontMetrics tfm(title_font);
  const double cy = (a.IStartPos + a.IEndPos) / 2.0;
  const int title_length = text.title.isEmpty() ? 0 : tfm.horizontalAdvance(text.title);
  // The title's span along the axis when it stands in the labels' column.
  const QRect title_span(right - tfm.height(), static_cast<int>(std::floor(cy - title_length / 2.0)) - 2,
                         tfm.height(), title_length + 4);

  const QFont font = ctx.FontPx(text.font_px);
  const QFontMetrics fm(font);
  p.setFont(font);
  int widest = 0;
  for (const AxisLabel& l : text.labels) {
    const double y = l.y;
    const QString& label = l.text;
    const int w = fm.horizontalAdvance(label);
    const double base = y + fm.ascent() / 2.0 - 1;
    const QRect box(right - w, static_cast<int>(std::lround(base)) - fm.ascent(), w, fm.height());
    widest = std::max(widest, w);
    if (!text.title.isEmpty() && !text.title_beside && box.intersects(title_span)) continue;
    p.fillRect(box.adjusted(-1, 0, 1, 0), back);
    p.setPen(ctx.Ink(a.LabelsFontColor));
    p.drawText(QPointF(right - w, base), label);
    ctx.Report(PaintedText::kAxisLabel, owner, box, label, text.font_px);
  }
  if (text.title.isEmpty()) return;
  // Rotated a quarter turn: the text's height runs across the axis.
  const int outer_edge = text.title_beside ? right - widest - text.gap : right;
  const QRect box(outer_edge - tfm.height(), static_cast<int>(std::lround(cy - title_length / 2.0)),
                  tfm.height(), title_length);
  p.fillRect(box, back);
  p.save();
  p.translate(outer_edge - tfm.descent(), cy);
  p.rotate(-a.Title.Angle);
  p.setFont(title_font);
  p.setPen(ctx.Ink(a.Title.FontColor));
  p.drawText(QPointF(-title_length / 2.0, 0), text.title);
  p.restore();
  ctx.Report(PaintedText::kAxisTitle, owner, box, text.title, text.title_px);
}

void DrawHorizontalAxis(PaintContext& ctx, const chart::Axis& a, const chart::AxisTicks& t, int owner) {
  QPainter& p = ctx.painter;
  const QFontMetrics fm(ctx.font);
  const int y = a.IPosition;
  const int half = HalfLine(a);
  const int down = a.OtherSide ? -1 : 1;  // labels below a bottom axis, above a top one
  p.setPen(QPen(ctx.Ink(a.AxisLineColor), std::max(1, a.AxisLineWidth), Qt::SolidLine, Qt::FlatCap));
  p.drawLine(a.IStartPos, y, a.IEndPos, y);
  const int outer = OuterTicks(a);
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
    // Centred on its tick, but kept on the chart.
    const int w = fm.horizontalAdvance(label);
    const double left =
        std::clamp(x - w / 2.0, 0.0, std::max(0.0, static_cast<double>(ctx.chart.Layout().chart.right + 1 - w)));
    p.setPen(ctx.Ink(a.LabelsFontColor));
    p.drawText(QPointF(left, base), label);
    ctx.Report(PaintedText::kAxisLabel, owner,
               QRect(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(base)) - fm.ascent(), w,
                     fm.height()),
               label, ctx.font.pixelSize());
  }
}

AxisText TextFor(const PaintContext& ctx, const chart::Axis& a, const chart::LabelRoom& room) {
  if (!ctx.chart.AxisShown(a)) return {};
  const chart::AxisTicks t = TicksFor(ctx, a);
  if (a.Horizontal) {
    AxisText text;
    text.ticks = t;
    return text;
  }
  return FitVertical(ctx, a, room, t);
}

constexpr chart::StandardAxis kStandard[] = {chart::StandardAxis::kBottom, chart::StandardAxis::kLeft,
                                             chart::StandardAxis::kRight, chart::StandardAxis::kTop};

}  // namespace

void ComputeAxisTicks(PaintContext& ctx) {
  ctx.axes.clear();
  const chart::ChartLayout& layout = ctx.chart.Layout();
  for (int i = 0; i < ctx.chart.CustomAxisCount(); ++i) {
    const chart::LabelRoom room =
        static_cast<std::size_t>(i) < layout.custom_room.size() ? layout.custom_room[static_cast<std::size_t>(i)]
                                                                : chart::LabelRoom{};
    ctx.axes.push_back(TextFor(ctx, ctx.chart.CustomAxis(i), room));
  }
}

void DrawGrids(PaintContext& ctx) {
  QPainter& p = ctx.painter;
  const QRect& plot = ctx.plot;
  for (int i = 0; i < ctx.chart.CustomAxisCount(); ++i) {
    const chart::Axis& a = ctx.chart.CustomAxis(i);
    if (!a.GridVisible || !ctx.chart.AxisShown(a)) continue;
    p.setPen(QPen(ctx.Ink(a.GridColor), 1, Qt::DotLine));
    for (const double v : ctx.axes[static_cast<std::size_t>(i)].ticks.values) {
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
  const chart::ChartLayout& layout = c.Layout();
  struct Drawn {
    const chart::Axis* axis;
    AxisText text;
    chart::LabelRoom room;
    int owner;
  };
  std::vector<Drawn> drawn;
  for (int i = 0; i < c.CustomAxisCount(); ++i) {
    const chart::Axis& a = c.CustomAxis(i);
    if (!c.AxisShown(a)) continue;
    const auto k = static_cast<std::size_t>(i);
    drawn.push_back({&a, ctx.axes[k], k < layout.custom_room.size() ? layout.custom_room[k] : chart::LabelRoom{}, i});
  }
  for (const chart::StandardAxis which : kStandard) {
    const chart::Axis& a = c.Standard(which);
    const int k = static_cast<int>(which);
    if (c.AxisShown(a)) drawn.push_back({&a, TextFor(ctx, a, layout.standard_room[k]), layout.standard_room[k], -1 - k});
  }
  // Every line first, then every text above them all.
  for (const Drawn& d : drawn) {
    if (d.axis->Horizontal) {
      DrawHorizontalAxis(ctx, *d.axis, d.text.ticks, d.owner);
    } else {
      DrawVerticalLine(ctx, *d.axis, d.text.ticks);
    }
  }
  for (const Drawn& d : drawn) {
    if (!d.axis->Horizontal) DrawVerticalTexts(ctx, *d.axis, d.room, d.text, d.owner);
  }
}

void DrawMarkLabels(PaintContext& ctx) {
  if (ctx.marks.empty()) return;
  QPainter& p = ctx.painter;
  p.setFont(ctx.font);
  p.setPen(Qt::black);
  p.setBrush(ctx.mono || ctx.options.paper ? QColor(Qt::white) : QColor(255, 255, 225));
  for (const MarkLabel& m : ctx.marks) {
    p.drawRect(m.box);
    p.drawText(m.box, Qt::AlignCenter, m.text);
    ctx.Report(PaintedText::kMark, m.series, m.box, m.text, ctx.font.pixelSize());
  }
  p.setBrush(Qt::NoBrush);
  ctx.marks.clear();
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
