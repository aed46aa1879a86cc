// The control panel's recording handlers: Start, the sampling timer, the
// once-a-second clock, Mark and Stop, all calling the session (TSession),
// which does the link and file steps and reports what to show. The
// acquisition thread is the session's; this file only reads the link's
// atomic state for the Monitor page.
#include <QDateTime>
#include <QLCDNumber>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/datetime.h"
#include "core/paths.h"
#include "link/port_names.h"
#include "recording/channel.h"
#include "recording/panel_rules.h"
#include "recording/session.h"
#include "ui/f_control.h"
#include "ui/f_dialog.h"
#include "ui/f_mesage.h"
#include "ui/f_monitor.h"
#include "ui/text_fields.h"
#include "ui/windows.h"
#include "ui_f_control.h"

namespace vexa::ui {

namespace {

void ShowLater(QObject* context, const std::string& text) {
  // After the handler has returned: a modal window inside a timer's handler
  // would run the next ticks inside it.
  QTimer::singleShot(0, context, [text] {
    if (F_MESAGE) F_MESAGE->ShowText(text);
  });
}

// The recording-time clock shows the elapsed text without its brackets.
QString ElapsedClock(const TElapsed& e) { return QString::fromStdString(e.Text).mid(1).chopped(1); }

void ShowClock(QLCDNumber& clock, const QString& text) {
  clock.setDigitCount(std::max(8, static_cast<int>(text.size())));
  clock.display(text);
}

}  // namespace

bool TF_CONTROL::TimerRunning() const { return TimerInterval->isActive(); }

void TF_CONTROL::SetRecordingControls(bool recording) {
  commands_.Start->setChecked(recording);
  commands_.Stop->setEnabled(recording);
  commands_.Mark->setEnabled(recording);
  commands_.Open->setEnabled(!recording);
  if (recording) {
    commands_.Print->setEnabled(true);
    commands_.Image->setEnabled(true);
  }
  ui_->PgC->setTabEnabled(kTabPreset, !recording);
  ui_->pSmpleInterval->setEnabled(!recording);
  ui_->pPOSTFIX->setEnabled(!recording);
  // 0xFDF5D5 (0x00BBGGRR) while recording, white otherwise.
  for (QWidget* edit :
       {static_cast<QWidget*>(ui_->pINTERVAL), static_cast<QWidget*>(ui_->pFileNamePostfix)}) {
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, recording ? QColor(0xD5, 0xF5, 0xFD) : QColor(Qt::white));
    edit->setPalette(p);
  }
}

void TF_CONTROL::bSTARTClick() {
  if (!session_) return;
  if (session_->Active()) {
    commands_.Start->setChecked(true);  // it stays down
    return;
  }
  // F5 on the Setup page: the page is left first, as a click on the Monitor
  // tab would leave it; its leaving rule may keep it, and then nothing starts.
  if (ui_->PgC->currentIndex() == kTabPreset && !TurnToPage(kTabMonitor)) {
    commands_.Start->setChecked(false);
    return;
  }
  const TStartResult r =
      session_->Start(ui_->pINTERVAL->text().toStdString(),
                      ui_->pFileNamePostfix->text().toStdString(), Ticked(TChartOption::kScrool),
                      FieldSeparator());
  if (r.Result != TStartResult::kStarted) {
    commands_.Start->setChecked(false);
    // The recording shown is gone from the chart: the preset's empty chart
    // on the monitor at once, nothing to print.
    if (r.ChartRebuilt) RecordingLost();
    if (F_MESAGE) F_MESAGE->ShowText(r.Message);
    return;
  }
  // The session cleared the chart and applied the automatic time scale;
  // the handler also sets the scroll box's side of it.
  RunClickHandler(TChartOption::kAutoScale);
  ShowClock(*ui_->VrClock2, QStringLiteral("0:00:00"));
  SetRecordingControls(true);
  monitor_.SetTitle(51, Channel->RecordFileName);
  ArmSampleTimer();
  monitor_.RefreshChart();
  ShowLinkStatus();
}

void TF_CONTROL::bSTOPClick() {
  if (!session_ || !session_->Active()) return;
  const TStopResult r = session_->Stop(ui_->Memo1->toPlainText().toStdString());
  TimerInterval->stop();
  SetRecordingControls(false);
  monitor_.SetTitle(52, Channel->RecordFileName);
  ShowLinkStatus();
  if (!r.Message.empty() && F_MESAGE) F_MESAGE->ShowText(r.Message);
}

void TF_CONTROL::bMARKClick() {
  if (!session_ || !session_->MarkEnabled() || !F_DIALOG) return;
  if (F_DIALOG->Execute() != QDialog::Accepted) return;
  const TMarkResult m = session_->Mark(F_DIALOG->Text().toStdString());
  if (m.Result == TMarkResult::kPending) {
    // Until the next sample has taken it.
    commands_.Mark->setEnabled(false);
  } else if (m.Result == TMarkResult::kRefused && F_MESAGE) {
    F_MESAGE->ShowText(m.Message);
  }
}

void TF_CONTROL::ArmSampleTimer() {
  if (!session_ || !session_->Active()) return;
  // Whole milliseconds rounded up, so the timer never fires before the deadline.
  const double ms = std::ceil(session_->SecondsToNextSample() * 1000.0);
  TimerInterval->start(static_cast<int>(std::clamp(ms, 0.0, 2147483647.0)));
}

void TF_CONTROL::TimerIntervalTimer() {
  if (!session_) return;
  // Every sample that came due: one normally, more after a stall.
  const TTickResult t = session_->Tick(ui_->Memo1->toPlainText().toStdString(),
                                       std::max<int64_t>(1, session_->DueSamples()));
  if (!t.Sampled) return;
  if (!t.Ended) ArmSampleTimer();
  ShowDisplays(t.DisplayV, t.DisplayM, t.DisplayF);
  ShowLinkStatus();
  monitor_.RefreshChart();
  if (t.Ended) {
    EndedOnFailure(t.Message, Channel->RecordFileName);
    return;
  }
  commands_.Mark->setEnabled(t.MarkEnabled);
  if (t.RolledOver) {
    monitor_.SetTitle(51, Channel->RecordFileName);
    ShowLater(this, t.Notice);
  }
}

void TF_CONTROL::EndedOnFailure(const std::string& message, const std::string& file) {
  TimerInterval->stop();
  SetRecordingControls(false);
  monitor_.SetTitle(52, file);
  ShowLinkStatus();
  ShowLater(this, message);
}

void TF_CONTROL::ShowDisplays(const std::string& v, const std::string& m, const std::string& f) {
  ui_->lVO2t->setText(QString::fromStdString(v));
  ui_->lM->setText(QString::fromStdString(m));
  ui_->lO2->setText(QString::fromStdString(f));
}

void TF_CONTROL::VrClock1SecondsChanged() {
  const QTime now = QTime::currentTime();
  ShowClock(*ui_->VrClock1, now.toString(QStringLiteral("hh:mm:ss")));
  if (session_ && session_->Active()) {
    if (const auto e = session_->ClockSecond())
      ShowClock(*ui_->VrClock2, ElapsedClock(*e));
  }
  ShowLinkStatus();
  // The next event on the next second of the clock.
  clock_->start(1000 - QTime::currentTime().msec());
}

void TF_CONTROL::ShowLinkStatus() {
  if (!Channel) return;
  TDev& meter = Channel->FlowMeter();
  const bool running = Channel->Running.load();
  // Read while the thread runs: it only reads DevicePath itself.
  const std::string device =
      running ? meter.DevicePath
              : ComPortDevice(meter.PortNumber,
                              ParentFolder(settings_.ConfigPath));
  const TLinkStatus s = DescribeLink(running, meter.LinkAlive.load(), meter.PortNumber, device,
                                     Channel->Counters, settings_.AppliedLanguage);
  const char* colour = s.Link == TLinkStatus::kAlive    ? "#00a000"
                       : s.Link == TLinkStatus::kSilent ? "#d00000"
                                                        : "#808080";
  ui_->lLinkStatus->setText(
      QStringLiteral("<span style=\"color:%1\">&#9679;</span> %2")
          .arg(QLatin1String(colour), QString::fromStdString(s.Line).toHtmlEscaped()));
  const QString details = QString::fromStdString(s.Details);
  for (QWidget* w : {static_cast<QWidget*>(ui_->lLinkStatus), static_cast<QWidget*>(ui_->lVO2t),
                     static_cast<QWidget*>(ui_->lM), static_cast<QWidget*>(ui_->lO2)}) {
    w->setToolTip(details);
  }
}

}  // namespace vexa::ui
