#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "core/cp1251.h"
#include "recording/folder_scan.h"
#include "recording/interrupted.h"
#include "recording/record_file.h"
#include "recording/record_format.h"
#include "recording/record_header.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

using testing::ReadAll;
using testing::WriteAll;

class Interrupted : public testing::RecordingFixture {
 protected:
  Interrupted() { settings.SampleInterval = 0.5; }

  // A session of `rows` samples (a Cyrillic mark on the second): the file
  // as a kill after the last row leaves it, and the file a Stop at that row
  // writes (clock at the last row's time, no description).
  void Record(int rows, std::string& interrupted, std::string& stopped) {
    now += 1.0 / 86400;  // each session its own file name
    channel.BuildChart();
    ASSERT_EQ(channel.CreateRecordFile(), 0);
    for (int i = 0; i < rows; ++i) {
      ASSERT_TRUE(Sample({{kV, 0.1 * i}, {kM, 10.0 + i}}, i == 1 ? "\u0441\u0442\u0430\u0440\u0442" : ""));
    }
    interrupted = ReadAll(channel.RecordFileName);
    auto h = std::make_unique<TRecordingHeader>();
    ASSERT_EQ(ParseRecordingHeader(interrupted, true, *h), 0);
    ASSERT_TRUE(IsInterrupted(*h));
    now = h->started + rows * (h->interval / 86400.0);
    channel.RecordDescription.clear();
    ASSERT_TRUE(channel.CompleteRecordFile());
    stopped = ReadAll(channel.RecordFileName);
  }
};

TEST_F(Interrupted, CompletingWritesWhatAStopAtTheLastWholeRowWrites) {
  const struct {
    int rows;
    std::string tail;  // what the kill left after the last whole row
    int cut;           // torn bytes cut off
    bool lineEnd;      // the last whole row's line end is added
  } cases[] = {
      {0, "", 0, false},
      {3, "", 0, false},
      {3, "0.3\t1", 5, false},      // a row cut inside its second column
      {3, "0.3\t13.0", 8, false},   // ... before its last TAB
      {2, "\t", 1, false},          // consecutive TABs are one: a column short
      {120, "0", 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    std::string killed, stopped;
    Record(c.rows, killed, stopped);
    const std::string path = folder.File("killed.vxa");
    WriteAll(path, killed + c.tail);
    const TCompletion done = CompleteInterruptedRecording(path);
    ASSERT_TRUE(done.ok) << done.Text(kEnglish);
    EXPECT_EQ(done.rows, c.rows);
    EXPECT_EQ(done.tornBytesCut, c.cut);
    EXPECT_EQ(ReadAll(path), stopped);
    EXPECT_NE(done.Text(kRussian).find("\u0437\u0430\u0432\u0435\u0440\u0448\u0435\u043d\u0430"), std::string::npos);
    // Done once: the file is complete now and is never written again.
    const TCompletion again = CompleteInterruptedRecording(path);
    EXPECT_FALSE(again.ok);
    EXPECT_TRUE(again.notInterrupted);
    EXPECT_EQ(ReadAll(path), stopped);
  }
}

TEST_F(Interrupted, AWholeLastRowWithoutItsLineEndIsKeptAndEnded) {
  std::string killed, stopped;
  Record(4, killed, stopped);
  const std::string path = folder.File("killed.vxa");
  for (const std::string cut : {"\r\n", "\n"}) {
    WriteAll(path, killed.substr(0, killed.size() - cut.size()));
    const TCompletion done = CompleteInterruptedRecording(path);
    ASSERT_TRUE(done.ok) << done.Text(kEnglish);
    EXPECT_EQ(done.rows, 4);
    EXPECT_TRUE(done.lineEndAdded);
    EXPECT_EQ(ReadAll(path), stopped);
  }
}

TEST_F(Interrupted, ACompletionCutShortCompletesAgainToTheSameBytes) {
  std::string killed, stopped;
  Record(3, killed, stopped);
  // The stop time reached the disk, the row count did not.
  std::string half = stopped;
  const std::size_t count = half.find("Data-Count: ") + 12;
  half.replace(count, 6, std::string(6, ' '));
  const std::string path = folder.File("half.vxa");
  WriteAll(path, half + "0.1\t");
  ASSERT_TRUE(CompleteInterruptedRecording(path).ok);
  EXPECT_EQ(ReadAll(path), stopped);
}

TEST_F(Interrupted, WhatIsNotAnInterruptedRecordingIsNeverWritten) {
  std::string killed, stopped;
  Record(3, killed, stopped);
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string s = killed;
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return s.replace(at, from.size(), to);
  };
  std::string lf = killed;
  for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.replace(at, 2, "\n");
  std::string manyRows = "Format-Version: 2\r\nDevice-Name: Airo-510\t Flown-710\r\nChannels-Count: 0\r\n"
                         "Started-Record: 08.12.2026 14:23:05\r\nStopped-Record: 08.12.2026 14:23:05\r\n"
                         "Sample-Interval: 5.0\r\nDescription: " + std::string(82, ' ') +
                         "\r\nData-Count:       \r\nColumn-Header:\tMarks\r\nData-Color: \r\n"
                         "Data-Table:\r\n";
  manyRows += std::string(kMaxDataCount + 1, '\n');
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"complete", stopped, "not an interrupted recording"},
      {"count slot of five", replaced("Data-Count:       ", "Data-Count:      "), "not where the format"},
      {"description written", replaced("Description:   ", "Description: x "), "not where the format"},
      {"stop time set by hand", replaced("Stopped-Record: 08.12.2026 14:23:06", "Stopped-Record: 08.12.2026 15:00:00"),
       "not where the format"},
      {"line feeds only", lf, "not where the format"},
      {"a line missing", replaced("Sample-Interval: 0.5\r\n", ""), "not where the format"},
      {"not a recording", "hello\r\n", "not a recording"},
      {"no data table", killed.substr(0, killed.find("Data-Table:")), "not a recording"},
      {"too many rows", manyRows, "holds 1000000 rows"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File("r.vxa");
    WriteAll(path, c.bytes);
    const TCompletion done = CompleteInterruptedRecording(path);
    EXPECT_FALSE(done.ok);
    EXPECT_NE(done.Text(kEnglish).find(c.reason), std::string::npos) << done.Text(kEnglish);
    EXPECT_NE(done.Text(kEnglish).find(path), std::string::npos);
    EXPECT_EQ(ReadAll(path), c.bytes);
  }
  EXPECT_FALSE(CompleteInterruptedRecording(folder.File("missing.vxa")).ok);
  EXPECT_FALSE(CompleteInterruptedRecording(folder.path()).ok);
}

TEST_F(Interrupted, AFileASessionStillRecordsIsLeftToIt) {
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  ASSERT_TRUE(Sample({{kV, 0.5}, {kM, 11.0}}));
  const std::string before = ReadAll(channel.RecordFileName);
  // The folder scan says so instead of "interrupted".
  EXPECT_TRUE(TRecordFile::InUse(channel.RecordFileName));
  const std::string name = channel.RecordFileName.substr(folder.path().size() + 1);
  const auto entry = ReadRecordingEntry(FolderWithSeparator(folder.path()), name);
  ASSERT_TRUE(entry);
  EXPECT_TRUE(entry->Interrupted);
  EXPECT_TRUE(entry->BeingRecorded);
  EXPECT_EQ(entry->RowsFound, 1);
  const TCompletion done = CompleteInterruptedRecording(channel.RecordFileName);
  EXPECT_FALSE(done.ok);
  EXPECT_NE(done.Text(kEnglish).find("recording into it now"), std::string::npos) << done.Text(kEnglish);
  EXPECT_EQ(ReadAll(channel.RecordFileName), before);
  // The session goes on and stops as always.
  ASSERT_TRUE(Sample({{kV, 0.6}, {kM, 12.0}}));
  ASSERT_TRUE(channel.CompleteRecordFile());
  EXPECT_NE(ReadAll(channel.RecordFileName).find("Data-Count:      2\r\n"), std::string::npos);
  EXPECT_FALSE(TRecordFile::InUse(channel.RecordFileName));
}

TEST(RowCount, TheScansCountIsExactForSmallTablesAndBoundedForLargeOnes) {
  // Rows of the writer's kind whose length varies a little.
  const auto table = [](int rows, const std::string& tail) {
    std::string s = "HEADER";
    for (int i = 0; i < rows; ++i) s += (i % 3 ? "0.6\t12.5\t\r\n" : "10.6\t112.5\tmark\r\n");
    return s + tail;
  };
  for (const auto& [rows, tail, torn] : {std::tuple{100, std::string(), false}, {100, std::string("0.6\t1"), true},
                                         {200000, std::string(), false}, {200000, std::string("0.6\t1"), true},
                                         {200000, std::string("0.6\t1.0\tm"), false}}) {
    const std::string bytes = table(rows, tail);
    int64_t read = 0;
    const ReadAtFunction at = [&](int64_t offset, std::size_t n, std::string& out) {
      out = bytes.substr(static_cast<std::size_t>(std::min<int64_t>(offset, bytes.size())), n);
      read += static_cast<int64_t>(out.size());
      return true;
    };
    const int whole = rows + (tail.empty() || torn ? 0 : 1);
    TRowCount exact, bounded;
    ASSERT_TRUE(CountRows(at, 6, static_cast<int64_t>(bytes.size()), 2, exact));
    EXPECT_EQ(exact.rows, whole);
    EXPECT_EQ(exact.tornRow, torn);
    EXPECT_EQ(exact.wholeEnd, static_cast<int64_t>(bytes.size() - (torn ? tail.size() : 0)));
    read = 0;
    ASSERT_TRUE(CountRowsBounded(at, 6, static_cast<int64_t>(bytes.size()), 2, bounded));
    EXPECT_EQ(bounded.tornRow, torn);
    if (bytes.size() <= static_cast<std::size_t>(kExactCountBytes)) {
      EXPECT_FALSE(bounded.estimated);
      EXPECT_EQ(bounded.rows, whole);
    } else {
      EXPECT_TRUE(bounded.estimated);
      EXPECT_NEAR(static_cast<double>(bounded.rows), whole, whole * 0.02);
      EXPECT_LE(read, static_cast<int64_t>(2 * kEstimateBlockBytes + kMaxRowBytes));
    }
  }
}

}  // namespace
}  // namespace vexa
