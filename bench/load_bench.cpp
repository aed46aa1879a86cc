// Loading a week-long recording: 999,999 rows, all seven channels, a mark
// every 100 rows. Side by side, each in its own process:
//   reference  read the file in 1 MB blocks, parse the seven numbers of each
//              row with std::from_chars into seven std::vector<float>
//              reserved for the header's row count, as the loader keeps them;
//   loader     ReadHeader + LoadRecording into the chart model, labels
//              included.
// Prints the best time of a few rounds and each side's peak resident memory.
//   build/rec-bench/bench/load_bench [rows]
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_child.h"
#include "chart/chart.h"
#include "core/datetime.h"
#include "core/settings.h"
#include "recording/channel.h"
#include "synthetic_recording.h"

namespace {

using namespace vexa;
namespace fs = std::filesystem;

long Reference(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  std::vector<float> columns[7];
  std::vector<char> buf(1 << 20);
  std::size_t begin = 0, end = 0;
  bool inTable = false;
  long rows = 0;
  for (;;) {
    const char* lf = static_cast<const char*>(std::memchr(buf.data() + begin, '\n', end - begin));
    if (!lf) {
      std::memmove(buf.data(), buf.data() + begin, end - begin);
      end -= begin;
      begin = 0;
      const std::size_t n = std::fread(buf.data() + end, 1, buf.size() - end, f);
      if (n == 0) break;
      end += n;
      continue;
    }
    const char* p = buf.data() + begin;
    begin = static_cast<std::size_t>(lf - buf.data()) + 1;
    if (!inTable) {
      if (std::strncmp(p, "Data-Count:", 11) == 0) {
        for (auto& column : columns) column.reserve(std::strtoul(p + 11, nullptr, 10));
      }
      inTable = std::strncmp(p, "Data-Table:", 11) == 0;
      continue;
    }
    for (auto& column : columns) {
      double v = NAN;
      const auto r = std::from_chars(p, lf, v);
      column.push_back(static_cast<float>(v));
      p = r.ptr + 1;  // the TAB
    }
    ++rows;
  }
  std::fclose(f);
  return rows;
}

long Loader(const std::string& path, const fs::path& dir) {
  TGLOB settings(TGLOB::NoFile{}, dir.string());
  chart::Chart chart;
  TChannel channel(settings);
  channel.CreateFixedAxes(chart);
  if (channel.ReadHeader(path) != 0 || channel.LoadRecording() != 0) return -1;
  // Every series got a point per row; the labels are numbers, shown on demand.
  if (channel.SeriesM.Count() != channel.AbsTimeSeries.Count() ||
      channel.RelTimeSeries.LabelText(channel.RelTimeSeries.Count() - 1).empty()) {
    return -2;
  }
  return static_cast<long>(channel.SeriesVO2t.Count());
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 999999;
  const fs::path dir = fs::temp_directory_path() / ("vexa-load-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string path = bench::WriteSyntheticRecording(dir.string(), rows, 100);
  std::printf("file: %s, %.1f MB, %d rows\n", path.c_str(), fs::file_size(path) / 1048576.0, rows);
  Reference(path);  // the file is in the page cache for both sides

  bench::ChildResult best[2];
  for (int round = 0; round < 5; ++round) {
    const bench::ChildResult ref = bench::RunInChild([&] { return Reference(path); });
    const bench::ChildResult load = bench::RunInChild([&] { return Loader(path, dir); });
    if (ref.check != rows || load.check != rows) {
      std::fprintf(stderr, "row counts differ: reference %ld, loader %ld\n", ref.check, load.check);
      return 1;
    }
    for (int s = 0; s < 2; ++s) {
      const bench::ChildResult& r = s == 0 ? ref : load;
      if (best[s].seconds < 0 || r.seconds < best[s].seconds) best[s].seconds = r.seconds;
      if (r.peakKb > best[s].peakKb) best[s].peakKb = r.peakKb;
    }
  }
  std::printf("reference (from_chars into 7 vector<float>):  %7.1f ms  peak %6.1f MB\n",
              best[0].seconds * 1e3, best[0].peakKb / 1024.0);
  std::printf("ReadHeader + LoadRecording (chart model):      %7.1f ms  peak %6.1f MB\n",
              best[1].seconds * 1e3, best[1].peakKb / 1024.0);
  // The loader also keeps both time-label carriers (12 bytes a row) and the
  // drawing summaries (about 2.5 bytes a row) beside the seven floats (28
  // bytes a row) that the reference keeps: a memory ratio of about 1.5.
  std::printf("time ratio %.2f, memory ratio %.2f\n",
              best[1].seconds / best[0].seconds,
              static_cast<double>(best[1].peakKb) / static_cast<double>(best[0].peakKb));
  fs::remove_all(dir);
  return 0;
}
