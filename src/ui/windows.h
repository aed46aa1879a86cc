// The program's long-lived windows: single instances created once at
// start-up in a fixed order and reached through these global references,
// named after the windows. Start-up (startup.cpp) and the tests create and
// destroy them through CreateWindows and DestroyWindows.
#pragma once

class QDialog;

namespace vexa {
class TChannel;
class TGLOB;
}  // namespace vexa

namespace vexa::ui {

class TF_MONITOR;
class TF_CONTROL;
class TF_MESAGE;
class TF_DIALOG;
class TF_GetDir;

extern TF_MONITOR* F_MONITOR;  // the main window: the program ends when it closes
extern TF_CONTROL* F_CONTROL;
extern TF_MESAGE* F_MESAGE;
extern TF_DIALOG* F_DIALOG;
extern QDialog* FOpen;   // the open-recording window (null while the program has none)
extern QDialog* FPrint;  // the print window (null while the program has none)
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

// The open-recording and print windows as modal dialogs, made in their
// place of the start-up order; null where the program has none yet.
QDialog* MakeOpenWindow(TGLOB& settings);
QDialog* MakePrintWindow(TGLOB& settings);

}  // namespace vexa::ui
