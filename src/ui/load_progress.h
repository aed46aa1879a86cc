// The progress bar the loader drives while a recording loads (TProgress).
// Loading a week of rows takes about a second: every pumpMs the bar takes
// the position and the event loop runs once, so the windows repaint, the
// clock goes on and the bar moves. Operator input (keys, clicks, closing a
// window) waits until the load has ended: nothing can start a recording,
// open another file or close a window under the loader.
#pragma once

#include <QElapsedTimer>

#include "recording/folder_scan.h"

class QProgressBar;

namespace vexa::ui {

class TLoadProgress : public TProgress {
 public:
  explicit TLoadProgress(QProgressBar& bar) : bar_(bar) {}

  void SetMaximum(int maximum) override;
  void SetPosition(int position) override;
  void SetVisible(bool visible) override;
  bool Loading() const { return loading_; }

  int PumpMs = 15;  // at most this long between two turns of the event loop

 private:
  QProgressBar& bar_;
  QElapsedTimer sincePump_;
  bool loading_ = false;
};

}  // namespace vexa::ui
