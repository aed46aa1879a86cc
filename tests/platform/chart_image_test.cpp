// Chart images: the picture as the monitor shows it at its size, written
// beside the recording under the next number, also for an empty chart; a
// file that cannot be written says why and still uses up its number.
#include "platform/chart_image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "core/messages.h"
#include "platform/chart_painter.h"
#include "platform/support/example_recording.h"
#include "recording/open_recording.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

using ChartImage = testing::RecordingFixture;

TEST_F(ChartImage, WritesTheMonitorsPictureAsBmpUnderTheNextNumber) {
  const std::string recording = folder.File("2026-12-08 (14-23-05) a.b.vxa");
  testing::WriteAll(recording, testing::kExample);
  ASSERT_EQ(OpenRecordingFile(channel, recording).status, 0);
  const platform::ChartImageResult r = platform::SaveChartImage(channel, QSize(640, 400), kEnglish);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.path, folder.File("2026-12-08 (14-23-05) a.b[1].bmp"));
  const std::string bytes = testing::ReadAll(r.path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  const QImage saved(QString::fromStdString(r.path), "BMP");
  const QImage shown = platform::RenderChartImage(chart, QSize(640, 400));
  ASSERT_EQ(saved.size(), QSize(640, 400));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown);
}

TEST_F(ChartImage, AFailedWriteSaysWhyAndUsesUpItsNumberAndAnEmptyChartIsWritten) {
  channel.BuildChart();
  channel.RecordFileName = folder.File("gone/run.vxa");
  const platform::ChartImageResult r = platform::SaveChartImage(channel, QSize(300, 200), kRussian);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.message.rfind(MessageText(1, kRussian), 0), 0u) << r.message;
  EXPECT_NE(r.message.find(folder.File("gone/run[1].bmp")), std::string::npos) << r.message;
  EXPECT_EQ(platform::SaveChartImage(channel, QSize(300, 200), kEnglish).path, folder.File("gone/run[2].bmp"));
  std::filesystem::create_directory(folder.File("gone"));
  const platform::ChartImageResult next = platform::SaveChartImage(channel, QSize(300, 200), kEnglish);
  EXPECT_TRUE(next.ok()) << next.message;
  EXPECT_EQ(next.path, folder.File("gone/run[3].bmp"));
  EXPECT_EQ(QImage(QString::fromStdString(next.path)).size(), QSize(300, 200)) << "the empty chart with its axes";
}

}  // namespace
}  // namespace vexa
