#include "recording/record_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

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

// /dev/full accepts the open and fails every write with ENOSPC: a disk that
// filled up during a session.
using RecordFileWrites = testing::RecordingFixture;

TEST_F(RecordFileWrites, AFailingWriteEndsTheSessionInsteadOfCountingTheRow) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  channel.BuildChart();
  ASSERT_TRUE(channel.RecordFile.Create("/dev/full"));
  EXPECT_FALSE(Sample({{kV, 1.0}}));
  EXPECT_EQ(channel.DataCount, 0);
  EXPECT_NE(channel.RecordFile.LastError().find("/dev/full"), std::string::npos);
  EXPECT_FALSE(channel.RecordFile.LastError().empty());
  TRecordFile bad;
  EXPECT_FALSE(bad.Create("/nonexistent-folder/x.vxa"));
  EXPECT_NE(bad.LastError().find("cannot create"), std::string::npos);
}

}  // namespace
}  // namespace vexa
