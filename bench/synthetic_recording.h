// A week-long recording made up for benchmarks and pictures: all seven
// channels breathing at their own pace, with noise, a spike now and then, a
// few missing values and a mark every so often, laid into a recording
// object's chart as loading a file lays it.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>

#include "chart/labels.h"
#include "recording/channel.h"

namespace vexa::bench {

// How the made-up values move. kBreathing drifts over hours and days with a
// little noise, as a week of averaged samples does. kDense swings through
// each channel's whole range every few hundred rows, so every pixel column of
// a week-long chart spans the whole band: the most ink a chart can take.
enum class Profile { kBreathing, kDense };

// The value of channel c (order VO2t, Ves, O2, T, V, F, M) at row i, with one
// decimal as the files hold it; NaN for the rare missing value.
inline double SyntheticValue(int c, std::int64_t i, bool gaps = true, Profile profile = Profile::kBreathing) {
  static constexpr double kMid[7] = {0.9, 30, 18, 30, 0.6, 22, 35};
  static constexpr double kSwing[7] = {0.5, 12, 2, 4, 0.3, 8, 20};
  static constexpr double kDensePeriod[7] = {900, 1300, 2100, 5000, 97, 610, 377};
  constexpr double kTwoPi = 2 * 3.14159265358979;
  const double t = static_cast<double>(i);
  // A cheap deterministic noise in [-1, 1).
  const std::uint32_t h = static_cast<std::uint32_t>(i * 2654435761u + static_cast<std::uint32_t>(c) * 40503u);
  const double noise = static_cast<double>((h >> 8) & 0xFFFF) / 32768.0 - 1.0;
  if (gaps && (h & 0x3FFF) == 7) return std::nan("");
  double v = 0;
  if (profile == Profile::kDense) {
    v = kMid[c] + kSwing[c] * std::sin(kTwoPi * t / kDensePeriod[c]) + kSwing[c] * 0.15 * noise;
  } else {
    // A day of 5-second samples is 17,280 rows; activity comes and goes within it.
    const double day = std::sin(kTwoPi * t / 17280.0 + c);
    const double bouts = std::sin(kTwoPi * t / (2300.0 + 300.0 * c));
    v = kMid[c] + kSwing[c] * (0.55 * day + 0.25 * bouts * (day > 0.3 ? 1 : 0.3)) + kSwing[c] * 0.08 * noise;
  }
  if (h % 25013 == 3) v += kSwing[c] * 1.5;  // a spike
  return std::round(v * 10) / 10;
}

// Empties the series of `channel`'s chart and gives it `rows` rows of every channel its
// preset shows, with clock and elapsed labels from `start` (days) at
// `interval` seconds, and a mark every `markEvery` rows.
inline void FillSyntheticRows(TChannel& channel, std::int64_t rows, Profile profile = Profile::kBreathing,
                              std::int64_t markEvery = 49999, double start = 46364.59,
                              double interval = 5.0) {
  // Emptied as loading empties them; ClearChart would also fix the time axes.
  for (int i = 0; i < channel.Chart->SeriesCount(); ++i) channel.Chart->SeriesAt(i).Clear();
  const TPreset& p = *channel.ActivePreset;
  for (int c = 0; c < kChannelCount; ++c) {
    if (p.Visible[c]) channel.ChannelSeries(c).Reserve(static_cast<std::size_t>(rows));
  }
  channel.AbsTimeSeries.Reserve(static_cast<std::size_t>(rows));
  channel.RelTimeSeries.Reserve(static_cast<std::size_t>(rows));
  for (std::int64_t i = 0; i < rows; ++i) {
    for (int c = 0; c < kChannelCount; ++c) {
      if (p.Visible[c]) channel.ChannelSeries(c).Add(SyntheticValue(c, i, true, profile));
    }
    const double seconds = static_cast<double>(i + 1) * interval;
    channel.AbsTimeSeries.AddNull(chart::DayTimeLabel{start + seconds / 86400.0});
    channel.RelTimeSeries.AddNull(chart::ElapsedLabel{static_cast<std::int32_t>(seconds)});
    if (markEvery > 0 && i % markEvery == markEvery - 1) {
      channel.MarksSeries.Add(30.0, "mark " + std::to_string(i / markEvery + 1));
    } else {
      channel.MarksSeries.AddNull();
    }
  }
  channel.DataCount = static_cast<std::int32_t>(rows);
}

// Writes a recording of `rows` rows of all seven channels into dir as a
// session names and heads it, the rows appended in bulk (a real session
// syncs each one, far too slow to generate a week), a mark every markEvery
// rows. Returns its path.
inline std::string WriteSyntheticRecording(const std::string& dir, std::int64_t rows,
                                           std::int64_t markEvery = 49999,
                                           const std::string& postfix = "week") {
  TGLOB settings(TGLOB::NoFile{}, dir);
  settings.DirHistory[0] = dir;
  chart::Chart chart;
  TChannel channel(settings);
  channel.CreateFixedAxes(chart);
  for (bool& v : channel.OwnPreset.Visible) v = true;
  channel.FileViewMode = true;  // build from OwnPreset: all seven
  channel.BuildChart();
  channel.FileViewMode = false;
  channel.Postfix = postfix;
  if (channel.CreateRecordFile() != 0) std::abort();
  channel.DataCount = static_cast<std::int32_t>(rows);
  channel.RecordDescription = "synthetic week";
  if (!channel.CompleteRecordFile()) std::abort();

  std::FILE* f = std::fopen(channel.RecordFileName.c_str(), "ab");
  if (!f) std::abort();
  std::string block;
  char num[32];
  for (std::int64_t i = 0; i < rows; ++i) {
    for (int c = 0; c < kChannelCount; ++c) {
      const auto r = std::to_chars(num, num + sizeof num, SyntheticValue(c, i, false),
                                   std::chars_format::fixed, 1);
      block.append(num, r.ptr);
      block += '\t';
    }
    if (markEvery > 0 && i % markEvery == markEvery - 1) block += "mark " + std::to_string(i / markEvery + 1);
    block += "\r\n";
    if (block.size() > (1 << 20)) {
      std::fwrite(block.data(), 1, block.size(), f);
      block.clear();
    }
  }
  std::fwrite(block.data(), 1, block.size(), f);
  std::fclose(f);
  return channel.RecordFileName;
}

}  // namespace vexa::bench
