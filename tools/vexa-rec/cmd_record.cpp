// vexa-rec record: a recording session exactly as the control panel runs
// one (the same TSession calls, so the same file and rows), timed by a
// steady-clock loop with absolute deadlines instead of a window timer.
// SIGINT or SIGTERM ends it like the stop button.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "chart/chart.h"
#include "core/cp1251.h"
#include "core/datetime.h"
#include "core/numtext.h"
#include "core/own_texts.h"
#include "core/paths.h"
#include "core/settings.h"
#include "options.h"
#include "recording/channel.h"
#include "recording/session.h"
#include "stop_signal.h"

namespace vexa::rec {

namespace {

// A display that has shown nothing yet reads as a dash.
const char* Shown(const std::string& display) { return display.empty() ? "-" : display.c_str(); }

constexpr const char* kUsage =
    "usage: vexa-rec record [--port N] [--interval S] [--postfix TEXT] [--dir DIR]\n"
    "                       [--description TEXT] [--preset NAME] [--mark K:TEXT]...\n"
    "                       (--samples N | --seconds S)\n";

int Usage(const std::string& problem) {
  std::fprintf(stderr, "vexa-rec record: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "vexa-rec record: %s\n", message.c_str());
  return 1;
}

}  // namespace

int RunRecord(const Args& args) {
  Options o;
  std::string error;
  if (!ParseOptions(args, {"port", "interval", "postfix", "dir", "description", "preset", "mark",
                           "samples", "seconds"},
                    o, error)) {
    return Usage(error);
  }
  if (!o.words.empty()) return Usage("unexpected argument \"" + o.words[0] + "\"");
  if (o.Has("samples") == o.Has("seconds")) return Usage("give either --samples N or --seconds S");
  long long samples = 0, port = 0;
  double seconds = 0;
  if (o.Has("samples") && !ParseWhole(o.Get("samples"), 1, 1000000000, samples)) {
    return Usage("--samples takes a whole number from 1");
  }
  if (o.Has("seconds") &&
      (!ParseDouble(o.Get("seconds"), seconds) || !(seconds > 0) || seconds > 1e9)) {
    return Usage("--seconds takes a number of seconds above 0");
  }
  if (o.Has("port") && !ParseWhole(o.Get("port"), 1, 255, port)) {
    return Usage("--port takes a COM port number from 1 to 255");
  }
  std::map<long long, std::string> marks;
  if (o.Has("mark")) {
    for (const std::string& m : o.values.at("mark")) {
      const auto colon = m.find(':');
      long long k = 0;
      if (colon == std::string::npos || !ParseWhole(m.substr(0, colon), 1, 1000000000, k)) {
        return Usage("--mark takes K:TEXT with K the sample number from 1 (\"" + m + "\")");
      }
      const std::string text = m.substr(colon + 1);
      if (text.empty()) return Usage("--mark " + m + ": the mark text is empty");
      if (Cp1251Length(text) > static_cast<std::size_t>(kMaxMark)) {
        return Fail("the mark for sample " + std::to_string(k) + " has more than 50 characters");
      }
      if (!marks.emplace(k, text).second) {
        return Fail("two marks for sample " + std::to_string(k) +
                    " (a sample carries at most one)");
      }
    }
  }
  const std::string description = o.Get("description");
  if (Cp1251Length(description) > static_cast<std::size_t>(kMaxDescription)) {
    return Fail("the description has more than 80 characters");
  }

  // The settings and presets are the desktop program's: a session here reads
  // them and never writes them back, so a vexa running beside it (or
  // started and ended during the session) keeps what it stores. Only a
  // missing vexa.cfg is made, as the program would make it.
  TGLOB settings(TGLOB::Inspection{}, ConfigDir());
  settings.Load();
  settings.AppliedLanguage = settings.Language;
  chart::Chart chart;  // outlives the channel
  TChannel channel(settings);
  channel.OpenPresets(settings.PresetPath);
  channel.Presets->FileName.clear();  // read, never saved
  channel.CreateFixedAxes(chart);
  const TPresetLoadProblem& damaged = channel.Presets->LoadProblem;
  for (const std::string& problem :
       {settings.LoadProblem.Text(kEnglish),
        damaged.empty() ? std::string()
                        : FormatOwn(Own::kPresetFileLeftAlone, kEnglish,
                                    {damaged.File, damaged.Why.Text(kEnglish),
                                     std::to_string(damaged.PresetsRead)})}) {
    if (!problem.empty()) std::fprintf(stderr, "vexa-rec record: %s\n", problem.c_str());
  }

  // --preset and --dir hold for this run only (nothing is stored).
  if (o.Has("preset")) {
    const std::string name = o.Get("preset");
    int found = -1;
    for (int i = 0; i < channel.Presets->Count; ++i) {
      if (channel.Presets->Items[i] && channel.Presets->Items[i]->Name == name) found = i;
    }
    if (found < 0) return Fail("no preset named \"" + name + "\" (vexa-rec presets lists them)");
    channel.Presets->Current = found;
  }
  channel.BuildChart();
  if (o.Has("port")) channel.FlowMeter().PortNumber = static_cast<int32_t>(port);

  if (o.Has("dir")) {
    std::string dir = o.Get("dir");
    std::string history[kHistorySize];
    int32_t count = 0;
    switch (ChooseFolder(history, count, dir)) {
      case FolderChoice::kStored: break;
      case FolderChoice::kEmpty: return Fail("--dir names no folder");
      case FolderChoice::kTooLong: return Fail("--dir: the folder path has more than 128 bytes");
      case FolderChoice::kUnrepresentable:
        return Fail("--dir: the folder path has characters outside Windows-1251");
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return Fail("--dir: no folder " + dir);
    settings.DirHistory[0] = history[0];
    settings.DirHistoryCount = std::max(settings.DirHistoryCount, 1);
  } else if (settings.DirHistoryCount <= 0) {
    std::fprintf(stderr, "vexa-rec record: the destination history is empty; recording into %s\n",
                 settings.DestinationFolder().c_str());
  }

  TSession session(channel, settings);
  const std::string interval = o.Get("interval", FormatGeneral(settings.SampleInterval));
  CatchStopSignals();
  const TStartResult start = session.Start(interval, o.Get("postfix"), settings.AutoScrollAtStart);
  if (start.Result != TStartResult::kStarted) {
    std::fprintf(stderr, "%s\n", start.Message.c_str());
    return 1;
  }
  std::fprintf(stderr, "%s\n", start.MonitorTitle.c_str());

  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  const auto end = t0 + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>(o.Has("seconds") ? seconds : 0));
  auto nextSecond = t0 + std::chrono::seconds(1);
  long long taken = 0;
  int status = 0;
  while (!StopRequested()) {
    // The next sample's deadline on the session's grid (start + k x interval).
    auto nextTick = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(session.SecondsToNextSample()));
    auto wake = std::min(nextTick, nextSecond);
    if (o.Has("seconds")) wake = std::min(wake, end);
    auto now = Clock::now();
    if (now < wake) {
      SleepUntil(wake);
      continue;
    }
    if (now >= nextSecond) {
      session.ClockSecond();
      // A stall skips seconds instead of catching up with a burst.
      nextSecond += std::chrono::seconds(1) * ((now - nextSecond) / std::chrono::seconds(1) + 1);
    }
    if (const int64_t due = session.DueSamples(); due > 0) {
      // A late wake-up takes every sample that came due, so row k stays the
      // sample of time k x interval; --samples still ends on its count.
      int64_t rows = o.Has("samples") ? std::min<int64_t>(due, samples - taken) : due;
      // A mark goes on the first row of a tick: the rows before it first.
      if (const auto later = marks.upper_bound(taken + 1);
          later != marks.end() && later->first <= taken + rows) {
        rows = later->first - taken - 1;
      }
      if (const auto m = marks.find(taken + 1); m != marks.end()) session.Mark(m->second);
      const TTickResult t = session.Tick(description, rows);
      const long long first = taken + 1;
      taken += std::min<int64_t>(rows, TSession::kMaxRowsPerTick);
      if (t.Sampled) {
        // What the control panel's numeric displays would show.
        for (long long k = first; k <= taken; ++k) {
          std::fprintf(stderr, "sample %lld %s V=%s M=%s F=%s%s\n", k, settings.ElapsedText.c_str(),
                       Shown(t.DisplayV), Shown(t.DisplayM), Shown(t.DisplayF),
                       t.MarkWritten && k == first ? " (mark)" : "");
        }
      }
      if (t.RolledOver) {
        std::printf("%s\n", t.PreviousFile.c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", t.Notice.c_str());
      }
      if (t.Ended) {
        std::fprintf(stderr, "%s\n", t.Message.c_str());
        status = 1;
        break;
      }
      if (o.Has("samples") && taken >= samples) break;
    }
    if (o.Has("seconds") && now >= end) break;
  }
  if (session.Active()) {
    const TStopResult stop = session.Stop(description);
    if (!stop.Message.empty()) {
      std::fprintf(stderr, "%s\n", stop.Message.c_str());
      status = 1;
    }
  }
  ReleaseStopSignals();
  std::printf("%s\n", channel.RecordFileName.c_str());
  return status;
}

}  // namespace vexa::rec
