// The print title's rule: which of the four lines appear, in which order,
// with which captions, and when the title shows at all.
#include "recording/print_title.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/messages.h"
#include "core/numtext.h"
#include "core/paths.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

class PrintTitleRule : public testing::RecordingFixture {
 protected:
  PrintTitleRule() {
    channel.RecordFileName = JoinPath(folder.path(), "2026-12-08 (14-23-05) run1.vxa");
    channel.StartedTime = EncodeDateTime(2026, 12, 8, 14, 23, 5);
    channel.IntervalSeconds = 0.5;
    channel.RecordDescription = "rest";
    settings.AppliedLanguage = kEnglish;
  }
  void Print(bool file, bool date, bool description, bool interval) {
    settings.PrintFileName = file;
    settings.PrintDate = date;
    settings.PrintDescription = description;
    settings.PrintSampleInterval = interval;
  }
  // Stand-ins for the locale's formats, so the rule is seen on its own.
  PrintTitle Build() {
    return BuildPrintTitle(settings, channel,
                           {[](double t) { return "<" + FormatDateTime(t) + ">"; },
                            [](double v) { return "<" + FormatGeneral(v) + ">"; }});
  }
};

TEST_F(PrintTitleRule, EachSettingAddsItsLineInTheFixedOrderAndAnyOneShowsTheTitle) {
  const std::string file = "File : 2026-12-08 (14-23-05) run1.vxa";
  const std::string date = "Date : <08.12.2026 14:23:05>";
  const std::string descr = "Description : rest";
  const std::string interval = "Sample interval (s) : <0.5>";
  struct Case {
    bool file, date, description, interval;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {true, true, true, true, {file, date, descr, interval}},
      {false, true, false, true, {date, interval}},
      {true, false, true, false, {file, descr}},
      {false, false, true, false, {descr}},
      {false, false, false, false, {}},
  };
  for (const Case& c : cases) {
    Print(c.file, c.date, c.description, c.interval);
    const PrintTitle t = Build();
    EXPECT_EQ(t.lines, c.lines) << c.file << c.date << c.description << c.interval;
    EXPECT_EQ(t.visible, !c.lines.empty());
  }
}

TEST_F(PrintTitleRule, NoDescriptionMeansNoDescriptionLineButTheTitleStillShows) {
  for (const std::string none : {"", " ", "   "}) {
    channel.RecordDescription = none;
    EXPECT_FALSE(HasPrintableDescription(channel));
    Print(true, false, true, false);
    EXPECT_EQ(Build().lines, std::vector<std::string>{"File : 2026-12-08 (14-23-05) run1.vxa"});
    Print(false, false, true, false);
    const PrintTitle t = Build();
    EXPECT_TRUE(t.lines.empty()) << "'" << none << "'";
    EXPECT_TRUE(t.visible) << "the description setting alone shows an empty title";
  }
  channel.RecordDescription = " x ";
  EXPECT_TRUE(HasPrintableDescription(channel));
}

TEST_F(PrintTitleRule, CaptionsFollowTheAppliedLanguage) {
  settings.AppliedLanguage = kRussian;
  Print(true, true, true, true);
  EXPECT_EQ(Build().lines, (std::vector<std::string>{
                               "Файл : 2026-12-08 (14-23-05) run1.vxa",
                               "Дата : <08.12.2026 14:23:05>",
                               "Описание : rest",
                               "Интервал выборки (c) : <0.5>",
                           }));
}

}  // namespace
}  // namespace vexa
