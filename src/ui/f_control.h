// The control panel: the operator's console beside the monitor. It starts
// and stops recordings, shows the current values and the clocks, holds the
// chart options, the presets, the language, the destination folder and the
// version, and ends the program through its Exit page.
//
// The window's code is in three files: f_control.cpp (creation, language,
// pages, exit, folders, presets, tray), f_control_session.cpp (the
// recording handlers and the link's health) and f_control_options.cpp (the
// twelve chart-option check boxes).
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "core/settings.h"
#include "ui/commands.h"

namespace Ui {
class TF_CONTROL;
}

class QCheckBox;
class QSystemTrayIcon;
class QTimer;

namespace vexa {
class TSession;
}

namespace vexa::ui {

class TF_MONITOR;

// The chart-option check boxes, in the order ApplyLanguage sets them.
enum class TChartOption {
  kLegend,        // cbLegend
  kMarks,         // cbMARKS
  kAbsTimeScale,  // cbAbsTimeScale
  k3D,            // cb3D
  kRotate,        // cbRotate
  kAutoScale,     // cbAutoScale
  kScrool,        // cbScrool
  kGrid,          // cbGRID
  kOneAxes,       // cbONEAXES
  kAuto,          // cbAUTO
  kUndoAuto,      // cbUNDOAUTO
  kAxisTitles,    // cbAXTITLE
  kCount
};

class TF_CONTROL : public QWidget {
  Q_OBJECT

 public:
  enum Page { kTabMonitor, kTabPreset, kTabEnviroment, kTabAiro, kTabAbout, kTabExit };

  TF_CONTROL(TGLOB& settings, TF_MONITOR& monitor);
  ~TF_CONTROL() override;

  // --- what other windows use ---------------------------------------------
  // A check box's state; setting a different one runs its click handler,
  // setting the one it has runs nothing.
  bool Ticked(TChartOption option) const;
  void SetTicked(TChartOption option, bool ticked);
  // Runs a box's click handler with its present state (cbAutoScaleClick...).
  void RunClickHandler(TChartOption option);
  // The monitor's close was refused during a recording: the Exit page with
  // its question, the panel in front. PreviousPage stays as it was.
  void ShowExitPageForClose();
  void ApplyLanguage();
  // The current preset into the Setup fields, the displays' colours, and
  // the chart built anew from it.
  void ShowPreset();
  // After a recording was opened: its interval, description and postfix,
  // the monitor's title, the automatic scales.
  void ShowLoadedRecording();
  // A recording was opened (the open window, or the command line at start):
  // Print and the chart image become possible, the panel shows it, and every
  // channel axis scales itself to the data.
  void RecordingOpened();
  const TCommands& Commands() const { return commands_; }
  TSession& Session() { return *session_; }
  bool TimerRunning() const;

  // The Setup page's leaving rule: called before the page `from` is left
  // for `to`; false refuses the change. Empty: every change is allowed.
  std::function<bool(int from, int to)> PageLeaveCheck;
  // What bBMP (Ctrl+B) does; empty: nothing.
  std::function<void()> SaveChartImage;

  int PreviousPage = 0;  // the page active when the operator last began a change

  // --- handlers --------------------------------------------------------------
  void bSTARTClick();
  void bSTOPClick();
  void bMARKClick();
  void TimerIntervalTimer();
  void VrClock1SecondsChanged();
  void bOpenClick();
  void bPrintClick();
  void bBMPClick();
  void bBrowseClick();
  void pPATHChange(int index);
  void bYesClick();
  void bNoClick();
  // Stores the interval and closes the panel (which ends the program); an
  // interval that does not convert is shown and the program stays.
  void ExitProgram();

 signals:
  // The language on screen changed; windows that show texts of the message
  // table take them again.
  void LanguageApplied(int language);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // f_control.cpp
  void FormCreate();
  void ConnectHandlers();
  void CompactCaptions();
  void ShowVersion();
  void FillPresetList();
  void lbPSETClick(int row);
  void FillDestinationList();
  void PgCChange(int index);
  void ShowPage(int index);  // a change made by the program: no leaving rule, PreviousPage kept
  void rLANGUAGEClick(int index);
  bool FormCloseQuery();
  void FormClose();
  void MakeTrayIcon();
  void RestoreFromTray();
  // f_control_options.cpp
  QCheckBox& Box(TChartOption option) const;
  void ConnectOptions();
  void OptionChanged(TChartOption option, bool ticked);
  void UpdateRotateTool();
  // f_control_session.cpp
  void SetRecordingControls(bool recording);
  void ShowDisplays(const std::string& v, const std::string& m, const std::string& f);
  void ShowLinkStatus();
  void EndedOnFailure(const std::string& message, const std::string& file);

  std::unique_ptr<Ui::TF_CONTROL> ui_;
  TGLOB& settings_;
  TF_MONITOR& monitor_;
  TCommands commands_;
  std::unique_ptr<TSession> session_;
  QTimer* TimerInterval = nullptr;
  QTimer* clock_ = nullptr;                // VrClock1's once-a-second event
  QSystemTrayIcon* VrTrayIcon1 = nullptr;  // only where the desktop has a tray
  int currentPage_ = 0;
  bool pageByProgram_ = false;
};

}  // namespace vexa::ui
