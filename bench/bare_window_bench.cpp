// The reference of the start-up benchmark (startup_bench): a bare Qt
// Widgets main window of the monitor's size. It writes "shown" on standard
// error at its first paint, as vexa does with its vexa.startup log category
// once both of its windows have painted.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <cstdio>

namespace {

class FirstPaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      std::fprintf(stderr, "shown\n");
      std::fflush(stderr);
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("bare"));
  window.resize(700, 545);
  FirstPaint first;
  window.installEventFilter(&first);
  window.show();
  return QApplication::exec();
}
