// Decimation of a week-long channel (a million points) onto a screen's width,
// and the append cost of a million-row load into the ten series of a recording.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "chart/decimate.h"
#include "chart/trace.h"
#include "synthetic_recording.h"
#include "chart/series.h"

namespace {

using vexa::chart::Series;

Series Channel(std::size_t n, bool with_nulls) {
  Series s;
  s.Reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (with_nulls && i % 1000 < 10) {
      s.AddNull();
    } else {
      s.Add(20.0 + 10.0 * std::sin(static_cast<double>(i) * 0.001) + static_cast<double>(i % 7) / 10);
    }
  }
  return s;
}

void BM_DecimateMillion(benchmark::State& state) {
  const Series s = Channel(1'000'000, state.range(1) != 0);
  const int columns = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto strokes = vexa::chart::DecimateColumns(s, 0, s.Count() - 1, columns);
    benchmark::DoNotOptimize(strokes.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(s.Count()));
}
BENCHMARK(BM_DecimateMillion)->Args({1000, 0})->Args({1000, 1})->Args({4000, 0})
    ->Unit(benchmark::kMillisecond);

// The painter's path: a million points traced onto a plot through the
// summaries, one span per column plus the joins.
void BM_TraceMillion(benchmark::State& state) {
  const Series s = Channel(1'000'000, state.range(1) != 0);
  const int columns = static_cast<int>(state.range(0));
  const vexa::chart::TraceAxes axes{{0, 999'999}, {0, columns - 1, 0}, {0, 40}, {0, 800, 0}};
  for (auto _ : state) {
    auto trace = vexa::chart::TraceLine(s, axes);
    benchmark::DoNotOptimize(trace.columns.data());
  }
}
BENCHMARK(BM_TraceMillion)->Args({923, 0})->Args({923, 1})->Args({1900, 0})->Unit(benchmark::kMicrosecond);

// The same with seven series traced in turn, as a chart of seven channels
// does: the series no longer all fit the processor's caches.
void BM_TraceSevenMillion(benchmark::State& state) {
  std::vector<Series> seven;
  for (int c = 0; c < 7; ++c) {
    Series s;
    for (int i = 0; i < 1'000'000; ++i) s.Add(vexa::bench::SyntheticValue(c, i));
    seven.push_back(std::move(s));
  }
  const vexa::chart::TraceAxes axes{{0, 999'999}, {0, 922, 0}, {0, 40}, {0, 800, 0}};
  for (auto _ : state) {
    for (const Series& s : seven) {
      auto trace = vexa::chart::TraceLine(s, axes);
      benchmark::DoNotOptimize(trace.columns.data());
    }
  }
}
BENCHMARK(BM_TraceSevenMillion)->Unit(benchmark::kMicrosecond);

void BM_LoadMillionRows(benchmark::State& state) {
  constexpr std::size_t kRows = 1'000'000;
  for (auto _ : state) {
    std::vector<Series> channels(7);
    Series abs_time, rel_time, marks(vexa::chart::SeriesKind::kBar);
    for (Series& s : channels) s.Reserve(kRows);
    abs_time.Reserve(kRows);
    rel_time.Reserve(kRows);
    for (std::size_t r = 0; r < kRows; ++r) {
      for (std::size_t c = 0; c < 7; ++c) channels[c].Add(static_cast<double>(r % 1000) / 10);
      abs_time.AddNull(vexa::chart::DayTimeLabel{45000.0 + static_cast<double>(r) * 5 / 86400});
      rel_time.AddNull(vexa::chart::ElapsedLabel{static_cast<std::int32_t>(r * 5)});
      if (r % 100 == 0) {
        marks.Add(30.0, "mark");
      } else {
        marks.AddNull();
      }
    }
    std::size_t bytes = abs_time.MemoryBytes() + rel_time.MemoryBytes() + marks.MemoryBytes();
    for (const Series& s : channels) bytes += s.MemoryBytes();
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  }
}
BENCHMARK(BM_LoadMillionRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
