// Recording sessions against a flow meter on a pseudo-terminal: the rows a
// session writes, marks, failed starts, the 999999-row roll-over and a write
// failure. The tick is driven directly: a frame is sent, the test waits until
// the acquisition thread has taken it, then ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "chart/chart.h"
#include "core/messages.h"
#include "core/settings.h"
#include "link/posix/pty_meter.h"
#include "recording/channel.h"
#include "recording/session.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
constexpr int kPort = 57;

using test::FrameOf;
using testing::ReadAll;

// The data rows of a recording file: everything after the "Data-Table:" line.
std::string Rows(const std::string& path) {
  const std::string text = ReadAll(path);
  const auto at = text.find("Data-Table:\r\n");
  return at == std::string::npos ? "<no table>" : text.substr(at + 13);
}

std::string HeaderValue(const std::string& path, const std::string& key) {
  const std::string text = ReadAll(path);
  const auto at = text.find("\r\n" + key + ": ");
  if (at == std::string::npos) return "<missing>";
  const auto from = at + 4 + key.size();
  return text.substr(from, text.find("\r\n", from) - from);
}

class SessionPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(meter.Ok());
    setenv(("VEXA_COM" + std::to_string(kPort)).c_str(), meter.Path().c_str(), 1);
    setenv("VEXA_COM99", dir.File("no-such-device").c_str(), 1);
    setenv("VEXA_CONFIG_DIR", dir.path().c_str(), 1);
    channel.OpenPresets(dir.File("vexa.pset"));
    channel.CreateFixedAxes(chart);
    channel.BuildChart();  // default preset: V and M
    channel.FlowMeter().PortNumber = kPort;
  }
  void TearDown() override {
    StopAwake();
    unsetenv(("VEXA_COM" + std::to_string(kPort)).c_str());
    unsetenv("VEXA_COM99");
    unsetenv("VEXA_CONFIG_DIR");
  }

  // One frame, taken by the thread as the first of a new average, then a tick.
  TTickResult Sample(uint16_t v, uint16_t f, uint16_t m) {
    Feed(v, f, m);
    return session.Tick("desc");
  }
  void Feed(uint16_t v, uint16_t f, uint16_t m) {
    const uint64_t before = channel.Counters.FramesDecoded;
    meter.Send(test::Join(FrameOf(v, f, m), {0x55}));  // the next sync byte shows it whole
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (channel.Counters.FramesDecoded == before && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GT(channel.Counters.FramesDecoded, before);
  }

  // Bytes that are no frame, so that a thread waiting in a read sees its
  // stop at once instead of after the one-second time-out.
  void KeepAwake() {
    awake = true;
    feeder = std::thread([this] {
      while (awake) {
        meter.Send({0x00});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  void StopAwake() {
    awake = false;
    if (feeder.joinable()) feeder.join();
  }
  TStopResult Stop(const std::string& description) {
    KeepAwake();
    TStopResult r = session.Stop(description);
    StopAwake();
    return r;
  }

  std::vector<std::string> Recordings() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir.path())) {
      if (e.path().extension() == ".vxa") out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  testing::TempFolder dir;
  test::PtyMeter meter;
  TGLOB settings{TGLOB::NoFile{}, dir.path()};
  chart::Chart chart;  // outlives the channel, which removes its series from it
  TChannel channel{settings};
  TSession session{channel, settings};
  std::atomic<bool> awake{false};
  std::thread feeder;
};

TEST_F(SessionPty, RowsHoldTheFramesValuesAndMarksReadBack) {
  const TStartResult start = session.Start("0.5", "pty", false);
  ASSERT_EQ(start.Result, TStartResult::kStarted) << start.Message;
  EXPECT_EQ(start.TimerMs, 500);
  EXPECT_EQ(start.MonitorTitle, "Record to file: \"" + channel.RecordFileName + "\"");
  EXPECT_EQ(settings.SampleInterval, 0.5);
  EXPECT_EQ(settings.ElapsedText, "[00:00:00]");
  EXPECT_TRUE(fs::path(channel.RecordFileName).filename().string().ends_with(") pty.vxa"));
  EXPECT_NEAR(channel.VO2tFactor, 0.91568, 1e-5);

  // A second start while running does nothing.
  EXPECT_EQ(session.Start("5", "other", false).Result, TStartResult::kAlreadyRunning);

  TTickResult t = Sample(300, 15, 75);  // V 3.00, F 15, M 7.5
  EXPECT_EQ(t.DisplayV, "3.00");
  EXPECT_EQ(t.DisplayM, "7.5");
  EXPECT_EQ(t.DisplayF, "15.0");
  ASSERT_EQ(session.Mark("start: 1 a").Result, TMarkResult::kPending);
  EXPECT_FALSE(session.MarkEnabled());
  // The text-entry window cannot take a second mark before the next sample.
  EXPECT_EQ(session.Mark("second").Result, TMarkResult::kRefused);
  t = Sample(50, 12, 119);
  EXPECT_TRUE(t.MarkWritten);
  EXPECT_TRUE(session.MarkEnabled());
  EXPECT_EQ(session.Mark(std::string(51, 'x')).Result, TMarkResult::kRefused);
  EXPECT_EQ(session.Mark("").Result, TMarkResult::kIgnored);
  ASSERT_EQ(session.Mark("tab\there").Result, TMarkResult::kPending);
  t = Sample(60, 12, 122);
  EXPECT_EQ(channel.ValueV, 0.0);  // reset after the row
  EXPECT_TRUE(channel.FlowMeter().Restart);

  const std::string path = channel.RecordFileName;
  const TStopResult stop = Stop("test");
  ASSERT_TRUE(stop.Stopped);
  EXPECT_EQ(stop.Message, "");
  EXPECT_EQ(stop.MonitorTitle, "Previos session saved to file: \"" + path + "\"");
  EXPECT_FALSE(channel.Running);
  EXPECT_FALSE(channel.Recording);
  EXPECT_FALSE(channel.FlowMeter().Port && channel.FlowMeter().Port->IsOpen());

  EXPECT_EQ(Rows(path), "3.0\t7.5\t\r\n0.5\t11.9\tstart: 1 a\r\n0.6\t12.2\ttab here\r\n");
  EXPECT_EQ(HeaderValue(path, "Sample-Interval"), "0.5");
  EXPECT_EQ(HeaderValue(path, "Data-Count"), "     3");
  EXPECT_EQ(HeaderValue(path, "Description"), "test" + std::string(78, ' '));

  TGLOB otherSettings{TGLOB::NoFile{}, dir.path()};
  chart::Chart readerChart;
  TChannel reader{otherSettings};
  reader.OpenPresets(dir.File("reader.pset"));
  reader.CreateFixedAxes(readerChart);
  ASSERT_EQ(reader.ReadHeader(path), 0);
  ASSERT_EQ(reader.LoadRecording(), 0);
  EXPECT_EQ(reader.DataCount, 3);
  EXPECT_EQ(reader.SeriesV.Count(), 3u);
  EXPECT_EQ(reader.SeriesM.Count(), 3u);
  EXPECT_FLOAT_EQ(reader.SeriesM.Value(1), 11.9f);
  EXPECT_EQ(reader.MarksSeries.LabelText(1), "start: 1 a");
  EXPECT_TRUE(reader.MarksSeries.IsNull(0));
  EXPECT_EQ(reader.RecordDescription, "test");
}

// A mark entered after the last sample, then the stop before the next one:
// the stop takes that sample, so the operator's text is in the file.
TEST_F(SessionPty, AMarkEnteredJustBeforeTheStopIsInTheLastRow) {
  ASSERT_EQ(session.Start("5", "mark", false).Result, TStartResult::kStarted);
  Sample(300, 15, 75);
  Feed(320, 16, 80);
  ASSERT_EQ(session.Mark("\u0432\u0434\u043e\u0445 end").Result, TMarkResult::kPending);
  const std::string path = channel.RecordFileName;
  const TStopResult stop = Stop("x");
  ASSERT_TRUE(stop.Stopped);
  EXPECT_EQ(stop.Message, "");
  EXPECT_EQ(Rows(path), "3.0\t7.5\t\r\n3.2\t8.0\t\xE2\xE4\xEE\xF5 end\r\n");
  EXPECT_EQ(HeaderValue(path, "Data-Count"), "     2");
  EXPECT_FALSE(settings.MarkPending);
}

TEST_F(SessionPty, SilentInstrumentShowsQuestionMarksAndRecordsZeros) {
  ASSERT_EQ(session.Start("1", "", false).Result, TStartResult::kStarted);
  const TTickResult t = session.Tick();
  EXPECT_EQ(t.DisplayV, "???");
  EXPECT_EQ(t.DisplayM, "???");
  EXPECT_EQ(t.DisplayF, "???");
  const std::string path = channel.RecordFileName;
  EXPECT_TRUE(fs::path(path).filename().string().ends_with(") .vxa"));  // the space stays
  ASSERT_TRUE(Stop("").Stopped);
  EXPECT_EQ(Rows(path), "0.0\t0.0\t\r\n");
  EXPECT_EQ(HeaderValue(path, "Description"), std::string(82, ' '));
}

TEST_F(SessionPty, TheOnceASecondClockCountsOnTheSteadyClock) {
  double steady = 1000;
  channel.SteadyClock = [&steady] { return steady; };
  EXPECT_FALSE(session.ClockSecond());  // no session: nothing
  ASSERT_EQ(session.Start("1", "", false).Result, TStartResult::kStarted);
  steady += 26 * 3600 + 5 * 60 + 9;
  const std::optional<TElapsed> e = session.ClockSecond();
  ASSERT_TRUE(e);
  EXPECT_EQ(e->Hours, 26);
  EXPECT_EQ(e->Minutes, 5);
  EXPECT_EQ(e->Seconds, 9);
  EXPECT_EQ(settings.ElapsedText, "[26:05:09]");
  ASSERT_TRUE(Stop("").Stopped);
  steady += 1;
  EXPECT_FALSE(session.ClockSecond());
  EXPECT_EQ(settings.ElapsedText, "[26:05:09]");
}

// The sampling grid with a fake steady clock: ticks that come late, early
// or after a stall; sample k is always the row of time k x interval, taken
// no later than the first tick after it, and a late tick writes every row
// that came due, with the values at hand.
TEST_F(SessionPty, LateTicksStillWriteTheirRowsSoRowKStaysTheSampleOfTimeK) {
  double steady = 50;
  channel.SteadyClock = [&steady] { return steady; };
  ASSERT_EQ(session.Start("0.5", "", false).Result, TStartResult::kStarted);
  const auto at = [&](double t) { steady = 50 + t; };
  at(0.49);
  EXPECT_EQ(session.DueSamples(), 0);
  EXPECT_NEAR(session.SecondsToNextSample(), 0.01, 1e-9);
  at(0.5);
  EXPECT_EQ(session.DueSamples(), 1);
  meter.Send(test::Join(FrameOf(300, 15, 75), {0x55}));
  ASSERT_TRUE(test::WaitFor([&] { return channel.Counters.FramesDecoded > 0; }, 3000));
  EXPECT_TRUE(session.Tick("", session.DueSamples()).Sampled);
  at(1.2);  // late by 0.2 s: row 2 (1.0 s), and the next is still due at 1.5 s
  EXPECT_EQ(session.DueSamples(), 1);
  session.Tick("", 1);
  EXPECT_NEAR(session.SecondsToNextSample(), 0.3, 1e-9);
  at(1.49);
  EXPECT_EQ(session.DueSamples(), 0);
  // A stall of two seconds: rows 3 to 6 (1.5 ... 3.0 s) all come due.
  meter.Send(test::Join(FrameOf(400, 17, 85), {0x55}));
  ASSERT_TRUE(test::WaitFor([&] { return channel.ValueV.load() == 4.0; }, 3000));
  at(3.3);
  EXPECT_EQ(session.DueSamples(), 4);
  const TTickResult late = session.Tick("", session.DueSamples());
  EXPECT_EQ(late.DisplayV, "4.00");
  EXPECT_EQ(session.DueSamples(), 0);
  EXPECT_NEAR(session.SecondsToNextSample(), 0.2, 1e-9);
  at(3.5);
  session.Tick("", session.DueSamples());
  EXPECT_EQ(channel.DataCount, 7);
  const std::string path = channel.RecordFileName;
  ASSERT_TRUE(Stop("").Stopped);
  // The stall's rows carry the frame taken before it, not zeros; the row
  // after them starts a new average, and no frame came.
  EXPECT_EQ(Rows(path), "3.0\t7.5\t\r\n0.0\t0.0\t\r\n4.0\t8.5\t\r\n4.0\t8.5\t\r\n4.0\t8.5\t\r\n"
                        "4.0\t8.5\t\r\n0.0\t0.0\t\r\n");

  // Twelve thousand ticks at 0.05 s, each up to 0.9 of an interval late and
  // one in a hundred after a stall of up to five intervals: none is lost.
  settings.SampleInterval = 0.05;
  double t = 0;
  steady = 0;
  ASSERT_EQ(session.Start("0.05", "", false).Result, TStartResult::kStarted);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lateness(0.001, 0.9), stall(1, 5);
  int64_t written = 0;
  for (int tick = 0; tick < 12000; ++tick) {
    // The timer fires at the next deadline, later by the machine's load.
    const double deadline = t + session.SecondsToNextSample();
    t = deadline + 0.05 * (tick % 100 == 99 ? stall(random) : lateness(random));
    steady = t;
    const int64_t due = session.DueSamples();
    ASSERT_GE(due, 1) << tick;
    // Every row taken now belongs to a time no more than this late.
    const double firstRowTime = static_cast<double>(written + 1) * 0.05;
    ASSERT_LE(t - firstRowTime, 0.05 * 5 + 1e-9) << tick;
    if (tick % 100 != 99) {
      ASSERT_LT(t - firstRowTime, 0.05) << tick;
    }
    session.Tick("", due);
    written += due;
    ASSERT_EQ(written, static_cast<int64_t>(std::floor(t / 0.05))) << tick;
  }
  EXPECT_EQ(channel.DataCount, written);
  ASSERT_TRUE(Stop("").Stopped);
}

// A recording across a daylight-saving change, with the system clock faked
// and the local time of Europe/Berlin: the elapsed clock runs on, the live
// labels are start + row x interval as the reopened file shows them, and
// the header keeps local wall-clock times.
TEST_F(SessionPty, ADaylightSavingChangeMovesNoLabelAndNoElapsedTime) {
  if (!fs::exists("/usr/share/zoneinfo/Europe/Berlin")) GTEST_SKIP() << "no tzdata (Europe/Berlin)";
  const char* oldTz = getenv("TZ");
  const std::string keptTz = oldTz ? oldTz : "";
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  using std::chrono::sys_days;
  using namespace std::chrono_literals;
  const struct {
    const char* what;
    std::chrono::system_clock::time_point change;  // 01:00 UTC
    const char* started;  // local, 30 s before
    const char* stopped;  // local, 60 s after
    const char* first;    // the labels of rows 1 and 90
    const char* last;
  } cases[] = {
      {"autumn: 03:00 CEST becomes 02:00 CET", sys_days{std::chrono::year{2026} / 10 / 25} + 1h,
       "25.10.2026 02:59:30", "25.10.2026 02:01:00", "[25]02:59:31 [0:00:01]", "[25]03:01:00 [0:01:30]"},
      {"spring: 02:00 CET becomes 03:00 CEST", sys_days{std::chrono::year{2026} / 3 / 29} + 1h,
       "29.03.2026 01:59:30", "29.03.2026 03:01:00", "[29]01:59:31 [0:00:01]", "[29]02:01:00 [0:01:30]"},
  };
  for (const auto& c : cases) {
    auto utc = c.change - 30s;
    double steady = 7;
    channel.Clock = [&utc] { return LocalDateTime(utc); };
    channel.SteadyClock = [&steady] { return steady; };
    ASSERT_EQ(session.Start("1", "dst", false).Result, TStartResult::kStarted) << c.what;
    std::vector<std::string> live;
    for (int second = 1; second <= 90; ++second) {
      utc += 1s;
      steady += 1;
      ASSERT_EQ(session.DueSamples(), 1) << c.what;
      session.Tick("", 1);
      ASSERT_TRUE(session.ClockSecond()) << c.what;
    }
    EXPECT_EQ(settings.ElapsedText, "[0:01:30]") << c.what;
    for (std::size_t k = 0; k < 90; ++k) {
      live.push_back(channel.AbsTimeSeries.LabelText(k) + " " + channel.RelTimeSeries.LabelText(k));
    }
    const std::string path = channel.RecordFileName;
    ASSERT_TRUE(Stop("").Stopped) << c.what;
    EXPECT_EQ(HeaderValue(path, "Started-Record"), c.started) << c.what;
    EXPECT_EQ(HeaderValue(path, "Stopped-Record"), c.stopped) << c.what;

    TGLOB readSettings{TGLOB::NoFile{}, dir.path()};
    chart::Chart readChart;
    TChannel read{readSettings};
    read.CreateFixedAxes(readChart);
    ASSERT_EQ(read.ReadHeader(path), 0) << c.what;
    ASSERT_EQ(read.LoadRecording(), 0) << c.what;
    ASSERT_EQ(read.AbsTimeSeries.Count(), 90u) << c.what;
    for (std::size_t k = 0; k < 90; ++k) {
      EXPECT_EQ(read.AbsTimeSeries.LabelText(k) + " " + read.RelTimeSeries.LabelText(k), live[k])
          << c.what << ", row " << k + 1;
    }
    // One label a second from the start, the hour never repeated nor skipped.
    EXPECT_EQ(live.front(), c.first) << c.what;
    EXPECT_EQ(live.back(), c.last) << c.what;
  }
  if (oldTz) {
    setenv("TZ", keptTz.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST_F(SessionPty, RefusedAndFailedStartsLeaveNothingOpen) {
  const int descriptors = test::OpenDescriptors();
  // A refused interval or postfix opens nothing and writes no setting.
  TStartResult r = session.Start("0", "x", false);
  EXPECT_EQ(r.Result, TStartResult::kRefused);
  EXPECT_NE(r.Message.find("0.05 s"), std::string::npos);
  EXPECT_EQ(settings.SampleInterval, 5.0);
  EXPECT_EQ(session.Start("abc", "x", false).Result, TStartResult::kRefused);
  EXPECT_EQ(session.Start("5", "a/b", false).Result, TStartResult::kRefused);
  EXPECT_FALSE(channel.Running);

  // No device behind COM99.
  channel.FlowMeter().PortNumber = 99;
  r = session.Start("5", "x", false);
  EXPECT_EQ(r.Result, TStartResult::kPortFailed);
  EXPECT_EQ(r.Message, "Error init port COM 99");
  EXPECT_EQ(settings.MessageText, "Error init port COM 99");
  EXPECT_FALSE(session.Active());
  EXPECT_FALSE(channel.Running);
  EXPECT_FALSE(channel.ThreadHandle.ThreadExists());
  EXPECT_EQ(test::OpenDescriptors(), descriptors);
  settings.AppliedLanguage = kRussian;
  EXPECT_EQ(session.Start("5", "x", false).Message, "Ошибка инициализации порта COM 99");
  settings.AppliedLanguage = kEnglish;

  // The port opens but the destination folder does not exist: the thread is
  // stopped and the port closed again.
  channel.FlowMeter().PortNumber = kPort;
  settings.DirHistory[0] = dir.File("missing/folder");
  KeepAwake();
  r = session.Start("5", "x", false);
  StopAwake();
  EXPECT_EQ(r.Result, TStartResult::kFileFailed);
  EXPECT_EQ(r.Message.rfind("Error write file: ", 0), 0u) << r.Message;
  EXPECT_NE(r.Message.find("missing"), std::string::npos) << r.Message;
  EXPECT_FALSE(channel.Running);
  EXPECT_FALSE(channel.ThreadHandle.ThreadExists());
  EXPECT_FALSE(channel.Recording);
  EXPECT_EQ(test::OpenDescriptors(), descriptors);
  EXPECT_TRUE(Recordings().empty());

  // Stopping with no thread does nothing at all.
  EXPECT_FALSE(session.Stop("x").Stopped);
  channel.StopRecording();
  EXPECT_FALSE(channel.CompleteFailed);
  EXPECT_TRUE(Recordings().empty());

  // The next start finds the port free and clears the old port number.
  settings.DirHistory[0] = dir.path();
  r = session.Start("5", "x", false);
  ASSERT_EQ(r.Result, TStartResult::kStarted) << r.Message;
  EXPECT_EQ(channel.ErrorPort, 0);
  ASSERT_TRUE(Stop("").Stopped);
  EXPECT_EQ(Recordings().size(), 1u);
}

TEST_F(SessionPty, FullFileIsCompletedAndTheSessionGoesOnInANewOne) {
  session.RowLimit = 2;
  ASSERT_EQ(session.Start("1", "roll", false).Result, TStartResult::kStarted);
  const std::string first = channel.RecordFileName;
  EXPECT_FALSE(Sample(100, 10, 10).RolledOver);
  EXPECT_FALSE(Sample(200, 20, 20).RolledOver);
  ASSERT_EQ(session.Mark("after the limit").Result, TMarkResult::kPending);
  const TTickResult t = Sample(300, 30, 30);
  ASSERT_TRUE(t.RolledOver) << t.Message;
  EXPECT_FALSE(t.Ended);
  EXPECT_EQ(t.PreviousFile, first);
  EXPECT_NE(channel.RecordFileName, first);
  EXPECT_NE(t.Notice.find(first), std::string::npos);
  EXPECT_NE(t.Notice.find(channel.RecordFileName), std::string::npos);
  const std::string second = channel.RecordFileName;
  ASSERT_TRUE(Stop("end").Stopped);

  EXPECT_EQ(Rows(first), "1.0\t1.0\t\r\n2.0\t2.0\t\r\n");
  EXPECT_EQ(HeaderValue(first, "Data-Count"), "     2");
  EXPECT_EQ(HeaderValue(first, "Description").substr(0, 5), "desc ");
  EXPECT_EQ(Rows(second), "3.0\t3.0\tafter the limit\r\n");
  EXPECT_EQ(HeaderValue(second, "Data-Count"), "     1");
  EXPECT_EQ(channel.SeriesV.Count(), 3u);  // the chart keeps going
  EXPECT_EQ(Recordings().size(), 2u);
}

TEST_F(SessionPty, ARollOverWhoseNewFileFailsNamesTheFileThatHoldsTheRows) {
  session.RowLimit = 2;
  ASSERT_EQ(session.Start("1", "roll", false).Result, TStartResult::kStarted);
  const std::string full = channel.RecordFileName;
  Sample(100, 10, 10);
  Sample(200, 20, 20);
  // The destination is gone by the time the next file is due.
  settings.DirHistory[0] = dir.File("gone");
  KeepAwake();
  const TTickResult t = Sample(300, 30, 30);
  StopAwake();
  ASSERT_TRUE(t.Ended);
  EXPECT_FALSE(t.RolledOver);
  EXPECT_EQ(t.MonitorTitle, "Previos session saved to file: \"" + full + "\"");
  EXPECT_EQ(channel.RecordFileName, full);
  // The message names the file that could not be made, once.
  const std::string missing = dir.File("gone") + "/";
  ASSERT_EQ(t.Message.rfind("Error write file: " + missing, 0), 0u) << t.Message;
  EXPECT_EQ(t.Message.find(missing, t.Message.find(missing) + 1), std::string::npos) << t.Message;
  EXPECT_EQ(Rows(full), "1.0\t1.0\t\r\n2.0\t2.0\t\r\n");
  EXPECT_EQ(HeaderValue(full, "Data-Count"), "     2");
}

TEST_F(SessionPty, WriteFailureEndsTheSessionAndKeepsTheRows) {
  ASSERT_EQ(session.Start("1", "full", false).Result, TStartResult::kStarted);
  const std::string path = channel.RecordFileName;
  Sample(100, 10, 10);
  // The file may not grow past its present size: the next row fails.
  TTickResult t;
  {
    testing::FileSizeLimit full(fs::file_size(path));
    KeepAwake();
    t = Sample(200, 20, 20);
    StopAwake();
  }

  EXPECT_TRUE(t.Ended);
  EXPECT_EQ(t.Message.rfind("Error write file: " + path + ": ", 0), 0u) << t.Message;
  EXPECT_EQ(settings.MessageText, t.Message);
  EXPECT_FALSE(session.Active());
  EXPECT_FALSE(channel.Running);
  EXPECT_FALSE(channel.Recording);
  EXPECT_FALSE(channel.FlowMeter().Port && channel.FlowMeter().Port->IsOpen());
  EXPECT_EQ(session.Tick().Sampled, false);
  // The header could still be completed in place; the row before is kept.
  EXPECT_EQ(Rows(path), "1.0\t1.0\t\r\n");
  EXPECT_EQ(HeaderValue(path, "Data-Count"), "     1");
}

}  // namespace
}  // namespace vexa
