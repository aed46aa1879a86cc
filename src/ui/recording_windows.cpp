// The windows that work with recordings (open, print) and what they add to
// the control panel and the monitor: the chart picture, opening a file
// dropped on the monitor or named on the command line, the reports of what
// failed.

#include "core/paths.h"
#include "platform/chart_image.h"
#include "recording/channel.h"
#include "recording/open_recording.h"
#include "ui/chart_widget.h"
#include "ui/f_control.h"
#include "ui/f_mesage.h"
#include "ui/f_monitor.h"
#include "ui/f_open.h"
#include "ui/f_print.h"
#include "ui/windows.h"

namespace vexa::ui {

namespace {

void SaveChartPicture(const TGLOB& settings) {
  if (!Channel || !F_MONITOR) return;
  const platform::ChartImageResult r =
      platform::SaveChartImage(*Channel, F_MONITOR->MON().size(), settings.AppliedLanguage);
  if (!r.ok() && F_MESAGE) F_MESAGE->ShowText(r.message);
}

}  // namespace

TFOpen* MakeOpenWindow(TGLOB& settings) {
  auto* window = new TFOpen(settings);
  if (F_CONTROL)
    QObject::connect(F_CONTROL, &TF_CONTROL::LanguageApplied, window, &TFOpen::ApplyLanguage);
  return window;
}

TFPrint* MakePrintWindow(TGLOB& settings) {
  auto* window = new TFPrint(settings);
  if (F_CONTROL)
    QObject::connect(F_CONTROL, &TF_CONTROL::LanguageApplied, window, &TFPrint::ApplyLanguage);
  return window;
}

void ConnectRecordingWindows(TGLOB& settings) {
  if (!F_CONTROL) return;
  F_CONTROL->SaveChartImage = [&settings] { SaveChartPicture(settings); };
}

void ReportOpenFailure(const OpenOutcome& outcome, const std::string& path) {
  if (outcome.loadBegun && F_CONTROL) F_CONTROL->RecordingLost();
  if (F_MESAGE)
    F_MESAGE->ShowText(
        OpenFailureMessage(outcome, path, Channel ? Channel->Settings->AppliedLanguage : 0));
}

bool OpenRecordingPath(const std::string& path, bool report) {
  if (!Channel || !F_CONTROL) return false;
  OfferCompletion(path);
  const OpenOutcome outcome = FOpen ? FOpen->Load(path) : OpenRecordingFile(*Channel, path);
  if (outcome.status != 0) {
    if (report) {
      ReportOpenFailure(outcome, path);
    } else if (outcome.loadBegun) {
      F_CONTROL->RecordingLost();
    }
    return false;
  }
  if (FOpen) FOpen->AddFolderToHistory(ParentFolder(path));
  F_CONTROL->RecordingOpened();
  return true;
}

void ShowLoadProblems(const TGLOB& settings) {
  if (!F_MESAGE) return;
  const int lang = settings.AppliedLanguage;
  if (!settings.LoadProblem.empty()) F_MESAGE->ShowText(settings.LoadProblem.Text(lang));
  if (Channel && Channel->Presets && !Channel->Presets->LoadProblem.empty())
    F_MESAGE->ShowText(Channel->Presets->LoadProblem.Text(lang));
}

}  // namespace vexa::ui
