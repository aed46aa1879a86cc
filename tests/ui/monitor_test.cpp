// The monitor's chart handlers with real mouse drags on MON: in the stacked
// arrangement a vertical zoom, its undo and a pan act on the band where the
// drag began and remember the ranges per axis; a horizontal zoom (Shift)
// takes the time axes off their automatic scale and its undo gives it back.
#include <QCheckBox>
#include <QLayout>
#include <QTest>

#include "ui/chart_widget.h"
#include "ui/support/program_fixture.h"

namespace vexa {
namespace {

class MonitorGestures : public testing::ProgramFixture {
 protected:
  void Prepare() override { settings.OneAxes = true; }  // V below, M above

  void SetUp() override {
    ProgramFixture::SetUp();
    ui::F_MONITOR->layout()->activate();
    for (int i = 0; i < 50; ++i) Channel()->SeriesV.Add(0.5);
    for (int i = 0; i < 50; ++i) Channel()->SeriesM.Add(40);
    Chart().UpdateLayout(Mon().width(), Mon().height());
  }
  static chart::Chart& Chart() { return ui::F_MONITOR->Chart(); }
  static ui::ChartWidget& Mon() { return ui::F_MONITOR->MON(); }
  static chart::Axis& Axis(int i) { return Chart().CustomAxis(i); }
  // A point inside axis i's band, `down` pixels below its top.
  static QPoint In(int i, int down) { return {Mon().width() / 3, Axis(i).IStartPos + down}; }

  static void Drag(Qt::MouseButton button, QPoint from, QPoint to,
                   Qt::KeyboardModifiers keys = {}) {
    QTest::mousePress(&Mon(), button, keys, from);
    QTest::mouseMove(&Mon(), (from + to) / 2);
    QTest::mouseMove(&Mon(), to);
    QTest::mouseRelease(&Mon(), button, keys, to);
  }
};

constexpr int kV = 3, kM = 4;  // custom-axis indices of the default preset's channels

TEST_F(MonitorGestures, AVerticalZoomAndItsUndoActOnTheBandWhereTheDragBegan) {
  ASSERT_GT(Mon().height(), 300);
  ASSERT_LT(Axis(kM).IEndPos, Axis(kV).IStartPos) << "M's band lies above V's";
  const QPoint from = In(kM, 20), to = from + QPoint(60, 40);
  const double top = Axis(kM).CalcPosPoint(from.y()), bottom = Axis(kM).CalcPosPoint(to.y());

  Drag(Qt::LeftButton, from, to);
  EXPECT_DOUBLE_EQ(Axis(kM).Minimum(), bottom);
  EXPECT_DOUBLE_EQ(Axis(kM).Maximum(), top);
  EXPECT_DOUBLE_EQ(Channel()->ViewMin[kM], bottom);
  EXPECT_DOUBLE_EQ(Channel()->ViewMax[kM], top);
  EXPECT_DOUBLE_EQ(Axis(kV).Maximum(), 1.0) << "the other band keeps its range";

  Drag(Qt::LeftButton, In(kM, 30), In(kM, 10) - QPoint(30, 0));  // up and left: undo
  EXPECT_DOUBLE_EQ(Axis(kM).Minimum(), 0.0);
  EXPECT_DOUBLE_EQ(Axis(kM).Maximum(), 100.0);
  EXPECT_DOUBLE_EQ(Channel()->ViewMax[kM], 100.0);
  EXPECT_EQ(Mon().cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MonitorGestures, APanMovesOnlyTheBandWhereItBeganAndTheOthersSnapBack) {
  Drag(Qt::RightButton, In(kV, 40), In(kV, 80));
  EXPECT_GT(Axis(kV).Maximum(), 1.0);
  EXPECT_DOUBLE_EQ(Channel()->ViewMax[kV], Axis(kV).Maximum());
  EXPECT_DOUBLE_EQ(Axis(kM).Minimum(), 0.0);
  EXPECT_DOUBLE_EQ(Axis(kM).Maximum(), 100.0);
  EXPECT_FALSE(Panel<QCheckBox>("cbAutoScale").isChecked())
      << "a pan ends the automatic time scale";
}

TEST_F(MonitorGestures, AHorizontalZoomFixesTheTimeAxesAndItsUndoFreesThem) {
  const QPoint from = In(kV, 20), to = from + QPoint(100, 30);
  chart::Axis& time = Axis(Channel()->AbsTimeAxis);
  Chart().RecalculateAutomaticRanges();
  const double left = time.CalcPosPoint(from.x()), right = time.CalcPosPoint(to.x());
  Drag(Qt::LeftButton, from, to, Qt::ShiftModifier);
  EXPECT_FALSE(Panel<QCheckBox>("cbAutoScale").isChecked());
  EXPECT_FALSE(settings.AutoTimeScale);
  EXPECT_DOUBLE_EQ(time.Minimum(), left);
  EXPECT_DOUBLE_EQ(time.Maximum(), right);
  EXPECT_DOUBLE_EQ(Axis(kV).Maximum(), 1.0) << "channel axes keep their ranges";

  Drag(Qt::LeftButton, to, from, Qt::ShiftModifier);
  EXPECT_TRUE(Panel<QCheckBox>("cbAutoScale").isChecked());
  EXPECT_TRUE(time.Automatic);
}

TEST_F(MonitorGestures, ALegendClickSharesTheHeightAmongTheChannelsStillShown) {
  const std::vector<int> rows = Chart().LegendSeries();
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_EQ(rows[1], kM);
  // The legend row of M: find a pixel of it.
  QPoint hit(-1, -1);
  for (int y = 0; y < Mon().height() && hit.x() < 0; ++y) {
    for (int x = Mon().width() / 2; x < Mon().width(); x += 2) {
      if (Chart().LegendHit(x, y) == kM) {
        hit = {x, y};
        break;
      }
    }
  }
  ASSERT_GE(hit.x(), 0);
  QTest::mouseClick(&Mon(), Qt::LeftButton, {}, hit);
  EXPECT_FALSE(Chart().SeriesAt(kM).Active);
  EXPECT_DOUBLE_EQ(Axis(kV).StartPosition, 2.0) << "V alone takes the whole height";
  EXPECT_DOUBLE_EQ(Axis(kV).EndPosition, 100.0);
}

}  // namespace
}  // namespace vexa
