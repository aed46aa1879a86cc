#include "chart/trace.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vexa::chart {
namespace {

// How far outside its extent a pixel y may lie: the painter clips there
// anyway, and a bounded coordinate never overflows its arithmetic.
constexpr double kYSlackPx = 4096.0;

// The pixel column of a pixel x, as a painter puts an aliased point: the
// nearest one.
inline float ColumnOf(float x) { return std::floor(x); }

// Index -> x and value -> y as the geometry maps them (ValueToPixel), taken
// once as a line so the walk over the points costs a multiply and an add.
class Mapper {
 public:
  explicit Mapper(const TraceAxes& a) {
    x0_ = ValueToPixel(a.horizontal, a.horizontal_extent, true, 0.0);
    dx_ = ValueToPixel(a.horizontal, a.horizontal_extent, true, 1.0) - x0_;
    y0_ = ValueToPixel(a.vertical, a.vertical_extent, false, 0.0);
    dy_ = ValueToPixel(a.vertical, a.vertical_extent, false, 1.0) - y0_;
    if (!std::isfinite(dx_) || !std::isfinite(x0_)) x0_ = dx_ = 0.0;
    if (!std::isfinite(dy_) || !std::isfinite(y0_)) y0_ = dy_ = 0.0;
    const double lo = std::min(a.vertical_extent.start, a.vertical_extent.end);
    const double hi = std::max(a.vertical_extent.start, a.vertical_extent.end);
    ylo_ = lo - kYSlackPx;
    yhi_ = hi + kYSlackPx;
  }
  float X(std::size_t i) const { return static_cast<float>(x0_ + dx_ * static_cast<double>(i)); }
  float Y(double v) const {
    const double y = y0_ + dy_ * v;
    return static_cast<float>(std::clamp(y, ylo_, yhi_));
  }

 private:
  double x0_, dx_, y0_, dy_;
  double ylo_, yhi_;
};

// The point-by-point polyline: consecutive non-null points joined, a lone
// point a segment of length 0.
class Polyline {
 public:
  Polyline(const Mapper& m, std::vector<Segment>& out) : m_(m), out_(out) {}
  void Point(std::size_t i, float v) {
    const float x = m_.X(i);
    const float y = m_.Y(v);
    if (have_ && i == last_ + 1) {
      out_.push_back({px_, py_, x, y});
      lone_ = false;
    } else {
      EndRun();
      lone_ = true;
    }
    have_ = true;
    last_ = i;
    px_ = x;
    py_ = y;
  }
  void EndRun() {
    if (have_ && lone_) out_.push_back({px_, py_, px_, py_});
    have_ = false;
    lone_ = false;
  }

 private:
  const Mapper& m_;
  std::vector<Segment>& out_;
  bool have_ = false;
  bool lone_ = false;
  std::size_t last_ = 0;
  float px_ = 0, py_ = 0;
};

// One stroke per pixel column. Units (a point or a block summary) arrive in
// index order with the index they start at; a column's stroke spans the
// minimum and maximum of its units, and a join runs from the point before a
// column's first unit to that unit's first point when both are not null.
class Columns {
 public:
  Columns(const Series& s, const Mapper& m, LineTrace& out) : s_(s), m_(m), out_(out) {}
  void Unit(std::size_t start, float lo, float hi) {
    if (!(lo <= hi)) return;  // an all-null block
    const float x = m_.X(start);
    const long long column = static_cast<long long>(ColumnOf(x));
    if (open_ && column == column_) {
      lo_ = std::min(lo_, lo);
      hi_ = std::max(hi_, hi);
      return;
    }
    Flush();
    open_ = true;
    column_ = column;
    lo_ = lo;
    hi_ = hi;
    if (start > 0) {
      const double before = s_.Value(start - 1);
      const double first = s_.Value(start);
      if (!std::isnan(before) && !std::isnan(first)) {
        out_.segments.push_back({m_.X(start - 1), m_.Y(before), x, m_.Y(first)});
      }
    }
  }
  void Flush() {
    if (!open_) return;
    // Columns far outside the plot are clipped anyway; an int keeps them.
    const long long x = std::clamp<long long>(column_, -(1LL << 30), 1LL << 30);
    out_.columns.push_back({static_cast<int>(x), m_.Y(hi_), m_.Y(lo_)});
    open_ = false;
  }

 private:
  const Series& s_;
  const Mapper& m_;
  LineTrace& out_;
  bool open_ = false;
  long long column_ = 0;
  float lo_ = 0, hi_ = 0;
};

// Calls f(index, value) for every non-null point with index in [first, last].
template <typename F>
void ForEachPoint(const Series& s, std::size_t first, std::size_t last, F&& f) {
  if (first > last) return;
  if (s.Dense()) {
    const float* v = s.DenseValues().data();
    for (std::size_t i = first; i <= last; ++i) {
      if (!std::isnan(v[i])) f(i, v[i]);
    }
    return;
  }
  const auto& idx = s.SparseIndices();
  const auto& val = s.SparseValues();
  for (auto k = static_cast<std::size_t>(std::lower_bound(idx.begin(), idx.end(), first) - idx.begin());
       k < idx.size() && idx[k] <= last; ++k) {
    f(static_cast<std::size_t>(idx[k]), val[k]);
  }
}

int PixelColumns(const AxisExtent& e) { return std::abs(e.end - e.start) + 1; }

}  // namespace

IndexRange VisibleIndices(const Series& series, ValueSpan horizontal) {
  const std::size_t n = series.Count();
  const double lo = std::min(horizontal.min, horizontal.max);
  const double hi = std::max(horizontal.min, horizontal.max);
  if (n == 0 || std::isnan(lo) || std::isnan(hi)) return {};
  const double last_index = static_cast<double>(n - 1);
  const double a = std::floor(lo) - 1.0;
  const double b = std::ceil(hi) + 1.0;
  if (b < 0.0 || a > last_index) return {};
  return {static_cast<std::size_t>(std::max(a, 0.0)), static_cast<std::size_t>(std::min(b, last_index))};
}

LineTrace TraceLine(const Series& series, const TraceAxes& axes, bool every_point) {
  LineTrace out;
  const IndexRange view = VisibleIndices(series, axes.horizontal);
  if (view.Empty()) return out;
  const Mapper m(axes);
  const double points = static_cast<double>(view.last - view.first + 1);
  const double per_column = points / PixelColumns(axes.horizontal_extent);

  if (every_point || per_column < kEveryPointBelow) {
    Polyline line(m, out.segments);
    ForEachPoint(series, view.first, view.last, [&](std::size_t i, float v) { line.Point(i, v); });
    line.EndRun();
    return out;
  }

  // The coarsest level whose blocks still leave at least two per column.
  int level = -1;
  while (static_cast<double>(Series::kSummaryBlock << (level + 1)) * 2.0 <= per_column &&
         level + 1 < series.SummaryLevels()) {
    ++level;
  }
  out.segments.reserve(static_cast<std::size_t>(PixelColumns(axes.horizontal_extent)));
  out.columns.reserve(static_cast<std::size_t>(PixelColumns(axes.horizontal_extent)));
  Columns columns(series, m, out);
  std::size_t raw_from = view.first;
  if (level >= 0) {
    // A block that lies in one column is one unit; one that straddles a
    // column edge is taken apart into its halves, down to the smallest
    // blocks, which go to the column they start in.
    auto emit = [&](auto& self, int lvl, std::size_t j) -> void {
      const std::size_t size = Series::kSummaryBlock << lvl;
      const std::size_t start = j * size;
      const std::size_t end = start + size - 1;
      if (lvl == 0 || ColumnOf(m.X(start)) == ColumnOf(m.X(end))) {
        const BlockSummary& b = series.Summary(lvl)[j];
        columns.Unit(start, b.min, b.max);
      } else {
        self(self, lvl - 1, 2 * j);
        self(self, lvl - 1, 2 * j + 1);
      }
    };
    const std::size_t size = Series::kSummaryBlock << level;
    const std::size_t end = std::min(view.last / size + 1, series.Summary(level).size());
    for (std::size_t j = view.first / size; j < end; ++j) emit(emit, level, j);
    raw_from = std::max(view.first, end * size);
  }
  ForEachPoint(series, raw_from, view.last, [&](std::size_t i, float v) { columns.Unit(i, v, v); });
  columns.Flush();
  return out;
}

std::vector<Bar> TraceBars(const Series& series, const TraceAxes& axes) {
  std::vector<Bar> out;
  const IndexRange view = VisibleIndices(series, axes.horizontal);
  if (view.Empty()) return out;
  const Mapper m(axes);
  const float base = m.Y(0.0);
  long long column = std::numeric_limits<long long>::min();
  ForEachPoint(series, view.first, view.last, [&](std::size_t i, float v) {
    const float x = m.X(i);
    const long long c = static_cast<long long>(ColumnOf(x));
    const Bar bar{x, m.Y(v), base, i};
    if (c != column) {
      out.push_back(bar);
      column = c;
    } else if (std::fabs(bar.top - bar.base) > std::fabs(out.back().top - out.back().base)) {
      out.back() = bar;
    }
  });
  return out;
}

}  // namespace vexa::chart
