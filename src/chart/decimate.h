// Reduction of a long series to one vertical stroke per pixel column, so a
// million points draw as fast as a short series.
#pragma once

#include <cstddef>
#include <vector>

#include "chart/series.h"

namespace vexa::chart {

struct ColumnStroke {
  int column = 0;    // 0 .. columns-1
  float min = 0.0f;  // of the non-null values in the column
  float max = 0.0f;
  float first = 0.0f;  // value of the column's first and last non-null point,
  float last = 0.0f;   // for joining neighbouring columns with a line
};

// Maps the points with index first..last (clamped to the series) evenly onto
// `columns` columns: point i falls in column (i - first) * columns / n, where n
// = last - first + 1. Columns without a non-null point are left out; the
// result is ordered by column. Nothing for columns <= 0 or first > last.
std::vector<ColumnStroke> DecimateColumns(const Series& series, std::size_t first,
                                          std::size_t last, int columns);

}  // namespace vexa::chart
