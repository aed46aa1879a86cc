// A series turned into what a painter strokes: line segments and bars in the
// chart's pixel coordinates. The cost follows the pixels, not the points: a
// view with more than a few points per pixel column is drawn as one vertical
// stroke per column (minimum to maximum, taken from the series' summaries)
// plus the joins between neighbouring columns, which gives the picture that
// drawing every point gives, a million points as fast as a thousand.
#pragma once

#include <cstddef>
#include <vector>

#include "chart/geometry.h"
#include "chart/series.h"

namespace vexa::chart {

// A stroke from (x0, y0) to (x1, y1); a lone point between nulls is a
// segment of length 0.
struct Segment {
  float x0, y0, x1, y1;
  friend bool operator==(const Segment&, const Segment&) = default;
};

// The two axes a series is drawn against: the horizontal one runs over the
// point indices, the vertical one over the values.
struct TraceAxes {
  ValueSpan horizontal;
  AxisExtent horizontal_extent;
  ValueSpan vertical;
  AxisExtent vertical_extent;
};

// Below this many points per pixel column every point is drawn.
inline constexpr double kEveryPointBelow = 4.0;

// The pixel rows a column's points cover: top is the pixel y of the
// column's maximum, bottom that of its minimum (top <= bottom).
struct ColumnSpan {
  int x;
  float top, bottom;
  friend bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};

// What draws a line series: segments, and in the column form one span per
// pixel column, in increasing x.
struct LineTrace {
  std::vector<Segment> segments;
  std::vector<ColumnSpan> columns;
};

// A line series traced against its axes. Consecutive non-null points are
// joined; a null point leaves a gap. Where the view holds fewer than
// kEveryPointBelow points per pixel column, every point is joined to the
// next (segments only). Otherwise each pixel column holding points gets its
// span (from the summaries, so the cost follows the columns), and a segment
// joins the last point of a column to the first of the next when neither is
// null, which draws what the point-by-point polyline draws there. A summary
// block that straddles a column edge is taken apart into its halves down to
// the smallest blocks (64 points), which go to the column they start in: a
// point lands at most one column from its own, and the raw points, which
// would cost a cache miss per column, are never read but for the joins.
// `every_point` forces the polyline (the reference drawing). Pixel y values
// are kept within a band around the vertical extent, so a huge value cannot
// overflow a painter's coordinates.
LineTrace TraceLine(const Series& series, const TraceAxes& axes, bool every_point = false);

// One bar of a bar series: the pixel column of its point, the top of the bar
// (its value) and its base (the value 0), and the point's index, whose label
// the painter shows.
struct Bar {
  float x, top, base;
  std::size_t index;
};

// The bars in view, at most one per pixel column (the tallest one of those
// falling in it, the first one on a tie), in increasing index order.
std::vector<Bar> TraceBars(const Series& series, const TraceAxes& axes);

// The index range a horizontal axis shows, widened by one point on each
// side so lines run on to the edge; empty (first > last) when nothing of the
// series is in view.
struct IndexRange {
  std::size_t first = 1;
  std::size_t last = 0;
  bool Empty() const { return first > last; }
};
IndexRange VisibleIndices(const Series& series, ValueSpan horizontal);

}  // namespace vexa::chart
