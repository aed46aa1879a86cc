// The open window's Export: enabled by a selected recording, the file
// dialog's proposal, EDF+ and CSV written without touching the chart shown,
// refusals and the question before replacing a file, and the progress of a
// long export with the event loop turning.
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include "recording/edf_export.h"
#include "recording/support/recording_fixture.h"
#include "ui/f_open.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

class OpenExport : public testing::ProgramFixture {
 protected:
  void Prepare() override {
    recording = Example("rec", "2026-12-08 (14-23-05) run1.vxa");
    settings.OpenHistoryCount = 1;
    settings.OpenHistory[0] = Dir();
  }
  std::string Dir() const { return JoinPath(folder.path(), "rec"); }
  std::string File(const std::string& name) const { return JoinPath(Dir(), name); }
  // A build without EDF+ (Windows, for now) exports CSV in its place.
  static std::string Type() { return EdfExportAvailable() ? ".edf" : ".csv"; }
  static QTreeWidget& List() { return Control<QTreeWidget>(ui::FOpen, "ListView1"); }
  static QPushButton& Button() { return Control<QPushButton>(ui::FOpen, "bExport"); }
  void ShowAndSelect() {
    ui::FOpen->show();
    ASSERT_TRUE(WaitFor([] { return !ui::FOpen->Scanning(); }));
    ASSERT_GT(List().topLevelItemCount(), 0);
    List().setCurrentItem(List().topLevelItem(0));
  }
  // The operator names `path` in the file dialog.
  void Choose(const std::string& path, bool edf) {
    ui::FOpen->AskExportFile = [path, edf](const QString&, bool) {
      return ui::TFOpen::ExportChoice{QString::fromStdString(path), edf};
    };
  }
  std::string recording;
};

TEST_F(OpenExport, EnabledForASelectedRecordingTheDialogProposesItsNameBesideIt) {
  ui::FOpen->show();
  ASSERT_TRUE(WaitFor([] { return !ui::FOpen->Scanning(); }));
  EXPECT_FALSE(Button().isEnabled());
  EXPECT_EQ(Button().text().toStdString(), "Export...");
  List().setCurrentItem(List().topLevelItem(0));
  EXPECT_TRUE(Button().isEnabled());
  List().clearSelection();
  EXPECT_FALSE(Button().isEnabled());
  List().setCurrentItem(List().topLevelItem(0));

  // The real dialog: its proposal, then the CSV type chosen there.
  QString proposed, title;
  QStringList filters;
  answer = [&](QDialog& d) {
    auto* dialog = qobject_cast<QFileDialog*>(&d);
    if (!dialog) return static_cast<int>(QDialog::Accepted);
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    proposed = QDir::toNativeSeparators(dialog->selectedFiles().value(0));
    dialog->selectNameFilter(filters.back());
    emit dialog->filterSelected(filters.back());
    return static_cast<int>(QDialog::Accepted);
  };
  Button().click();
  EXPECT_EQ(title.toStdString(), "Export the recording");
  if (EdfExportAvailable()) {
    EXPECT_EQ(filters, (QStringList{"EDF+ files (*.edf)", "CSV files (*.csv)"}));
  } else {
    EXPECT_EQ(filters, (QStringList{"CSV files (*.csv)"}));
  }
  EXPECT_EQ(proposed.toStdString(), File("2026-12-08 (14-23-05) run1" + Type()));
  const std::string csv = File("2026-12-08 (14-23-05) run1.csv");
  ASSERT_TRUE(fs::exists(csv));
  EXPECT_EQ(testing::ReadAll(csv).substr(0, 3), "\xEF\xBB\xBF");

  Control<QRadioButton>(ui::F_CONTROL, "rLANGUAGE1").click();
  EXPECT_EQ(Button().text().toStdString(), "Экспорт...");
}

TEST_F(OpenExport, WritesWithoutTouchingTheChartShownAndRefusesARecordingsName) {
  const std::size_t pointsBefore = Channel()->SeriesV.Count();
  const std::string titleBefore = ui::F_MONITOR->windowTitle().toStdString();
  ShowAndSelect();
  const std::string out = File("run1" + Type());
  Choose(out, EdfExportAvailable());
  Button().click();
  ASSERT_TRUE(fs::exists(PathFromUtf8(out)));
  const std::string head = EdfExportAvailable() ? "0       " : "\xEF\xBB\xBF" "Clock";  // 8 bytes
  EXPECT_EQ(testing::ReadAll(out).substr(0, 8), head);
  EXPECT_EQ(Channel()->SeriesV.Count(), pointsBefore);
  EXPECT_EQ(ui::F_MONITOR->windowTitle().toStdString(), titleBefore);
  EXPECT_TRUE(shown.empty() || shown.back().window != "F_MESAGE");

  // A .vxa name: refused with the reason, nothing written.
  const std::string vxa = File("copy.vxa");
  Choose(vxa, EdfExportAvailable());
  Button().click();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().window.toStdString(), "F_MESAGE");
  EXPECT_EQ(shown.back().text.toStdString(), "The export was not written: " + vxa +
                                                 " names a recording (.vxa); choose a name ending in " + Type());
  EXPECT_FALSE(fs::exists(vxa));
}

TEST_F(OpenExport, AnExistingFileIsReplacedOnlyWhenTheOperatorSaysSo) {
  ShowAndSelect();
  const std::string csv = File("old.csv");
  testing::WriteAll(csv, "kept");
  Choose(csv, false);
  answer = [](QDialog& d) {
    return qobject_cast<QMessageBox*>(&d) ? static_cast<int>(QMessageBox::No) : static_cast<int>(QDialog::Accepted);
  };
  Button().click();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().text.toStdString(), csv + " exists. Replace it?");
  EXPECT_EQ(testing::ReadAll(csv), "kept");
  answer = [](QDialog& d) {
    return qobject_cast<QMessageBox*>(&d) ? static_cast<int>(QMessageBox::Yes) : static_cast<int>(QDialog::Accepted);
  };
  Button().click();
  EXPECT_NE(testing::ReadAll(csv), "kept");
}

TEST_F(OpenExport, ALongExportMovesTheBarWithTheEventLoopTurning) {
  {
    std::string text = testing::ReadAll(recording);
    text.erase(text.find("Data-Table:\r\n") + 13);
    for (int i = 0; i < 30000; ++i) text += i % 2 ? "0.6\t12.5\t\r\n" : "0.5\t11.0\t\r\n";
    testing::WriteAll(recording, text);
  }
  ShowAndSelect();
  ui::FOpen->Progress().PumpMs = 0;
  auto& bar = Control<QProgressBar>(ui::FOpen, "VrProgressBar1");
  int turns = 0, moving = 0;
  QTimer turn;
  QObject::connect(&turn, &QTimer::timeout, [&] {
    ++turns;
    if (bar.isVisibleTo(ui::FOpen) && bar.value() > 0) ++moving;
  });
  turn.start(0);
  const std::string edf = File("long" + Type());
  Choose(edf, EdfExportAvailable());
  Button().click();
  turn.stop();
  EXPECT_GT(turns, 10);
  EXPECT_GT(moving, 10);
  EXPECT_FALSE(bar.isVisibleTo(ui::FOpen));
  EXPECT_TRUE(fs::exists(edf));
}

}  // namespace
}  // namespace vexa
