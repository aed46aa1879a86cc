// A printed chart page, drawn the same way for the print window's preview,
// its Print button (a QPrinter) and vexa-render (a PDF): white paper, the
// chart stretched into the page inside its print margins, up to four title
// lines above it, no legend, colour or black-and-white.
//
// Paper is not a screen: a printer has hundreds of dots per inch, so a chart
// drawn in its dots would have hair-thin lines and unreadable texts. The
// chart is therefore laid out and drawn at the size a screen would show the
// page (its longer side kLogicalPageLongSide pixels) and the painter scales
// that up to the page: lines, fonts and bands keep their size relative to
// the paper whatever the printer's resolution.
#pragma once

#include <QLocale>
#include <QRectF>
#include <QSize>
#include <string>
#include <vector>

#include "chart/chart.h"
#include "core/atomic_file.h"
#include "core/settings.h"
#include "platform/chart_painter.h"
#include "recording/print_title.h"

class QPainter;
class QPagedPaintDevice;

namespace vexa {
class TChannel;
}

namespace vexa::platform {

// A4's longer side at 96 dots per inch.
inline constexpr int kLogicalPageLongSide = 1123;

// The start time as the system writes a date-time: its short date and its
// long time (without a time-zone name: the recording's times are local
// times without one); only the date at exactly midnight, only the time for
// a value below 1 (no date part).
std::string FormatTitleDateTime(double dateTime, const QLocale& locale);
// The shortest text of a number (at most 15 significant digits) with the
// locale's decimal separator.
std::string FormatTitleNumber(double value, const QLocale& locale);
TitleFormat LocaleTitleFormat(const QLocale& locale);

struct PrintPageOptions {
  bool landscape = true;
  bool colour = false;
  PrintTitle title;
  // Custom axes whose labels and axis line are light grey for the black
  // screen: black on the page while printing in colour.
  std::vector<int> timeAxes;
};

// The stored print choices (PrintLandscape, PrintColor, the title-line
// settings) for the recording the chart shows, with its title lines in the
// applied language and the locale's formats.
PrintPageOptions PrintPageOptionsFor(const TGLOB& settings, const TChannel& channel,
                                     const QLocale& locale = QLocale::system());

struct PrintPageLayout {
  QRectF chart;        // on the page, in the painter's units
  QSize logical;       // the size the chart is laid out and drawn at
  double scale = 1.0;  // painter units per logical pixel
};

// The chart's rectangle inside chart.PrintMargins (left and right in percent
// of the page's width, top and bottom of its height).
PrintPageLayout LayoutPrintPage(const chart::Chart& chart, const QRectF& page);

// Draws one page into `page` (painter units). The chart is changed only
// while it is drawn: legend, title, monochrome mode and time-axis colours
// are as before afterwards, and so is its layout for the screen. An empty
// page draws nothing.
PaintReport PaintPrintPage(chart::Chart& chart, QPainter& painter, const QRectF& page,
                           const PrintPageOptions& options);

// Portrait or landscape, as the options say (before painting begins).
void ApplyPageOrientation(QPagedPaintDevice& device, const PrintPageOptions& options);

// A whole page on a printer or PDF writer (the Print button, the preview's
// paint request): the orientation, then PaintPrintPage over the device's
// paint area. The printer's colour mode is the caller's. False when painting
// cannot begin on the device.
bool PrintPage(chart::Chart& chart, QPagedPaintDevice& device, const PrintPageOptions& options);

// The page as an image of the given size: the preview, and tests.
QImage RenderPrintPage(chart::Chart& chart, QSize size, const PrintPageOptions& options);

// One A4 page as a PDF file, its title lines as text. The file is replaced
// whole or not at all; error says why it could not be written.
FileResult WritePrintPdf(chart::Chart& chart, const std::string& path, const PrintPageOptions& options);

}  // namespace vexa::platform
