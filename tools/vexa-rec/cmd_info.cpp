// vexa-rec info FILE: a recording opened as the open window opens it, then
// its header fields, a summary of each channel's points and the mark count.
#include <cmath>
#include <cstdio>
#include <string>

#include "core/cp1251.h"
#include "core/datetime.h"
#include "core/numtext.h"
#include "options.h"
#include "recording/record_format.h"
#include "recording/record_header.h"

namespace vexa::rec {

namespace {

// One decimal as the file writes it, more only when the value has them; a
// value beyond any measurement (a damaged header) in exponent form rather
// than hundreds of digits.
std::string Number(double v) {
  const bool plain = std::fabs(v) < 1e15 && std::trunc(v * 10) == v * 10;
  return plain ? FormatFixed(v, 1) : FormatGeneral(v);
}

void Field(int key, const std::string& value) {
  std::printf("%s: %s\n", kHeaderKeys[key], value.c_str());
}

}  // namespace

int RunInfo(const Args& args) {
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
    std::fprintf(stderr, "vexa-rec info: one recording file expected\nusage: vexa-rec info FILE\n");
    return 2;
  }
  RecordingReader reader;
  TChannel& channel = reader.channel;
  // The header's own row count: loading replaces DataCount by the rows found.
  const bool read = channel.ReadHeader(args[0]) == 0;
  const int32_t stored = read ? channel.DataCount : 0;
  // The slot still holds its placeholder: the session never stopped.
  TRecordingHeader header;
  const bool interrupted = read && ReadRecordingHeader(args[0], header) == 0 && header.dataCountBlank;
  if (const int status = OpenRecording(channel, args[0], "info")) return status;

  // Texts from the file go to a terminal: no control character of theirs may
  // move the cursor, clear the screen or begin a line that looks like a field.
  Field(kKeyFormatVersion, std::to_string(channel.HeaderFormatVersion));
  Field(kKeyDeviceName, WithoutControls(channel.HeaderDeviceName));
  Field(kKeyChannelsCount, std::to_string(channel.HeaderChannelsCount));
  Field(kKeyStarted, FormatDateTime(channel.StartedTime));
  Field(kKeyStopped, FormatDateTime(channel.StoppedTime));
  Field(kKeyInterval, Number(channel.IntervalSeconds));
  Field(kKeyDescription, WithoutControls(channel.RecordDescription));
  std::string count = std::to_string(stored);
  std::string notes;
  if (interrupted) notes = "interrupted: ";
  if (stored != channel.DataCount || interrupted) notes += std::to_string(channel.DataCount) + " rows found";
  if (channel.TornLastRow) notes += std::string(notes.empty() ? "" : "; ") + "a torn last row left out";
  if (!notes.empty()) count += " (" + notes + ")";
  Field(kKeyDataCount, count);
  const int columns = std::max(0, std::min(channel.ColumnNameCount, kMaxColumnNames));
  std::string names, colours;
  for (int i = 0; i < columns; ++i) {
    names += (i ? "\t" : "") + WithoutControls(channel.ColumnNames[i]);
    if (i + 1 < columns) colours += std::to_string(channel.ColumnColors[i]) + "\t";
  }
  Field(kKeyColumnHeader, names);
  Field(kKeyDataColor, colours);
  Field(kKeyAtmPressure, Number(channel.OwnPreset.AtmPressure));
  Field(kKeyBodyMass, Number(channel.OwnPreset.BodyMass));
  Field(kKeyTempEnviroment, Number(channel.OwnPreset.AirTemperature));
  Field(kKeyHumidity, Number(channel.OwnPreset.Humidity));

  for (int k = 3; k < reader.chart.SeriesCount(); ++k) {
    const chart::Series& s = reader.chart.SeriesAt(k);
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.Count(); ++i) {
      if (!s.IsNull(i)) {
        sum += s.Value(i);
        ++n;
      }
    }
    const chart::MinMax range = s.ValueRange();
    if (n == 0 || !range.valid) {
      std::printf("%s: points=%zu min=- max=- mean=-\n", s.Title.c_str(), s.Count());
    } else {
      std::printf("%s: points=%zu min=%s max=%s mean=%s\n", s.Title.c_str(), s.Count(),
                  FormatFixed(range.min, 1).c_str(), FormatFixed(range.max, 1).c_str(),
                  FormatFixed(sum / static_cast<double>(n), 2).c_str());
    }
  }
  std::size_t marks = 0;
  for (std::size_t i = 0; i < channel.MarksSeries.Count(); ++i) {
    if (!channel.MarksSeries.IsNull(i)) ++marks;
  }
  std::printf("Marks: %zu\n", marks);
  return 0;
}

}  // namespace vexa::rec
