// The chart-option check boxes: setting a state from code runs the box's
// handler once, setting the state it has runs nothing; and the rules that
// tie boxes together (3D and rotate, the automatic time scale and
// scrolling, all axes automatic).
#include <QCheckBox>

#include "ui/chart_widget.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

using Option = ui::TChartOption;

class ChartOptions : public testing::ProgramFixture {
 protected:
  static QCheckBox& Box(const char* name) { return Panel<QCheckBox>(name); }
  static void Set(Option o, bool ticked) { ui::F_CONTROL->SetTicked(o, ticked); }
  static chart::Chart& Chart() { return ui::F_MONITOR->Chart(); }
  static bool RotateTool() { return ui::F_MONITOR->MON().RotateTool(); }
};

// One box per row: its setting, which its handler writes.
struct Handled {
  Option option;
  const char* box;
  bool TGLOB::*setting;
};
const Handled kHandled[] = {
    {Option::kLegend, "cbLegend", &TGLOB::ShowLegend},
    {Option::kMarks, "cbMARKS", &TGLOB::ShowMarks},
    {Option::kAbsTimeScale, "cbAbsTimeScale", &TGLOB::AbsTimeScale},
    {Option::k3D, "cb3D", &TGLOB::Show3D},
    {Option::kRotate, "cbRotate", &TGLOB::Rotate},
    {Option::kAutoScale, "cbAutoScale", &TGLOB::AutoTimeScale},
    {Option::kGrid, "cbGRID", &TGLOB::ShowGrid},
    {Option::kOneAxes, "cbONEAXES", &TGLOB::OneAxes},
    {Option::kAxisTitles, "cbAXTITLE", &TGLOB::ShowAxisTitles},
};

TEST_F(ChartOptions, AChangedStateRunsTheHandlerAndTheSameStateRunsNothing) {
  for (const Handled& h : kHandled) {
    const bool state = Box(h.box).isChecked();
    EXPECT_EQ(settings.*h.setting, state) << h.box << ": the settings start as the box shows";
    settings.*h.setting = !state;  // a handler run would put it back
    Set(h.option, state);
    EXPECT_EQ(settings.*h.setting, !state) << h.box << ": the same state ran the handler";
    Set(h.option, !state);
    EXPECT_EQ(settings.*h.setting, !state) << h.box;
    Set(h.option, state);
    EXPECT_EQ(settings.*h.setting, state) << h.box << ": a changed state did not run the handler";
  }
}

TEST_F(ChartOptions, HandlersApplyTheOptionToTheChart) {
  Set(Option::kLegend, false);
  EXPECT_FALSE(Chart().Legend.Visible);
  Set(Option::kMarks, false);
  EXPECT_FALSE(Channel()->MarksSeries.Active);
  Set(Option::kAbsTimeScale, false);
  EXPECT_FALSE(Chart().CustomAxis(Channel()->AbsTimeAxis).Visible);
  EXPECT_TRUE(Chart().CustomAxis(Channel()->RelTimeAxis).Visible);
  Set(Option::kGrid, false);
  Set(Option::kAxisTitles, false);
  for (int a = 3; a < Chart().CustomAxisCount(); ++a) {
    EXPECT_FALSE(Chart().CustomAxis(a).GridVisible);
    EXPECT_FALSE(Chart().CustomAxis(a).Title.Visible);
  }
  Set(Option::kOneAxes, true);
  EXPECT_EQ(Channel()->OneAxesMode, 1);
}

TEST_F(ChartOptions, Unticking3DDisablesRotateAndItsToolUntil3DIsBack) {
  ASSERT_TRUE(Box("cb3D").isChecked());
  ASSERT_TRUE(Box("cbRotate").isChecked());
  EXPECT_TRUE(RotateTool());
  Set(Option::k3D, false);
  EXPECT_FALSE(Chart().View3D);
  EXPECT_FALSE(Box("cbRotate").isEnabled());
  EXPECT_TRUE(Box("cbRotate").isChecked());
  EXPECT_FALSE(RotateTool());
  Set(Option::k3D, true);
  EXPECT_TRUE(Box("cbRotate").isEnabled());
  EXPECT_TRUE(RotateTool());
  Set(Option::kRotate, false);
  EXPECT_FALSE(RotateTool());
  EXPECT_FALSE(settings.Rotate);
}

TEST_F(ChartOptions, TheAutomaticTimeScaleTurnsScrollingOffWhateverTheScrollBoxShows) {
  ASSERT_TRUE(Box("cbAutoScale").isChecked());  // the default settings
  EXPECT_FALSE(Box("cbScrool").isEnabled());
  Set(Option::kScrool, true);
  Set(Option::kAutoScale, false);
  EXPECT_TRUE(Box("cbScrool").isEnabled());
  EXPECT_TRUE(settings.AutoScroll);
  EXPECT_FALSE(Chart().BottomAxis().Automatic);
  EXPECT_FALSE(Chart().CustomAxis(Channel()->AbsTimeAxis).Automatic);
  Set(Option::kAutoScale, true);
  EXPECT_FALSE(Box("cbScrool").isEnabled());
  EXPECT_FALSE(settings.AutoScroll);
  EXPECT_TRUE(Chart().CustomAxis(Channel()->RelTimeAxis).Automatic);
  Set(Option::kScrool, false);
  EXPECT_FALSE(settings.AutoScrollAtStart) << "the stored start state is never written";
}

TEST_F(ChartOptions, AllAxesAutomaticScalesEveryChannelAxisAndUntickingDoesNothing) {
  Channel()->SeriesV.Add(0.2);
  Channel()->SeriesV.Add(0.7);
  Channel()->SeriesM.Add(12);
  Channel()->SeriesM.Add(30);
  Set(Option::kAuto, true);
  for (int a = 3; a < Chart().CustomAxisCount(); ++a) {
    const chart::Axis& axis = Chart().CustomAxis(a);
    EXPECT_TRUE(axis.Automatic) << a;
    EXPECT_EQ(Channel()->ViewMin[a], axis.Minimum()) << a;
    EXPECT_EQ(Channel()->ViewMax[a], axis.Maximum()) << a;
  }
  EXPECT_EQ(Channel()->ViewMax[4], 30.0);
  Set(Option::kAuto, false);
  EXPECT_TRUE(Chart().CustomAxis(3).Automatic);
  EXPECT_FALSE(settings.AllVertAuto) << "the stored start state is never written";
}

TEST_F(ChartOptions, ChoosingTheLanguageOnScreenTouchesNoBox) {
  settings.ShowLegend = false;  // as if the box's handler had not run
  Panel<QAbstractButton>("rLANGUAGE0").click();
  EXPECT_TRUE(Box("cbLegend").isChecked());
  EXPECT_FALSE(settings.ShowLegend);
}

class StoredStartStates : public testing::ProgramFixture {
 protected:
  void Prepare() override {
    settings.AutoScrollAtStart = true;
    settings.AutoTimeScale = false;
    settings.OneAxes = true;
    settings.Show3D = false;
  }
};

TEST_F(StoredStartStates, TheBoxesStartFromTheStoredSettings) {
  EXPECT_TRUE(Panel<QCheckBox>("cbScrool").isChecked());
  EXPECT_TRUE(settings.AutoScroll);
  EXPECT_FALSE(Panel<QCheckBox>("cbAutoScale").isChecked());
  EXPECT_TRUE(Panel<QCheckBox>("cbONEAXES").isChecked());
  EXPECT_EQ(Channel()->OneAxesMode, 1);
  EXPECT_FALSE(Panel<QCheckBox>("cbRotate").isEnabled());
  EXPECT_FALSE(ui::F_MONITOR->MON().RotateTool());
}

}  // namespace
}  // namespace vexa
