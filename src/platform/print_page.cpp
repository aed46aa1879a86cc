#include "platform/print_page.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <span>

#include "core/datetime.h"
#include "core/numtext.h"
#include "recording/channel.h"

namespace vexa::platform {

namespace {

// A locale's long time format without its time-zone name ("t", unquoted):
// Qt's formats carry one, the system's own long time does not.
QString WithoutTimeZone(const QString& format) {
  QString out;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == u'\'') quoted = !quoted;
    if (!quoted && c == u't') continue;
    out += c;
  }
  return out.trimmed();
}

// While a page is drawn the chart shows what paper needs; the destructor
// puts back what the screen shows.
class PrintState {
 public:
  PrintState(chart::Chart& chart, const PrintPageOptions& options)
      : chart_(chart),
        legend_(chart.Legend.Visible),
        lines_(chart.TitleLines),
        title_(chart.TitleVisible),
        mono_(chart.Monochrome) {
    chart.Legend.Visible = false;  // the legend is not printed
    chart.TitleLines = options.title.lines;
    chart.TitleVisible = options.title.visible;
    chart.Monochrome = !options.colour;
    for (int i : options.timeAxes) {
      if (i < 0 || i >= chart.CustomAxisCount()) continue;
      chart::Axis& a = chart.CustomAxis(i);
      axes_.push_back({i, a.LabelsFontColor, a.AxisLineColor});
      // Light grey shows on the black screen, not on white paper.
      if (options.colour) a.LabelsFontColor = a.AxisLineColor = 0x000000;
    }
  }
  ~PrintState() {
    chart_.Legend.Visible = legend_;
    chart_.TitleLines = std::move(lines_);
    chart_.TitleVisible = title_;
    chart_.Monochrome = mono_;
    for (const SavedAxis& s : axes_) {
      chart_.CustomAxis(s.index).LabelsFontColor = s.labels;
      chart_.CustomAxis(s.index).AxisLineColor = s.line;
    }
  }
  PrintState(const PrintState&) = delete;
  PrintState& operator=(const PrintState&) = delete;

 private:
  struct SavedAxis {
    int index;
    chart::ColorRef labels, line;
  };
  chart::Chart& chart_;
  bool legend_;
  std::vector<std::string> lines_;
  bool title_;
  bool mono_;
  std::vector<SavedAxis> axes_;
};

}  // namespace

std::string FormatTitleDateTime(double dateTime, const QLocale& locale) {
  const DateTimeParts p = DecodeDateTime(dateTime);
  const QString time =
      locale.toString(QTime(p.hour, p.minute, p.second), WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
  if (!(dateTime >= 1.0)) return time.toStdString();
  const QString date = locale.toString(QDate(p.year, p.month, p.day), QLocale::ShortFormat);
  const bool midnight = p.hour == 0 && p.minute == 0 && p.second == 0 && p.millisecond == 0;
  return (midnight ? date : date + u' ' + time).toStdString();
}

std::string FormatTitleNumber(double value, const QLocale& locale) {
  std::string text = FormatGeneral(value);
  const std::string point = QString(locale.decimalPoint()).toStdString();
  if (const std::size_t dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, point);
  return text;
}

TitleFormat LocaleTitleFormat(const QLocale& locale) {
  return {[locale](double t) { return FormatTitleDateTime(t, locale); },
          [locale](double v) { return FormatTitleNumber(v, locale); }};
}

PrintPageOptions PrintPageOptionsFor(const TGLOB& settings, const TChannel& channel, const QLocale& locale) {
  PrintPageOptions o;
  o.landscape = settings.PrintLandscape;
  o.colour = settings.PrintColor;
  o.title = BuildPrintTitle(settings, channel, LocaleTitleFormat(locale));
  for (int axis : {channel.AbsTimeAxis, channel.RelTimeAxis}) {
    if (axis >= 0) o.timeAxes.push_back(axis);
  }
  return o;
}

PrintPageLayout LayoutPrintPage(const chart::Chart& chart, const QRectF& page) {
  PrintPageLayout l;
  auto percent = [](int p) { return std::clamp(p, 0, 45) / 100.0; };
  const auto& m = chart.PrintMargins;  // left, top, right, bottom
  l.chart = page.adjusted(page.width() * percent(m[0]), page.height() * percent(m[1]),
                          -page.width() * percent(m[2]), -page.height() * percent(m[3]));
  const double longSide = std::max(page.width(), page.height());
  l.scale = longSide > 0 ? longSide / kLogicalPageLongSide : 1.0;
  l.logical = QSize(std::max(1, static_cast<int>(std::lround(l.chart.width() / l.scale))),
                    std::max(1, static_cast<int>(std::lround(l.chart.height() / l.scale))));
  return l;
}

PaintReport PaintPrintPage(chart::Chart& chart, QPainter& painter, const QRectF& page,
                           const PrintPageOptions& options) {
  if (!(page.width() >= 1 && page.height() >= 1)) return {};
  const chart::ChartLayout screen = chart.Layout();
  const PrintPageLayout layout = LayoutPrintPage(chart, page);
  painter.save();
  painter.fillRect(page, Qt::white);
  PaintReport report;
  {
    const PrintState state(chart, options);
    painter.translate(layout.chart.topLeft());
    painter.scale(layout.chart.width() / layout.logical.width(), layout.chart.height() / layout.logical.height());
    report = PaintChart(chart, painter, QRect(QPoint(0, 0), layout.logical), {.paper = true});
  }
  painter.restore();
  // PaintChart restored the screen layout with the page's title lines in
  // place; with the screen's state back, lay it out once more.
  if (screen.valid) chart.UpdateLayout(screen.chart.right + 1, screen.chart.bottom + 1);
  return report;
}

void ApplyPageOrientation(QPagedPaintDevice& device, const PrintPageOptions& options) {
  device.setPageOrientation(options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool PrintPage(chart::Chart& chart, QPagedPaintDevice& device, const PrintPageOptions& options) {
  ApplyPageOrientation(device, options);
  QPainter painter;
  if (!painter.begin(&device)) return false;
  PaintPrintPage(chart, painter, QRectF(0, 0, device.width(), device.height()), options);
  return painter.end();
}

QImage RenderPrintPage(chart::Chart& chart, QSize size, const PrintPageOptions& options) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintPrintPage(chart, painter, QRectF(QPointF(0, 0), QSizeF(size)), options);
  return image;
}

FileResult WritePrintPdf(chart::Chart& chart, const std::string& path, const PrintPageOptions& options) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("VEXA"));
    writer.setTitle(QFileInfo(QString::fromStdString(path)).completeBaseName());
    // The page's own margins are the chart's print margins.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    if (!PrintPage(chart, writer, options)) return FileResult::Failed(Own::kPdfNotDrawn, {path});
  }
  const QByteArray& bytes = buffer.data();
  return WriteFileAtomic(path, std::as_bytes(std::span(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

}  // namespace vexa::platform
