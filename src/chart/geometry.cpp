#include "chart/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexa::chart {
namespace {

// With sizes capped at kMaxChartPx and percentages at ±kMaxPercent, every
// pixel sum below stays far inside int.
constexpr double kMaxPercent = 1000.0;

// Percent of a pixel length, truncated toward zero (NaN counts as 0).
int PercentOf(int length, double percent) {
  if (std::isnan(percent)) return 0;
  percent = std::clamp(percent, -kMaxPercent, kMaxPercent);
  return static_cast<int>(std::trunc(length * percent / 100.0));
}

// Same, rounded: for positions inside the plot, where truncation would pull
// every band edge towards one side.
int RoundedPercentOf(int length, double percent) {
  if (std::isnan(percent)) return 0;
  percent = std::clamp(percent, -kMaxPercent, kMaxPercent);
  return static_cast<int>(std::lround(length * percent / 100.0));
}

bool AtBottom(const AxisPlacement& a) {
  return a.visible && a.horizontal && a.anchor == AxisAnchor::kBottom;
}
bool AtTop(const AxisPlacement& a) {
  return a.visible && a.horizontal && a.anchor == AxisAnchor::kTop;
}
bool AtRight(const AxisPlacement& a) {
  return a.visible && !a.horizontal && a.anchor == AxisAnchor::kRight;
}

int Band(const LayoutInput& in, bool (*where)(const AxisPlacement&)) {
  bool any = false;
  bool title = false;
  auto look = [&](const AxisPlacement& a) {
    if (!where(a)) return;
    any = true;
    title = title || a.shows_title;
  };
  for (const AxisPlacement& a : in.standard) look(a);
  for (const AxisPlacement& a : in.custom) look(a);
  if (!any) return 0;
  return where == &AtRight ? kRightAxisBandPx
                           : kHorizontalAxisBandPx + (title ? kAxisTitleBandPx : 0);
}

// Mapping factor guarded against a zero or non-finite span.
bool Degenerate(ValueSpan r) { return !(r.max - r.min != 0.0) || !std::isfinite(r.max - r.min); }

}  // namespace

namespace {

struct PlotAndDepth {
  PixelRect plot;
  int depth = 0;
};

PlotAndDepth FindPlot(const LayoutInput& in) {
  if (in.width <= 0 || in.height <= 0) return {};
  const int w = std::min(in.width, kMaxChartPx);
  const int h = std::min(in.height, kMaxChartPx);
  int left = 0;
  int right = w - 1;
  if (in.legend) right -= kLegendWidthPx + kLegendGapPx;
  left += PercentOf(w, in.margin_left);
  right -= PercentOf(w, in.margin_right);
  int top = PercentOf(h, in.margin_top);
  int bottom = h - 1 - PercentOf(h, in.margin_bottom);
  if (in.title_lines > 0) top += std::min(in.title_lines, 4) * kTitleLinePx + kTitlePaddingPx;
  bottom -= Band(in, &AtBottom);
  top += Band(in, &AtTop);
  right -= Band(in, &AtRight);
  int depth = 0;
  if (in.view_3d && right > left && bottom > top) {
    const int zoom = std::clamp(in.zoom_3d_percent, 10, 100);
    const int shrink_x = PercentOf(right - left, 100 - zoom) / 2;
    const int shrink_y = PercentOf(bottom - top, 100 - zoom) / 2;
    left += shrink_x;
    right -= shrink_x;
    top += shrink_y;
    bottom -= shrink_y;
    depth = PercentOf(std::min(right - left, bottom - top), std::clamp(in.depth_percent, 0, 100));
    right -= depth;
    top += depth;
  }
  // Whatever the margins, the plot stays on the chart.
  left = std::clamp(left, 0, w - 1);
  top = std::clamp(top, 0, h - 1);
  right = std::clamp(right, left, w - 1);
  bottom = std::clamp(bottom, top, h - 1);
  return {{left, top, right, bottom}, depth};
}

}  // namespace

PixelRect PlotRect(const LayoutInput& in) { return FindPlot(in).plot; }

AxisExtent PlaceAxis(const PixelRect& plot, const AxisPlacement& axis) {
  AxisExtent e;
  const int w = plot.Width();
  const int h = plot.Height();
  if (axis.horizontal) {
    e.start = plot.left + RoundedPercentOf(w, axis.start_percent);
    e.end = plot.left + RoundedPercentOf(w, axis.end_percent);
    e.position = axis.anchor == AxisAnchor::kTop ? plot.top + RoundedPercentOf(h, axis.position_percent)
                                                 : plot.bottom - RoundedPercentOf(h, axis.position_percent);
  } else {
    e.start = plot.top + RoundedPercentOf(h, axis.start_percent);
    e.end = plot.top + RoundedPercentOf(h, axis.end_percent);
    e.position = (axis.anchor == AxisAnchor::kRight ? plot.right : plot.left) +
                 RoundedPercentOf(w, axis.position_percent);
  }
  return e;
}

ChartLayout ComputeLayout(const LayoutInput& in) {
  ChartLayout out;
  if (in.width <= 0 || in.height <= 0) {
    out.custom.resize(in.custom.size());
    out.custom_room.resize(in.custom.size());
    return out;
  }
  out.valid = true;
  out.chart = {0, 0, std::min(in.width, kMaxChartPx) - 1, std::min(in.height, kMaxChartPx) - 1};
  const PlotAndDepth found = FindPlot(in);
  out.plot = found.plot;
  out.depth = found.depth;
  if (in.legend) {
    out.legend = {std::max(0, out.chart.right + 1 - kLegendWidthPx), out.plot.top, out.chart.right,
                  out.plot.bottom};
  }
  for (int i = 0; i < 4; ++i) out.standard[i] = PlaceAxis(out.plot, in.standard[i]);
  out.custom.reserve(in.custom.size());
  for (const AxisPlacement& a : in.custom) out.custom.push_back(PlaceAxis(out.plot, a));
  PlaceLabelRooms(in, out);
  return out;
}

void PlaceLabelRooms(const LayoutInput& in, ChartLayout& layout) {
  struct Line {
    const AxisPlacement* axis;
    const AxisExtent* extent;
    LabelRoom* room;
  };
  std::vector<Line> lines;
  layout.custom_room.assign(in.custom.size(), LabelRoom{layout.chart.left, false});
  for (int i = 0; i < 4; ++i) {
    layout.standard_room[i] = {layout.chart.left, false};
    lines.push_back({&in.standard[i], &layout.standard[i], &layout.standard_room[i]});
  }
  for (std::size_t i = 0; i < in.custom.size() && i < layout.custom.size(); ++i)
    lines.push_back({&in.custom[i], &layout.custom[i], &layout.custom_room[i]});
  auto shown = [](const Line& l) { return l.axis->visible && !l.axis->horizontal; };
  for (const Line& a : lines) {
    if (!shown(a)) continue;
    const int top = std::min(a.extent->start, a.extent->end);
    const int bottom = std::max(a.extent->start, a.extent->end);
    for (const Line& b : lines) {
      if (&b == &a || !shown(b)) continue;
      const int x = b.extent->position;
      if (x >= a.extent->position || x <= a.room->left) continue;
      const int b_top = std::min(b.extent->start, b.extent->end);
      const int b_bottom = std::max(b.extent->start, b.extent->end);
      if (b_top > bottom || top > b_bottom) continue;  // side by side bands
      *a.room = {x, true};
    }
  }
}

WallOffset BackWallOffset(int depth, double rotation, double elevation) {
  auto part = [depth](double degrees) {
    if (std::isnan(degrees) || depth <= 0) return 0;
    const double rad = std::clamp(degrees, 0.0, 45.0) * 3.14159265358979323846 / 180.0;
    return static_cast<int>(std::lround(depth * std::tan(rad)));
  };
  return {part(rotation), part(elevation)};
}

std::vector<LegendRow> LegendRows(const PixelRect& legend, int items) {
  std::vector<LegendRow> rows;
  for (int k = 0; k < items; ++k) {
    const int top = legend.top + kLegendPaddingPx + k * kLegendRowPx;
    const int bottom = top + kLegendRowPx - 1;
    if (bottom > legend.bottom) break;
    LegendRow r;
    r.row = {legend.left, top, legend.right, bottom};
    const int check_top = top + (kLegendRowPx - kLegendCheckPx) / 2;
    r.check = {legend.left + kLegendPaddingPx, check_top, legend.left + kLegendPaddingPx + kLegendCheckPx - 1,
               check_top + kLegendCheckPx - 1};
    const int mid = top + kLegendRowPx / 2;
    r.symbol = {r.check.right + 5, mid, r.check.right + 5 + kLegendSymbolPx - 1, mid};
    r.text_left = r.symbol.right + 5;
    rows.push_back(r);
  }
  return rows;
}

PixelRect LegendBox(const PixelRect& legend, int rows) {
  return {legend.left, legend.top, legend.right,
          std::min(legend.bottom, legend.top + 2 * kLegendPaddingPx + rows * kLegendRowPx - 1)};
}

double ValueToPixel(ValueSpan range, AxisExtent extent, bool horizontal, double value) {
  if (std::isnan(value)) return value;
  const double length = static_cast<double>(extent.end) - extent.start;
  if (Degenerate(range)) return extent.start + length / 2.0;
  const double t = (value - range.min) / (range.max - range.min);
  return horizontal ? extent.start + t * length : extent.end - t * length;
}

double PixelToValue(ValueSpan range, AxisExtent extent, bool horizontal, double pixel) {
  const double length = static_cast<double>(extent.end) - extent.start;
  if (Degenerate(range) || length == 0.0 || std::isnan(pixel)) return range.min;
  const double t = horizontal ? (pixel - extent.start) / length : (extent.end - pixel) / length;
  return range.min + t * (range.max - range.min);
}

DragKind ClassifyDrag(int x0, int y0, int x1, int y1, int min_pixels) {
  const long long dx = static_cast<long long>(x1) - x0;
  const long long dy = static_cast<long long>(y1) - y0;
  if (dx < 0 || dy < 0) return DragKind::kUndo;
  if (dx >= min_pixels && dy >= min_pixels && dx > 0 && dy > 0) return DragKind::kZoom;
  return DragKind::kNone;
}

ValueSpan ZoomSpan(ValueSpan range, AxisExtent extent, bool horizontal, int p0, int p1) {
  const double a = PixelToValue(range, extent, horizontal, p0);
  const double b = PixelToValue(range, extent, horizontal, p1);
  return {std::min(a, b), std::max(a, b)};
}

ValueSpan PanSpan(ValueSpan range, AxisExtent extent, bool horizontal, int delta) {
  const double length = static_cast<double>(extent.end) - extent.start;
  if (length == 0.0 || Degenerate(range)) return range;
  const double shift = delta * (range.max - range.min) / length;
  // Content follows the mouse: right shows earlier values, down shows higher ones.
  const double by = horizontal ? -shift : shift;
  const ValueSpan moved{range.min + by, range.max + by};
  if (!std::isfinite(moved.min) || !std::isfinite(moved.max)) return range;
  return moved;
}

ValueSpan ScrollSpan(ValueSpan range, double amount, bool within_limits, MinMax data) {
  if (!std::isfinite(amount) || amount == 0.0) return range;
  if (within_limits) {
    if (!data.valid) return range;
    if (amount > 0 && range.max > data.max) return range;
    if (amount < 0 && range.min < data.min) return range;
  }
  const ValueSpan moved{range.min + amount, range.max + amount};
  if (!std::isfinite(moved.min) || !std::isfinite(moved.max)) return range;
  return moved;
}

ValueSpan AutoRange(MinMax data, ValueSpan previous) {
  if (!data.valid || !std::isfinite(data.min) || !std::isfinite(data.max)) return previous;
  if (data.min < data.max) return {data.min, data.max};
  const double v = data.min;
  const double half = std::max(1.0, std::fabs(v) / 100.0);
  return {v - half, v + half};
}

}  // namespace vexa::chart

