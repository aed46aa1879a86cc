// The program's application object. An exception that escapes an event
// handler is shown in the standard error box and the handler is abandoned;
// the program goes on, as an operator expects of a recorder that may be in
// the middle of a session.
#pragma once

#include <QApplication>

namespace vexa::ui {

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vexa::ui
