// A loaded recording as CSV (RFC 4180, UTF-8 after a byte-order mark, CR LF)
// for spreadsheets and analysis tools: a header row, then one row per sample
// with the clock time, the elapsed seconds, one column per channel in the
// file's column order and the mark. The byte-order mark is what spreadsheets
// on Windows look for to read UTF-8 (Cyrillic marks) rather than the ANSI
// code page.
#pragma once

#include <string>
#include <string_view>

#include "core/atomic_file.h"

namespace vexa {

class TChannel;

// A field quoted when it holds a comma, a double quote, CR or LF; quotes
// inside are doubled.
std::string CsvField(std::string_view text);

// A text cell from a file (a mark, a title): control characters dropped, and
// a leading "=", "+", "-" or "@" preceded by "'", so that a spreadsheet shows
// the text instead of running it as a formula; then quoted as CsvField does.
std::string CsvText(std::string_view text);

class TProgress;

// Why an export of the recording read from `input` must not be written to
// `output`: it is that recording (the same file however named or linked:
// device and inode, or file index), or a name ending in ".vxa", which is a
// recording's (the advice names the export's own `extension`, ".csv" or
// ".edf"). In language 0 (English) or 1 (Russian); "" when it may.
std::string ExportOutputProblem(const std::string& input, const std::string& output,
                                std::string_view extension, int language = 0);
// ExportOutputProblem for a CSV file, in English.
std::string CsvOutputProblem(const std::string& input, const std::string& output);

// The CSV text of the recording loaded last into channel's chart
// (ReadHeader + LoadRecording). Clock times are "yyyy-mm-dd hh:mm:ss", with
// ".mmm" when the interval is not a whole number of seconds; row k (from 1)
// is the header's start time plus k intervals, exactly as the chart labels
// it. A channel value the row did not hold is an empty field.
// progress, when given, runs from 0 to the number of rows.
std::string RecordingToCsv(const TChannel& channel, TProgress* progress = nullptr);

// The clock-time and elapsed-seconds cells of row k (from 1): the start
// time plus k intervals, from the row number as the loader labels the row,
// so the two never drift apart over a long recording.
std::string CsvTimeCells(const TChannel& channel, std::size_t k);

// RecordingToCsv written to path, replacing it only once complete; refused
// (nothing written) when CsvOutputProblem names a reason.
FileResult ExportCsv(const TChannel& channel, const std::string& path, TProgress* progress = nullptr,
                     int language = 0);

}  // namespace vexa
