// What start-up does besides making the windows: the places the windows
// had, a recording named on the command line; and the program going on
// after an exception escaped a handler.
#include "ui/startup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <filesystem>
#include <stdexcept>

#include "recording/support/recording_fixture.h"
#include "ui/f_getdir.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

class StoredPlaces : public testing::ProgramFixture {
 protected:
  void Prepare() override {
    settings.ControlLeft = 40;
    settings.ControlTop = 50;
    settings.MonitorLeft = 60;
    settings.MonitorTop = 70;
    settings.MonitorWidth = 500;
    settings.MonitorHeight = 400;
  }
};

TEST_F(StoredPlaces, TheWindowsComeUpWhereTheyWere) {
  EXPECT_EQ(ui::F_CONTROL->pos(), QPoint(40, 50));
  EXPECT_EQ(ui::F_MONITOR->pos(), QPoint(60, 70));
  EXPECT_EQ(ui::F_MONITOR->size(), QSize(500, 400));
}

class LostPlaces : public testing::ProgramFixture {
 protected:
  void Prepare() override {
    settings.ControlLeft = 30000;  // a screen that is gone
    settings.MonitorTop = -5000;
    settings.MonitorWidth = 16777215;  // a broken file
    settings.MonitorHeight = 100000;
  }
};

TEST_F(LostPlaces, AWindowNoScreenShowsComesUpOnThePrimaryScreenAtMostItsSize) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(ui::F_CONTROL->pos())) << ui::F_CONTROL->x();
  EXPECT_TRUE(screen.contains(ui::F_MONITOR->pos())) << ui::F_MONITOR->y();
  EXPECT_LE(ui::F_MONITOR->width(), screen.width());
  EXPECT_LE(ui::F_MONITOR->height(), screen.height());
}

class CommandLine : public testing::ProgramFixture {
 protected:
  // The worked example of the file format under a name the writer makes.
  std::string ExampleIn(const std::string& folderName) {
    const fs::path dir = fs::path(folder.path()) / folderName;
    fs::create_directories(dir);
    const fs::path file = dir / "2026-12-08 (14-23-05) test.vxa";
    fs::copy_file(fs::path(VEXA_TEST_DATA_DIR) / "../../fuzz/corpus/recording_fuzz/example.vxa",
                  file);
    return file.string();
  }
  bool Open(const std::string& text) {
    const char* argv[] = {"vexa", text.c_str()};
    return ui::OpenCommandLineRecording(argv, 2);
  }
};

TEST_F(CommandLine, AQuotedPathWithBlanksOpensAndThePanelShowsTheRecording) {
  const std::string path = ExampleIn("run (old) 1");
  ASSERT_TRUE(Open("\"" + path + "\""));
  EXPECT_EQ(ui::F_MONITOR->windowTitle().toStdString(), "Loaded file: \"" + path + "\"");
  EXPECT_EQ(Panel<QLineEdit>("pINTERVAL").text().toStdString(), "5");
  EXPECT_EQ(Panel<QLineEdit>("pFileNamePostfix").text().toStdString(), "test");
  EXPECT_EQ(Panel<QPlainTextEdit>("Memo1").toPlainText().toStdString(), "test");
  EXPECT_TRUE(Panel<QCheckBox>("cbAutoScale").isChecked());
  EXPECT_TRUE(Panel<QCheckBox>("cbAUTO").isChecked());
  EXPECT_TRUE(Action("actPrint").isEnabled());
  EXPECT_TRUE(Action("actImage").isEnabled());
  EXPECT_EQ(Channel()->SeriesV.Count(), 3u);
  EXPECT_TRUE(shown.empty());
}

TEST_F(CommandLine, APathThatDoesNotOpenIsPassedOverWithoutAMessage) {
  const QString title = ui::F_MONITOR->windowTitle();
  for (const std::string& text : {folder.File("missing.vxa"), folder.path(), std::string("  ")}) {
    EXPECT_FALSE(Open(text)) << text;
  }
  const std::string notRecording = folder.File("notes.vxa");
  testing::WriteAll(notRecording, "hello\r\n");
  EXPECT_FALSE(Open(notRecording));
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(ui::F_MONITOR->windowTitle(), title);
  EXPECT_FALSE(Action("actPrint").isEnabled());
}

class DestinationFolders : public testing::ProgramFixture {
 protected:
  void Prepare() override {
    for (const char* name : {"a", "b", "c"}) fs::create_directory(fs::path(folder.path()) / name);
    settings.DirHistoryCount = 3;
    settings.DirHistory[0] = folder.File("a");
    settings.DirHistory[1] = folder.File("b");
    settings.DirHistory[2] = folder.File("c");
  }
  std::vector<std::string> History() const {
    return {settings.DirHistory, settings.DirHistory + settings.DirHistoryCount};
  }
  // The operator picks `chosen` in the directory chooser and presses OK.
  void Choose(const std::string& chosen) {
    answer = [chosen](QDialog& d) {
      static_cast<ui::TF_GetDir&>(d).SelectFolder(QString::fromStdString(chosen));
      d.findChild<QPushButton*>(QStringLiteral("bOk"))->click();
      return d.result();
    };
    Panel<QAbstractButton>("bBrowse").click();
  }
};

TEST_F(DestinationFolders, ChoosingAnEntryOrAFolderPutsItFirstWithoutRepeats) {
  QComboBox& list = Panel<QComboBox>("pPATH");
  ASSERT_EQ(list.count(), 3);
  emit list.activated(2);  // the operator picks the third entry
  EXPECT_EQ(History(),
            (std::vector<std::string>{folder.File("c"), folder.File("a"), folder.File("b")}));
  EXPECT_EQ(list.currentText().toStdString(), folder.File("c"));

  Choose(folder.File("b"));
  EXPECT_EQ(History(),
            (std::vector<std::string>{folder.File("b"), folder.File("c"), folder.File("a")}));
  EXPECT_EQ(list.currentText().toStdString(), folder.File("b"));
  Choose(folder.path());
  EXPECT_EQ(settings.DirHistoryCount, 4);
  EXPECT_EQ(settings.DirHistory[0], folder.path());

  answer = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
  Panel<QAbstractButton>("bBrowse").click();  // Cancel changes nothing
  EXPECT_EQ(settings.DirHistoryCount, 4);
  EXPECT_EQ(list.count(), 4);
}

// An object whose handler fails as a handler of the program could.
class Failing : public QObject {
 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("the handler failed");
    return QObject::event(e);
  }
};

TEST_F(StoredPlaces, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
  Failing failing;
  QEvent event(QEvent::User);
  EXPECT_NO_THROW(QCoreApplication::sendEvent(&failing, &event));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.toStdString(), "the handler failed");
  EXPECT_TRUE(ui::F_CONTROL->isVisible());
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

// A vexa.pset cut inside its first 8 bytes and a vexa.cfg that cannot be
// read (a folder of that name): each said once, in the language on screen.
class LoadProblems : public testing::ProgramFixture {
 protected:
  void Prepare() override {
    testing::WriteAll(settings.PresetPath, "abc");
    std::filesystem::create_directories(std::filesystem::path(folder.path()) / "other" / "vexa.cfg");
    TGLOB unreadable(JoinPath(folder.path(), "other"));
    settings.LoadProblem = unreadable.LoadProblem;
  }
};

TEST_F(LoadProblems, WhatCouldNotBeReadAtStartIsSaidOnceEachInTheLanguageOnScreen) {
  const std::string cfg = JoinPath(JoinPath(folder.path(), "other"), "vexa.cfg");
  const struct {
    int language;
    const char* cfgSays;
    const char* psetSays;
  } languages[] = {
      {kEnglish, "the default settings are used", "ends inside its first 8 bytes"},
      {kRussian, "используются настройки по умолчанию", "обрывается в первых 8 байтах"},
  };
  for (const auto& l : languages) {
    settings.Language = l.language;
    ui::F_CONTROL->ApplyLanguage();
    shown.clear();
    ui::ShowLoadProblems(settings);
    ASSERT_EQ(shown.size(), 2u);
    const std::string first = shown[0].text.toStdString(), second = shown[1].text.toStdString();
    EXPECT_NE(first.find(cfg), std::string::npos) << first;
    EXPECT_NE(first.find(l.cfgSays), std::string::npos) << first;
    EXPECT_NE(second.find(settings.PresetPath), std::string::npos) << second;
    EXPECT_NE(second.find(l.psetSays), std::string::npos) << second;
    EXPECT_NE(second.find(".damaged-"), std::string::npos) << second;
  }
  shown.clear();
  settings.LoadProblem = {};
  Channel()->Presets->LoadProblem = {};
  ui::ShowLoadProblems(settings);
  EXPECT_TRUE(shown.empty());
}

}  // namespace
}  // namespace vexa
