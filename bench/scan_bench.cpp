// Listing a folder of 10,000 recordings. Side by side, each in its own
// process:
//   reference  for each file (names listed beforehand, not timed): open it,
//              read its first 4 KB, close it;
//   scan       ScanFolder: list the folder, read each header, sort, fill the
//              list.
// A few of the files are large, empty or garbage, as a real folder may hold.
//   build/rec-bench/bench/scan_bench [files]
//   build/rec-bench/bench/scan_bench --write DIR [files]   only makes the folder (for
//                                                          open_window_bench, vexa-rec scan)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_child.h"
#include "chart/chart.h"
#include "core/settings.h"
#include "recording/channel.h"
#include "recording/folder_scan.h"

namespace {

using namespace vexa;
namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::vector<std::string> MakeFolder(const fs::path& dir, int files) {
  // One real recording of 100 rows, copied under 10,000 names.
  std::string bytes;
  {
    TGLOB settings(TGLOB::NoFile{}, dir.string());
    settings.DirHistory[0] = dir.string();
    chart::Chart chart;
    TChannel channel(settings);
    channel.CreateFixedAxes(chart);
    channel.BuildChart();
    channel.Postfix = "template";
    if (channel.CreateRecordFile() != 0) std::abort();
    channel.DataCount = 100;
    channel.CompleteRecordFile();
    std::FILE* f = std::fopen(channel.RecordFileName.c_str(), "rb");
    char buf[8192];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    fs::remove(channel.RecordFileName);
    for (int i = 0; i < 100; ++i) bytes += "0.6\t12.5\t\r\n";
  }
  std::vector<std::string> names;
  for (int i = 0; i < files; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "2026-12-%02d (%02d-%02d-%02d) s%05d.vxa", 1 + i % 28,
                  i / 3600 % 24, i / 60 % 60, i % 60, i);
    std::string content = bytes;
    if (i % 1000 == 1) content = std::string(8 << 20, '\x01');  // huge garbage
    if (i % 1000 == 2) content.clear();                         // empty
    if (i % 1000 == 3) content.resize(200);                     // truncated header
    WriteFile(dir / name, content);
    names.push_back((dir / name).string());
  }
  return names;
}

long Reference(const std::vector<std::string>& paths) {
  long bytes = 0;
  char buf[4096];
  for (const std::string& p : paths) {
    const int fd = open(p.c_str(), O_RDONLY);
    if (fd < 0) continue;
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) bytes += n;
    close(fd);
  }
  return bytes;
}

long Scan(const fs::path& dir) {
  TGLOB settings(TGLOB::NoFile{}, dir.string());
  TChannel channel(settings);
  TRecordingVector list;
  channel.OpenListView = &list;
  if (channel.ScanFolder(dir.string()) != 0) return -1;
  return static_cast<long>(list.Items.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--write") {
    const int count = argc > 3 ? std::atoi(argv[3]) : 10000;
    fs::create_directories(argv[2]);
    MakeFolder(argv[2], count);
    std::printf("%d files in %s\n", count, argv[2]);
    return 0;
  }
  const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
  const fs::path dir = fs::temp_directory_path() / ("vexa-scan-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::vector<std::string> paths = MakeFolder(dir, files);
  Reference(paths);  // warm the cache for both sides

  bench::ChildResult best[2];
  long listed = 0;
  for (int round = 0; round < 5; ++round) {
    const bench::ChildResult ref = bench::RunInChild([&] { return Reference(paths); });
    const bench::ChildResult scan = bench::RunInChild([&] { return Scan(dir); });
    listed = scan.check;
    for (int s = 0; s < 2; ++s) {
      const bench::ChildResult& r = s == 0 ? ref : scan;
      if (best[s].seconds < 0 || r.seconds < best[s].seconds) best[s].seconds = r.seconds;
      if (r.peakKb > best[s].peakKb) best[s].peakKb = r.peakKb;
    }
  }
  std::printf("%d files, %ld listed\n", files, listed);
  std::printf("reference (open, read 4 KB, close): %7.1f ms  peak %6.1f MB\n", best[0].seconds * 1e3,
              best[0].peakKb / 1024.0);
  std::printf("ScanFolder:                         %7.1f ms  peak %6.1f MB\n", best[1].seconds * 1e3,
              best[1].peakKb / 1024.0);
  std::printf("time ratio %.2f (target <= 3)\n", best[1].seconds / best[0].seconds);
  fs::remove_all(dir);
  return 0;
}
