// Pixel geometry of the chart, as pure functions: where the plot lies for a
// chart size, where each axis lies, value <-> pixel, and the range changes of
// zoom, pan and scroll. The painter follows the same numbers.
//
// Pixels: x grows to the right, y downwards, (0, 0) is the chart's top left.
// The plot rectangle is found by taking, in this order, from the chart:
//   1. the legend strip at the right, kLegendWidthPx + kLegendGapPx wide, when
//      the legend is visible and has at least one item;
//   2. the margins: left/right in percent of the chart width, top/bottom in
//      percent of the height (truncated to whole pixels);
//   3. kTitleLinePx per shown title line plus kTitlePaddingPx at the top;
//   4. kHorizontalAxisBandPx (+ kAxisTitleBandPx when such an axis shows a
//      title) at the bottom when a visible horizontal axis sits at the bottom
//      edge, the same at the top for the top edge, and kRightAxisBandPx at the
//      right when a visible vertical axis sits at the right edge;
//   5. in 3D, the rest shrinks about its centre to zoom_3d_percent %, then a
//      depth of depth_percent % of its smaller side is taken from the right and
//      the top (the walls recede there).
// The plot stays on the chart; a rectangle that would turn inside out
// collapses to zero width or height.
// Vertical axes run from IStartPos (top, the axis maximum) to IEndPos (bottom,
// the minimum); horizontal ones from IStartPos (left, minimum) to IEndPos
// (right, maximum).
#pragma once

#include <cstdint>
#include <vector>

#include "chart/series.h"

namespace vexa::chart {

inline constexpr int kLegendWidthPx = 130;
inline constexpr int kLegendGapPx = 6;
inline constexpr int kTitleLinePx = 18;
inline constexpr int kTitlePaddingPx = 4;
inline constexpr int kHorizontalAxisBandPx = 22;
inline constexpr int kAxisTitleBandPx = 16;
inline constexpr int kRightAxisBandPx = 40;
// Larger sizes are treated as this size; placement percentages beyond ±1000
// as ±1000.
inline constexpr int kMaxChartPx = 1 << 20;

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;   // last column, inclusive
  int bottom = 0;  // last row, inclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct ValueSpan {
  double min = 0.0;
  double max = 0.0;
  friend bool operator==(const ValueSpan&, const ValueSpan&) = default;
};

// Where an axis's position percentage is measured from.
enum class AxisAnchor : std::uint8_t { kLeft, kRight, kBottom, kTop };

// What the geometry needs of one axis.
struct AxisPlacement {
  bool visible = true;
  bool horizontal = false;
  AxisAnchor anchor = AxisAnchor::kLeft;
  double position_percent = 0.0;
  double start_percent = 0.0;
  double end_percent = 100.0;
  bool shows_title = false;  // title visible with a non-empty caption
};

struct AxisExtent {
  int start = 0;     // IStartPos
  int end = 0;       // IEndPos
  int position = 0;  // x of a vertical axis line, y of a horizontal one
  friend bool operator==(const AxisExtent&, const AxisExtent&) = default;
};

struct LayoutInput {
  int width = 0;
  int height = 0;
  double margin_left = 0.0;  // percent
  double margin_right = 0.0;
  double margin_top = 0.0;
  double margin_bottom = 0.0;
  bool legend = false;  // visible and with at least one item
  int title_lines = 0;  // lines shown above the plot
  bool view_3d = false;
  int depth_percent = 0;
  int zoom_3d_percent = 100;  // 3D: the plot shrinks to this share about its centre
  AxisPlacement standard[4];  // bottom, left, right, top
  std::vector<AxisPlacement> custom;
};

// The room a vertical axis has for its labels and title, left of its line:
// up to the line of the nearest shown vertical axis to its left whose extent
// overlaps its own (the normal arrangement's next axis; the bands of the
// stacked arrangement do not overlap, so there each axis reaches the chart's
// edge), else up to the chart's left edge. Labels drawn on a background of
// their own may cover that neighbour's line, not its ticks or labels.
struct LabelRoom {
  int left = 0;          // x of the neighbour's line, or the chart's left edge
  bool at_axis = false;  // left is a neighbour's line
  friend bool operator==(const LabelRoom&, const LabelRoom&) = default;
};

struct ChartLayout {
  bool valid = false;  // false for a chart of zero or negative size
  PixelRect chart;
  PixelRect plot;
  PixelRect legend;  // empty (all 0) without a legend
  int depth = 0;     // 3D: pixels taken from the right and the top for the walls
  AxisExtent standard[4];  // bottom, left, right, top
  std::vector<AxisExtent> custom;
  // Vertical axes only; a horizontal or hidden axis gets the chart's edge.
  LabelRoom standard_room[4];
  std::vector<LabelRoom> custom_room;
};

PixelRect PlotRect(const LayoutInput& in);
AxisExtent PlaceAxis(const PixelRect& plot, const AxisPlacement& axis);
ChartLayout ComputeLayout(const LayoutInput& in);
// The rooms of every axis of a layout (ComputeLayout fills them in).
void PlaceLabelRooms(const LayoutInput& in, ChartLayout& layout);

// 3D: the back wall lies (dx, -dy) pixels from the plot, within the depth
// the layout reserved. Rotation turns the box sideways, elevation tilts it;
// both are degrees from 0 (flat) to 45 (the whole depth), clamped.
struct WallOffset {
  int dx = 0;
  int dy = 0;
  friend bool operator==(const WallOffset&, const WallOffset&) = default;
};
WallOffset BackWallOffset(int depth, double rotation, double elevation);

// The legend's rows, from the top of the legend strip down: a check box, a
// line symbol in the series' colour, then the title. Only rows that fit in
// the strip are given.
inline constexpr int kLegendRowPx = 17;
inline constexpr int kLegendPaddingPx = 4;
inline constexpr int kLegendCheckPx = 11;
inline constexpr int kLegendSymbolPx = 15;
struct LegendRow {
  PixelRect row;
  PixelRect check;
  PixelRect symbol;
  int text_left = 0;
};
std::vector<LegendRow> LegendRows(const PixelRect& legend, int items);
// The framed box around n rows (n > 0).
PixelRect LegendBox(const PixelRect& legend, int rows);

// Value <-> pixel on an axis of the given extent. min == max maps every value
// to the middle of the extent and every pixel to min; a zero-length extent
// maps every pixel to min. NaN stays NaN.
double ValueToPixel(ValueSpan range, AxisExtent extent, bool horizontal, double value);
double PixelToValue(ValueSpan range, AxisExtent extent, bool horizontal, double pixel);

enum class DragKind : std::uint8_t { kNone, kZoom, kUndo };
// Right and down by at least min_pixels each way: zoom. Any movement left or
// up: undo. A click, or a small drag right and down: nothing.
DragKind ClassifyDrag(int x0, int y0, int x1, int y1, int min_pixels);

// The range between the values at two pixels, in increasing order.
ValueSpan ZoomSpan(ValueSpan range, AxisExtent extent, bool horizontal, int p0, int p1);
// The range after the mouse moved `delta` pixels along the axis while panning:
// the values follow the mouse (dragging right shows earlier values, dragging
// down shows higher ones). A zero-length extent changes nothing.
ValueSpan PanSpan(ValueSpan range, AxisExtent extent, bool horizontal, int delta);
// See Chart::ScrollAxis. An empty or invalid data extent stops a limited scroll.
ValueSpan ScrollSpan(ValueSpan range, double amount, bool within_limits, MinMax data);
// Automatic range from a data extent: the extent itself; a single value v
// gives v ± max(1, |v|/100); no data keeps `previous`.
ValueSpan AutoRange(MinMax data, ValueSpan previous);

}  // namespace vexa::chart
