// The chart widget turns the mouse into the model's gestures and raises the
// model's events after them, and paints once however often it is asked.
#include "ui/chart_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace vexa {
namespace {

class ChartWidgetTest : public ::testing::Test {
 protected:
  ChartWidgetTest() : widget(chart) {
    for (int i = 0; i < 100; ++i) {
      a.Add(i % 10);
      b.Add(5);
    }
    a.Title = "a";
    b.Title = "b";
    chart.AddSeries(&a);
    chart.AddSeries(&b);
    chart.BottomAxis().Automatic = true;
    chart.OnZoom = [this](chart::PixelRect) { events << "zoom"; };
    chart.OnUndoZoom = [this] { events << "undo"; };
    chart.OnScroll = [this] { events << "scroll"; };
    chart.OnClickLegend = [this](int i) { events << QString("legend %1").arg(i); };
    widget.resize(640, 400);
    widget.show();
    QApplication::processEvents();
  }

  void Send(QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::MouseButtons held) {
    QMouseEvent e(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &e);
  }
  void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
    Send(QEvent::MouseButtonPress, button, from, button);
    Send(QEvent::MouseMove, Qt::NoButton, (from + to) / 2, button);
    Send(QEvent::MouseMove, Qt::NoButton, to, button);
    Send(QEvent::MouseButtonRelease, button, to, Qt::NoButton);
  }

  chart::Series a, b;
  chart::Chart chart;
  ui::ChartWidget widget;
  QStringList events;
};

TEST_F(ChartWidgetTest, LeftDragsZoomOrUndoAndRightDragsPan) {
  const chart::PixelRect plot = chart.Layout().plot;
  const QPoint centre((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2);
  Drag(Qt::LeftButton, centre, centre + QPoint(5, 40));  // under 10 pixels across: nothing
  EXPECT_TRUE(events.isEmpty());
  Drag(Qt::LeftButton, centre, centre + QPoint(60, 40));
  EXPECT_EQ(events, QStringList{"zoom"});
  EXPECT_TRUE(chart.Zoomed());
  EXPECT_GT(chart.BottomAxis().Minimum(), 0.0);
  Drag(Qt::LeftButton, centre, centre - QPoint(30, 0));
  EXPECT_EQ(events.last(), "undo");
  EXPECT_FALSE(chart.Zoomed());
  const double before = chart.BottomAxis().Minimum();
  Drag(Qt::RightButton, centre, centre + QPoint(50, 0));
  EXPECT_EQ(events.last(), "scroll");
  EXPECT_LT(chart.BottomAxis().Minimum(), before) << "dragging right shows earlier values";
}

TEST_F(ChartWidgetTest, LegendClickTogglesItsSeries) {
  const std::vector<chart::LegendRow> rows = chart::LegendRows(chart.Layout().legend, 2);
  ASSERT_EQ(rows.size(), 2u);
  const QPoint second((rows[1].row.left + rows[1].row.right) / 2, (rows[1].row.top + rows[1].row.bottom) / 2);
  Send(QEvent::MouseButtonPress, Qt::LeftButton, second, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, Qt::LeftButton, second, Qt::NoButton);
  EXPECT_TRUE(a.Active);
  EXPECT_FALSE(b.Active);
  EXPECT_EQ(events, QStringList{"legend 1"});
}

QStringList* g_lines = nullptr;
void Collect(QtMsgType, const QMessageLogContext& context, const QString& text) {
  if (g_lines && QString(context.category) == "vexa.chart.paint") *g_lines << text;
}

TEST_F(ChartWidgetTest, ManyRefreshesBeforeAPaintGiveOnePaintAndOneLogLine) {
  QApplication::processEvents();
  QStringList lines;
  g_lines = &lines;
  QLoggingCategory::setFilterRules("vexa.chart.paint.debug=true");
  const QtMessageHandler previous = qInstallMessageHandler(Collect);
  for (int i = 0; i < 50; ++i) {
    a.Add(i);
    widget.Refresh();
  }
  QApplication::processEvents();  // one event-loop turn: the 50 requests make one paint
  qInstallMessageHandler(previous);
  QLoggingCategory::setFilterRules("vexa.chart.paint.debug=false");
  g_lines = nullptr;
  ASSERT_EQ(lines.size(), 1) << lines.join("\n").toStdString();
  EXPECT_TRUE(lines[0].contains(QRegularExpression(R"(^paint \d+\.\d\d ms 250 points 640x400$)")))
      << lines[0].toStdString();
}

}  // namespace
}  // namespace vexa
