// Changing the control panel's pages: the leaving rule may refuse, the Exit
// page ends an idle program at once, an interval that does not convert keeps
// it open, Ctrl+Q turns to the Exit page.
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include "link/test_env.h"
#include "recording/support/recording_fixture.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using Page = ui::TF_CONTROL::Page;
using PageChanges = testing::ProgramFixture;

TEST_F(PageChanges, TheLeavingRuleCanRefuseAChangeAndThePageStays) {
  std::vector<std::pair<int, int>> asked;
  ui::F_CONTROL->PageLeaveCheck = [&](int from, int to) {
    asked.emplace_back(from, to);
    return from != Page::kTabPreset;
  };
  Pages().setCurrentIndex(Page::kTabPreset);
  Pages().setCurrentIndex(Page::kTabAbout);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabPreset);
  EXPECT_EQ(ui::F_CONTROL->PreviousPage, Page::kTabPreset);
  const std::vector<std::pair<int, int>> expected = {{Page::kTabMonitor, Page::kTabPreset},
                                                     {Page::kTabPreset, Page::kTabAbout}};
  EXPECT_EQ(asked, expected);
  // A refused turn to the Exit page does not end the program either.
  QSignalSpy ended(ui::F_MONITOR, &ui::TF_MONITOR::Closed);
  Pages().setCurrentIndex(Page::kTabExit);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabPreset);
  EXPECT_EQ(ended.count(), 0);
}

// With nothing recording the Exit page ends the program at once; only an
// interval a recording could start with is kept for the next start. A
// recording opened with an interval under 0.05 s (its header says 0.0, -5.0
// or 1e300) shows that interval, and Ctrl+Q still ends the program without
// a question.
TEST_F(PageChanges, TheExitPageEndsAnIdleProgramAtOnceAndKeepsOnlyAnIntervalThatCanRecord) {
  const struct {
    const char* typed;      // into pINTERVAL; null: a recording with this header value opened
    const char* recording;  // its Sample-Interval
    double stored;
  } cases[] = {{"abc", nullptr, 5.0},   {"0.01", nullptr, 5.0}, {"3", nullptr, 3.0},
               {nullptr, "0.0", 5.0},   {nullptr, "-5.0", 5.0}, {nullptr, "1e300", 5.0},
               {nullptr, "0.5", 0.5}};
  int n = 0;
  for (const auto& c : cases) {
    const std::string label = c.typed ? c.typed : c.recording;
    if (n++ > 0) {  // the windows as the next start makes them
      ui::DestroyWindows();
      ui::CreateWindows(settings);
      ui::F_CONTROL->show();
      ui::F_MONITOR->show();
    }
    settings.SampleInterval = 5.0;
    shown.clear();
    if (c.typed) {
      Type("pINTERVAL", QString::fromUtf8(c.typed));
    } else {
      const std::string path = Example("rec" + std::to_string(n), "2026-12-08 (14-23-05) i.vxa");
      std::string text = testing::ReadAll(path);
      text.replace(text.find("Sample-Interval: 5.0"), 20, std::string("Sample-Interval: ") + c.recording);
      testing::WriteAll(path, text);
      ASSERT_TRUE(ui::OpenRecordingPath(path, true)) << label;
      EXPECT_EQ(Panel<QLineEdit>("pINTERVAL").text().toDouble(), std::stod(c.recording)) << label;
    }
    QSignalSpy ended(ui::F_MONITOR, &ui::TF_MONITOR::Closed);
    Action("actExit").trigger();  // Ctrl+Q
    EXPECT_EQ(ended.count(), 1) << label << ": the program ends";
    EXPECT_TRUE(shown.empty()) << label << ": " << shown[0].text.toStdString();
    EXPECT_EQ(settings.SampleInterval, c.stored) << label;
  }
}

TEST_F(PageChanges, StartOnTheSetupPageLeavesItFirstAndNothingStartsWhenItStays) {
  test::ScopedEnv noMeter("VEXA_COM2", folder.File("no-such-device"));
  bool leave = false;
  Pages().setCurrentIndex(Page::kTabPreset);
  ui::F_CONTROL->PageLeaveCheck = [&](int, int) { return leave; };
  Action("actStart").trigger();  // F5
  EXPECT_EQ(Pages().currentIndex(), Page::kTabPreset);
  EXPECT_FALSE(Action("actStart").isChecked());
  EXPECT_TRUE(shown.empty()) << "no start was tried";

  leave = true;
  Action("actStart").trigger();
  EXPECT_EQ(Pages().currentIndex(), Page::kTabMonitor);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.toStdString(), "Error init port COM 2");
}

// A page change the Setup page refuses never happens: the Setup page stays
// the one shown (and the edited field keeps the keyboard) while the reason
// is on screen, whether the operator clicks a tab, presses Ctrl+Tab, Ctrl+Q
// or F5.
TEST_F(PageChanges, ARefusedChangeNeverShowsTheOtherPage) {
  test::ScopedEnv noMeter("VEXA_COM2", folder.File("no-such-device"));
  QTabBar& tabs = *Pages().tabBar();
  Pages().setCurrentIndex(Page::kTabPreset);
  QSignalSpy changed(&Pages(), &QTabWidget::currentChanged);
  std::vector<int> pageWhileShown;
  answer = [&](QDialog&) {
    pageWhileShown.push_back(Pages().currentIndex());
    return static_cast<int>(QDialog::Accepted);
  };
  auto& descr = Panel<QLineEdit>("pDESCR");
  auto click = [&](int page) {
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(page).center());
  };
  const struct {
    const char* how;
    std::function<void()> turn;
  } turns[] = {
      {"a click on the Monitor tab", [&] { click(Page::kTabMonitor); }},
      {"a click on the Exit tab", [&] { click(Page::kTabExit); }},
      {"Ctrl+Tab", [&] { QTest::keyClick(&descr, Qt::Key_Tab, Qt::ControlModifier); }},
      {"Ctrl+Shift+Tab",
       [&] { QTest::keyClick(&descr, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier); }},
      {"Ctrl+Q", [] { Action("actExit").trigger(); }},
      {"F5", [] { Action("actStart").trigger(); }},
  };
  // "Default" changed (message 8), then a preset of the operator's whose
  // port is not a number (the error box).
  for (const bool onDefault : {true, false}) {
    if (onDefault) {
      Type("pDESCR", "changed");
    } else {
      Type("pNAME", "mine");
      Panel<QPushButton>("bADDPRESET").click();
      Type("pPORTFLOWN", "x");
    }
    descr.setFocus();
    for (const auto& t : turns) {
      pageWhileShown.clear();
      changed.clear();
      t.turn();
      const std::string what = std::string(t.how) + (onDefault ? " on Default" : " on mine");
      ASSERT_EQ(pageWhileShown.size(), 1u) << what;
      EXPECT_EQ(pageWhileShown[0], Page::kTabPreset) << what;
      EXPECT_EQ(Pages().currentIndex(), Page::kTabPreset) << what;
      EXPECT_EQ(changed.count(), 0) << what << ": the page changed and back";
      EXPECT_FALSE(Action("actStart").isChecked()) << what;
    }
  }
  // Accepted, the click turns the page as before.
  Type("pPORTFLOWN", "3");
  click(Page::kTabAbout);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabAbout);
  EXPECT_EQ(Channel()->Presets->Items[1]->FlownPort, 3);
  EXPECT_EQ(ui::F_CONTROL->PreviousPage, Page::kTabPreset);
  // The wheel over the tabs changes nothing (it could reach the Exit page).
  QWheelEvent wheel(QPointF(5, 5), tabs.mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton,
                    {}, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&tabs, &wheel);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabAbout);
}

}  // namespace
}  // namespace vexa
