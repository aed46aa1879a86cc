// The open-recording window: the list of a folder's recordings, the
// selected file's description, opening with the folder history, a file
// that does not open, the progress of a load, and a recording dropped on
// the monitor.
#include <QComboBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
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
#include "ui/windows.h"
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
    testing::WriteAll(File("rec", "UPPER.VXA"), "Format-Version: 2\r\n");
    testing::WriteAll(File("rec", "notes.vxa"), "hello\r\n");  // not a recording: not listed
    Example("other", "2026-12-03 (08-00-00) c.vxa");
    settings.OpenHistoryCount = 1;
    settings.OpenHistory[0] = Dir("rec");
  }
  std::string Dir(const std::string& sub) const { return JoinPath(folder.path(), sub); }
  // A file as the program names it: the system's separator before its name.
  std::string File(const std::string& sub, const std::string& name) const { return JoinPath(Dir(sub), name); }
  std::string NamesFolder() const;
  inline static const std::string kLongestName =
      "2026-12-08 (14-23-05) \u0448\u0438\u0440\u043e\u043a\u0438\u0439 \u0442\u0435\u0441\u0442 15";
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
  const std::string c = File("other", "2026-12-03 (08-00-00) c.vxa");
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
            "Error open file: " + File("rec", "UPPER.VXA") +
                "\n"
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
  const std::string big = File("rec", "2026-12-05 (00-00-00) big.vxa");
  {
    std::string text = testing::ReadAll(File("rec", "2026-12-02 (14-23-05) b.vxa"));
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
  const std::string c = File("other", "2026-12-03 (08-00-00) c.vxa");
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

// The worked example as a kill after its third row leaves it (placeholders
// in the header), with a torn fourth row; `broken` also writes into the
// description slot, so that it cannot be completed.
std::string Killed(const std::string& example, bool broken) {
  std::string text = testing::ReadAll(example);
  text.replace(text.find("14:23:21"), 8, "14:23:05");
  text.replace(text.find("Description: test"), 17, broken ? "Description: x   " : "Description:     ");
  text.replace(text.find("Data-Count:      3"), 18, "Data-Count:       ");
  return text + "0.6\t1";
}

TEST_F(OpenWindow, AnInterruptedRecordingIsListedAsSuchAndCompletedOnceTheOperatorSaysSo) {
  const std::string killed = File("rec", "2026-12-04 (09-00-00) killed.vxa");
  const std::string bytes = Killed(File("rec", "2026-12-02 (14-23-05) b.vxa"), false);
  testing::WriteAll(killed, bytes);
  for (int lang : {0, 1}) {
    settings.AppliedLanguage = lang;
    ShowWindow();
    ASSERT_EQ(List().topLevelItemCount(), 4);
    EXPECT_EQ(Row(2), (QStringList{"2026-12-04 (09-00-00) killed", "08.12.2026 14:23:05",
                                   lang ? "\u043f\u0440\u0435\u0440\u0432\u0430\u043d\u0430" : "interrupted", "3"}));
    ui::FOpen->hide();
  }
  settings.AppliedLanguage = 0;

  // "Open as it is": the file stays, its whole rows open.
  int asked = 0;
  int reply = QMessageBox::No;
  answer = [&](QDialog& d) {
    if (d.objectName() != QLatin1String("InterruptedQuestion")) return static_cast<int>(QDialog::Accepted);
    ++asked;
    return reply;
  };
  ASSERT_TRUE(ui::OpenRecordingPath(killed, true));
  EXPECT_EQ(asked, 1);
  EXPECT_NE(shown.back().text.toStdString().find("It holds 3 whole rows"), std::string::npos)
      << shown.back().text.toStdString();
  EXPECT_EQ(testing::ReadAll(killed), bytes);
  EXPECT_EQ(Channel()->SeriesV.Count(), 3u);

  // "Complete": the header as a stop at the third row writes it, the torn
  // row gone; asked once, and never again once it is complete.
  reply = QMessageBox::Yes;
  ASSERT_TRUE(ui::OpenRecordingPath(killed, true));
  EXPECT_EQ(asked, 2);
  std::string expected = testing::ReadAll(File("rec", "2026-12-02 (14-23-05) b.vxa"));
  expected.replace(expected.find("14:23:21"), 8, "14:23:20");  // start + 3 x 5 s
  expected.replace(expected.find("Description: test"), 17, "Description:     ");
  EXPECT_EQ(testing::ReadAll(killed), expected);
  EXPECT_EQ(Channel()->SeriesV.Count(), 3u);
  EXPECT_NEAR((Channel()->StoppedTime - Channel()->StartedTime) * 86400, 15.0, 1e-6);
  ASSERT_TRUE(ui::OpenRecordingPath(killed, true));
  EXPECT_EQ(asked, 2);

  // One whose header is not as the recorder writes it: said, never
  // written, opened as it stands.
  const std::string odd = File("rec", "2026-12-04 (10-00-00) odd.vxa");
  const std::string oddBytes = Killed(File("rec", "2026-12-02 (14-23-05) b.vxa"), true);
  testing::WriteAll(odd, oddBytes);
  ASSERT_TRUE(ui::OpenRecordingPath(odd, true));
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(shown.back().window.toStdString(), "F_MESAGE");
  EXPECT_NE(shown.back().text.toStdString().find("was not completed: its header"), std::string::npos)
      << shown.back().text.toStdString();
  EXPECT_EQ(testing::ReadAll(odd), oddBytes);
  EXPECT_EQ(Channel()->SeriesV.Count(), 3u);
}

// A folder of names in two scripts and cases, and the longest name of this
// program's own (a 15-character postfix) with a count of six digits.
std::string OpenWindow::NamesFolder() const {
  const std::string dir = Dir("names");
  fs::create_directories(dir);
  for (const char* name : {"Beta", "alpha", "\u0401\u0436", "\u0414\u043e\u043c", "\u0430\u0440\u0431\u0443\u0437"})
    testing::WriteAll(JoinPath(dir, std::string(name) + ".vxa"), "Format-Version: 2\r\n");
  std::string text = testing::ReadAll(File("rec", "2026-12-02 (14-23-05) b.vxa"));
  text.replace(text.find("Data-Count:      3"), 18, "Data-Count: 999999");
  testing::WriteAll(JoinPath(dir, kLongestName + ".vxa"), text);
  return dir;
}

TEST_F(OpenWindow, RowsSortAsTheirNamesRead) {
  const std::string dir = NamesFolder();
  const struct {
    const char* locale;
    QStringList order;
  } cases[] = {
      {"en_US", {QString::fromStdString(kLongestName), "alpha", "Beta", "\u0430\u0440\u0431\u0443\u0437",
                 "\u0414\u043e\u043c", "\u0401\u0436"}},
      {"ru_RU", {QString::fromStdString(kLongestName), "\u0430\u0440\u0431\u0443\u0437", "\u0414\u043e\u043c",
                 "\u0401\u0436", "alpha", "Beta"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
    ui::FOpen->GoToFolder(QString::fromStdString(dir));
    ShowWindow();
    QStringList names;
    for (int i = 0; i < List().topLevelItemCount(); ++i) names << List().topLevelItem(i)->text(0);
    EXPECT_EQ(names, c.order);
    ui::FOpen->hide();
  }
  QLocale::setDefault(QLocale(QLocale::C));
}

TEST_F(OpenWindow, EveryColumnReadsWholeAtTheDefaultSize) {
  ui::FOpen->GoToFolder(QString::fromStdString(NamesFolder()));
  ShowWindow();
  EXPECT_EQ(ui::FOpen->width(), 700);
  const QList<QTreeWidgetItem*> rows = List().findItems(QString::fromStdString(kLongestName), Qt::MatchExactly);
  ASSERT_EQ(rows.size(), 1);
  QTreeWidgetItem* row = rows.first();
  ASSERT_EQ(row->text(3), "999999");
  const QFontMetrics fm = List().fontMetrics();
  for (int col = 0; col < 4; ++col) {
    EXPECT_GE(List().header()->sectionSize(col), fm.horizontalAdvance(row->text(col)) + 8) << col;
  }
  EXPECT_LE(List().header()->length(), List().viewport()->width());
  EXPECT_FALSE(List().horizontalScrollBar()->isVisible());
}

}  // namespace
}  // namespace vexa
