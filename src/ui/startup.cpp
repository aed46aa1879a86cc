#include "ui/startup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTimer>
#include <exception>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/settings.h"
#include "recording/channel.h"
#include "recording/panel_rules.h"
#include "ui/application.h"
#include "ui/chart_widget.h"
#include "ui/f_control.h"
#include "ui/f_monitor.h"
#include "ui/modal.h"
#include "ui/single_instance.h"
#include "ui/splash_form.h"
#include "ui/windows.h"

// "vexa.startup": one line when both windows have been painted for the first
// time, with the time since the entry point (the start-up benchmark reads it).
Q_LOGGING_CATEGORY(lcStartup, "vexa.startup", QtWarningMsg)

namespace vexa::ui {

namespace {

// Notes the first paint of the two main windows.
class TFirstPaint : public QObject {
 public:
  explicit TFirstPaint(QElapsedTimer clock) : clock_(clock) {}
  void Watch(QWidget& window) {
    window.installEventFilter(this);
    ++waiting_;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      if (--waiting_ == 0) {
        qCDebug(lcStartup, "both windows shown %.1f ms", clock_.nsecsElapsed() / 1e6);
      }
    }
    return false;
  }

 private:
  QElapsedTimer clock_;
  int waiting_ = 0;
};

std::vector<const char*> Utf8Argv(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv;
  for (const std::string& a : arguments) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

bool OpenCommandLineRecording(const char* const* argv, int argc) {
  const std::string path = CommandLinePath(CommandLineText(argc, argv));
  // A file that does not open is passed over without a message.
  return !path.empty() && OpenRecordingPath(path, false);
}

int RunVexa(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  TApplication app(argc, argv);
  // Qt's own reading of the command line, without the options it took: on
  // Windows from the wide command line, which holds every character of a
  // recording's path (argv has only the ANSI code page's).
  std::vector<std::string> utf8Arguments;
  for (const QString& a : QCoreApplication::arguments()) utf8Arguments.push_back(a.toStdString());
  qCDebug(lcStartup, "application %.1f ms", clock.nsecsElapsed() / 1e6);
  QApplication::setApplicationName(QStringLiteral("VEXA"));
  // One program per settings folder: a second one would write back the
  // settings and presets it read at start over what the first one stored.
  const std::string configDir = ConfigDir();
  TSingleInstance instance(QString::fromStdString(configDir));
  if (instance.Acquire() == TSingleInstance::Start::kRunning) {
    TGLOB seen(TGLOB::Inspection{}, configDir);  // only for its language; never written
    seen.Load();
    TellAlreadyRunning(QString::fromStdString(configDir), seen.Language);
    return 0;
  }
  // The settings are read before the windows and written after the loop.
  TGLOB& settings = GLOB();
  try {
    auto splash = std::make_unique<TSplashForm>(settings.Language);
    qCDebug(lcStartup, "splash made %.1f ms", clock.nsecsElapsed() / 1e6);
    splash->show();
    splash->repaint();
    QApplication::processEvents();
    qCDebug(lcStartup, "splash shown %.1f ms", clock.nsecsElapsed() / 1e6);
    QApplication::setQuitOnLastWindowClosed(false);

    CreateWindows(settings);
    qCDebug(lcStartup, "windows made %.1f ms", clock.nsecsElapsed() / 1e6);
    QObject::connect(F_MONITOR, &TF_MONITOR::Closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    splash.reset();

    TFirstPaint firstPaint(clock);
    if (lcStartup().isDebugEnabled()) {
      firstPaint.Watch(*F_CONTROL);
      firstPaint.Watch(F_MONITOR->MON());
    }
    F_CONTROL->show();
    F_MONITOR->show();
    // The panel stays above the monitor also where no window manager
    // honours its stay-on-top flag.
    F_CONTROL->raise();
    instance.Listen(BringWindowsToFront);
    OpenCommandLineRecording(Utf8Argv(utf8Arguments).data(), static_cast<int>(utf8Arguments.size()));
    // Once the loop runs: what could not be read at start.
    QTimer::singleShot(0, F_CONTROL, [&settings] { ShowLoadProblems(settings); });
    QApplication::exec();
  } catch (const std::exception& e) {
    ShowErrorBox(QString::fromUtf8(e.what()));
  } catch (...) {
    ShowErrorBox(QString());
  }
  instance.StopListening();
  DestroyWindows();  // saves the presets
  // The settings too while the lock still holds, so a program started
  // right after this one reads what this one stored.
  settings.Save();
  return 0;
}

}  // namespace vexa::ui
