#include "recording/csv_export.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <span>
#include <system_error>

#include "chart/labels.h"
#include "core/cp1251.h"
#include "core/datetime.h"
#include "core/numtext.h"
#include "core/own_texts.h"
#include "core/paths.h"
#include "recording/channel.h"
#include "recording/folder_scan.h"
#include "recording/record_format.h"

namespace vexa {

namespace {

// The shortest text that reads back as the stored value (values are kept as
// floats, so 0.6 reads "0.6" and not its double expansion).
std::string ValueText(double v) {
  if (std::isnan(v)) return {};
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v));
  return std::string(buf, r.ptr);
}

// Seconds to the millisecond. A span no clock could show (an absurd header
// interval) keeps its magnitude in exponent form instead of overflowing.
std::string SecondsText(double seconds) {
  if (!(seconds < 1e15)) return FormatGeneral(seconds);
  return FormatGeneral(std::round(seconds * 1000.0) / 1000.0);
}

std::string ClockText(double t, bool withMs) {
  const DateTimeParts p = DecodeDateTime(t);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  std::string s = buf;
  if (withMs) {
    std::snprintf(buf, sizeof buf, ".%03d", p.millisecond);
    s += buf;
  }
  return s;
}

}  // namespace

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string CsvText(std::string_view text) {
  std::string clean = WithoutControls(text);
  if (!clean.empty() && std::string_view("=+-@").find(clean.front()) != std::string_view::npos) {
    clean.insert(0, 1, '\'');
  }
  return CsvField(clean);
}

std::string ExportOutputProblem(const std::string& input, const std::string& output,
                                std::string_view extension, int language) {
  std::error_code ec;
  if (!input.empty() && std::filesystem::equivalent(PathFromUtf8(input), PathFromUtf8(output), ec)) {
    return output + OwnText(Own::kExportIsRecording, language);
  }
  if (HasRecordExtension(output)) {
    return output + OwnText(Own::kExportNamesRecording, language) + std::string(extension);
  }
  return {};
}

std::string CsvOutputProblem(const std::string& input, const std::string& output) {
  return ExportOutputProblem(input, output, ".csv");
}

std::string CsvTimeCells(const TChannel& ch, std::size_t k) {
  const bool withMs = std::fmod(ch.IntervalSeconds, 1.0) != 0.0;
  // IntervalTime is 0 for an interval that is no positive number; so is this.
  const double interval = ch.IntervalTime > 0 ? ch.IntervalSeconds : 0.0;
  const double rows = static_cast<double>(k);
  return ClockText(ch.StartedTime + rows * ch.IntervalTime, withMs) + "," +
         SecondsText(rows * interval);
}

std::string RecordingToCsv(const TChannel& ch, TProgress* progress) {
  std::vector<const chart::Series*> columns;
  if (ch.Chart) {
    for (int k = 3; k < ch.Chart->SeriesCount(); ++k) columns.push_back(&ch.Chart->SeriesAt(k));
  }
  std::string out = "\xEF\xBB\xBF";  // UTF-8's byte-order mark
  out += "Clock time,Elapsed (s)";
  for (const chart::Series* s : columns) out += "," + CsvText(s->Title);
  out += ",Mark\r\n";

  const std::size_t rows = ch.AbsTimeSeries.Count();
  if (progress) {
    progress->SetMaximum(static_cast<int>(std::min<std::size_t>(rows, INT32_MAX)));
    progress->SetVisible(true);
  }
  for (std::size_t i = 0; i < rows; ++i) {
    if (progress && i % 1024 == 0) progress->SetPosition(static_cast<int>(std::min<std::size_t>(i, INT32_MAX)));
    out += CsvTimeCells(ch, i + 1);
    for (const chart::Series* s : columns) out += "," + ValueText(s->Value(i));
    out += ",";
    if (!ch.MarksSeries.IsNull(i)) out += CsvText(ch.MarksSeries.LabelText(i));
    out += "\r\n";
  }
  if (progress) progress->SetVisible(false);
  return out;
}

FileResult ExportCsv(const TChannel& channel, const std::string& path, TProgress* progress, int language) {
  if (std::string problem = ExportOutputProblem(channel.LoadFileName, path, ".csv", language); !problem.empty()) {
    return {false, problem};
  }
  const std::string text = RecordingToCsv(channel, progress);
  return WriteFileAtomic(path, std::as_bytes(std::span(text.data(), text.size())));
}

}  // namespace vexa
