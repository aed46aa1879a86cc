// Recordings as CSV: quoting, the time columns and gaps, read back from a
// hand-built recording file.
#include "recording/csv_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "chart/chart.h"
#include "core/settings.h"
#include "core/temp_folder.h"
#include "recording/channel.h"

namespace vexa {
namespace {

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(CsvField("start"), "start");
  EXPECT_EQ(CsvField("a b: c;d"), "a b: c;d");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(CsvField(""), "");
}

std::string Header(const std::string& interval, const std::string& columns,
                   const std::string& colours, const std::string& started = "31.12.2026 23:59:58") {
  return "Format-Version: 2\r\nDevice-Name: Airo-510\t Flown-710\r\nChannels-Count: 2\r\n"
         "Started-Record: " +
         started +
         "\r\nStopped-Record: 01.01.2027 00:00:01\r\n"
         "Sample-Interval: " +
         interval + "\r\nDescription: " + std::string(82, ' ') +
         "\r\nData-Count:      3\r\nColumn-Header:\t" + columns +
         "Marks\r\nData-Color: " + colours +
         "\r\nData-AtmPressure: 760.0\r\nData-BodyMass: 80.0\r\nData-TempEnviroment: 20.0\r\n"
         "Data-Humidity: 75.0\r\nData-Table:\r\n";
}

class CsvExport : public ::testing::Test {
 protected:
  void Load(const std::string& fileText) {
    std::ofstream(path, std::ios::binary) << fileText;
    channel.CreateFixedAxes(chart);
    EXPECT_EQ(channel.ReadHeader(path), 0);
    EXPECT_EQ(channel.LoadRecording(), 0);
  }
  std::string Export(const std::string& fileText) {
    Load(fileText);
    const std::string out = dir.File("r.csv");
    EXPECT_TRUE(ExportCsv(channel, out).ok);
    std::ifstream in(out, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The CSV without its byte-order mark and header row.
  static std::string Rows(const std::string& csv) { return csv.substr(csv.find("\r\n") + 2); }
  testing::TempFolder dir;
  std::string path = dir.File("r.vxa");
  TGLOB settings{TGLOB::NoFile{}, dir.path()};
  chart::Chart chart;
  TChannel channel{settings};
};

TEST_F(CsvExport, RowsCarryTimesValuesAndQuotedMarks) {
  // The Windows-1251 title "T (°C)" becomes UTF-8; the clock passes midnight
  // and the new year; a mark with a comma and quotes is quoted.
  const std::string csv = Export(Header("1.0", "T (\xB0" "C)\tM (l/min)\t", "255\t16711935\t") +
                                 "20.5\t7.5\t\r\n21.0\t8.1\tstart, \"fast\"\r\n19.9\t0.6\t\r\n");
  EXPECT_EQ(csv,
            "\xEF\xBB\xBF"  // UTF-8 byte-order mark: spreadsheets then keep Cyrillic
            "Clock time,Elapsed (s),T (\u00B0C),M (l/min),Mark\r\n"
            "2026-12-31 23:59:59,1,20.5,7.5,\r\n"
            "2027-01-01 00:00:00,2,21,8.1,\"start, \"\"fast\"\"\"\r\n"
            "2027-01-01 00:00:01,3,19.9,0.6,\r\n");
}

TEST_F(CsvExport, FractionalIntervalsKeepMillisecondsAndMissingValuesStayEmpty) {
  const std::string csv =
      Export(Header("0.5", "V (l)\tM (l/min)\t", "65280\t16711935\t") + "0.6\t12.5\t\r\n0.5\r\n");
  EXPECT_EQ(Rows(csv),
            "2026-12-31 23:59:58.500,0.5,0.6,12.5,\r\n"
            "2026-12-31 23:59:59.000,1,0.5,,\r\n");
}

TEST_F(CsvExport, TextCellsCarryNoControlCharactersAndRunNoFormulas) {
  const std::string marks[][2] = {
      {"=SUM(A1:A9)", "'=SUM(A1:A9)"},
      {"+1", "'+1"},
      {"-5 ml", "'-5 ml"},
      {"@cmd", "'@cmd"},
      {std::string("a\0b\x1B[2Jc\x98", 9), "ab[2Jc"},
      {std::string("\0=1", 3), "'=1"},
      {"x=1, y", "\"x=1, y\""},
  };
  std::string rows, expected;
  for (const auto& m : marks) {
    rows += "1.0\t" + m[0] + "\r\n";
    expected += "2026-12-31 23:59:58,0,1," + m[1] + "\r\n";
  }
  EXPECT_EQ(Rows(Export(Header("0.0", "V (l)\t", "65280\t") + rows)), expected);
}

TEST_F(CsvExport, RowTimesComeFromTheRowNumberAsTheChartLabelsThem) {
  // Adding the interval row by row drifted: after 100,000 rows of 5 s the
  // elapsed time read 499999.991 and the clock a second behind the chart.
  Load(Header("5.0", "", "", "08.12.2026 14:23:05") + std::string(100000, '\n'));
  ASSERT_EQ(channel.AbsTimeSeries.Count(), 100000u);
  const std::string csv = RecordingToCsv(channel);
  const std::string last = csv.substr(csv.rfind("\r\n", csv.size() - 3) + 2);
  EXPECT_EQ(last, "2026-12-14 09:16:25,500000,\r\n");
  EXPECT_EQ(channel.AbsTimeSeries.LabelText(99999), "[14]09:16:25");

  // The last row of a full file, and an absurd interval, which keeps its
  // size instead of overflowing into negative elapsed times.
  EXPECT_EQ(CsvTimeCells(channel, 999999), "2027-02-04 11:16:20,4999995");
  channel.IntervalSeconds = 1e300;
  channel.IntervalTime = 1e300 / 86400;
  EXPECT_EQ(CsvTimeCells(channel, 2), "9999-12-31 23:59:59,2e+300");
}

TEST_F(CsvExport, NeverWritesOverTheRecordingOrAnyOtherRecording) {
  const std::string recording = Header("1.0", "V (l)\t", "65280\t") + "1.0\t\r\n";
  Load(recording);
  std::filesystem::create_hard_link(path, dir.File("alias.csv"));  // the same file by another name
  std::ofstream(dir.File("other.VXA"), std::ios::binary) << "another recording";
  for (const std::string& out :
       {path, dir.File("alias.csv"), dir.File("other.VXA"), dir.File("new.vxa")}) {
    const FileResult r = ExportCsv(channel, out);
    EXPECT_FALSE(r.ok) << out;
    EXPECT_NE(r.error.find(out), std::string::npos) << r.error;
  }
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), recording);
  EXPECT_FALSE(std::filesystem::exists(dir.File("new.vxa")));
  EXPECT_EQ(CsvOutputProblem(path, dir.File("r.csv")), "");
}

}  // namespace
}  // namespace vexa
