// Recordings as CSV: quoting, the time columns and gaps, read back from a
// hand-built recording file.
#include "recording/csv_export.h"

#include <gtest/gtest.h>

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
                   const std::string& colours) {
  return "Format-Version: 2\r\nDevice-Name: Airo-510\t Flown-710\r\nChannels-Count: 2\r\n"
         "Started-Record: 31.12.2026 23:59:58\r\nStopped-Record: 01.01.2027 00:00:01\r\n"
         "Sample-Interval: " + interval + "\r\nDescription: " + std::string(82, ' ') +
         "\r\nData-Count:      3\r\nColumn-Header:\t" + columns + "Marks\r\nData-Color: " + colours +
         "\r\nData-AtmPressure: 760.0\r\nData-BodyMass: 80.0\r\nData-TempEnviroment: 20.0\r\n"
         "Data-Humidity: 75.0\r\nData-Table:\r\n";
}

class CsvExport : public ::testing::Test {
 protected:
  std::string Export(const std::string& fileText) {
    const std::string path = dir.File("r.vxa");
    std::ofstream(path, std::ios::binary) << fileText;
    channel.CreateFixedAxes(chart);
    EXPECT_EQ(channel.ReadHeader(path), 0);
    EXPECT_EQ(channel.LoadRecording(), 0);
    const std::string out = dir.File("r.csv");
    EXPECT_TRUE(ExportCsv(channel, out).ok);
    std::ifstream in(out, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  testing::TempFolder dir;
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
            "Clock time,Elapsed (s),T (\u00B0C),M (l/min),Mark\r\n"
            "2026-12-31 23:59:59,1,20.5,7.5,\r\n"
            "2027-01-01 00:00:00,2,21,8.1,\"start, \"\"fast\"\"\"\r\n"
            "2027-01-01 00:00:01,3,19.9,0.6,\r\n");
}

TEST_F(CsvExport, FractionalIntervalsKeepMillisecondsAndMissingValuesStayEmpty) {
  const std::string csv =
      Export(Header("0.5", "V (l)\tM (l/min)\t", "65280\t16711935\t") + "0.6\t12.5\t\r\n0.5\r\n");
  EXPECT_EQ(csv.substr(csv.find("\r\n") + 2),
            "2026-12-31 23:59:58.500,0.5,0.6,12.5,\r\n"
            "2026-12-31 23:59:59.000,1,0.5,,\r\n");
}

}  // namespace
}  // namespace vexa
