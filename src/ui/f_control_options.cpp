// The control panel's twelve chart-option check boxes. A box's handler runs
// when its state changes, by the operator or by code (QCheckBox::toggled);
// setting the state a box already has runs nothing. cbUNDOAUTO has no
// handler: the monitor's undo reads it.
#include <QCheckBox>

#include "recording/channel.h"
#include "recording/session.h"
#include "ui/f_control.h"
#include "ui/f_monitor.h"
#include "ui/windows.h"
#include "ui_f_control.h"

namespace vexa::ui {

namespace {
constexpr int kFirstChannelAxis = 3;
}

QCheckBox& TF_CONTROL::Box(TChartOption option) const {
  QCheckBox* const boxes[] = {ui_->cbLegend, ui_->cbMARKS,    ui_->cbAbsTimeScale,
                              ui_->cb3D,     ui_->cbRotate,   ui_->cbAutoScale,
                              ui_->cbScrool, ui_->cbGRID,     ui_->cbONEAXES,
                              ui_->cbAUTO,   ui_->cbUNDOAUTO, ui_->cbAXTITLE};
  return *boxes[static_cast<int>(option)];
}

void TF_CONTROL::ConnectOptions() {
  for (int i = 0; i < static_cast<int>(TChartOption::kCount); ++i) {
    const auto option = static_cast<TChartOption>(i);
    if (option == TChartOption::kUndoAuto) continue;
    connect(&Box(option), &QCheckBox::toggled, this,
            [this, option](bool ticked) { OptionChanged(option, ticked); });
  }
}

bool TF_CONTROL::Ticked(TChartOption option) const { return Box(option).isChecked(); }

void TF_CONTROL::SetTicked(TChartOption option, bool ticked) { Box(option).setChecked(ticked); }

void TF_CONTROL::RunClickHandler(TChartOption option) { OptionChanged(option, Ticked(option)); }

void TF_CONTROL::UpdateRotateTool() {
  monitor_.SetRotateTool(Box(TChartOption::kRotate).isEnabled() && Ticked(TChartOption::kRotate));
}

void TF_CONTROL::OptionChanged(TChartOption option, bool ticked) {
  TChannel* const ch = Channel;
  chart::Chart* const chart = ch ? ch->Chart : nullptr;
  // Every channel axis: the chart's custom axes from index 3 on.
  auto channelAxes = [chart](auto&& apply) {
    if (!chart) return;
    for (int a = kFirstChannelAxis; a < chart->CustomAxisCount(); ++a) apply(chart->CustomAxis(a));
  };
  switch (option) {
    case TChartOption::kLegend:
      settings_.ShowLegend = ticked;
      if (chart) chart->Legend.Visible = ticked;
      break;
    case TChartOption::kMarks:
      settings_.ShowMarks = ticked;
      if (ch) ch->MarksSeries.Active = ticked;
      break;
    case TChartOption::kAbsTimeScale:
      settings_.AbsTimeScale = ticked;
      if (chart && ch->AbsTimeAxis >= 0 && ch->RelTimeAxis >= 0) {
        chart->CustomAxis(ch->AbsTimeAxis).Visible = ticked;
        chart->CustomAxis(ch->RelTimeAxis).Visible = !ticked;
      }
      break;
    case TChartOption::k3D:
      settings_.Show3D = ticked;
      if (chart) chart->View3D = ticked;
      Box(TChartOption::kRotate).setEnabled(ticked);
      UpdateRotateTool();
      break;
    case TChartOption::kRotate:
      settings_.Rotate = ticked;
      UpdateRotateTool();
      break;
    case TChartOption::kAutoScale:
      if (ch) {
        ApplyAutoTimeScale(*ch, settings_, ticked, Ticked(TChartOption::kScrool));
      } else {
        settings_.AutoTimeScale = ticked;
      }
      Box(TChartOption::kScrool).setEnabled(!ticked);
      break;
    case TChartOption::kScrool:
      // The stored AutoScrollAtStart keeps the state the program started with.
      settings_.AutoScroll = ticked;
      break;
    case TChartOption::kGrid:
      settings_.ShowGrid = ticked;
      channelAxes([ticked](chart::Axis& a) { a.GridVisible = ticked; });
      break;
    case TChartOption::kOneAxes:
      settings_.OneAxes = ticked;
      if (ch) ch->ArrangeAxes(ticked ? 1 : 0);
      break;
    case TChartOption::kAuto:
      // Unticking changes nothing; the stored AllVertAuto is never written.
      if (ticked && ch) ch->MakeChannelAxesAutomatic();
      break;
    case TChartOption::kUndoAuto:
    case TChartOption::kCount:
      return;
    case TChartOption::kAxisTitles:
      settings_.ShowAxisTitles = ticked;
      channelAxes([ticked](chart::Axis& a) { a.Title.Visible = ticked; });
      break;
  }
  monitor_.RefreshChart();
}

}  // namespace vexa::ui
