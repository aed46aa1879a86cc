#include "chart/chart.h"

#include <algorithm>
#include <cmath>

namespace vexa::chart {

Chart::Chart() {
  BottomAxis().Horizontal = true;
  TopAxis().Horizontal = true;
  RightAxis().Visible = false;
  TopAxis().Visible = false;
  BottomAxis().Visible = false;
  BottomAxis().Automatic = false;
  BottomAxis().AxisValuesFormat = "00:00:##";
}

int Chart::AddSeries(Series* series) {
  if (series == nullptr || IndexOf(series) >= 0) return -1;
  series_.push_back(series);
  return static_cast<int>(series_.size()) - 1;
}

void Chart::RemoveAllSeries() { series_.clear(); }

int Chart::IndexOf(const Series* series) const {
  const auto it = std::find(series_.begin(), series_.end(), series);
  return it == series_.end() ? -1 : static_cast<int>(it - series_.begin());
}

int Chart::AddCustomAxis(bool horizontal) {
  custom_.push_back(std::make_unique<Axis>(horizontal));
  return static_cast<int>(custom_.size()) - 1;
}

void Chart::ClearCustomAxes() { custom_.clear(); }

Axis& Chart::HorizontalAxisOf(const Series& series) {
  const int i = series.CustomHorizAxis;
  return i >= 0 && i < CustomAxisCount() ? CustomAxis(i) : BottomAxis();
}

Axis& Chart::VerticalAxisOf(const Series& series) {
  const int i = series.CustomVertAxis;
  return i >= 0 && i < CustomAxisCount() ? CustomAxis(i) : LeftAxis();
}

const Axis& Chart::HorizontalAxisOf(const Series& series) const {
  return const_cast<Chart*>(this)->HorizontalAxisOf(series);
}

const Axis& Chart::VerticalAxisOf(const Series& series) const {
  return const_cast<Chart*>(this)->VerticalAxisOf(series);
}

const Series* Chart::LabelSourceFor(const Axis& axis) const {
  for (const Series* s : series_) {
    const Axis& along = axis.Horizontal ? HorizontalAxisOf(*s) : VerticalAxisOf(*s);
    if (&along == &axis && s->HasLabels()) return s;
  }
  return nullptr;
}

bool Chart::AxisShown(const Axis& axis) const {
  if (!axis.Visible) return false;
  bool any = false;
  for (const Series* s : series_) {
    if (&HorizontalAxisOf(*s) != &axis && &VerticalAxisOf(*s) != &axis) continue;
    if (s->Active) return true;
    any = true;
  }
  return !any;
}

MinMax Chart::DataExtent(const Axis& axis) const {
  MinMax out;
  auto merge = [&out](double lo, double hi) {
    if (!out.valid) {
      out = {true, lo, hi};
    } else {
      out.min = std::min(out.min, lo);
      out.max = std::max(out.max, hi);
    }
  };
  for (const Series* s : series_) {
    if (axis.Horizontal) {
      if (&HorizontalAxisOf(*s) == &axis && s->Count() > 0) {
        merge(0.0, static_cast<double>(s->Count() - 1));
      }
    } else if (&VerticalAxisOf(*s) == &axis) {
      const MinMax r = s->ValueRange();
      if (r.valid) merge(r.min, r.max);
      // Bars stand on zero, so zero belongs to the range even before any bar.
      if (s->Kind() == SeriesKind::kBar && s->Count() > 0) merge(0.0, 0.0);
    }
  }
  return out;
}

void Chart::RecalculateAutomaticRanges() {
  auto update = [this](Axis& axis) {
    if (!axis.Automatic) return;
    const ValueSpan r = AutoRange(DataExtent(axis), {axis.Minimum(), axis.Maximum()});
    axis.SetAutomaticRange(r.min, r.max);
  };
  for (Axis& a : standard_) update(a);
  for (auto& a : custom_) update(*a);
}

void Chart::ScrollAxis(Axis& axis, double amount, bool within_limits) {
  ValueSpan range{axis.Minimum(), axis.Maximum()};
  if (axis.Automatic) range = AutoRange(DataExtent(axis), range);
  const ValueSpan moved = ScrollSpan(range, amount, within_limits, DataExtent(axis));
  if (moved != range) axis.SetMinMax(moved.min, moved.max);
}

LayoutInput Chart::LayoutInputFor(int width, int height) const {
  LayoutInput in;
  in.width = width;
  in.height = height;
  in.margin_left = MarginLeft;
  in.margin_right = MarginRight;
  in.margin_top = MarginTop;
  in.margin_bottom = MarginBottom;
  in.legend = Legend.Visible && std::any_of(series_.begin(), series_.end(),
                                            [](const Series* s) { return s->ShowInLegend; });
  in.title_lines =
      TitleVisible ? static_cast<int>(std::min<std::size_t>(TitleLines.size(), kMaxTitleLines)) : 0;
  in.view_3d = View3D;
  in.depth_percent = Chart3DPercent;
  in.zoom_3d_percent = Zoom3DPercent;
  auto placement = [this](const Axis& a, AxisAnchor anchor) {
    AxisPlacement p;
    p.visible = AxisShown(a);
    p.horizontal = a.Horizontal;
    p.anchor = anchor;
    p.position_percent = a.PositionPercent;
    p.start_percent = a.StartPosition;
    p.end_percent = a.EndPosition;
    p.shows_title = a.Title.Visible && !a.Title.Caption.empty();
    return p;
  };
  in.standard[0] = placement(BottomAxis(), AxisAnchor::kBottom);
  in.standard[1] = placement(LeftAxis(), AxisAnchor::kLeft);
  in.standard[2] = placement(RightAxis(), AxisAnchor::kRight);
  in.standard[3] = placement(TopAxis(), AxisAnchor::kTop);
  for (const auto& a : custom_) {
    const AxisAnchor anchor = a->Horizontal ? (a->OtherSide ? AxisAnchor::kTop : AxisAnchor::kBottom)
                                            : (a->OtherSide ? AxisAnchor::kRight : AxisAnchor::kLeft);
    in.custom.push_back(placement(*a, anchor));
  }
  return in;
}

void Chart::ApplyLayoutToAxis(Axis& axis, const AxisExtent& extent) {
  axis.IStartPos = extent.start;
  axis.IEndPos = extent.end;
  axis.IPosition = extent.position;
}

void Chart::UpdateLayout(int width, int height) {
  layout_ = ComputeLayout(LayoutInputFor(width, height));
  for (int i = 0; i < 4; ++i) ApplyLayoutToAxis(standard_[i], layout_.standard[i]);
  for (std::size_t i = 0; i < custom_.size(); ++i) ApplyLayoutToAxis(*custom_[i], layout_.custom[i]);
}

DragKind Chart::HandleLeftDrag(int x0, int y0, int x1, int y1) {
  const DragKind kind = ClassifyDrag(x0, y0, x1, y1, ZoomMinPixels);
  if (kind == DragKind::kZoom) {
    const PixelRect rect{x0, y0, x1, y1};
    ZoomRect(rect);
    if (OnZoom) OnZoom(rect);
  } else if (kind == DragKind::kUndo) {
    UndoZoom();
    if (OnUndoZoom) OnUndoZoom();
  }
  return kind;
}

void Chart::ZoomRect(PixelRect rect) {
  const PixelRect r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                    std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
  RecalculateAutomaticRanges();
  if (!undo_) {
    std::array<SavedRange, 4> saved;
    for (int i = 0; i < 4; ++i) {
      saved[i] = {standard_[i].Minimum(), standard_[i].Maximum(), standard_[i].Automatic};
    }
    undo_ = saved;
  }
  const bool across = Direction != ZoomDirection::kVertical;
  const bool up_down = Direction != ZoomDirection::kHorizontal;
  for (Axis& a : standard_) {
    if (a.Horizontal ? !across : !up_down) continue;
    const AxisExtent e{a.IStartPos, a.IEndPos, a.IPosition};
    const ValueSpan z = a.Horizontal ? ZoomSpan({a.Minimum(), a.Maximum()}, e, true, r.left, r.right)
                                     : ZoomSpan({a.Minimum(), a.Maximum()}, e, false, r.top, r.bottom);
    a.SetMinMax(z.min, z.max);
  }
}

void Chart::UndoZoom() {
  if (!undo_) return;
  for (int i = 0; i < 4; ++i) {
    const SavedRange& s = (*undo_)[i];
    Axis& a = standard_[i];
    a.SetMinMax(s.min, s.max);
    a.Automatic = s.automatic;
  }
  undo_.reset();
}

void Chart::Pan(int dx, int dy) {
  RecalculateAutomaticRanges();
  auto pan = [dx, dy](Axis& a) {
    const int delta = a.Horizontal ? dx : dy;
    if (delta == 0) return;
    const ValueSpan p = PanSpan({a.Minimum(), a.Maximum()}, {a.IStartPos, a.IEndPos, a.IPosition},
                                a.Horizontal, delta);
    a.SetMinMax(p.min, p.max);
  };
  for (Axis& a : standard_) pan(a);
  for (auto& a : custom_) pan(*a);
  if (OnScroll) OnScroll();
}

void Chart::ToggleSeriesActive(int index) {
  if (index < 0 || index >= SeriesCount()) return;
  Series& s = SeriesAt(index);
  s.Active = !s.Active;
  if (OnClickLegend) OnClickLegend(index);
}

std::vector<int> Chart::LegendSeries() const {
  std::vector<int> out;
  for (int i = 0; i < SeriesCount(); ++i) {
    if (series_[static_cast<std::size_t>(i)]->ShowInLegend) out.push_back(i);
  }
  return out;
}

int Chart::LegendHit(int x, int y) const {
  if (!layout_.valid || !Legend.Visible || layout_.legend == PixelRect{}) return -1;
  const std::vector<int> items = LegendSeries();
  const std::vector<LegendRow> rows = LegendRows(layout_.legend, static_cast<int>(items.size()));
  for (std::size_t k = 0; k < rows.size(); ++k) {
    if (rows[k].row.Contains(x, y)) return items[k];
  }
  return -1;
}

void Chart::ClipRectangle(PixelRect rect) {
  clip_ = rect;
  if (ClipHook) ClipHook(rect);
}

void Chart::UnClipRectangle() {
  clip_.reset();
  if (UnclipHook) UnclipHook();
}

}  // namespace vexa::chart
