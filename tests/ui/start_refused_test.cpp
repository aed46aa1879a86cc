// A start that fails after the chart was built anew from the preset (the
// port of the flow meter missing) while a recording was shown: the monitor
// shows the preset's empty chart at once, titled plainly, and there is
// nothing to print or picture. A start refused before (an interval that is
// no number) leaves the recording shown as it was.
#include "link/test_env.h"
#include "ui/chart_widget.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using StartRefused = testing::ProgramFixture;

TEST_F(StartRefused, AfterTheChartWasRebuiltTheMonitorShowsItAtOnce) {
  test::ScopedEnv noMeter("VEXA_COM2", folder.File("no-such-device"));
  ASSERT_TRUE(ui::OpenRecordingPath(Example("rec", "2026-12-08 (14-23-05) test.vxa"), true));
  ui::ChartWidget& mon = ui::F_MONITOR->MON();
  auto onScreen = [&] { return mon.grab().toImage().convertToFormat(QImage::Format_RGB32); };
  auto asItIs = [&] { return mon.RenderImage().convertToFormat(QImage::Format_RGB32); };
  const QImage loaded = onScreen();
  const QString loadedTitle = ui::F_MONITOR->windowTitle();

  Type("pINTERVAL", "abc");
  Action("actStart").trigger();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(onScreen(), loaded) << "refused before anything changed";
  EXPECT_TRUE(Action("actPrint").isEnabled());
  EXPECT_TRUE(Action("actImage").isEnabled());
  EXPECT_EQ(ui::F_MONITOR->windowTitle(), loadedTitle);

  Type("pINTERVAL", "5");
  Action("actStart").trigger();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text.toStdString(), "Error init port COM 2");
  const QImage after = onScreen();
  EXPECT_EQ(after, asItIs()) << "the monitor shows the chart as it is now";
  EXPECT_NE(after, loaded);
  EXPECT_FALSE(Action("actPrint").isEnabled());
  EXPECT_FALSE(Action("actImage").isEnabled());
  EXPECT_EQ(ui::F_MONITOR->windowTitle().toStdString(), "VEXA:  Monitor");
}

}  // namespace
}  // namespace vexa
