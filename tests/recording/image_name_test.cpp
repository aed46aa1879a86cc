#include <gtest/gtest.h>

#include "core/paths.h"
#include "recording/open_recording.h"
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
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  EXPECT_EQ(channel.NextImageFileName(), base + "[1].bmp");
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

// The counter belongs to the session, not to the file: opening another
// recording names the next image after that recording, numbered on.
TEST_F(ImageName, AnOpenedRecordingTakesTheNextNumberOfTheSession) {
  channel.BuildChart();
  channel.Postfix = "a";
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  ASSERT_TRUE(Sample({{4, 0.5}, {6, 12.0}}));
  channel.NextImageFileName();
  channel.NextImageFileName();
  ASSERT_TRUE(channel.CompleteRecordFile());
  const std::string first = channel.RecordFileName;

  now += 1.0 / 86400;
  channel.Postfix = "b";
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  ASSERT_TRUE(Sample({{4, 0.6}, {6, 12.5}}));
  ASSERT_TRUE(channel.CompleteRecordFile());
  const std::string second = channel.RecordFileName;
  EXPECT_EQ(channel.NextImageFileName(), second.substr(0, second.size() - 4) + "[1].bmp");
  channel.NextImageFileName();

  ASSERT_EQ(OpenRecordingFile(channel, first).status, 0);
  EXPECT_EQ(channel.NextImageFileName(), first.substr(0, first.size() - 4) + "[3].bmp");
}

}  // namespace
}  // namespace vexa
