// A chart series: points appended one per sample (X is the point's index),
// null points, text and numeric labels, and the series' appearance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "chart/labels.h"

namespace vexa::chart {

enum class SeriesKind : std::uint8_t { kLine, kBar };

// Colours are 0x00BBGGRR (red in the low byte) throughout the chart.
using ColorRef = std::uint32_t;

// Minimum and maximum of the non-null values in an index range; `valid` is
// false when the range holds no non-null point.
struct MinMax {
  bool valid = false;
  double min = 0.0;
  double max = 0.0;
};

// Minimum and maximum of one block of points; both NaN when every point of
// the block is null.
struct BlockSummary {
  float min;
  float max;
};

// Storage: values are floats (the recordings hold one decimal), a null point is
// a NaN. While at most half of the points are non-null the values are kept as
// (index, value) pairs, so label carriers (all nulls) and the marks series (a
// bar now and then) cost almost nothing; past that the series switches, once,
// to one float per point. Text labels are sparse (index → text); numeric
// labels (see labels.h) cost 8 or 4 bytes per point once a series has them.
//
// Values that are not finite are stored as null points; finite values beyond
// the float range are clamped to ±FLT_MAX. A series holds at most
// kMaxPoints points; Add* beyond that returns false and changes nothing.
class Series {
 public:
  static constexpr std::size_t kMaxPoints = 0xFFFFFFF0u;

  explicit Series(SeriesKind kind = SeriesKind::kLine, std::string title = {});

  SeriesKind Kind() const { return kind_; }

  // --- points ---------------------------------------------------------------
  bool Add(double value, std::string_view label = {});
  bool Add(double value, DayTimeLabel label);
  bool Add(double value, ElapsedLabel label);
  bool AddNull(std::string_view label = {});
  bool AddNull(DayTimeLabel label);
  bool AddNull(ElapsedLabel label);
  void Clear();  // removes all points and labels; appearance stays
  // Reserves room for n points in the storage the series will use, so a
  // loader that knows its row count grows nothing while it appends.
  void Reserve(std::size_t n);

  std::size_t Count() const { return count_; }
  bool IsNull(std::size_t i) const;  // out of range: true
  double Value(std::size_t i) const;  // null or out of range: NaN
  bool HasLabels() const { return !text_index_.empty() || label_kind_ != LabelKind::kNone; }
  LabelKind NumericLabelKind() const { return label_kind_; }
  std::string LabelText(std::size_t i) const;  // "" when the point has none

  // Min/max of the non-null values with index in [first, last] (clamped to the
  // points that exist); the whole series is answered without a scan.
  MinMax ValueRange(std::size_t first, std::size_t last) const;
  MinMax ValueRange() const { return all_; }

  // Bytes held by the points and labels (capacity, not just size); the
  // summaries are counted apart, in SummaryBytes.
  std::size_t MemoryBytes() const;

  // --- summaries, so drawing costs by pixels, not points ---------------------
  // Level k holds one BlockSummary per complete block of kSummaryBlock << k
  // points: block j covers indices j * size .. (j + 1) * size - 1. They grow
  // as points are appended (amortised O(1) per point); the last, incomplete
  // block of a level is not summarised. About half a byte per point in all.
  static constexpr std::size_t kSummaryBlock = 64;
  int SummaryLevels() const { return static_cast<int>(summary_.size()); }
  // Empty for a level that does not exist (yet).
  const std::vector<BlockSummary>& Summary(int level) const;
  std::size_t SummaryBytes() const;

  // Direct view of the values for the painter and decimation: when Dense(),
  // DenseValues() has Count() floats; otherwise SparseIndices()/SparseValues()
  // list the non-null points in increasing index order.
  bool Dense() const { return dense_; }
  const std::vector<float>& DenseValues() const { return dense_values_; }
  const std::vector<std::uint32_t>& SparseIndices() const { return sparse_index_; }
  const std::vector<float>& SparseValues() const { return sparse_value_; }

  // --- appearance and behaviour (plain fields) -------------------------------
  bool Active = true;  // drawn or not; the legend's check box toggles it
  std::string Title;
  ColorRef Color = 0x0000FF;
  bool ShowInLegend = true;
  int CustomHorizAxis = -1;  // index into the chart's custom axes; -1: bottom axis
  int CustomVertAxis = -1;   // index into the chart's custom axes; -1: left axis
  bool XValuesDateTime = false;
  bool Dark3D = true;
  bool ClickableLine = true;
  bool ColorEachPoint = false;
  int LinePenWidth = 1;
  // Bar series.
  int BarWidthPercent = 70;
  ColorRef BarOutlineColor = 0x000000;
  // Labels drawn at bars ("marks").
  int MarksFontCharset = 1;  // 1: default; 204: Cyrillic
  int MarksShadowSize = 0;
  bool MarksVisible = true;

  // Called by the painter just before and just after it draws the series' values.
  std::function<void(Series&)> BeforeDrawValues;
  std::function<void(Series&)> AfterDrawValues;

 private:
  bool AppendValue(double value);
  void AppendNoLabel();
  void AppendText(std::string_view label);
  void AppendNumericLabel(LabelKind kind, double days, std::int32_t seconds);
  void MakeDense();
  void Summarise(float v);

  SeriesKind kind_;
  std::size_t count_ = 0;
  std::size_t reserve_hint_ = 0;
  bool dense_ = false;
  std::size_t non_null_ = 0;
  MinMax all_;
  std::vector<float> dense_values_;
  std::vector<std::uint32_t> sparse_index_;
  std::vector<float> sparse_value_;
  std::vector<std::uint32_t> text_index_;
  std::vector<std::string> text_;
  LabelKind label_kind_ = LabelKind::kNone;
  std::vector<double> day_labels_;          // NaN: no label at this index
  std::vector<std::int32_t> elapsed_labels_;  // kNoElapsed: no label at this index
  std::vector<std::vector<BlockSummary>> summary_;
  // The level-0 block being filled; min > max while it holds no non-null point.
  float open_min_ = std::numeric_limits<float>::infinity();
  float open_max_ = -std::numeric_limits<float>::infinity();
};

}  // namespace vexa::chart
