// Recordings as EDF+: the header of a small export byte for byte, how rows
// become data records and values digital ones, texts cut for EDFlib, what
// EDF+ cannot hold, and outputs that are refused or fail to write. (MNE-Python
// reads exported files back in tests/tools/edf_mne_check.py.)
#include "recording/edf_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "chart/chart.h"
#include "core/settings.h"
#include "core/temp_folder.h"
#include "recording/channel.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::WriteAll;

std::string Recording(const std::string& interval, const std::string& columns, const std::string& rows,
                      const std::string& started = "08.12.2026 14:23:05") {
  return "Format-Version: 2\r\nDevice-Name: Airo-510\t Flown-710\r\nChannels-Count: 2\r\n"
         "Started-Record: " + started + "\r\nStopped-Record: 08.12.2026 14:23:21\r\n"
         "Sample-Interval: " + interval + "\r\nDescription: test" + std::string(78, ' ') +
         "\r\nData-Count:      3\r\nColumn-Header:\t" + columns +
         "Marks\r\nData-Color: 65280\t16711935\t\r\nData-AtmPressure: 760.0\r\nData-BodyMass: 80.0\r\n"
         "Data-TempEnviroment: 20.0\r\nData-Humidity: 75.0\r\nData-Table:\r\n" + rows;
}

// The format's worked example: V and M, three rows of 5 s, "start" on the second.
const std::string kExample = Recording("5.0", "V (l)\tM (l/min)\t", "0.6\t12.5\t\r\n0.5\t11.9\tstart\r\n0.6\t12.2\t\r\n");

std::string Pad(const std::string& text, std::size_t width) { return text + std::string(width - text.size(), ' '); }

class EdfExport : public ::testing::Test {
 protected:
  void Load(const std::string& fileText) {
    WriteAll(path, fileText);
    channel.CreateFixedAxes(chart);
    ASSERT_EQ(channel.ReadHeader(path), 0);
    ASSERT_EQ(channel.LoadRecording(), 0);
  }
  void SetUp() override {
    if (!EdfExportAvailable()) GTEST_SKIP() << "built without EDFlib";
  }
  ::vexa::testing::TempFolder dir;
  std::string path = dir.File("r.vxa");
  TGLOB settings{TGLOB::NoFile{}, dir.path()};
  chart::Chart chart;
  TChannel channel{settings};
};

TEST_F(EdfExport, TheWorkedExampleHasTheHeaderOfTheEdfPlusFormat) {
  Load(kExample);
  const std::string out = dir.File("запись 1.edf");  // a name outside the ANSI code page
  const FileResult written = ExportEdf(channel, out);
  ASSERT_TRUE(written.ok) << written.error;
  // Two ordinary signals and six annotation signals: one record of 60 s
  // holds the samples and the six annotations (description, four
  // environment values, the mark), one per annotation signal. EDFlib 1.23
  // (Debian 12's) gives each annotation signal 114 bytes a record, 1.27 (the
  // Windows build's) 120.
  const int annotationBytes = EdfLibraryVersion() <= 123 ? 114 : 120;
  const std::string ann = Pad("EDF Annotations", 16);
  const auto six = [](const std::string& field) {
    std::string all;
    for (int i = 0; i < 6; ++i) all += field;
    return all;
  };
  const std::string header =
      Pad("0", 8) + Pad("X X X X", 80) + Pad("Startdate 08-DEC-2026 X X Airo-510_Flown-710", 80) +
      "08.12.26" "14.23.05" + Pad("2304", 8) + Pad("EDF+C", 44) +
      Pad("1", 8) +   // data records
      Pad("60", 8) +  // seconds a record lasts: 12 samples of 5 s
      Pad("8", 4) +
      Pad("V (l)", 16) + Pad("M (l/min)", 16) + six(ann) +
      std::string(8 * 80, ' ') +  // transducers
      Pad("l", 8) + Pad("l/min", 8) + six(Pad("", 8)) +
      // Physical minimum: the lowest value less at least one step; maximum: the highest.
      Pad("0.499998", 8) + Pad("11.89999", 8) + six(Pad("-1", 8)) +
      Pad("0.6", 8) + Pad("12.5", 8) + six(Pad("1", 8)) +
      Pad("-32768", 8) + Pad("-32768", 8) + six(Pad("-32768", 8)) +
      Pad("32767", 8) + Pad("32767", 8) + six(Pad("32767", 8)) +
      std::string(8 * 80, ' ') +  // prefilters
      Pad("12", 8) + Pad("12", 8) + six(Pad(std::to_string(annotationBytes / 2), 8)) +
      std::string(8 * 32, ' ');
  ASSERT_EQ(header.size(), 256u + 8 * 256);
  const std::string file = ReadAll(out);
  ASSERT_GE(file.size(), header.size());
  EXPECT_EQ(file.substr(0, header.size()), header);
  // The record: V's and M's 12 samples, then the six annotation signals' bytes
  // opening with the time-keeping annotation. Sample 0 and the padding after
  // the third row have no value; V 0.6 and M 12.5 are the highest digital
  // value, V 0.5 and M 11.9 the lowest but "no value".
  ASSERT_EQ(file.size(), header.size() + 2 * 24 + 6 * static_cast<std::size_t>(annotationBytes));
  const auto sample = [&](int s, int j) {
    const std::size_t at = header.size() + static_cast<std::size_t>(s) * 24 + static_cast<std::size_t>(j) * 2;
    return static_cast<int16_t>(static_cast<uint8_t>(file[at]) | static_cast<uint8_t>(file[at + 1]) << 8);
  };
  const int16_t v[12] = {-32768, 32767, -32767, 32767, -32768, -32768, -32768, -32768, -32768, -32768, -32768, -32768};
  for (int j = 0; j < 12; ++j) EXPECT_EQ(sample(0, j), v[j]) << j;
  EXPECT_EQ(sample(1, 1), 32767);
  EXPECT_EQ(sample(1, 2), -32767);
  EXPECT_EQ(file.substr(header.size() + 48, 5), std::string("+0\x14\x14\0", 5));
  EXPECT_EQ(dir.EntryCount(), 2);  // no temporary file left beside
}

TEST(EdfRecordLayout, RecordsHoldWholeSamplesForASecondToAMinuteWithAnExactDuration) {
  struct Case {
    double interval;
    int64_t rows;
    std::size_t annotations;
    int samples;
    const char* duration;
  };
  const Case cases[] = {
      {5.0, 999999, 25, 12, "60"},     {1.0, 10, 0, 60, "60"},      {0.5, 10, 5, 120, "60"},
      {0.05, 10, 5, 1200, "60"},       {0.3, 10, 0, 200, "60"},     {0.7, 10, 0, 85, "59.5"},
      {0.9, 10, 0, 66, "59.4"},        {1.2, 10, 0, 50, "60"},      {7.3, 10, 0, 8, "58.4"},
      {60, 10, 0, 1, "60"},            {0.33333, 10, 0, 180, "59.9994"}, {59.99999, 10, 0, 1, "59.99999"},
      // Many marks: shorter records, for more annotation space, down to a second.
      {0.5, 1000, 300, 120, "60"},     {0.5, 1000, 1000, 66, "33"},  {0.5, 1000, 5000, 12, "6"},
      {0.1, 100000, 100000, 64, "6.4"},
  };
  for (const Case& c : cases) {
    const TEdfRecordLayout l = EdfRecordLayout(c.interval, c.rows, c.annotations);
    ASSERT_TRUE(l.ok) << c.interval;
    EXPECT_EQ(l.samplesPerRecord, c.samples) << c.interval << " " << c.annotations;
    EXPECT_EQ(l.durationText, c.duration) << c.interval;
    EXPECT_EQ(l.duration10us, l.interval10us * c.samples) << c.interval;
    EXPECT_LE(EdfAnnotationSignals(c.rows, l.samplesPerRecord, c.annotations), 64) << c.interval;
  }
  // More than 64 annotation signals even in one-second records: the plan refuses.
  EXPECT_EQ(EdfRecordLayout(0.5, 1000, 100000).samplesPerRecord, 2);
  EXPECT_GT(EdfAnnotationSignals(1000, 2, 100000), 64);
  // EDFlib takes records of at most 60 s and a positive interval of 10 us or more.
  for (double bad : {60.001, 90.0, 0.0, -5.0, 0.000001, std::nan(""), 1e300}) {
    EXPECT_FALSE(EdfRecordLayout(bad).ok) << bad;
  }
}

TEST(EdfNumberText, FitsEightCharactersRoundedTheWayAsked) {
  struct Case {
    double v;
    bool up;
    const char* text;
  };
  const Case cases[] = {
      {0.6, true, "0.6"},           {0.6, false, "0.6"},         {12.5, true, "12.5"},
      {36.59999847, false, "36.59999"}, {36.59999847, true, "36.6"}, {0.123456789, true, "0.123457"},
      {0.123456789, false, "0.123456"}, {-0.2, false, "-0.2"},   {760.3, true, "760.3"},
      {99999999, true, "99999999"}, {-1234567.8, false, "-1234568"}, {-1234567.8, true, "-1234567"},
      {1e-8, true, "0.000001"},     {-1e-8, false, "-0.00001"},  {0, false, "0"},
      {1e8, true, ""},              {-9999999.5, false, ""},     {std::nan(""), true, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(EdfNumberText(c.v, c.up), c.text) << c.v << (c.up ? " up" : " down");
}

TEST(EdfTextPieces, CutBetweenCharactersIntoPiecesEdflibKeepsWhole) {
  EXPECT_TRUE(EdfTextPieces("").empty());
  EXPECT_EQ(EdfTextPieces(std::string(40, 'a')), std::vector<std::string>{std::string(40, 'a')});
  EXPECT_EQ(EdfTextPieces(std::string(41, 'a')), (std::vector<std::string>{std::string(40, 'a'), "a"}));
  // Fifty Cyrillic letters are 100 bytes: pieces of whole letters, before a
  // space where one lies in a piece's second half, together the text.
  const std::string mark = "после нагрузки: восстановление дыхания, 5 минут!!";
  const std::vector<std::string> pieces = EdfTextPieces(mark);
  std::string joined;
  for (const std::string& p : pieces) {
    EXPECT_LE(p.size(), 40u);
    EXPECT_NE(static_cast<unsigned char>(p.front()) & 0xC0, 0x80) << p;  // no letter's tail first
    joined += p;
  }
  EXPECT_EQ(joined, mark);
  EXPECT_EQ(pieces.front(), "после нагрузки:");
}

TEST_F(EdfExport, DigitalValuesKeepTheFilesDecimalsAndNoValueApart) {
  // A narrow range (36.6 and 36.7) makes steps smaller than a float's error.
  Load(Recording("1.0", "T (\xB0" "C)\t", "36.6\t\r\n36.7\t\r\n\r\n36.6\t\r\n"));
  const TEdfPlan plan = PlanEdfExport(channel);
  ASSERT_EQ(plan.problem, "");
  ASSERT_EQ(plan.edfSignals.size(), 1u);
  const TEdfSignal& t = plan.edfSignals[0];
  EXPECT_EQ(t.label, "T (degC)");
  EXPECT_EQ(t.dimension, "degC");
  const double step = (t.max - t.min) / 65535;
  for (double v : {36.6, 36.7}) {
    const double back = (EdfDigital(t, static_cast<float>(v)) + 32768) * step + t.min;
    EXPECT_LE(std::fabs(back - v), step / 2) << v;
  }
  EXPECT_EQ(EdfDigital(t, 36.7), 32767);
  EXPECT_GE(EdfDigital(t, 36.6), -32767);
  EXPECT_EQ(EdfDigital(t, std::nan("")), kEdfNullDigital);
  EXPECT_EQ(plan.rows, 4);
  EXPECT_EQ(plan.layout.samplesPerRecord, 60);
  EXPECT_EQ(plan.records, 1);  // the start's sample, one per row, padding

  // A flat channel still has a range.
  Load(Recording("1.0", "V (l)\t", "0.0\t\r\n0.0\t\r\n"));
  const TEdfPlan flat = PlanEdfExport(channel);
  ASSERT_EQ(flat.problem, "");
  EXPECT_LT(flat.edfSignals[0].min, 0.0);
  EXPECT_GT(flat.edfSignals[0].max, 0.0);
}

TEST_F(EdfExport, WhatEdfPlusCannotHoldIsRefusedWithTheReasonAndNothingWritten) {
  struct Case {
    std::string recording;
    const char* reason;
  };
  std::string everyRowMarked;
  for (int i = 0; i < 200; ++i) everyRowMarked += "1.0\tmark\r\n";
  const Case cases[] = {
      {Recording("90.0", "V (l)\t", "1.0\t\r\n"), "EDF+ takes sample intervals of at most 60 s; this recording's is 90 s"},
      {Recording("0.0", "V (l)\t", "1.0\t\r\n"), "the recording has no sample interval, which EDF+ needs"},
      {Recording("1.0", "V (l)\t", "1.0\t\r\n", "08.12.1984 14:23:05"),
       "EDF+ holds start dates from 1985 to 2084 only; this recording starts 08.12.1984 14:23:05"},
      {Recording("1.0", "V (l)\t", "123456789.0\t\r\n"),
       "a value does not fit the 8 characters of an EDF+ header field in channel V (l)"},
      {Recording("1.0", "", "\r\n"), "the recording has no channel for EDF+ to hold"},
      {Recording("0.00001", "V (l)\t", everyRowMarked),
       "the recording has more marks than EDF+ can hold at its sample interval"},
  };
  for (const Case& c : cases) {
    Load(c.recording);
    const FileResult r = ExportEdf(channel, dir.File("r.edf"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, c.reason);
    EXPECT_FALSE(fs::exists(dir.File("r.edf")));
    EXPECT_EQ(dir.EntryCount(), 1);
  }
  // In Russian too.
  Load(Recording("90.0", "V (l)\t", "1.0\t\r\n"));
  EXPECT_EQ(ExportEdf(channel, dir.File("r.edf"), nullptr, 1).error,
            "EDF+ допускает интервал записи не больше 60 с; у этой записи 90 s");
}

TEST_F(EdfExport, NeverWritesOverTheRecordingOrAnyRecordingAndAFailedWriteLeavesNoFile) {
  Load(kExample);
  fs::create_hard_link(path, dir.File("alias.edf"));
  WriteAll(dir.File("other.VXA"), "another recording");
  for (const std::string& out : {path, dir.File("alias.edf"), dir.File("other.VXA"), dir.File("new.vxa")}) {
    const FileResult r = ExportEdf(channel, out);
    EXPECT_FALSE(r.ok) << out;
    EXPECT_EQ(r.error.find(out), 0u) << r.error;
  }
  EXPECT_EQ(ReadAll(path), kExample);
  EXPECT_FALSE(fs::exists(dir.File("new.vxa")));
  fs::remove(dir.File("alias.edf"));

#ifndef _WIN32
  // A disk that fills: the file being replaced stays as it was, and no
  // temporary file is left beside it.
  WriteAll(dir.File("r.edf"), "an older export");
  {
    testing::FileSizeLimit limit(600);
    const FileResult r = ExportEdf(channel, dir.File("r.edf"));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("cannot write " + dir.File("r.edf")), std::string::npos) << r.error;
  }
  EXPECT_EQ(ReadAll(dir.File("r.edf")), "an older export");
  EXPECT_EQ(dir.EntryCount(), 3);  // r.vxa, other.VXA, r.edf
  // A folder that does not exist.
  EXPECT_FALSE(ExportEdf(channel, dir.File("none/r.edf")).ok);
#endif
}

}  // namespace
}  // namespace vexa
