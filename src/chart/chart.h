// The chart model: an ordered list of series (owned by their creator), the
// four standard axes, the ordered custom axes, legend, 3D, title lines and
// print settings, plus the zoom, undo and pan operations the chart widget
// runs for its gestures. No drawing: a painter draws this model.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chart/axis.h"
#include "chart/geometry.h"
#include "chart/series.h"

namespace vexa::chart {

enum class StandardAxis : int { kBottom = 0, kLeft = 1, kRight = 2, kTop = 3 };

enum class ZoomDirection : std::uint8_t { kHorizontal, kVertical, kBoth };

struct LegendState {
  bool Visible = true;
  bool CheckBoxes = true;
};

class Chart {
 public:
  Chart();
  Chart(const Chart&) = delete;
  Chart& operator=(const Chart&) = delete;

  // --- series (not owned; the owner removes them before destroying them) ----
  int AddSeries(Series* series);  // returns its index; null or already present: -1
  void RemoveAllSeries();
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  Series& SeriesAt(int index) const { return *series_.at(static_cast<std::size_t>(index)); }
  int IndexOf(const Series* series) const;  // -1 when absent

  // --- axes --------------------------------------------------------------
  Axis& BottomAxis() { return standard_[0]; }
  Axis& LeftAxis() { return standard_[1]; }
  Axis& RightAxis() { return standard_[2]; }
  Axis& TopAxis() { return standard_[3]; }
  const Axis& BottomAxis() const { return standard_[0]; }
  const Axis& LeftAxis() const { return standard_[1]; }
  const Axis& RightAxis() const { return standard_[2]; }
  const Axis& TopAxis() const { return standard_[3]; }
  Axis& Standard(StandardAxis which) { return standard_[static_cast<int>(which)]; }
  const Axis& Standard(StandardAxis which) const { return standard_[static_cast<int>(which)]; }

  // Appends a custom axis (vertical unless told) and returns its index.
  // References stay valid until ClearCustomAxes.
  int AddCustomAxis(bool horizontal = false);
  void ClearCustomAxes();
  int CustomAxisCount() const { return static_cast<int>(custom_.size()); }
  Axis& CustomAxis(int index) { return *custom_.at(static_cast<std::size_t>(index)); }
  const Axis& CustomAxis(int index) const { return *custom_.at(static_cast<std::size_t>(index)); }

  // The axes a series is drawn against: its custom axis when the index names
  // one, else the bottom / left axis.
  Axis& HorizontalAxisOf(const Series& series);
  Axis& VerticalAxisOf(const Series& series);
  const Axis& HorizontalAxisOf(const Series& series) const;
  const Axis& VerticalAxisOf(const Series& series) const;

  // The first series in list order, drawn against `axis`, that has labels: its
  // labels are the ones the axis shows at index positions. Null when none.
  const Series* LabelSourceFor(const Axis& axis) const;

  // Whether an axis is drawn (line, ticks, labels, title, grid) and takes
  // part in the layout: Visible, and either no series is drawn against it or
  // at least one of them is active. A channel hidden in the legend thereby
  // hides its axis too.
  bool AxisShown(const Axis& axis) const;

  // --- ranges ------------------------------------------------------------
  // The extent of the data drawn against an axis, over all series (active or
  // not): indices 0 .. count-1 for a horizontal axis, the non-null values for
  // a vertical one (a bar series includes 0, where its bars start).
  MinMax DataExtent(const Axis& axis) const;
  // Gives every Automatic axis its range from DataExtent (AutoRange in
  // geometry.h). The painter calls it before drawing; gestures call it first.
  void RecalculateAutomaticRanges();

  // Scrolls an axis by `amount`. Within limits, the range moves only while
  // the end it moves towards has not passed the data: forward while Maximum
  // <= the data's maximum, backward while Minimum >= the data's minimum (see
  // ScrollRange). So a live time axis scrolled by 1 before each new sample
  // stands still until the data reaches its right end, then keeps the newest
  // sample at that end.
  void ScrollAxis(Axis& axis, double amount, bool within_limits);

  // --- layout ------------------------------------------------------------
  // Computes the layout for a chart of width × height pixels (ComputeLayout)
  // and stores every axis's IStartPos/IEndPos/IPosition and the plot rectangle.
  void UpdateLayout(int width, int height);
  // What ComputeLayout needs of this chart for a size.
  LayoutInput LayoutInputFor(int width, int height) const;
  const ChartLayout& Layout() const { return layout_; }

  // --- gestures ------------------------------------------------------------
  // A left drag from (x0, y0) to (x1, y1): a zoom when it goes right and down
  // by at least ZoomMinPixels each way, an undo when it goes left or up,
  // nothing otherwise (ClassifyDrag). Raises OnZoom / OnUndoZoom afterwards.
  DragKind HandleLeftDrag(int x0, int y0, int x1, int y1);
  // Applies a zoom rectangle (normalised) to the four standard axes in
  // ZoomDirection; custom axes are left alone. The first zoom remembers the
  // standard axes' ranges and automatic flags for UndoZoom.
  void ZoomRect(PixelRect rect);
  // Restores what the first zoom remembered; nothing when not zoomed.
  void UndoZoom();
  bool Zoomed() const { return undo_.has_value(); }
  // A right drag moved by (dx, dy) pixels: every axis, standard and custom,
  // follows the mouse (PanRange); automatic scaling ends. Raises OnScroll.
  void Pan(int dx, int dy);
  // A legend check box was clicked: toggles the series' Active, raises OnClickLegend.
  void ToggleSeriesActive(int index);

  // --- legend --------------------------------------------------------------
  // The series the legend lists (ShowInLegend), in chart order.
  std::vector<int> LegendSeries() const;
  // The series whose legend row holds the pixel, from the last UpdateLayout;
  // -1 when none (or no legend).
  int LegendHit(int x, int y) const;

  std::function<void(PixelRect)> OnZoom;
  std::function<void()> OnUndoZoom;
  std::function<void()> OnScroll;
  std::function<void(int series_index)> OnClickLegend;

  // --- clipping, provided by the painter while it draws -------------------
  bool CanClip() const { return CanClipHook ? CanClipHook() : false; }
  void ClipRectangle(PixelRect rect);
  void UnClipRectangle();
  std::optional<PixelRect> ActiveClip() const { return clip_; }
  std::function<bool()> CanClipHook;
  std::function<void(PixelRect)> ClipHook;
  std::function<void()> UnclipHook;

  // --- appearance and state (plain fields) ----------------------------------
  // A new chart looks as the monitor's chart first does: black, a back wall
  // with a diagonal gradient, a legend with check boxes on a gradient, the
  // right, top and bottom axes hidden, 3D at 10 % depth and 93 % zoom.
  // Margins in percent of the chart width (left, right) or height (top, bottom).
  double MarginLeft = 7.0;
  double MarginRight = 1.0;
  double MarginTop = 2.0;
  double MarginBottom = 2.0;
  LegendState Legend;
  ColorRef LegendGradientStart = 0x000000;  // left to right
  ColorRef LegendGradientEnd = 0xDDDDDD;
  ColorRef BackWallGradientStart = 0x3D3E43;  // from the top left corner
  ColorRef BackWallGradientEnd = 0xCC3CB3;
  bool View3D = false;
  int Chart3DPercent = 10;  // depth of the 3D view in percent (see geometry.h)
  double Rotation3D = 45.0;   // degrees, 0..45: how far the back wall lies right
  double Elevation3D = 45.0;  // degrees, 0..45: how far it lies up (BackWallOffset)
  int Zoom3DPercent = 93;     // the plot's size in the 3D view
  std::vector<std::string> TitleLines;  // at most kMaxTitleLines are shown
  bool TitleVisible = false;  // left-aligned lines above the plot (printing)
  ColorRef TitleFontColor = 0x000000;
  int TitleFontPx = 13;
  bool Monochrome = false;
  ColorRef BackColor = 0x000000;
  ZoomDirection Direction = ZoomDirection::kBoth;
  int ZoomMinPixels = 10;
  std::array<int, 4> PrintMargins{16, 19, 14, 21};  // left, top, right, bottom, percent
  int PrintResolution = 0;

  static constexpr int kMaxTitleLines = 4;

 private:
  struct SavedRange {
    double min, max;
    bool automatic;
  };
  void ApplyLayoutToAxis(Axis& axis, const AxisExtent& extent);

  std::vector<Series*> series_;
  std::array<Axis, 4> standard_;
  std::vector<std::unique_ptr<Axis>> custom_;
  ChartLayout layout_;
  std::optional<std::array<SavedRange, 4>> undo_;
  std::optional<PixelRect> clip_;
};

}  // namespace vexa::chart
