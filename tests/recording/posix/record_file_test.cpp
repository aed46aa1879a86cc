#include "recording/record_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

TEST(RecordFile, AppendsAndPatchesInPlace) {
  testing::TempFolder folder;
  TRecordFile file;
  ASSERT_TRUE(file.Create(folder.File("f")));
  ASSERT_TRUE(file.Append("abcdef\r\n", true));
  ASSERT_TRUE(file.WriteAt(2, "XY"));
  ASSERT_TRUE(file.Append("gh", false));  // the append point did not move
  EXPECT_EQ(file.Size(), 10);
  ASSERT_TRUE(file.Close());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(testing::ReadAll(folder.File("f")), "abXYef\r\ngh");
  EXPECT_FALSE(file.Append("x", true));
}

TEST(RecordFile, NeverOpensOrReplacesWhatIsAlreadyThere) {
  testing::TempFolder folder;
  testing::WriteAll(folder.File("taken.vxa"), "an earlier recording");
  // A link planted where the next recording will be named, to a file that
  // must not be written through it.
  testing::WriteAll(folder.File("victim"), "keep");
  std::filesystem::create_symlink(folder.File("victim"), folder.File("planted.vxa"));
  std::filesystem::create_symlink(folder.File("nothing"), folder.File("dangling.vxa"));
  for (const char* name : {"taken.vxa", "planted.vxa", "dangling.vxa"}) {
    TRecordFile file;
    EXPECT_FALSE(file.Create(folder.File(name))) << name;
    EXPECT_TRUE(file.NameTaken()) << name;
    EXPECT_FALSE(file.IsOpen());
  }
  EXPECT_EQ(testing::ReadAll(folder.File("taken.vxa")), "an earlier recording");
  EXPECT_EQ(testing::ReadAll(folder.File("victim")), "keep");
  EXPECT_FALSE(std::filesystem::exists(folder.File("nothing")));
  TRecordFile bad;
  EXPECT_FALSE(bad.Create("/nonexistent-folder/x.vxa"));
  EXPECT_FALSE(bad.NameTaken());
  EXPECT_NE(bad.LastError().find("cannot create"), std::string::npos);
  EXPECT_EQ(bad.LastError(kRussian).rfind("не удается создать: ", 0), 0u) << bad.LastError(kRussian);
}

using RecordFileWrites = testing::RecordingFixture;

TEST_F(RecordFileWrites, AFailingWriteEndsTheSessionInsteadOfCountingTheRow) {
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  {
    testing::FileSizeLimit full(std::filesystem::file_size(channel.RecordFileName));
    EXPECT_FALSE(Sample({{kV, 1.0}}));
  }
  EXPECT_EQ(channel.DataCount, 0);
  EXPECT_NE(channel.RecordFile.LastError().find("cannot write"), std::string::npos)
      << channel.RecordFile.LastError();
}

TEST_F(RecordFileWrites, ADiskThatFillsMidRowLeavesNoTornRow) {
  channel.BuildChart();
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  ASSERT_TRUE(Sample({{kV, 1.5}, {kM, 2.5}}));
  const std::string complete = testing::ReadAll(channel.RecordFileName);
  {
    testing::FileSizeLimit full(complete.size() + 3);  // "12." of the next row fits
    EXPECT_FALSE(Sample({{kV, 12.5}, {kM, 3.5}}));
  }
  ASSERT_TRUE(channel.CompleteRecordFile());
  const std::string bytes = testing::ReadAll(channel.RecordFileName);
  EXPECT_TRUE(bytes.ends_with("Data-Table:\r\n1.5\t2.5\t\r\n")) << bytes.substr(bytes.size() - 20);
  EXPECT_NE(bytes.find("Data-Count:      1\r\n"), std::string::npos);
  EXPECT_EQ(bytes.size(), complete.size());
}

}  // namespace
}  // namespace vexa
