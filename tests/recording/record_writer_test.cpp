#include <gtest/gtest.h>

#include <string>

#include "core/comma_locale.h"
#include "core/cp1251.h"
#include "core/paths.h"
#include "recording/record_format.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

using testing::ReadAll;

class RecordWriter : public testing::RecordingFixture {
 protected:
  std::string Header(const std::string& stopped, const std::string& description,
                     const std::string& count) {
    return "Format-Version: 2\r\n"
           "Device-Name: Airo-510\t Flown-710\r\n"
           "Channels-Count: 2\r\n"
           "Started-Record: 08.12.2026 14:23:05\r\n"
           "Stopped-Record: " + stopped + "\r\n"
           "Sample-Interval: 5.0\r\n"
           "Description: " + description + "\r\n"
           "Data-Count: " + count + "\r\n"
           "Column-Header:\tV (l)\tM (l/min)\tMarks\r\n"
           "Data-Color: 65280\t16711935\t\r\n"
           "Data-AtmPressure: 760.0\r\n"
           "Data-BodyMass: 80.0\r\n"
           "Data-TempEnviroment: 20.0\r\n"
           "Data-Humidity: 75.0\r\n"
           "Data-Table:\r\n";
  }
};

TEST_F(RecordWriter, ASessionWritesTheDocumentedBytes) {
  channel.Postfix = "run1";
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  EXPECT_TRUE(channel.Recording);
  EXPECT_EQ(channel.RecordFileName, JoinPath(folder.path(), "2026-12-08 (14-23-05) run1.vxa"));

  // Right after creation the three slots hold their placeholders.
  const std::string created =
      Header("08.12.2026 14:23:05", std::string(82, ' '), std::string(6, ' '));
  EXPECT_EQ(ReadAll(channel.RecordFileName), created);
  EXPECT_EQ(created.compare(channel.StoppedValueOffset, 19, "08.12.2026 14:23:05"), 0);
  EXPECT_EQ(created.substr(channel.DescriptionValueOffset - 13, 13), "Description: ");
  EXPECT_EQ(created.substr(channel.DataCountValueOffset - 12, 12), "Data-Count: ");

  ASSERT_TRUE(Sample({{kV, 0.6}, {kM, 12.5}}));
  ASSERT_TRUE(Sample({{kV, 0.5}, {kM, 11.94}}, "start"));
  ASSERT_TRUE(Sample({{kV, 0.6}, {kM, 12.2}}));
  now = EncodeDateTime(2026, 12, 8, 14, 23, 21);
  channel.RecordDescription = "test";
  ASSERT_TRUE(channel.CompleteRecordFile());
  EXPECT_FALSE(channel.Recording);

  EXPECT_EQ(ReadAll(channel.RecordFileName),
            Header("08.12.2026 14:23:21", "test" + std::string(78, ' '), "     3") +
                "0.6\t12.5\t\r\n0.5\t11.9\tstart\r\n0.6\t12.2\t\r\n");
}

TEST_F(RecordWriter, SlotsAreFilledExactlyAtTheirEdges) {
  channel.BuildChart();
  // An empty session: "     0" and the Data-Table line is the file's last.
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  channel.RecordDescription = "";
  ASSERT_TRUE(channel.CompleteRecordFile());
  std::string bytes = ReadAll(channel.RecordFileName);
  EXPECT_NE(bytes.find("Description: " + std::string(82, ' ') + "\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("Data-Count:      0\r\nColumn-Header:"), std::string::npos);
  EXPECT_TRUE(bytes.ends_with("Data-Table:\r\n"));

  // 80 Cyrillic letters are 80 bytes in the file and end at column 81 of the
  // slot; line breaks become spaces; a longer text is cut at 80 bytes.
  std::string cyrillic;
  for (int i = 0; i < 80; ++i) cyrillic += "\u0416";
  now += 1.0 / 86400;  // each recording of its own second
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  channel.DataCount = 123456;
  channel.RecordDescription = cyrillic + "more";
  ASSERT_TRUE(channel.CompleteRecordFile());
  bytes = ReadAll(channel.RecordFileName);
  EXPECT_NE(bytes.find("Description: " + std::string(80, '\xC6') + "  \r\nData-Count: 123456\r\n"),
            std::string::npos);

  now += 1.0 / 86400;
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  channel.RecordDescription = "two\r\nlines";
  ASSERT_TRUE(channel.CompleteRecordFile());
  bytes = ReadAll(channel.RecordFileName);
  EXPECT_NE(bytes.find("Description: two  lines "), std::string::npos);
  ASSERT_EQ(channel.ReadHeader(channel.RecordFileName), 0);
  EXPECT_EQ(channel.RecordDescription, "two  lines");
}

TEST_F(RecordWriter, RowsCarryMarksAndTitlesInWindows1251AndResetTheFlowValues) {
  for (bool& v : Current().Visible) v = false;
  Current().Visible[kT] = true;
  Current().Visible[kM] = true;
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  channel.FlowMeter().Restart.store(false);
  ASSERT_TRUE(Sample({{kT, 36.6}, {kM, 7.25}}, "\u041F\u0443\u043B\u044C\u0441: 90\nbpm"));
  EXPECT_EQ(channel.ValueM.load(), 0.0);  // the next frame starts a new average
  EXPECT_EQ(channel.ValueT.load(), 36.6);
  EXPECT_TRUE(channel.FlowMeter().Restart.load());
  ASSERT_TRUE(channel.CompleteRecordFile());
  const std::string bytes = ReadAll(channel.RecordFileName);
  EXPECT_NE(bytes.find("Column-Header:\tT (\xB0" "C)\tM (l/min)\tMarks\r\n"), std::string::npos);
  // A line break in a mark would split the row: it is written as a space.
  EXPECT_TRUE(bytes.ends_with("36.6\t7.2\t\xCF\xF3\xEB\xFC\xF1: 90 bpm\r\n"));
}

TEST_F(RecordWriter, NumbersKeepTheirPointUnderACommaLocale) {
  int created = -1;
  bool row = false;
  {
    testing::CommaLocale comma;
    VEXA_REQUIRE_COMMA_LOCALE(comma);
    channel.BuildChart();
    settings.SampleInterval = 0.5;
    created = channel.CreateRecordFile();
    row = Sample({{kV, 1.5}, {kM, 2.5}});
  }
  ASSERT_EQ(created, 0);
  ASSERT_TRUE(row);
  ASSERT_TRUE(channel.CompleteRecordFile());
  const std::string bytes = ReadAll(channel.RecordFileName);
  EXPECT_NE(bytes.find("Sample-Interval: 0.5\r\n"), std::string::npos);
  EXPECT_TRUE(bytes.ends_with("1.5\t2.5\t\r\n"));
}

// The seven column titles are part of the format: written and read as these
// exact bytes ("V02t" and "02" with the digit zero, no space in "Ves(l/min)",
// the degree sign as the single byte 0xB0), in this order.
TEST_F(RecordWriter, ColumnTitlesAreTheFormatsOwnTexts) {
  const std::string titles =
      "V02t (l/min)\tVes(l/min)\t02 (%)\tT (\xB0"
      "C)\tV (l)\tF (1/min)\tM (l/min)\t";
  for (bool& v : Current().Visible) v = true;
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  ASSERT_TRUE(channel.CompleteRecordFile());
  EXPECT_NE(ReadAll(channel.RecordFileName).find("\r\nColumn-Header:\t" + titles + "Marks\r\n"),
            std::string::npos);

  const std::string path = folder.File("hand.vxa");
  testing::WriteAll(path, "Format-Version: 2\r\nColumn-Header:\t" + titles +
                              "Marks\r\nData-Color: 1\t2\t3\t4\t5\t6\t7\t\r\nData-Table:\r\n"
                              "1.0\t2.0\t3.0\t4.0\t5.0\t6.0\t7.0\t\r\n");
  ASSERT_EQ(channel.ReadHeader(path), 0);
  ASSERT_EQ(channel.LoadRecording(), 0);
  // Channel order VO2t, Ves, O2, T, V, F, M: each title lands on its own.
  for (int c = 0; c < kChannelCount; ++c) {
    EXPECT_TRUE(channel.OwnPreset.Visible[c]) << c;
    EXPECT_EQ(channel.OwnPreset.Color[c], static_cast<uint32_t>(c + 1)) << c;
    ASSERT_EQ(channel.ChannelSeries(c).Count(), 1u) << c;
    EXPECT_EQ(channel.ChannelSeries(c).Value(0), c + 1.0) << c;
  }
}

TEST_F(RecordWriter, ARecordingBegunInTheSameSecondTakesTheNextSecondsName) {
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  const std::string first = channel.RecordFileName;
  ASSERT_TRUE(Sample({{kV, 1.0}}));
  ASSERT_TRUE(channel.CompleteRecordFile());
  const std::string kept = ReadAll(first);

  // The clock still shows the first file's second, then moves on.
  int calls = 0;
  channel.Clock = [&] { return now + (calls++ > 0 ? 1.0 / 86400 : 0.0); };
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  EXPECT_EQ(channel.RecordFileName, JoinPath(folder.path(), "2026-12-08 (14-23-06) .vxa"));
  ASSERT_TRUE(channel.CompleteRecordFile());
  EXPECT_EQ(ReadAll(first), kept);

  // A clock that stands still gives no new name: the start fails, and the
  // file there is left as it was.
  channel.Clock = [&] { return now; };
  EXPECT_EQ(channel.CreateRecordFile(), -2);
  EXPECT_FALSE(channel.Recording);
  EXPECT_EQ(ReadAll(first), kept);
  EXPECT_EQ(folder.EntryCount(), 2);
}

TEST_F(RecordWriter, AnEmptyDestinationHistoryRecordsIntoTheSettingsFolder) {
  // What a settings file with a history count of 0 gives.
  settings.DirHistoryCount = 0;
  settings.DirHistory[0].clear();
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  EXPECT_EQ(channel.RecordFileName, JoinPath(folder.path(), "2026-12-08 (14-23-05) .vxa"));
  ASSERT_TRUE(channel.CompleteRecordFile());
}

TEST(DefaultDestination, IsMadeAgainWhenARecordingIsAboutToGoThere) {
  // An installed program's VEXA folder in documents that are gone.
  testing::TempFolder home;
  const std::string documents = JoinPath(home.path(), "Documents");
  const std::string vexa = JoinPath(documents, "VEXA");
  TGLOB settings(TGLOB::NoFile{}, vexa);
  chart::Chart chart;
  TChannel channel(settings);
  channel.CreateFixedAxes(chart);
  channel.Presets = std::make_unique<TPresets>();
  channel.Presets->AddDefault();
  channel.BuildChart();
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(channel.CreateRecordFile(), 0) << "run " << run;
    EXPECT_EQ(std::filesystem::path(channel.RecordFileName).parent_path(), vexa);
    ASSERT_TRUE(channel.CompleteRecordFile());
    // Removed by the user between two recordings: made again.
    std::filesystem::remove_all(documents);
  }
}

TEST_F(RecordWriter, RefusesWhatWouldBreakTheFile) {
  // A destination that does not exist.
  settings.DirHistory[0] = folder.File("missing");
  channel.BuildChart();
  EXPECT_EQ(channel.CreateRecordFile(), -2);
  EXPECT_FALSE(channel.Recording);
  EXPECT_FALSE(channel.WriteRow());

  // A postfix never leaves the destination folder.
  settings.DirHistory[0] = folder.path();
  channel.Postfix = "../a/b";
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  EXPECT_EQ(channel.RecordFileName,
            JoinPath(folder.path(), "2026-12-08 (14-23-05) .._a_b.vxa"));

  // The six-character count is never overflowed: the row is refused.
  channel.DataCount = kMaxDataCount - 1;
  EXPECT_FALSE(channel.RowLimitReached());
  EXPECT_TRUE(Sample({{kV, 1}}));
  EXPECT_TRUE(channel.RowLimitReached());
  const auto size = ReadAll(channel.RecordFileName).size();
  EXPECT_FALSE(Sample({{kV, 1}}));
  EXPECT_EQ(ReadAll(channel.RecordFileName).size(), size);
  ASSERT_TRUE(channel.CompleteRecordFile());
  EXPECT_NE(ReadAll(channel.RecordFileName).find("Data-Count: 999999\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vexa
