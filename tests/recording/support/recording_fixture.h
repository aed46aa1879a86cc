// A recording object with its own chart, default preset list, a fixed clock
// and a temporary destination folder, for the recording-file tests.
#pragma once

#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "chart/chart.h"
#include "core/datetime.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/temp_folder.h"
#include "recording/channel.h"

namespace vexa::testing {

// Paths are UTF-8, as in the program: on Windows a std::string path would go
// through the ANSI code page and miss a Cyrillic name.
inline std::string ReadAll(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

#ifndef _WIN32
// While it lives, no file of this process may grow past `bytes`: a write
// that would cross the limit writes up to it and fails, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uintmax_t bytes) : handler_(signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit small = old_;
    small.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*handler_)(int);
};
#endif

class RecordingFixture : public ::testing::Test {
 protected:
  RecordingFixture() : settings(TGLOB::NoFile{}, folder.path()), channel(settings) {
    settings.DirHistory[0] = folder.path();
    channel.CreateFixedAxes(chart);
    channel.Presets = std::make_unique<TPresets>();
    channel.Presets->AddDefault();
    channel.Clock = [this] { return now; };
  }

  TPreset& Current() { return *channel.Presets->Items[channel.Presets->Current]; }

  // One sample as the session takes it: the values, a mark point, the row.
  bool Sample(std::initializer_list<std::pair<int, double>> values, const std::string& mark = {}) {
    for (auto [c, v] : values) channel.ChannelValue(c).store(v);
    if (mark.empty()) {
      channel.MarksSeries.AddNull();
    } else {
      channel.MarksSeries.Add(30.0, mark);
    }
    return channel.WriteRow();
  }

  TempFolder folder;
  TGLOB settings;
  chart::Chart chart;  // outlives the channel, which detaches its series
  TChannel channel;
  double now = EncodeDateTime(2026, 12, 8, 14, 23, 5);
};

}  // namespace vexa::testing
