#include "chart/series.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace vexa::chart {
namespace {

constexpr std::int32_t kNoElapsed = std::numeric_limits<std::int32_t>::min();
constexpr float kNull = std::numeric_limits<float>::quiet_NaN();
// Below this many points a series stays sparse whatever its density: the
// first samples say little about the rest.
constexpr std::size_t kDenseAfter = 64;

// Empties a vector and gives its memory back (assigning {} keeps the capacity).
template <typename T>
void Release(std::vector<T>& v) {
  std::vector<T>().swap(v);
}

template <typename T>
std::size_t Bytes(const std::vector<T>& v) {
  return v.capacity() * sizeof(T);
}

}  // namespace

Series::Series(SeriesKind kind, std::string title) : Title(std::move(title)), kind_(kind) {}

bool Series::AppendValue(double value) {
  if (count_ >= kMaxPoints) return false;
  const std::uint32_t index = static_cast<std::uint32_t>(count_);
  ++count_;
  if (!std::isfinite(value)) {
    if (dense_) dense_values_.push_back(kNull);
    Summarise(kNull);
    return true;
  }
  const float v = static_cast<float>(std::clamp(value, -static_cast<double>(FLT_MAX),
                                                static_cast<double>(FLT_MAX)));
  Summarise(v);
  if (!all_.valid) {
    all_ = {true, v, v};
  } else {
    all_.min = std::min(all_.min, static_cast<double>(v));
    all_.max = std::max(all_.max, static_cast<double>(v));
  }
  ++non_null_;
  if (dense_) {
    dense_values_.push_back(v);
  } else {
    sparse_index_.push_back(index);
    sparse_value_.push_back(v);
    if (count_ >= kDenseAfter && non_null_ * 2 > count_) MakeDense();
  }
  return true;
}

// Called once per appended point, after count_ has grown: folds the value
// into the open level-0 block and, when that block is complete, appends its
// summary and merges upward while a level has an even number of blocks.
void Series::Summarise(float v) {
  open_min_ = v < open_min_ ? v : open_min_;  // NaN compares false: nulls drop out
  open_max_ = v > open_max_ ? v : open_max_;
  if (count_ % kSummaryBlock != 0) return;
  BlockSummary done{open_min_, open_max_};
  if (done.min > done.max) done = {kNull, kNull};
  open_min_ = std::numeric_limits<float>::infinity();
  open_max_ = -std::numeric_limits<float>::infinity();
  for (std::size_t level = 0;; ++level) {
    if (summary_.size() == level) summary_.emplace_back();
    std::vector<BlockSummary>& blocks = summary_[level];
    blocks.push_back(done);
    if (blocks.size() % 2 != 0) return;
    const BlockSummary& a = blocks[blocks.size() - 2];
    // fmin/fmax skip a NaN operand, so an all-null half does not hide the other.
    done = {std::fmin(a.min, done.min), std::fmax(a.max, done.max)};
  }
}

const std::vector<BlockSummary>& Series::Summary(int level) const {
  static const std::vector<BlockSummary> kNone;
  if (level < 0 || level >= SummaryLevels()) return kNone;
  return summary_[static_cast<std::size_t>(level)];
}

std::size_t Series::SummaryBytes() const {
  std::size_t bytes = Bytes(summary_);
  for (const auto& level : summary_) bytes += Bytes(level);
  return bytes;
}

void Series::MakeDense() {
  std::vector<float> values;
  values.reserve(std::max(reserve_hint_, count_));
  values.assign(count_, kNull);
  for (std::size_t k = 0; k < sparse_index_.size(); ++k) values[sparse_index_[k]] = sparse_value_[k];
  dense_values_ = std::move(values);
  Release(sparse_index_);
  Release(sparse_value_);
  dense_ = true;
}

// Labels are appended after the value, so count_ already includes the point.
void Series::AppendNoLabel() {
  if (label_kind_ == LabelKind::kDayTime) day_labels_.push_back(std::nan(""));
  if (label_kind_ == LabelKind::kElapsed) elapsed_labels_.push_back(kNoElapsed);
}

void Series::AppendText(std::string_view label) {
  AppendNoLabel();
  if (label.empty()) return;
  text_index_.push_back(static_cast<std::uint32_t>(count_ - 1));
  text_.emplace_back(label);
}

void Series::AppendNumericLabel(LabelKind kind, double days, std::int32_t seconds) {
  if (label_kind_ == LabelKind::kNone) {
    // Earlier points get "no label" entries so the column stays one per point.
    label_kind_ = kind;
    if (kind == LabelKind::kDayTime) {
      day_labels_.reserve(std::max(reserve_hint_, count_));
      day_labels_.assign(count_ - 1, std::nan(""));
    } else {
      elapsed_labels_.reserve(std::max(reserve_hint_, count_));
      elapsed_labels_.assign(count_ - 1, kNoElapsed);
    }
  }
  if (kind != label_kind_) {
    // A series keeps one numeric kind; a label of the other kind is kept as text.
    AppendText(kind == LabelKind::kDayTime ? FormatDayTime(days) : FormatElapsed(seconds));
    return;
  }
  if (kind == LabelKind::kDayTime) {
    day_labels_.push_back(days);
  } else {
    elapsed_labels_.push_back(seconds == kNoElapsed ? kNoElapsed + 1 : seconds);
  }
}

bool Series::Add(double value, std::string_view label) {
  if (!AppendValue(value)) return false;
  AppendText(label);
  return true;
}

bool Series::Add(double value, DayTimeLabel label) {
  if (!AppendValue(value)) return false;
  AppendNumericLabel(LabelKind::kDayTime, label.days, 0);
  return true;
}

bool Series::Add(double value, ElapsedLabel label) {
  if (!AppendValue(value)) return false;
  AppendNumericLabel(LabelKind::kElapsed, 0.0, label.seconds);
  return true;
}

bool Series::AddNull(std::string_view label) { return Add(std::nan(""), label); }
bool Series::AddNull(DayTimeLabel label) { return Add(std::nan(""), label); }
bool Series::AddNull(ElapsedLabel label) { return Add(std::nan(""), label); }

void Series::Clear() {
  count_ = 0;
  non_null_ = 0;
  all_ = {};
  dense_ = false;
  Release(dense_values_);
  Release(sparse_index_);
  Release(sparse_value_);
  Release(text_index_);
  Release(text_);
  label_kind_ = LabelKind::kNone;
  Release(day_labels_);
  Release(elapsed_labels_);
  Release(summary_);
  open_min_ = std::numeric_limits<float>::infinity();
  open_max_ = -std::numeric_limits<float>::infinity();
}

void Series::Reserve(std::size_t n) {
  n = std::min(n, kMaxPoints);
  reserve_hint_ = n;
  if (dense_) dense_values_.reserve(n);
  if (label_kind_ == LabelKind::kDayTime) day_labels_.reserve(n);
  if (label_kind_ == LabelKind::kElapsed) elapsed_labels_.reserve(n);
  // Level k takes n / (64 << k) blocks: the same share of n at every count.
  for (std::size_t level = 0, blocks = n / kSummaryBlock; blocks > 0; ++level, blocks /= 2) {
    if (summary_.size() == level) summary_.emplace_back();
    summary_[level].reserve(blocks);
  }
}

bool Series::IsNull(std::size_t i) const { return std::isnan(Value(i)); }

double Series::Value(std::size_t i) const {
  if (i >= count_) return std::nan("");
  if (dense_) return dense_values_[i];
  const auto it = std::lower_bound(sparse_index_.begin(), sparse_index_.end(), i);
  if (it == sparse_index_.end() || *it != i) return std::nan("");
  return sparse_value_[static_cast<std::size_t>(it - sparse_index_.begin())];
}

std::string Series::LabelText(std::size_t i) const {
  if (i >= count_) return {};
  const auto it = std::lower_bound(text_index_.begin(), text_index_.end(), i);
  if (it != text_index_.end() && *it == i) {
    return text_[static_cast<std::size_t>(it - text_index_.begin())];
  }
  if (label_kind_ == LabelKind::kDayTime && !std::isnan(day_labels_[i])) {
    return FormatDayTime(day_labels_[i]);
  }
  if (label_kind_ == LabelKind::kElapsed && elapsed_labels_[i] != kNoElapsed) {
    return FormatElapsed(elapsed_labels_[i]);
  }
  return {};
}

MinMax Series::ValueRange(std::size_t first, std::size_t last) const {
  if (count_ == 0 || first > last || first >= count_) return {};
  last = std::min(last, count_ - 1);
  if (first == 0 && last == count_ - 1) return all_;
  float lo = std::numeric_limits<float>::infinity();
  float hi = -lo;
  if (dense_) {
    // NaN compares false both ways, so nulls drop out without a branch.
    for (std::size_t i = first; i <= last; ++i) {
      const float v = dense_values_[i];
      lo = v < lo ? v : lo;
      hi = v > hi ? v : hi;
    }
  } else {
    auto it = std::lower_bound(sparse_index_.begin(), sparse_index_.end(), first);
    for (auto k = static_cast<std::size_t>(it - sparse_index_.begin());
         k < sparse_index_.size() && sparse_index_[k] <= last; ++k) {
      lo = std::min(lo, sparse_value_[k]);
      hi = std::max(hi, sparse_value_[k]);
    }
  }
  if (lo > hi) return {};
  return {true, lo, hi};
}

std::size_t Series::MemoryBytes() const {
  std::size_t text = 0;
  for (const std::string& t : text_) {
    // Short texts live inside the string object; longer ones add a heap block.
    if (t.capacity() > std::string().capacity()) text += t.capacity() + 1;
  }
  return Bytes(dense_values_) + Bytes(sparse_index_) + Bytes(sparse_value_) + Bytes(text_index_) +
         Bytes(text_) + text + Bytes(day_labels_) + Bytes(elapsed_labels_);
}

}  // namespace vexa::chart
