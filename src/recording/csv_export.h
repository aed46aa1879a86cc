// A loaded recording as CSV (RFC 4180, UTF-8, CR LF) for spreadsheets and
// analysis tools: a header row, then one row per sample with the clock time,
// the elapsed seconds, one column per channel in the file's column order and
// the mark.
#pragma once

#include <string>
#include <string_view>

#include "core/atomic_file.h"

namespace vexa {

class TChannel;

// A field quoted when it holds a comma, a double quote, CR or LF; quotes
// inside are doubled.
std::string CsvField(std::string_view text);

// The CSV text of the recording loaded last into channel's chart
// (ReadHeader + LoadRecording). Clock times are "yyyy-mm-dd hh:mm:ss", with
// ".mmm" when the interval is not a whole number of seconds; they count from
// the header's start time exactly as the chart's labels do. A channel value
// the row did not hold is an empty field.
std::string RecordingToCsv(const TChannel& channel);

// RecordingToCsv written to path, replacing it only once complete.
FileResult ExportCsv(const TChannel& channel, const std::string& path);

}  // namespace vexa
