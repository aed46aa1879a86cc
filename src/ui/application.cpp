#include "ui/application.h"

#include <exception>

#include "ui/modal.h"

namespace vexa::ui {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowErrorBox(QString::fromUtf8(e.what()));
  } catch (...) {
    // The framework shows an unknown exception with an empty message.
    ShowErrorBox(QString());
  }
  return false;
}

}  // namespace vexa::ui
