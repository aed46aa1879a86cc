// A chart axis: its value range, its placement on the chart in percent, and
// its appearance. The pixel extent (IStartPos, IEndPos, IPosition) is written
// by Chart::UpdateLayout from the geometry in geometry.h.
#pragma once

#include <string>

#include "chart/series.h"

namespace vexa::chart {

struct TickStyle {
  ColorRef Color = 0x808080;
  int Length = 4;
  bool Visible = true;
};

struct AxisTitle {
  std::string Caption;
  bool Visible = true;
  int Angle = 0;  // degrees; 90 reads bottom to top
  ColorRef FontColor = 0x000000;
};

class Axis {
 public:
  explicit Axis(bool horizontal = false) : Horizontal(horizontal) {}

  // Sets the range and turns automatic scaling off. The two values may come in
  // either order; min == max is kept (the geometry maps it to the middle of the
  // axis). Returns false and changes nothing when either is not finite.
  bool SetMinMax(double a, double b);
  double Minimum() const { return min_; }
  double Maximum() const { return max_; }

  // Moves the range by `amount` (both ends) and turns automatic scaling off;
  // amounts that are not finite are ignored. Chart::ScrollAxis adds the
  // "within limits" rule, which needs the series.
  void Scroll(double amount);

  // The value at a pixel, from the extent of the last layout: the inverse of
  // CalcPosValue. A zero-length extent or min == max gives Minimum().
  double CalcPosPoint(int pixel) const;
  // The pixel (fractional) of a value; NaN for NaN. min == max gives the
  // middle of the extent.
  double CalcPosValue(double value) const;

  // Used by the chart's automatic scaling: sets the range, keeps Automatic.
  void SetAutomaticRange(double min, double max);

  // --- state (plain fields) ----------------------------------------------
  bool Automatic = true;
  bool Visible = true;
  bool Horizontal = false;
  // Placement, percent. Vertical axes: PositionPercent is the offset from the
  // left edge of the plot (of the right edge for the right axis or OtherSide)
  // in percent of the plot width, negative to the left; StartPosition and
  // EndPosition are the vertical extent in percent of the plot height from
  // the top. Horizontal axes: PositionPercent is the offset up from the
  // bottom edge (down from the top edge for the top axis or OtherSide) in
  // percent of the plot height; Start/EndPosition the horizontal extent in
  // percent of the plot width from the left.
  double PositionPercent = 0.0;
  double StartPosition = 0.0;
  double EndPosition = 100.0;
  bool OtherSide = false;  // custom axes: anchored right (vertical) or top (horizontal)

  // Appearance.
  ColorRef LabelsFontColor = 0x000000;
  bool LabelsVisible = true;
  std::string AxisValuesFormat;  // e.g. "00:00:##"; empty: general format
  ColorRef AxisLineColor = 0x000000;
  int AxisLineWidth = 1;
  ColorRef GridColor = 0x808080;
  bool GridVisible = true;
  TickStyle Ticks{0x808080, 4, true};
  TickStyle TicksInner{0x808080, 0, false};
  TickStyle MinorTicks{0x808080, 2, true};
  double DesiredIncrement = 0.0;  // 0: the painter chooses
  AxisTitle Title;

  // Pixel extent from the last Chart::UpdateLayout: IStartPos..IEndPos is the
  // left..right (horizontal) or top..bottom (vertical) pixel of the axis;
  // IPosition is the x (vertical axes) or y (horizontal axes) of its line.
  int IStartPos = 0;
  int IEndPos = 0;
  int IPosition = 0;

 private:
  double min_ = 0.0;
  double max_ = 10.0;
};

}  // namespace vexa::chart
