#include "ui/modal.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <utility>

namespace vexa::ui {

namespace {
ModalRunner& Runner() {
  static ModalRunner runner;
  return runner;
}

bool IsOrdinaryWindow(const QWidget& w) {
  const Qt::WindowType type = w.windowType();
  return w.isWindow() && (type == Qt::Window || type == Qt::Dialog);
}
}  // namespace

QWidget* ModalOpener(const QDialog& dialog) {
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &dialog) return modal;
  if (QWidget* active = QApplication::activeWindow(); active && active != &dialog) return active;
  // Nothing has the keyboard (a message when the loop begins, a window
  // manager that has not activated anything yet): the panel on top.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w != &dialog && w->isVisible() && IsOrdinaryWindow(*w) &&
        w->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
      return w;
  }
  return nullptr;
}

void PrepareModal(QDialog& dialog) {
  QWidget* opener = ModalOpener(dialog);
  // A modal window blocks every other window of the program, the control
  // panel that stays on top among them: nothing of the program may cover
  // it. Set once: a change of the flags makes a new native window.
  if (!dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (!opener) return;
  QWidget* owner = opener->window();
  if (!owner->windowHandle()) return;
  dialog.winId();  // the native window, so that it can name its owner before it is shown
  if (QWindow* window = dialog.windowHandle()) window->setTransientParent(owner->windowHandle());
}

int RunModal(QDialog& dialog) {
  PrepareModal(dialog);
  if (const ModalRunner& runner = Runner()) {
    const int result = runner(dialog);
    dialog.setResult(result);
    return result;
  }
  // Once the dialog is shown: in front, with the keyboard (a window manager
  // may map it without focus, e.g. when the opener was not focused itself).
  QTimer::singleShot(0, &dialog, [d = QPointer<QDialog>(&dialog)] {
    if (!d || !d->isVisible()) return;
    d->raise();
    d->activateWindow();
  });
  return dialog.exec();
}

ModalRunner SetModalRunner(ModalRunner runner) {
  return std::exchange(Runner(), std::move(runner));
}

void ShowErrorBox(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("VEXA"), text, QMessageBox::Ok);
  box.setObjectName(QStringLiteral("ErrorBox"));
  RunModal(box);
}

}  // namespace vexa::ui
