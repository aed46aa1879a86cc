// The three ways the program ends (the Exit page, the control panel's close
// box, the monitor's close box), what each stores, and how each refuses
// while a recording runs.
#include <QSignalSpy>
#include <filesystem>

#include "link/posix/pty_meter.h"
#include "link/test_env.h"
#include "recording/support/recording_fixture.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using testing::ProgramFixture;
using Page = ui::TF_CONTROL::Page;

enum class Route { kExitPage, kPanelClose, kMonitorClose };

struct RouteCase {
  const char* name;
  Route route;
  bool storesInterval;      // the text of pINTERVAL becomes the next start's interval
  bool storesPanelPlace;    // the control panel's place (and the open window's)
  bool savesPresetsAtOnce;  // the recording object is destroyed on the way out
};

class Shutdown : public ProgramFixture {
 protected:
  Shutdown() : com2_("VEXA_COM2", meter_.Path()) {}

  void Take(Route route) {
    switch (route) {
      case Route::kExitPage:
        Pages().setCurrentIndex(Page::kTabExit);
        break;
      case Route::kPanelClose:
        ui::F_CONTROL->close();
        break;
      case Route::kMonitorClose:
        ui::F_MONITOR->close();
        break;
    }
  }
  bool PresetFileExists() const { return std::filesystem::exists(settings.PresetPath); }

  test::PtyMeter meter_;
  test::ScopedEnv com2_;
};

void PrintTo(const RouteCase& c, std::ostream* out) { *out << c.name; }

class IdleShutdown : public Shutdown, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(IdleShutdown, EndsTheProgramAndStoresWhatTheRouteStores) {
  const RouteCase& c = GetParam();
  Channel()->Presets->AddDefault();  // a preset of the operator's: the file is written
  Channel()->Presets->Items[1]->Name = "Mine";
  Type("pINTERVAL", QStringLiteral("2.5"));
  ui::F_CONTROL->move(50, 60);
  ui::F_MONITOR->move(70, 80);
  ui::F_MONITOR->resize(640, 480);
  QSignalSpy ended(ui::F_MONITOR, &ui::TF_MONITOR::Closed);

  Take(c.route);

  EXPECT_EQ(ended.count(), 1) << c.name;
  EXPECT_FALSE(ui::F_MONITOR->isVisible());
  EXPECT_EQ(settings.SampleInterval, c.storesInterval ? 2.5 : 5.0) << c.name;
  EXPECT_EQ(settings.ControlLeft, c.storesPanelPlace ? 50 : 342) << c.name;
  EXPECT_EQ(settings.ControlTop, c.storesPanelPlace ? 60 : 114) << c.name;
  EXPECT_EQ(settings.MonitorLeft, 70) << c.name;
  EXPECT_EQ(settings.MonitorTop, 80) << c.name;
  EXPECT_EQ(settings.MonitorWidth, 640) << c.name;
  EXPECT_EQ(settings.MonitorHeight, 480) << c.name;
  EXPECT_EQ(Channel() == nullptr, c.savesPresetsAtOnce) << c.name;
  EXPECT_EQ(PresetFileExists(), c.savesPresetsAtOnce) << c.name;
  // The monitor's own close leaves the recording object to the end of the
  // program, which still saves the operator's presets.
  ui::DestroyWindows();
  EXPECT_TRUE(PresetFileExists()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Routes, IdleShutdown,
    ::testing::Values(RouteCase{"exit-page", Route::kExitPage, true, true, true},
                      RouteCase{"panel-close", Route::kPanelClose, false, true, true},
                      RouteCase{"monitor-close", Route::kMonitorClose, false, false, false}),
    [](const auto& param) { return std::to_string(param.index); });

TEST_F(Shutdown, DuringARecordingTheExitPageAsksAndNoGoesBack) {
  Action("actStart").trigger();
  ASSERT_TRUE(Channel()->Recording);
  QSignalSpy ended(ui::F_MONITOR, &ui::TF_MONITOR::Closed);
  Pages().setCurrentIndex(Page::kTabAbout);
  Pages().setCurrentIndex(Page::kTabExit);
  EXPECT_EQ(Pages().currentIndex(), Page::kTabExit);
  EXPECT_EQ(ui::F_CONTROL->PreviousPage, Page::kTabAbout);
  EXPECT_EQ(ended.count(), 0);
  Panel<QPushButton>("bNo").click();
  EXPECT_EQ(Pages().currentIndex(), Page::kTabAbout);
  EXPECT_TRUE(Channel()->Recording);
  EXPECT_EQ(ended.count(), 0);
}

TEST_F(Shutdown, DuringARecordingYesStopsItCompletesTheFileAndEnds) {
  Type("pINTERVAL", QStringLiteral("0.5"));
  Action("actStart").trigger();
  ASSERT_TRUE(Channel()->Recording);
  ui::F_CONTROL->TimerIntervalTimer();
  const std::string file = Channel()->RecordFileName;
  QSignalSpy ended(ui::F_MONITOR, &ui::TF_MONITOR::Closed);
  Pages().setCurrentIndex(Page::kTabExit);
  Panel<QPushButton>("bYes").click();
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(Channel(), nullptr);
  EXPECT_EQ(settings.SampleInterval, 0.5);
  const std::string bytes = testing::ReadAll(file);
  // The row count replaced its blank placeholder: the file was completed.
  EXPECT_NE(bytes.find("Data-Count:      1\r\n"), std::string::npos);
}

TEST_F(Shutdown, DuringARecordingBothCloseBoxesShowTheExitPageInstead) {
  Action("actStart").trigger();
  ASSERT_TRUE(Channel()->Recording);
  QSignalSpy ended(ui::F_MONITOR, &ui::TF_MONITOR::Closed);
  Pages().setCurrentIndex(Page::kTabAbout);
  Pages().setCurrentIndex(Page::kTabMonitor);
  for (const Route route : {Route::kPanelClose, Route::kMonitorClose}) {
    Take(route);
    EXPECT_EQ(Pages().currentIndex(), Page::kTabExit);
    EXPECT_EQ(ui::F_CONTROL->PreviousPage, Page::kTabAbout) << "a switch by the program keeps it";
    EXPECT_TRUE(ui::F_CONTROL->isVisible());
    EXPECT_TRUE(ui::F_MONITOR->isVisible());
    EXPECT_TRUE(Channel()->Recording);
    Panel<QPushButton>("bNo").click();
  }
  EXPECT_EQ(ended.count(), 0);
  EXPECT_EQ(settings.MonitorWidth, 700) << "a refused close stores nothing";
}

}  // namespace
}  // namespace vexa
