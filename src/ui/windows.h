// The program's long-lived windows: single instances created once at
// start-up in a fixed order and reached through these global references,
// named after the windows. Start-up (startup.cpp) and the tests create and
// destroy them through CreateWindows and DestroyWindows.
#pragma once

#include <string>

namespace vexa {
class TChannel;
class TGLOB;
struct OpenOutcome;
}  // namespace vexa

namespace vexa::ui {

class TF_MONITOR;
class TF_CONTROL;
class TF_MESAGE;
class TF_DIALOG;
class TF_GetDir;
class TFOpen;
class TFPrint;

extern TF_MONITOR* F_MONITOR;  // the main window: the program ends when it closes
extern TF_CONTROL* F_CONTROL;
extern TF_MESAGE* F_MESAGE;
extern TF_DIALOG* F_DIALOG;
extern TFOpen* FOpen;    // the open-recording window
extern TFPrint* FPrint;  // the print window
extern TF_GetDir* F_GetDir;
// The recording object, made by the monitor window; null once the control
// panel's closing steps have destroyed it (then no recording runs).
extern TChannel* Channel;

// Creates the windows in the order F_MONITOR (which makes Channel and opens
// the preset file), F_CONTROL (which fills the preset list, applies the
// language and builds the chart), F_MESAGE, F_DIALOG, FOpen, FPrint,
// F_GetDir. They are hidden; the caller shows them.
void CreateWindows(TGLOB& settings);
// Destroys them in the opposite order (the recording object, if it still
// exists, with the monitor window: its presets are saved then).
void DestroyWindows();

// The open-recording and print windows, made in their place of the
// start-up order (F_CONTROL exists then: they follow its language switch).
TFOpen* MakeOpenWindow(TGLOB& settings);
TFPrint* MakePrintWindow(TGLOB& settings);
// What the recording windows add to the control panel once every window
// exists: the chart picture (bBMP, Ctrl+B) and the Setup page's port chooser.
void ConnectRecordingWindows(TGLOB& settings);

// Opens the recording at path as Open does, without the open window's list
// (a file dropped on the monitor, the command line): loaded with the
// progress shown, its folder into the open history, the panel showing it.
// A failure is said in the message window when `report` is set.
bool OpenRecordingPath(const std::string& path, bool report);
// Before a recording opens from the open window, the command line or a
// drop: when it is an interrupted one (its recorder never stopped), asks
// once whether to complete it (Complete / Open as it is) and completes it on
// Complete; a completion that is refused or fails is said in the message
// window. The caller then opens the file as it stands.
void OfferCompletion(const std::string& path);
// A failed open: the reason in the message window; when the load had begun,
// the monitor shows the preset's empty chart instead of part of a file.
void ReportOpenFailure(const OpenOutcome& outcome, const std::string& path);
// Says once, in the message window, what could not be read at start (an
// unreadable vexa.cfg, a damaged vexa.pset).
void ShowLoadProblems(const TGLOB& settings);

}  // namespace vexa::ui
