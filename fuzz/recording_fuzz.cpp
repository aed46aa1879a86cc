// Feeds arbitrary bytes to the recording-file reader as a file: ReadHeader
// then LoadRecording. Neither may crash or read out of bounds, and a load
// that succeeds leaves one point per row in every series it filled; its CSV
// has a line per row, whatever the header's interval or the marks hold.
// Completing the file as an interrupted recording either leaves its bytes
// as they were or keeps every row the loader read, says so in its header,
// and completes only once.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "chart/chart.h"
#include "core/settings.h"
#include "recording/channel.h"
#include "recording/csv_export.h"
#include "recording/interrupted.h"

namespace {

struct Reader {
  Reader()
      : path((std::filesystem::temp_directory_path() /
              ("vexa-recording-fuzz-" + std::to_string(getpid()) + ".vxa"))
                 .string()),
        settings(vexa::TGLOB::NoFile{}, std::filesystem::temp_directory_path().string()),
        channel(settings) {
    channel.CreateFixedAxes(chart);
  }
  ~Reader() { std::remove(path.c_str()); }
  std::string path;
  vexa::TGLOB settings;
  vexa::chart::Chart chart;
  vexa::TChannel channel;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static Reader r;
  std::FILE* f = std::fopen(r.path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  vexa::TChannel& ch = r.channel;
  const int header = ch.ReadHeader(r.path);
  if (header < 0 || header > 4) std::abort();
  if (ch.ColumnNameCount < 0 || ch.ColumnNameCount > vexa::kMaxColumnNames) std::abort();
  if (header != 0) return 0;
  if (ch.LoadRecording() != 0) return 0;
  const std::size_t rows = static_cast<std::size_t>(ch.DataCount);
  if (ch.MarksSeries.Count() != rows || ch.AbsTimeSeries.Count() != rows ||
      ch.RelTimeSeries.Count() != rows) {
    std::abort();
  }
  for (int i = 3; i < r.chart.SeriesCount(); ++i) {
    if (r.chart.SeriesAt(i).Count() != rows) std::abort();
  }
  if (rows > 0) {
    // Labels are formatted on demand: the last ones must format.
    (void)ch.AbsTimeSeries.LabelText(rows - 1);
    (void)ch.RelTimeSeries.LabelText(rows - 1);
  }
  const std::string csv = vexa::RecordingToCsv(ch);
  std::size_t lines = 0;
  for (std::size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", at + 2)) {
    ++lines;
  }
  if (lines != rows + 1) std::abort();

  const vexa::TCompletion done = vexa::CompleteInterruptedRecording(r.path);
  const auto bytes = [&] {
    std::string b;
    if (std::FILE* in = std::fopen(r.path.c_str(), "rb")) {
      char buf[4096];
      for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;) b.append(buf, n);
      std::fclose(in);
    }
    return b;
  };
  const std::string after = bytes();
  if (!done.ok) {
    if (after != std::string(reinterpret_cast<const char*>(data), size)) std::abort();
    return 0;
  }
  if (done.rows != static_cast<int64_t>(rows)) std::abort();
  if (ch.ReadHeader(r.path) != 0 || ch.DataCount != static_cast<int32_t>(rows)) std::abort();
  if (ch.LoadRecording() != 0 || ch.DataCount != static_cast<int32_t>(rows) || ch.TornLastRow) std::abort();
  if (vexa::CompleteInterruptedRecording(r.path).ok || bytes() != after) std::abort();
  return 0;
}
