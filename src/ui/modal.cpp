#include "ui/modal.h"

#include <QDialog>
#include <QMessageBox>
#include <utility>

namespace vexa::ui {

namespace {
ModalRunner& Runner() {
  static ModalRunner runner;
  return runner;
}
}  // namespace

int RunModal(QDialog& dialog) {
  if (const ModalRunner& runner = Runner()) {
    const int result = runner(dialog);
    dialog.setResult(result);
    return result;
  }
  return dialog.exec();
}

ModalRunner SetModalRunner(ModalRunner runner) {
  return std::exchange(Runner(), std::move(runner));
}

void ShowErrorBox(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("VEXA"), text, QMessageBox::Ok);
  RunModal(box);
}

}  // namespace vexa::ui
