#include "ui/windows.h"

#include <QDialog>

#include "ui/f_control.h"
#include "ui/f_dialog.h"
#include "ui/f_getdir.h"
#include "ui/f_mesage.h"
#include "ui/f_monitor.h"

namespace vexa::ui {

TF_MONITOR* F_MONITOR = nullptr;
TF_CONTROL* F_CONTROL = nullptr;
TF_MESAGE* F_MESAGE = nullptr;
TF_DIALOG* F_DIALOG = nullptr;
QDialog* FOpen = nullptr;
QDialog* FPrint = nullptr;
TF_GetDir* F_GetDir = nullptr;
TChannel* Channel = nullptr;

void CreateWindows(TGLOB& settings) {
  F_MONITOR = new TF_MONITOR(settings);
  F_CONTROL = new TF_CONTROL(settings, *F_MONITOR);
  F_MESAGE = new TF_MESAGE(settings);
  F_DIALOG = new TF_DIALOG(settings);
  FOpen = MakeOpenWindow(settings);
  FPrint = MakePrintWindow(settings);
  F_GetDir = new TF_GetDir(settings);
}

namespace {
template <class T>
void Destroy(T*& window) {
  delete window;
  window = nullptr;
}
}  // namespace

void DestroyWindows() {
  Destroy(F_GetDir);
  Destroy(FPrint);
  Destroy(FOpen);
  Destroy(F_DIALOG);
  Destroy(F_MESAGE);
  Destroy(F_CONTROL);
  Destroy(F_MONITOR);
}

}  // namespace vexa::ui
