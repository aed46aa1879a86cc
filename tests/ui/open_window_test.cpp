// The open-recording window: the list of a folder's recordings, the
// selected file's description, opening with the folder history, a file
// that does not open, the progress of a load, and a recording dropped on
// the monitor.
#include <QComboBox>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <fstream>

#include "recording/support/recording_fixture.h"
#include "ui/f_open.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

class OpenWindow : public testing::ProgramFixture {
 protected:
  void Prepare() override {
    Example("rec", "2026-12-02 (14-23-05) b.vxa");
    const std::string a = Example("rec", "2026-12-01 (10-00-00) a.vxa");
    std::string text = testing::ReadAll(a);
    text.replace(text.find("Description: test"), 17, "Description: rest");
    testing::WriteAll(a, text);
    // Listed (its header reads) but without rows to load.
    testing::WriteAll(Dir("rec") + "/UPPER.VXA", "Format-Version: 2\r\n");
    testing::WriteAll(Dir("rec") + "/notes.vxa", "hello\r\n");  // not a recording: not listed
    Example("other", "2026-12-03 (08-00-00) c.vxa");
    settings.OpenHistoryCount = 1;
    settings.OpenHistory[0] = Dir("rec");
  }
  std::string Dir(const std::string& sub) const { return (fs::path(folder.path()) / sub).string(); }
  static QTreeWidget& List() { return Control<QTreeWidget>(ui::FOpen, "ListView1"); }
  // The window shown as Open shows it, its folder's rows all read.
  static void ShowWindow() {
    ui::FOpen->show();
    ASSERT_TRUE(WaitFor([] { return !ui::FOpen->Scanning(); }));
  }
  static QStringList Row(int i) {
    QStringList cells;
    for (int c = 0; c < 4; ++c) cells << List().topLevelItem(i)->text(c);
    return cells;
  }
  // Ctrl+O; in the window the operator picks the row named `name` and opens.
  void OpenByWindow(const std::string& dir, const QString& name) {
    answer = [dir, name](QDialog& d) {
      if (d.objectName() != QLatin1String("FOpen")) return static_cast<int>(QDialog::Accepted);
      ShowWindow();
      ui::FOpen->GoToFolder(QString::fromStdString(dir));
      WaitFor([] { return !ui::FOpen->Scanning(); });
      const auto found = List().findItems(name, Qt::MatchExactly);
      if (!found.isEmpty()) List().setCurrentItem(found.first());
      ui::FOpen->bOpenClick();
      const int result = ui::FOpen->isVisible() ? static_cast<int>(QDialog::Rejected) : d.result();
      ui::FOpen->hide();
      return result;
    };
    Action("actOpen").trigger();
  }
  std::vector<std::string> History() const {
    return {settings.OpenHistory, settings.OpenHistory + settings.OpenHistoryCount};
  }
};

TEST_F(OpenWindow,
       ListsTheFolderByNameAndShowsTheSelectedDescriptionWithoutTouchingTheRecordingShown) {
  Channel()->RecordDescription = "shown";
  ShowWindow();
  EXPECT_EQ(ui::FOpen->windowTitle().toStdString(), "VEXA: Load window");
  QStringList headers;
  for (int c = 0; c < 4; ++c) headers << List().headerItem()->text(c);
  EXPECT_EQ(headers, (QStringList{"File Name", "Start Record", "Stop Record", "Points"}));
  ASSERT_EQ(List().topLevelItemCount(), 3);
  EXPECT_EQ(Row(0), (QStringList{"2026-12-01 (10-00-00) a", "08.12.2026 14:23:05",
                                 "08.12.2026 14:23:21", "3"}));
  EXPECT_EQ(Row(1).first(), "2026-12-02 (14-23-05) b");
  EXPECT_EQ(Row(2), (QStringList{"UPPER", "30.12.1899 00:00:00", "30.12.1899 00:00:00", "0"}));

  List().setCurrentItem(List().topLevelItem(0));
  EXPECT_EQ(Control<QPlainTextEdit>(ui::FOpen, "MDescript").toPlainText(), "rest");
  EXPECT_EQ(Control<QLabel>(ui::FOpen, "pAtmPressure").text(), "760");
  EXPECT_EQ(Channel()->RecordDescription, "shown");
  List().clearSelection();
  EXPECT_TRUE(Control<QPlainTextEdit>(ui::FOpen, "MDescript").toPlainText().isEmpty());

  // A folder of the history is chosen: the tree goes there and lists it.
  settings.OpenHistoryCount = 2;
  settings.OpenHistory[1] = Dir("other");
  ui::FOpen->hide();
  ShowWindow();
  emit Control<QComboBox>(ui::FOpen, "cmbHISTORY").activated(1);
  ASSERT_TRUE(WaitFor([] { return !ui::FOpen->Scanning(); }));
  EXPECT_EQ(ui::FOpen->Folder().toStdString(), Dir("other"));
  ASSERT_EQ(List().topLevelItemCount(), 1);
  EXPECT_EQ(Row(0).first(), "2026-12-03 (08-00-00) c");
}

TEST_F(OpenWindow, OpeningShowsTheRecordingAndPutsItsFolderFirstInTheHistoryOnce) {
  OpenByWindow(Dir("other"), "2026-12-03 (08-00-00) c");
  const std::string c = Dir("other") + "/2026-12-03 (08-00-00) c.vxa";
  EXPECT_EQ(ui::F_MONITOR->windowTitle().toStdString(), "Loaded file: \"" + c + "\"");
  EXPECT_EQ(Channel()->SeriesV.Count(), 3u);
  EXPECT_TRUE(Action("actPrint").isEnabled());
  EXPECT_EQ(History(), (std::vector<std::string>{Dir("other"), Dir("rec")}));
  OpenByWindow(Dir("rec"), "2026-12-01 (10-00-00) a");
  EXPECT_EQ(Channel()->RecordDescription, "rest");
  EXPECT_EQ(History(), (std::vector<std::string>{Dir("rec"), Dir("other")}));
  ASSERT_EQ(shown.size(), 2u);  // the window twice, no message
  EXPECT_EQ(shown[1].window.toStdString(), "FOpen");
}

TEST_F(OpenWindow, AFileThatDoesNotOpenSaysWhyTheWindowStaysAndTheChartKeepsItsRecording) {
  OpenByWindow(Dir("other"), "2026-12-03 (08-00-00) c");
  const QString title = ui::F_MONITOR->windowTitle();
  OpenByWindow(Dir("rec"), "UPPER");
  ASSERT_EQ(shown.size(), 3u);  // the window, the window again, the message
  EXPECT_EQ(shown[2].window.toStdString(), "F_MESAGE");
  EXPECT_EQ(shown[2].text.toStdString(),
            "Error open file: " + Dir("rec") +
                "/UPPER.VXA\n"
                "has a header that ends before its \"Data-Table\" line");
  EXPECT_EQ(ui::F_MONITOR->windowTitle(), title);
  EXPECT_EQ(Channel()->SeriesV.Count(), 3u);
  EXPECT_EQ(Channel()->RecordDescription, "test");
  EXPECT_EQ(History(), (std::vector<std::string>{Dir("other"), Dir("rec")}));
}

TEST_F(OpenWindow, WithoutARowOpenDoesNothingAndCancelOrEscapeCloseWithoutAChange) {
  ShowWindow();
  List().clearSelection();
  ui::FOpen->bOpenClick();
  EXPECT_TRUE(ui::FOpen->isVisible());
  Control<QPushButton>(ui::FOpen, "bCancel").click();
  EXPECT_FALSE(ui::FOpen->isVisible());
  EXPECT_EQ(ui::FOpen->result(), QDialog::Rejected);
  ShowWindow();
  QTest::keyClick(ui::FOpen, Qt::Key_Escape);
  EXPECT_FALSE(ui::FOpen->isVisible());
  EXPECT_EQ(ui::F_MONITOR->windowTitle().toStdString(), "VEXA:  Monitor");
  EXPECT_EQ(History(), (std::vector<std::string>{Dir("rec")}));
}

TEST_F(OpenWindow, TheProgressBarMovesAndTheEventLoopTurnsWhileALoadRuns) {
  // 20,000 rows: enough for many turns when the bar may pump at every step.
  const std::string big = Dir("rec") + "/2026-12-05 (00-00-00) big.vxa";
  {
    std::string text = testing::ReadAll(Dir("rec") + "/2026-12-02 (14-23-05) b.vxa");
    text.erase(text.find("Data-Table:\r\n") + 13);
    text.replace(text.find("Data-Count:      3"), 18, "Data-Count:  20000");
    for (int i = 0; i < 20000; ++i) text += "0.6\t12.5\t\r\n";
    testing::WriteAll(big, text);
  }
  ui::FOpen->Progress().PumpMs = 0;
  auto& bar = Control<QProgressBar>(ui::FOpen, "VrProgressBar1");
  int turns = 0, shownMoving = 0;
  QTimer turn;
  QObject::connect(&turn, &QTimer::timeout, [&] {
    ++turns;
    if (bar.isVisibleTo(ui::FOpen) && bar.value() > 0 && bar.maximum() == 20000) ++shownMoving;
  });
  turn.start(0);
  ASSERT_TRUE(ui::OpenRecordingPath(big, true));
  turn.stop();
  EXPECT_GT(turns, 10);
  EXPECT_GT(shownMoving, 10);
  EXPECT_FALSE(bar.isVisibleTo(ui::FOpen));
  EXPECT_EQ(Channel()->SeriesV.Count(), 20000u);
  EXPECT_EQ(History().front(), Dir("rec"));
}

TEST_F(OpenWindow, ARecordingDroppedOnTheMonitorOpensUnlessARecordingRuns) {
  const std::string c = Dir("other") + "/2026-12-03 (08-00-00) c.vxa";
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(c))});
  auto enter = [&] {
    QDragEnterEvent e(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(ui::F_MONITOR, &e);
    return e.isAccepted();
  };
  Channel()->Recording = true;  // as while a session runs
  EXPECT_FALSE(enter());
  Channel()->Recording = false;
  ASSERT_TRUE(enter());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(ui::F_MONITOR, &drop);
  ASSERT_TRUE(WaitFor([] { return Channel()->SeriesV.Count() == 3u; }));
  EXPECT_EQ(ui::F_MONITOR->windowTitle().toStdString(), "Loaded file: \"" + c + "\"");
  EXPECT_EQ(History().front(), Dir("other"));

  QMimeData text;
  text.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.File("notes.txt")))});
  QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(ui::F_MONITOR, &other);
  EXPECT_FALSE(other.isAccepted());
}

}  // namespace
}  // namespace vexa
