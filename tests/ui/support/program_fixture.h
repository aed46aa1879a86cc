// The desktop program's windows as start-up makes them, over a settings
// folder of the test's own, with every modal window answered by the test:
// what each showed is kept in `shown`, and `answer` decides its result
// (Accepted unless told otherwise).
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/settings.h"
#include "core/temp_folder.h"
#include "recording/channel.h"
#include "ui/f_control.h"
#include "ui/f_monitor.h"
#include "ui/modal.h"
#include "ui/windows.h"

namespace vexa::testing {

struct ShownDialog {
  QString window;  // object name: F_MESAGE, F_DIALOG, ErrorBox (the standard error box), ...
  QString title;
  QString text;  // the message window's or the message box's text
};

class ProgramFixture : public ::testing::Test {
 protected:
  ProgramFixture() : settings(folder.path()) {}

  void SetUp() override {
    previous_ = ui::SetModalRunner([this](QDialog& d) { return Answer(d); });
    Prepare();
    ui::CreateWindows(settings);
    ui::F_CONTROL->show();
    ui::F_MONITOR->show();
  }
  void TearDown() override {
    ui::DestroyWindows();
    ui::SetModalRunner(previous_);
  }
  // Runs before the windows are made: settings a test starts from.
  virtual void Prepare() {}

  template <class T = QWidget>
  static T& Control(QObject* window, const char* name) {
    T* w = window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!w) throw std::runtime_error(std::string("no control ") + name);
    return *w;
  }
  template <class T = QWidget>
  static T& Panel(const char* name) {
    return Control<T>(ui::F_CONTROL, name);
  }
  static TChannel* Channel() { return ui::Channel; }
  static QTabWidget& Pages() { return Panel<QTabWidget>("PgC"); }
  static QAction& Action(const char* name) { return Panel<QAction>(name); }
  static void Type(const char* edit, const QString& text) { Panel<QLineEdit>(edit).setText(text); }
  // Runs the event loop until done() holds, at most `ms` milliseconds.
  static bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
      if (clock.elapsed() > ms) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
  }
  // The worked example of the file format, copied into folder/sub under name.
  std::string Example(const std::string& sub, const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(folder.path()) / sub;
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / name;
    std::filesystem::copy_file(
        std::filesystem::path(VEXA_TEST_DATA_DIR) / "../../fuzz/corpus/recording_fuzz/example.vxa",
        file);
    return file.string();
  }

  // The recording files in the settings folder (the destination folder).
  std::vector<std::string> Recordings() const {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder.path())) {
      if (e.path().extension() == ".vxa") files.push_back(e.path().string());
    }
    return files;
  }

  TempFolder folder;
  TGLOB settings;
  std::vector<ShownDialog> shown;
  std::function<int(QDialog&)> answer;

 private:
  int Answer(QDialog& d) {
    QString text;
    if (auto* box = qobject_cast<QMessageBox*>(&d)) {
      text = box->text();
    } else if (auto* mes = d.findChild<QLabel*>(QStringLiteral("Mes"))) {
      text = mes->text();
    }
    shown.push_back({d.objectName(), d.windowTitle(), text});
    return answer ? answer(d) : QDialog::Accepted;
  }

  ui::ModalRunner previous_;
};

}  // namespace vexa::testing
