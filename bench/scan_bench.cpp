// Listing a folder of 10,000 recordings. Side by side, each in its own
// process:
//   reference  for each file (names listed beforehand, not timed): open it,
//              read its first 4 KB, close it;
//   headers    what the scan did before it counted interrupted recordings'
//              rows: list, read each header, sort, fill the list;
//   scan       ScanFolder: the same, and the bounded count of each
//              interrupted recording's rows (CountRowsBounded);
//   whole      the headers, and every interrupted recording read to its end
//              for an exact count (what the bound spares).
// A few of the files are large, empty or garbage, as a real folder may hold;
// one in 100 is an interrupted recording of 100 rows, one in 1,000 an
// interrupted one of 8 MB of rows.
//   build/rec-bench/bench/scan_bench [files]
//   build/rec-bench/bench/scan_bench --write DIR [files]   only makes the folder (for
//                                                          open_window_bench, vexa-rec scan)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_child.h"
#include "chart/chart.h"
#include "core/settings.h"
#include "recording/channel.h"
#include "recording/folder_scan.h"
#include "recording/interrupted.h"
#include "recording/record_header.h"

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
    if (i % 100 == 5 || i % 1000 == 4) {
      // Interrupted: the placeholders back in the header, no row count.
      content.replace(content.find("Data-Count:    100"), 18, "Data-Count:       ");
      if (i % 1000 == 4) {
        std::string rows;
        while (rows.size() < (8u << 20)) rows += "0.6\t12.5\t\r\n10.4\t112.5\t\r\n";
        content += rows;
      }
    }
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

long Headers(const fs::path& dir) {
  std::vector<std::string> names;
  if (!ListRecordingNames(dir.string(), names)) return -1;
  TRecordingVector list;
  const std::string folder = FolderWithSeparator(dir.string());
  auto h = std::make_unique<TRecordingHeader>();
  for (const std::string& n : names) {
    if (ReadRecordingHeader(folder + n, *h) == 0) list.Add(n, h->started, h->stopped, h->dataCount);
  }
  return static_cast<long>(list.Items.size());
}

long Whole(const fs::path& dir) {
  std::vector<std::string> names;
  if (!ListRecordingNames(dir.string(), names)) return -1;
  const std::string folder = FolderWithSeparator(dir.string());
  auto h = std::make_unique<TRecordingHeader>();
  long rows = 0;
  for (const std::string& n : names) {
    if (ReadRecordingHeader(folder + n, *h) != 0 || !IsInterrupted(*h)) continue;
    std::FILE* f = std::fopen((folder + n).c_str(), "rb");
    if (!f) continue;
    const ReadAtFunction read = [f](int64_t offset, std::size_t bytes, std::string& out) {
      out.assign(bytes, '\0');
      if (fseeko(f, offset, SEEK_SET) != 0) return false;
      out.resize(std::fread(out.data(), 1, bytes, f));
      return true;
    };
    fseeko(f, 0, SEEK_END);
    TRowCount count;
    if (CountRows(read, h->dataTableOffset, ftello(f), 2, count)) rows += count.rows;
    std::fclose(f);
  }
  return rows;
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

  bench::ChildResult best[4];
  long listed = 0;
  for (int round = 0; round < 5; ++round) {
    const bench::ChildResult results[4] = {bench::RunInChild([&] { return Reference(paths); }),
                                           bench::RunInChild([&] { return Headers(dir); }),
                                           bench::RunInChild([&] { return Scan(dir); }),
                                           bench::RunInChild([&] { return Whole(dir); })};
    listed = results[2].check;
    for (int s = 0; s < 4; ++s) {
      const bench::ChildResult& r = results[s];
      if (best[s].seconds < 0 || r.seconds < best[s].seconds) best[s].seconds = r.seconds;
      if (r.peakKb > best[s].peakKb) best[s].peakKb = r.peakKb;
    }
  }
  std::printf("%d files, %ld listed\n", files, listed);
  std::printf("reference (open, read 4 KB, close): %7.1f ms  peak %6.1f MB\n", best[0].seconds * 1e3,
              best[0].peakKb / 1024.0);
  std::printf("headers only (the scan before):     %7.1f ms  peak %6.1f MB\n", best[1].seconds * 1e3,
              best[1].peakKb / 1024.0);
  std::printf("ScanFolder (bounded row counts):    %7.1f ms  peak %6.1f MB\n", best[2].seconds * 1e3,
              best[2].peakKb / 1024.0);
  std::printf("headers + whole interrupted files:  %7.1f ms  peak %6.1f MB\n", best[3].seconds * 1e3,
              best[3].peakKb / 1024.0);
  std::printf("time ratio %.2f (target <= 3)\n", best[2].seconds / best[0].seconds);
  fs::remove_all(dir);
  return 0;
}
