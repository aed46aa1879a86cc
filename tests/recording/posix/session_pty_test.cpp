// Recording sessions against a flow meter on a pseudo-terminal: the rows a
// session writes, marks, failed starts, the 999999-row roll-over and a write
// failure. The tick is driven directly: a frame is sent, the test waits until
// the acquisition thread has taken it, then ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
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
    const uint64_t before = channel.Counters.FramesDecoded;
    meter.Send(test::Join(FrameOf(v, f, m), {0x55}));  // the next sync byte shows it whole
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (channel.Counters.FramesDecoded == before && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GT(channel.Counters.FramesDecoded, before);
    return session.Tick("desc");
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

TEST_F(SessionPty, TheOnceASecondClockGivesTheElapsedTimeTheNextSampleCarries) {
  EXPECT_FALSE(session.ClockSecond(1.0));  // no session: nothing
  ASSERT_EQ(session.Start("1", "", false).Result, TStartResult::kStarted);
  const double start = settings.StartTime;
  const std::optional<TElapsed> e = session.ClockSecond(start + (26 * 3600 + 5 * 60 + 9) / 86400.0);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->Hours, 26);
  EXPECT_EQ(e->Minutes, 5);
  EXPECT_EQ(e->Seconds, 9);
  EXPECT_EQ(settings.ElapsedText, "[26:05:09]");
  session.Tick();
  EXPECT_EQ(channel.RelTimeSeries.LabelText(0), "[26:05:09]");
  ASSERT_TRUE(Stop("").Stopped);
  EXPECT_FALSE(session.ClockSecond(start + 1.0));
  EXPECT_EQ(settings.ElapsedText, "[26:05:09]");
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
