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

#include <QColor>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "link/serial_devices.h"
#include "recording/preset.h"
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
  // the chart built anew from it (empty: Print and the picture are off).
  void ShowPreset();
  // The Setup fields into the current preset; false, with the reason shown
  // and nothing stored, when a number field does not hold a number.
  bool StorePreset();
  // A load failed after it had begun: the preset's empty chart instead of
  // part of a file, the monitor titled plainly.
  void RecordingLost();
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
  // The serial devices the port chooser offers (FindSerialDevices; tests
  // give their own).
  std::function<std::vector<SerialDevice>()> FindDevices = [] { return FindSerialDevices(); };
  // Setup page state: a field changed since the preset was last shown or
  // stored; the colour an edited field's text takes (blue, black while
  // ShowPreset fills the fields).
  bool Modified = false;
  QColor EditFontColor = Qt::blue;

  int PreviousPage = 0;  // the page active when the operator last began a change

  // --- handlers --------------------------------------------------------------
  void bSTARTClick();
  void bSTOPClick();
  void bMARKClick();
  void TimerIntervalTimer();
  // Arms TimerInterval for the next sample's deadline.
  void ArmSampleTimer();
  void VrClock1SecondsChanged();
  void bOpenClick();
  void bPrintClick();
  void bBMPClick();
  void bBrowseClick();
  void pPATHChange(int index);
  void bYesClick();
  void bNoClick();
  void bADDPRESETClick();
  void bDELPRESETClick();
  void ColourPanelClick(int channel);
  // Stores the interval and closes the panel (which ends the program); an
  // interval that does not convert is shown and the program stays.
  void ExitProgram();
  // The operator turns to a page (a tab, Ctrl+Tab, Ctrl+Q, F5 on the Setup
  // page): the leaving rule is asked first, and a refused change never
  // happens. True when the page is active afterwards.
  bool TurnToPage(int index);

 signals:
  // The language on screen changed; windows that show texts of the message
  // table take them again.
  void LanguageApplied(int language);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Clicks, keys and wheel turns on the tabs, Ctrl+Tab on the pages.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // f_control.cpp
  void FormCreate();
  void ConnectHandlers();
  void CompactCaptions();
  void ShowVersion();
  void FillDestinationList();
  void PgCChange(int index);
  void ShowPage(int index);  // a change made by the program: no leaving rule, PreviousPage kept
  // The next page after `from` in direction step (±1) that the operator can
  // turn to (the gas-analyser page is hidden).
  int NextEnabledPage(int from, int step) const;
  void rLANGUAGEClick(int index);
  bool FormCloseQuery();
  void FormClose();
  void MakeTrayIcon();
  void RestoreFromTray();
  // f_control_setup.cpp
  void ConnectSetupPage();
  void FillPresetList();
  void lbPSETClick(int row);
  void UpdatePresetButtons();
  void PaintEditFonts();
  void SetupFieldChanged(QWidget* edit);
  bool SetupPageLeave(int from);
  // The Setup fields as a preset; nothing (with the reason shown) when a
  // number does not convert.
  std::optional<TPreset> PresetFromFields();
  void ShowComDevice();
  void ChooseComDevice(const SerialDevice& device);
  std::string SettingsFolder() const;
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
  uint32_t panelColours_[7] = {};          // the seven colour panels, 0x00BBGGRR
  int currentPage_ = 0;
  bool pageByProgram_ = false;
  bool pageChecked_ = false;  // TurnToPage has asked the leaving rule
};

}  // namespace vexa::ui
