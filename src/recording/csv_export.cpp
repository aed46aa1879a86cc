#include "recording/csv_export.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <span>

#include "chart/labels.h"
#include "core/datetime.h"
#include "core/numtext.h"
#include "recording/channel.h"

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

std::string RecordingToCsv(const TChannel& ch) {
  std::vector<const chart::Series*> columns;
  if (ch.Chart) {
    for (int k = 3; k < ch.Chart->SeriesCount(); ++k) columns.push_back(&ch.Chart->SeriesAt(k));
  }
  std::string out = "Clock time,Elapsed (s)";
  for (const chart::Series* s : columns) out += "," + CsvField(s->Title);
  out += ",Mark\r\n";

  const bool withMs = std::fmod(ch.IntervalSeconds, 1.0) != 0.0;
  const std::size_t rows = ch.AbsTimeSeries.Count();
  // The same sum the loader labels its rows with, so the times agree.
  double t = ch.StartedTime;
  for (std::size_t i = 0; i < rows; ++i) {
    t += ch.IntervalTime;
    out += ClockText(t, withMs);
    const double days = t - ch.StartedTime;
    const long long ms = days > 0 && std::isfinite(days) ? std::llround(days * 86400000.0) : 0;
    out += "," + FormatGeneral(static_cast<double>(ms) / 1000.0);
    for (const chart::Series* s : columns) out += "," + ValueText(s->Value(i));
    out += ",";
    if (!ch.MarksSeries.IsNull(i)) out += CsvField(ch.MarksSeries.LabelText(i));
    out += "\r\n";
  }
  return out;
}

FileResult ExportCsv(const TChannel& channel, const std::string& path) {
  const std::string text = RecordingToCsv(channel);
  return WriteFileAtomic(path, std::as_bytes(std::span(text.data(), text.size())));
}

}  // namespace vexa
