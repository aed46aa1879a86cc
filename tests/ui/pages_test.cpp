// Changing the control panel's pages: the leaving rule may refuse, the Exit
// page ends an idle program at once, an interval that does not convert keeps
// it open, Ctrl+Q turns to the Exit page.
#include <QPushButton>
#include <QSignalSpy>

#include "link/test_env.h"
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

TEST_F(PageChanges, AnIntervalThatDoesNotConvertKeepsTheProgramOpenOnTheExitPage) {
  QSignalSpy ended(ui::F_MONITOR, &ui::TF_MONITOR::Closed);
  Type("pINTERVAL", QStringLiteral("abc"));
  Action("actExit").trigger();  // Ctrl+Q
  EXPECT_EQ(Pages().currentIndex(), Page::kTabExit);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.toStdString(), "The sample interval is not a number: \"abc\"");
  EXPECT_EQ(ended.count(), 0);
  EXPECT_TRUE(ui::F_CONTROL->isVisible());

  Type("pINTERVAL", QStringLiteral("3"));
  Panel<QPushButton>("bYes").click();  // "Yes" tries again
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(settings.SampleInterval, 3.0);
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

}  // namespace
}  // namespace vexa
