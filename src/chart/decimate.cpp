#include "chart/decimate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vexa::chart {
namespace {

// Adds a value to the stroke of `column`, opening a new stroke when the
// column changes (columns arrive in increasing order).
inline void Merge(std::vector<ColumnStroke>& out, int column, float v) {
  if (out.empty() || out.back().column != column) {
    out.push_back({column, v, v, v, v});
    return;
  }
  ColumnStroke& s = out.back();
  s.min = std::min(s.min, v);
  s.max = std::max(s.max, v);
  s.last = v;
}

}  // namespace

std::vector<ColumnStroke> DecimateColumns(const Series& series, std::size_t first,
                                          std::size_t last, int columns) {
  std::vector<ColumnStroke> out;
  const std::size_t count = series.Count();
  if (columns <= 0 || count == 0 || first > last || first >= count) return out;
  last = std::min(last, count - 1);
  const std::uint64_t n = last - first + 1;
  const std::uint64_t cols = static_cast<std::uint64_t>(columns);
  auto column_of = [&](std::size_t i) { return static_cast<int>((i - first) * cols / n); };

  if (!series.Dense()) {
    const auto& idx = series.SparseIndices();
    const auto& val = series.SparseValues();
    auto k = static_cast<std::size_t>(std::lower_bound(idx.begin(), idx.end(), first) - idx.begin());
    for (; k < idx.size() && idx[k] <= last; ++k) Merge(out, column_of(idx[k]), val[k]);
    return out;
  }

  const float* v = series.DenseValues().data();
  out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(cols, n)));
  if (cols >= n) {
    for (std::size_t i = first; i <= last; ++i) {
      if (!std::isnan(v[i])) Merge(out, column_of(i), v[i]);
    }
    return out;
  }
  // More points than columns: walk column by column over contiguous index
  // blocks; column c holds the indices i with (i - first) * cols / n == c.
  std::uint64_t begin = 0;
  for (std::uint64_t c = 0; c < cols; ++c) {
    const std::uint64_t end = ((c + 1) * n + cols - 1) / cols;  // first offset of column c + 1
    std::uint64_t i = begin;
    while (i < end && std::isnan(v[first + i])) ++i;
    if (i < end) {
      float lo = v[first + i];
      float hi = lo;
      float tail = lo;
      const float head = lo;
      // Comparisons with NaN are false, so nulls fall out without a branch.
      for (++i; i < end; ++i) {
        const float x = v[first + i];
        lo = x < lo ? x : lo;
        hi = x > hi ? x : hi;
        tail = x == x ? x : tail;
      }
      out.push_back({static_cast<int>(c), lo, hi, head, tail});
    }
    begin = end;
  }
  return out;
}

}  // namespace vexa::chart
