// Chart images beside the recording (the control panel's picture button and
// Ctrl+B): each press takes the next numbered name from the recording
// object and writes the chart, as the monitor shows it at its size on
// screen, as a BMP file.
#pragma once

#include <QSize>
#include <string>

#include "chart/chart.h"
#include "core/atomic_file.h"

namespace vexa {
class TChannel;
}

namespace vexa::platform {

// The chart drawn at `size` (white under anything it leaves unpainted) and
// written to path as a 24-bit BMP, replacing a file of that name whole.
FileResult WriteChartBitmap(chart::Chart& chart, QSize size, const std::string& path);

struct ChartImageResult {
  std::string path;     // the name used, also when writing failed
  std::string message;  // empty when written; else what the message window shows
  bool ok() const { return message.empty(); }
};

// NextImageFileName, then the chart of channel drawn at `size` into that
// file. A file that cannot be written gives message 1 ("Error write file: ")
// in `language` followed by the reason, which names the file; the counter has advanced all
// the same, so the next press takes the next number.
ChartImageResult SaveChartImage(TChannel& channel, QSize size, int language);

}  // namespace vexa::platform
