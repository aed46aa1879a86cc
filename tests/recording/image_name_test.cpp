#include <gtest/gtest.h>

#include "core/paths.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

using ImageName = testing::RecordingFixture;

TEST_F(ImageName, ImagesAreNumberedBesideTheRecordingAndRestartWithANewFile) {
  channel.BuildChart();
  channel.Postfix = "run.1";
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  const std::string base = JoinPath(folder.path(), "2026-12-08 (14-23-05) run.1");
  EXPECT_EQ(channel.NextImageFileName(), base + "[1].bmp");
  EXPECT_EQ(channel.NextImageFileName(), base + "[2].bmp");
  EXPECT_EQ(channel.NextImageFileName(), base + "[3].bmp");
  EXPECT_EQ(channel.ImageFileName, base + "[3].bmp");
  ASSERT_TRUE(channel.CompleteRecordFile());
  EXPECT_EQ(channel.NextImageFileName(), base + "[4].bmp");  // a stop does not reset it
  now += 1.0 / 86400;                                        // the next recording, a second later
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  EXPECT_EQ(channel.NextImageFileName(),
            JoinPath(folder.path(), "2026-12-08 (14-23-06) run.1") + "[1].bmp");
  channel.CompleteRecordFile();
}

TEST_F(ImageName, ANameWithoutExtensionGetsTheTextAppended) {
  channel.RecordFileName = "D:\\Data.old\\run";
  EXPECT_EQ(channel.NextImageFileName(), "D:\\Data.old\\run[1].bmp");
  channel.RecordFileName = "/data.d/run";
  EXPECT_EQ(channel.NextImageFileName(), "/data.d/run[2].bmp");
  channel.RecordFileName = "";
  EXPECT_EQ(channel.NextImageFileName(), "[3].bmp");
}

}  // namespace
}  // namespace vexa
