#include "ui/load_progress.h"

#include <QApplication>
#include <QProgressBar>

namespace vexa::ui {

void TLoadProgress::SetMaximum(int maximum) {
  // A file whose session never completed its count: a busy bar.
  bar_.setRange(0, std::max(0, maximum));
  bar_.setValue(0);
}

void TLoadProgress::SetPosition(int position) {
  if (sincePump_.isValid() && sincePump_.elapsed() < PumpMs) return;
  if (bar_.maximum() > 0) bar_.setValue(std::min(position, bar_.maximum()));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  sincePump_.start();
}

void TLoadProgress::SetVisible(bool visible) {
  if (visible == loading_) return;
  loading_ = visible;
  bar_.setVisible(visible);
  if (visible) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sincePump_.start();
  } else {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace vexa::ui
