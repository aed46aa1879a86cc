#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/datetime.h"
#include "recording/folder_scan.h"
#include "recording/open_recording.h"
#include "recording/record_format.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

using testing::ReadAll;
using testing::WriteAll;

// A header as the writer makes it, with some values replaced.
struct HeaderText {
  std::string columns = "\tV (l)\tM (l/min)\tMarks";
  std::string colours = " 65280\t16711935\t";
  std::string count = "     3";
  std::string interval = " 5.0";
  std::string version = " 2";
};

std::string HandHeader(const HeaderText& h = {}) {
  return "Format-Version:" + h.version + "\r\n"
         "Device-Name: Airo-510\t Flown-710\r\n"
         "Channels-Count: 2\r\n"
         "Started-Record: 08.12.2026 14:23:05\r\n"
         "Stopped-Record: 08.12.2026 14:23:21\r\n"
         "Sample-Interval:" + h.interval + "\r\n"
         "Description: test" + std::string(78, ' ') + "\r\n"
         "Data-Count: " + h.count + "\r\n"
         "Column-Header:" + h.columns + "\r\n"
         "Data-Color:" + h.colours + "\r\n"
         "Data-AtmPressure: 745.5\r\n"
         "Data-BodyMass: 70.0\r\n"
         "Data-TempEnviroment: 22.0\r\n"
         "Data-Humidity: 40.0\r\n"
         "Data-Table:\r\n";
}

class RecordReader : public testing::RecordingFixture {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder.File(name);
    WriteAll(path, bytes);
    return path;
  }
  // Reads and loads a file; the LoadRecording result.
  int Open(const std::string& bytes) {
    const std::string path = Write("r.vxa", bytes);
    EXPECT_EQ(channel.ReadHeader(path), 0);
    return channel.LoadRecording();
  }
  static std::vector<double> Values(const chart::Series& s) {
    std::vector<double> out;
    for (std::size_t i = 0; i < s.Count(); ++i) out.push_back(s.Value(i));
    return out;
  }
};

TEST_F(RecordReader, ARecordedSessionReadsBackExactly) {
  // All seven channels with colours of their own, Ves included.
  for (int c = 0; c < kChannelCount; ++c) {
    Current().Visible[c] = true;
    Current().Color[c] = 0x010203u * static_cast<uint32_t>(c + 1);
  }
  Current().Humidity = 33.3;
  settings.SampleInterval = 5.0;
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  const std::string marks[3] = {"", "  a: b :c  ", "\u041C\u0435\u0442\u043A\u0430"};
  for (int row = 0; row < 3; ++row) {
    for (int c = 0; c < kChannelCount; ++c) channel.ChannelValue(c).store(row * 10 + c + 0.5);
    channel.MarksSeries.Add(marks[row].empty() ? std::nan("") : 30.0, marks[row]);
    ASSERT_TRUE(channel.WriteRow());
  }
  now += 15.0 / 86400;
  channel.RecordDescription = "\u0422\u0435\u0441\u0442";
  ASSERT_TRUE(channel.CompleteRecordFile());

  // Another file's preset must not leak in.
  channel.OwnPreset = TPreset();
  ASSERT_EQ(channel.ReadHeader(channel.RecordFileName), 0);
  EXPECT_EQ(channel.RecordDescription, "\u0422\u0435\u0441\u0442");
  EXPECT_EQ(channel.HeaderDeviceName, "Airo-510\t Flown-710");
  EXPECT_EQ(channel.HeaderChannelsCount, 7);
  EXPECT_EQ(channel.DataCount, 3);
  EXPECT_EQ(channel.ColumnNameCount, 8);
  EXPECT_EQ(channel.OwnPreset.Humidity, 33.3);
  ASSERT_EQ(channel.LoadRecording(), 0);
  for (int c = 0; c < kChannelCount; ++c) {
    EXPECT_TRUE(channel.OwnPreset.Visible[c]) << c;
    EXPECT_EQ(channel.OwnPreset.Color[c], Current().Color[c]) << c;
    const chart::Series& s = channel.ChannelSeries(c);
    ASSERT_EQ(s.Count(), 3u) << c;
    for (int row = 0; row < 3; ++row) EXPECT_FLOAT_EQ(s.Value(row), row * 10 + c + 0.5f);
  }
  EXPECT_TRUE(channel.UsingOwnPreset);
  EXPECT_EQ(chart.SeriesCount(), 10);
  ASSERT_EQ(channel.MarksSeries.Count(), 3u);
  EXPECT_TRUE(channel.MarksSeries.IsNull(0));
  EXPECT_EQ(channel.MarksSeries.Value(1), 30.0);
  EXPECT_EQ(channel.MarksSeries.LabelText(1), marks[1]);
  EXPECT_EQ(channel.MarksSeries.LabelText(2), marks[2]);
  // The first row is labelled one interval after the start.
  EXPECT_EQ(channel.AbsTimeSeries.LabelText(0), "[08]14:23:10");
  EXPECT_EQ(channel.RelTimeSeries.LabelText(2), "[0:00:15]");
  EXPECT_EQ(channel.RecordFileName, channel.LoadFileName);
}

TEST_F(RecordReader, HeaderLinesOutOfOrderOrMissingAreHandledAsTheFormatSays) {
  // "Data-Humidity" missing: the file reads; the value keeps what it was.
  std::string bytes = HandHeader();
  bytes.erase(bytes.find("Data-Humidity"), std::string("Data-Humidity: 40.0\r\n").size());
  channel.OwnPreset.Humidity = 55.0;
  ASSERT_EQ(Open(bytes + "1.0\t2.0\t\r\n"), 0);
  EXPECT_EQ(channel.OwnPreset.Humidity, 55.0);
  EXPECT_EQ(channel.OwnPreset.AirTemperature, 22.0);
  EXPECT_EQ(channel.SeriesM.Count(), 1u);

  // "Data-Color" before "Column-Header": the header ends there, "Data-Table"
  // included, so opening reports the file instead of reading header lines
  // as rows; the scan still lists it.
  bytes = HandHeader();
  const std::string columns = "Column-Header:\tV (l)\tM (l/min)\tMarks\r\n";
  bytes.erase(bytes.find(columns), columns.size());
  bytes.insert(bytes.find("Data-AtmPressure"), columns);
  const std::string path = Write("swapped.vxa", bytes);
  ASSERT_EQ(channel.ReadHeader(path), 0);
  EXPECT_EQ(channel.ColumnNameCount, 0);
  EXPECT_FALSE(channel.DataTableFound);
  EXPECT_EQ(channel.LoadRecording(), 2);
}

TEST_F(RecordReader, VersionsAndBrokenHeadersGiveTheirOwnResults) {
  EXPECT_EQ(channel.ReadHeader(folder.File("none.vxa")), 1);
  EXPECT_EQ(channel.ReadHeader(folder.path()), 1);  // a folder
  EXPECT_EQ(channel.ReadHeader(Write("v3.vxa", HandHeader({.version = " 3"}))), 2);
  EXPECT_EQ(channel.HeaderFormatVersion, 3);
  EXPECT_EQ(channel.ReadHeader(Write("v1.vxa", HandHeader({.version = " 1"}))), 0);
  EXPECT_EQ(channel.HeaderFormatVersion, 1);
  EXPECT_EQ(channel.ReadHeader(Write("empty.vxa", "")), 3);
  EXPECT_EQ(channel.ReadHeader(Write("text.vxa", "Format-Versio: 2\r\n")), 3);

  // A value that does not convert: reported, and nothing of the file is taken.
  const double started = channel.StartedTime;
  for (const auto& [from, to] : {std::pair{"08.12.2026 14:23:05", "yesterday"},
                                 std::pair{"Data-Count:      3", "Data-Count: three"},
                                 std::pair{"16711935", "magenta"},
                                 std::pair{"Data-BodyMass: 70.0", "Data-BodyMass: 7,0"}}) {
    std::string bytes = HandHeader();
    bytes.replace(bytes.find(from), std::string(from).size(), to);
    EXPECT_EQ(channel.ReadHeader(Write("bad.vxa", bytes)), 4) << to;
    EXPECT_EQ(channel.StartedTime, started);
  }
}

TEST_F(RecordReader, AFailedHeaderReadLeavesNothingToLoad) {
  // The operator chose a file that does not read: loading must not bring up
  // the one read before it.
  const std::string good = Write("good.vxa", HandHeader() + "1.0\t2.0\t\r\n");
  const std::string broken = HandHeader({.count = "three"});
  for (const std::string& chosen :
       {Write("bad.vxa", broken), Write("text.vxa", "Hello"), folder.File("missing.vxa"),
        Write("v3.vxa", HandHeader({.version = " 3"}))}) {
    ASSERT_EQ(channel.ReadHeader(good), 0);
    EXPECT_NE(channel.ReadHeader(chosen), 0) << chosen;
    EXPECT_NE(channel.LoadRecording(), 0) << chosen;
    EXPECT_EQ(channel.SeriesV.Count(), 0u) << chosen;
    EXPECT_NE(channel.RecordFileName, good) << chosen;
  }
}

TEST_F(RecordReader, AnUnfinishedFileReadsWithEveryCompleteRow) {
  // What a crash leaves: placeholders, and a row cut short at the end.
  std::string bytes = HandHeader({.count = "      "});
  bytes.replace(bytes.find("14:23:21"), 8, "14:23:05");
  bytes.replace(bytes.find("test"), 4, "    ");
  ASSERT_EQ(Open(bytes + "0.6\t12.5\t\r\n0.5\t11.9\tstart\r\n0.6\t1"), 0);
  EXPECT_EQ(channel.StoppedTime, channel.StartedTime);
  EXPECT_EQ(channel.RecordDescription, "");
  EXPECT_EQ(channel.DataCount, 2);  // counted while loading
  EXPECT_EQ(channel.SeriesV.Count(), 2u);
  EXPECT_EQ(channel.MarksSeries.LabelText(1), "start");
}

TEST_F(RecordReader, ALastRowWithoutItsLineEndIsWholeWhenItHoldsEveryColumn) {
  // The worked example's first two rows, then a last line without CR LF.
  const struct {
    std::string last;
    std::size_t rows;
    bool torn;
    const char* mark;  // the last row's
  } cases[] = {
      {"0.6\t12.2\t", 3, false, ""},
      {"0.6\t12.2\tend", 3, false, "end"},
      {"0.6\t12.2\t\r", 3, false, ""},
      {"0.6\t12.2", 2, true, "start"},
      {"0.6\t", 2, true, "start"},
      {"0.6\t\t", 2, true, "start"},
      {"", 2, false, "start"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.last);
    ASSERT_EQ(Open(HandHeader() + "0.6\t12.5\t\r\n0.5\t11.9\tstart\r\n" + c.last), 0);
    EXPECT_EQ(channel.SeriesV.Count(), c.rows);
    EXPECT_EQ(channel.SeriesM.Count(), c.rows);
    EXPECT_EQ(channel.DataCount, static_cast<int32_t>(c.rows));
    EXPECT_EQ(channel.TornLastRow, c.torn);
    EXPECT_EQ(channel.MarksSeries.LabelText(c.rows - 1), c.mark);
    if (c.rows == 3) {
      EXPECT_FLOAT_EQ(channel.SeriesM.Value(2), 12.2f);
    }
  }
}

TEST_F(RecordReader, RowsThatDoNotFitTheirColumnsNeverMisplaceAValue) {
  // Columns V, an unknown one, M: the unknown column's field is read and
  // dropped. Then: a short row, a field that is not a number, bare LF line
  // ends, a row far longer than the format's 98 characters.
  const std::string longMark(150, 'x');
  const std::string rows =
      "1.0\t9.9\t2.0\t\r\n"
      "3.0\t\r\n"
      "abc\t9.9\t4.0\tm\n"
      "5.0\t9.9\t6.0\t" + longMark + "\r\n" +
      "7.0\t9.9\t7.5\t" + std::string(10000, 'y') + "\r\n"
      "8.0\t9.9\t9.0\t\r\n";
  ASSERT_EQ(Open(HandHeader({.columns = "\tV (l)\tX (y)\tM (l/min)\tMarks", .colours = " 1\t2\t3\t", .count = "     6"}) + rows), 0);
  EXPECT_TRUE(channel.OwnPreset.Visible[kV]);
  EXPECT_TRUE(channel.OwnPreset.Visible[kM]);
  EXPECT_EQ(channel.OwnPreset.Color[kM], 3u);
  const std::vector<double> v = Values(channel.SeriesV), m = Values(channel.SeriesM);
  ASSERT_EQ(v.size(), 6u);
  ASSERT_EQ(m.size(), 6u);
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(m[0], 2.0);
  EXPECT_EQ(v[1], 3.0);
  EXPECT_TRUE(std::isnan(m[1]));
  EXPECT_TRUE(std::isnan(v[2]));
  EXPECT_EQ(m[2], 4.0);
  EXPECT_EQ(channel.MarksSeries.LabelText(2), "m");
  EXPECT_EQ(channel.MarksSeries.LabelText(3), longMark);
  // A line beyond any this format writes keeps its values; its mark is cut.
  EXPECT_EQ(v[4], 7.0);
  EXPECT_EQ(m[4], 7.5);
  EXPECT_EQ(channel.MarksSeries.LabelText(4), std::string(kMaxRowBytes - 12, 'y'));
  EXPECT_EQ(v[5], 8.0);
  EXPECT_EQ(m[5], 9.0);
}

TEST_F(RecordReader, ALineLongerThanTheReadingBlockIsOneRow) {
  const std::string rows = "1.0\t2.0\t" + std::string(3 << 20, 'z') + "\r\n3.0\t4.0\t\r\n5.0\t6";
  ASSERT_EQ(Open(HandHeader() + rows), 0);
  EXPECT_EQ(Values(channel.SeriesV), (std::vector<double>{1.0, 3.0}));
  EXPECT_EQ(Values(channel.SeriesM), (std::vector<double>{2.0, 4.0}));
  EXPECT_EQ(channel.MarksSeries.LabelText(0).size(), kMaxRowBytes - 8);
  EXPECT_EQ(channel.DataCount, 2);
}

TEST_F(RecordReader, AFileWithoutChannelsHoldsOnlyMarks) {
  ASSERT_EQ(Open(HandHeader({.columns = "\tMarks", .colours = " ", .count = "     2"}) + "\r\nhello\tworld\r\n"), 0);
  EXPECT_EQ(chart.SeriesCount(), 3);
  EXPECT_EQ(channel.ColumnCount, 0);
  ASSERT_EQ(channel.MarksSeries.Count(), 2u);
  EXPECT_TRUE(channel.MarksSeries.IsNull(0));
  EXPECT_EQ(channel.MarksSeries.LabelText(1), "hello\tworld");
}

TEST_F(RecordReader, IntervalsBecomeDayFractionsOfAnyLength) {
  const struct {
    const char* text;
    double seconds;
    const char* secondLabel;
  } cases[] = {{" 0.5", 0.5, "[0:00:01]"},
               {" 90.0", 90.0, "[0:03:00]"},
               {" 90000.0", 90000.0, "[50:00:00]"}};
  for (const auto& c : cases) {
    ASSERT_EQ(Open(HandHeader({.interval = c.text}) + "1.0\t2.0\t\r\n1.0\t2.0\t\r\n"), 0);
    EXPECT_EQ(channel.IntervalSeconds, c.seconds);
    EXPECT_DOUBLE_EQ(channel.IntervalTime, c.seconds / 86400.0);
    EXPECT_EQ(channel.RelTimeSeries.LabelText(1), c.secondLabel);
  }
  EXPECT_DOUBLE_EQ(EncodeTimeOfDay(0, 1, 30, 0), 90.0 / 86400.0);
  EXPECT_DOUBLE_EQ(EncodeTimeOfDay(0, 0, 0, 500), 0.5 / 86400.0);
}

TEST_F(RecordReader, TheProgressBarFollowsTheLoad) {
  struct Progress : TProgress {
    void SetMaximum(int m) override { maximum = m; }
    void SetPosition(int p) override { positions.push_back(p); }
    void SetVisible(bool v) override { visible.push_back(v); }
    int maximum = -1;
    std::vector<int> positions;
    std::vector<bool> visible;
  } progress;
  channel.ProgressBar = &progress;
  std::string rows;
  for (int i = 0; i < 250; ++i) rows += "1.0\t2.0\t\r\n";
  ASSERT_EQ(Open(HandHeader({.count = "   250"}) + rows), 0);
  EXPECT_EQ(progress.maximum, 250);
  EXPECT_EQ(progress.positions, (std::vector<int>{100, 200}));
  EXPECT_EQ(progress.visible, (std::vector<bool>{true, false}));
  EXPECT_EQ(channel.SeriesV.Count(), 250u);
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

// Opening as the windows do: every refusal the file's bytes cause is found
// before the recording object changes, so the chart and the header members
// keep describing the recording shown.
struct Refused {
  const char* name;
  std::string bytes;  // empty name: no file at all
  OpenFailure failure;
  int status;
};

class OpenChecksFirst : public RecordReader, public ::testing::WithParamInterface<Refused> {};

TEST_P(OpenChecksFirst, ARefusedFileLeavesTheRecordingShownAsItWas) {
  const std::string shown = Write("shown.vxa", HandHeader() + "0.6\t12.5\t\r\n0.5\t11.9\tstart\r\n");
  ASSERT_EQ(OpenRecordingFile(channel, shown).status, 0);
  const double started = channel.StartedTime;
  const std::size_t points = channel.SeriesV.Count();

  const Refused& r = GetParam();
  const std::string path = r.bytes.empty() ? folder.File("missing.vxa") : Write("refused.vxa", r.bytes);
  const OpenOutcome o = OpenRecordingFile(channel, path);
  EXPECT_EQ(o.failure, r.failure);
  EXPECT_EQ(o.status, r.status);
  EXPECT_FALSE(o.loadBegun);
  EXPECT_EQ(channel.RecordFileName, shown);
  EXPECT_EQ(channel.LoadFileName, shown);
  EXPECT_EQ(channel.StartedTime, started);
  EXPECT_EQ(channel.RecordDescription, "test");
  EXPECT_EQ(channel.OwnPreset.AtmPressure, 745.5);
  EXPECT_EQ(channel.SeriesV.Count(), points);
  EXPECT_EQ(chart.SeriesCount(), 5);  // marks, both time carriers, V, M
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenChecksFirst,
    ::testing::Values(Refused{"missing", "", OpenFailure::kCannotOpen, 1},
                      Refused{"text", "hello\r\n", OpenFailure::kNotRecording, 3},
                      Refused{"newer", HandHeader({.version = " 3"}), OpenFailure::kNewerVersion, 2},
                      Refused{"badValue", HandHeader({.interval = " five"}), OpenFailure::kBadValue, 1},
                      Refused{"noTable", "Format-Version: 2\r\nDescription: other\r\nData-AtmPressure: 700\r\n",
                              OpenFailure::kNoDataTable, 1},
                      Refused{"noColumns", HandHeader({.columns = ""}) + "1\t2\r\n", OpenFailure::kNoDataTable, 1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(RecordReader, AFailedOpenSaysWhyInTheOperatorsLanguage) {
  OpenOutcome o;
  o.failure = OpenFailure::kNewerVersion;
  o.reason = "format version 3 is newer than this program reads (2)";
  o.formatVersion = 3;
  EXPECT_EQ(OpenFailureMessage(o, "/d/a.vxa", 0),
            "Error open file: /d/a.vxa\nformat version 3 is newer than this program reads (2)");
  EXPECT_EQ(OpenFailureMessage(o, "/d/a.vxa", 1),
            "Невозможно открыть файл /d/a.vxa\nверсия формата 3 новее той, что читает эта программа (2)");
}

}  // namespace
}  // namespace vexa
