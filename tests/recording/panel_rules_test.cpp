#include "recording/panel_rules.h"

#include <gtest/gtest.h>

#include "core/temp_folder.h"
#include "link/acquisition.h"
#include "recording/session.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

TEST(LoadedPostfix, IsTheNamesTextBetweenTheTimeAndTheExtension) {
  const struct {
    const char* path;
    const char* postfix;
  } cases[] = {
      {"/data/2026-12-08 (14-23-05) test.vxa", "test"},
      {"D:\\Data\\2026-12-08 (14-23-05) run1.vxa", "run1"},
      {"/data/2026-12-08 (14-23-05) .vxa", ""},
      {"/data/2026-12-08 (14-23-05)  two.vxa", " two"},  // only the writer's one blank goes
      {"/data/2026-12-08 (14-23-05)x.vxa", "x"},        // a name made by hand
      {"/data/2026-12-08 (14-23-05) a.b.vxa", "a.b"},    // a dot in the postfix stays
      {"/runs (old)/2026-12-08 (14-23-05) x.vxa", "x"},  // a ")" in a folder is not the name's
      {"/runs (old)/plain.vxa", ""},
      {"/data/2026-12-08 (14-23-05) test", ""},  // no extension after the ")"
      {"/data/a.b (c) d", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadedPostfix(c.path), c.postfix) << c.path;
}

using PostfixRoundTrip = testing::RecordingFixture;

// A recording reopened names the next one as it was named: the longest
// postfix the field takes comes back whole, Cyrillic and blanks included.
TEST_F(PostfixRoundTrip, TheLongestPostfixComesBackWholeFromTheWritersName) {
  for (const std::string postfix : {"\u041d\u0430\u0433\u0440\u0443\u0437\u043a\u0430 run 12", "abcdefghijklmno",
                                    " lead and end ", ""}) {
    ASSERT_EQ(PostfixProblem(postfix, 0), "") << postfix;
    channel.Postfix = postfix;
    ASSERT_EQ(channel.CreateRecordFile(), 0) << postfix;
    ASSERT_TRUE(channel.CompleteRecordFile());
    EXPECT_EQ(LoadedPostfix(channel.RecordFileName), postfix) << channel.RecordFileName;
    now += 1.0 / 86400;
  }
}

TEST(CommandLinePath, DropsBlanksAndOnePairOfSurroundingQuotes) {
  const struct {
    const char* text;
    const char* path;
  } cases[] = {
      {"\"/data/run 1/a b.vxa\"", "/data/run 1/a b.vxa"},
      {"  \"/data/a.vxa\"  ", "/data/a.vxa"},
      {"/data/a b.vxa", "/data/a b.vxa"},
      {"/data/my\"file.vxa", "/data/my\"file.vxa"},  // a quote inside a name stays
      {"\"", "\""},
      {"\"\"", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLinePath(c.text), c.path) << c.text;
  const char* argv[] = {"vexa", "/data/run", "1/a.vxa"};
  EXPECT_EQ(CommandLineText(3, argv), "/data/run 1/a.vxa");
  EXPECT_EQ(CommandLineText(1, argv), "");
}

TEST(DescribeLink, SaysWhetherTheMeterTalksWithItsCounters) {
  TLinkCounters counters;
  counters.FramesDecoded = 240;
  counters.SilentReads = 3;
  TLinkStatus idle = DescribeLink(false, false, 2, "/dev/ttyUSB0", counters, 0);
  EXPECT_EQ(idle.Link, TLinkStatus::kIdle);
  EXPECT_EQ(idle.Line, "COM2: idle");
  const TLinkStatus alive = DescribeLink(true, true, 2, "/dev/ttyUSB0", counters, 0);
  EXPECT_EQ(alive.Line, "COM2: alive, 240 frames");
  EXPECT_EQ(alive.Details,
            "COM2 = /dev/ttyUSB0\nFrames decoded: 240\nBytes skipped: 0\nSilent reads: 3\n"
            "Reopen attempts: 0");
  const TLinkStatus silent = DescribeLink(true, false, 7, "", counters, 1);
  EXPECT_EQ(silent.Link, TLinkStatus::kSilent);
  EXPECT_EQ(silent.Line, "COM7: нет данных, кадров 240");
  EXPECT_EQ(silent.Details.substr(0, 5), "COM7\n");
}

TEST(FolderChoiceMessage, NamesTheReasonAndTheFolder) {
  EXPECT_EQ(FolderChoiceMessage(FolderChoice::kStored, "/a", 0), "");
  EXPECT_EQ(FolderChoiceMessage(FolderChoice::kTooLong, "/a", 0),
            "The folder path is longer than 128 characters: /a");
  EXPECT_EQ(FolderChoiceMessage(FolderChoice::kUnrepresentable, "/ü", 1),
            "Путь к папке содержит символы вне Windows-1251: /ü");
}

// The printer offered follows its name: a printer added before it in the
// list moves its index, not the choice.
TEST(OfferedPrinter, IsTheStoredNameWhileListedThenTheDefaultThenTheFirst) {
  using Names = std::vector<std::string>;
  const struct {
    const char* what;
    Names names;
    const char* name;
    int index, defaultIndex, offered;
  } cases[] = {
      {"name listed", {"A", "B", "C"}, "B", 1, 0, 1},
      {"a printer added before it", {"A", "AA", "B", "C"}, "B", 1, 0, 2},
      {"its name listed, its old index out of range", {"B"}, "B", 5, -1, 0},
      {"name gone: the default, not the old index", {"A", "C"}, "B", 1, 0, 0},
      {"name gone, no default: the first", {"C", "D"}, "B", 1, -1, 0},
      {"names match whole and in case", {"b", "B2", "B"}, "B", 0, 0, 2},
      {"no name: the stored index", {"A", "B", "C"}, "", 1, 0, 1},
      {"no name, index gone: the default", {"A", "B", "C"}, "", 5, 2, 2},
      {"no name, never chosen: the default", {"A", "B"}, "", -1, 1, 1},
      {"no name, no default: the first", {"A", "B"}, "", 7, -1, 0},
      {"a default out of range: the first", {"A", "B"}, "", -1, 9, 0},
      {"no printer: the PDF entry", {}, "B", 3, -1, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(OfferedPrinter(c.names, c.name, c.index, c.defaultIndex), c.offered) << c.what;
}

TEST(ChosenPrinter, IsOneLineBesideTheSettingsReadBackAsWritten) {
  testing::TempFolder folder;
  EXPECT_EQ(ReadChosenPrinter(folder.path()), "") << "none stored yet";
  for (const char* name : {"HP_LaserJet_4", "Принтер 2 этаж", "a b"}) {
    ASSERT_TRUE(WriteChosenPrinter(folder.path(), name).ok);
    EXPECT_EQ(testing::ReadAll(folder.File(kPrinterFileName)), std::string(name) + "\n");
    EXPECT_EQ(ReadChosenPrinter(folder.path()), name);
  }
  const struct {
    std::string bytes;
    const char* name;
  } files[] = {
      {"Office\r\n", "Office"},               // edited on Windows
      {"Office", "Office"},                    // no line end
      {"two\nlines\n", ""},                   // not a name
      {std::string("nul\0x", 5), ""},
      {std::string(kPrinterNameMax + 1, 'x'), ""},
  };
  for (const auto& f : files) {
    testing::WriteAll(folder.File(kPrinterFileName), f.bytes);
    EXPECT_EQ(ReadChosenPrinter(folder.path()), f.name) << f.bytes.size();
  }
  EXPECT_EQ(ReadChosenPrinter(""), "") << "no settings folder";
  EXPECT_FALSE(WriteChosenPrinter(folder.File("missing/below"), "A").ok);
}

}  // namespace
}  // namespace vexa
