#include "recording/folder_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <filesystem>
#include <thread>
#include <string>

#include "core/datetime.h"
#include "core/paths.h"
#include "recording/support/recording_fixture.h"

namespace vexa {
namespace {

using testing::WriteAll;

class FolderScan : public testing::RecordingFixture {
 protected:
  // A completed recording with `rows` rows, started at `minute`.
  void Record(const std::string& postfix, int minute, int rows) {
    now = EncodeDateTime(2026, 12, 8, 9, minute, 0);
    channel.Postfix = postfix;
    ASSERT_EQ(channel.CreateRecordFile(), 0);
    for (int i = 0; i < rows; ++i) ASSERT_TRUE(Sample({{kV, 1.0}}));
    now += 1.0 / 1440;
    ASSERT_TRUE(channel.CompleteRecordFile());
  }
  TRecordingVector list;
};

TEST_F(FolderScan, ListsTheReadableRecordingsByNameAndSkipsTheRest) {
  channel.BuildChart();
  Record("b", 2, 3);
  Record("a", 1, 0);
  // Unfinished: placeholders, so its rows are not counted in the list.
  now = EncodeDateTime(2026, 12, 8, 9, 3, 0);
  channel.Postfix = "open";
  ASSERT_EQ(channel.CreateRecordFile(), 0);
  ASSERT_TRUE(Sample({{kV, 1.0}}));
  channel.RecordFile.Close();

  WriteAll(folder.File("empty.vxa"), "");
  WriteAll(folder.File("garbage.vxa"), std::string(3 << 20, '\x01'));  // no line end at all
  WriteAll(folder.File("newer.vxa"), "Format-Version: 3\r\n");
  WriteAll(folder.File("broken.vxa"), "Format-Version: 2\r\nDevice-Name: x\r\nChannels-Count: many\r\n");
  WriteAll(folder.File("notes.txt"), "Format-Version: 2\r\n");
  WriteAll(folder.File("UPPER.VXA"), "Format-Version: 2\r\n");
  std::filesystem::create_directory(folder.File("folder.vxa"));

  channel.OpenListView = &list;
  list.Items.push_back({"stale", {}, 0, 0, 0});
  ASSERT_EQ(channel.ScanFolder(folder.path()), 0);
  ASSERT_EQ(list.Items.size(), 4u);
  EXPECT_EQ(list.Updates, 1);
  EXPECT_EQ(list.Items[0].Name, "2026-12-08 (09-01-00) a");
  EXPECT_EQ(list.Items[0].DataCount, 0);
  EXPECT_EQ(list.Items[1].Name, "2026-12-08 (09-02-00) b");
  EXPECT_EQ(list.Items[1].Started, EncodeDateTime(2026, 12, 8, 9, 2, 0));
  EXPECT_EQ(list.Items[1].Stopped, EncodeDateTime(2026, 12, 8, 9, 3, 0));
  EXPECT_EQ(list.Items[1].DataCount, 3);
  EXPECT_EQ(list.Items[2].Name, "2026-12-08 (09-03-00) open");
  EXPECT_EQ(list.Items[2].Stopped, list.Items[2].Started);
  // Shown as interrupted, with the rows it holds.
  EXPECT_TRUE(list.Items[2].Interrupted);
  EXPECT_EQ(list.Items[2].RowsFound, 1);
  EXPECT_EQ(list.Items[2].Points(), 1);
  EXPECT_FALSE(list.Items[2].RowsEstimated);
  EXPECT_FALSE(list.Items[0].Interrupted);
  EXPECT_FALSE(list.Items[1].Interrupted);
  EXPECT_FALSE(list.Items[3].Interrupted);
  EXPECT_EQ(list.Items[3].Name, "UPPER");
  EXPECT_EQ(channel.ScanFolderPath.back(), kPathSeparator);
}

TEST_F(FolderScan, WithoutAListOrAFolderItSaysSo) {
  EXPECT_EQ(channel.ScanFolder(folder.path()), 1);
  channel.OpenListView = &list;
  list.Items.push_back({"stale", {}, 0, 0, 0});
  EXPECT_EQ(channel.ScanFolder(folder.File("missing")), 2);
  EXPECT_TRUE(list.Items.empty());
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

using namespace std::chrono_literals;

// Everything a scan thread found, waiting (boundedly) for its end.
std::vector<TRecordingEntry> TakeAll(TFolderScan& scan) {
  std::vector<TRecordingEntry> found;
  for (int i = 0; i < 5000 && !scan.Take(found); ++i) std::this_thread::sleep_for(1ms);
  return found;
}

TEST_F(FolderScan, TheScanThreadListsWhatScanFolderListsAndTouchesNoRecordingObject) {
  channel.BuildChart();
  Record("b", 2, 3);
  Record("a", 1, 0);
  WriteAll(folder.File("broken.vxa"), "Format-Version: 2\r\nChannels-Count: many\r\n");
  WriteAll(folder.File("notes.txt"), "Format-Version: 2\r\n");
  channel.RecordDescription = "shown";
  channel.StartedTime = 1.5;
  channel.OpenListView = &list;
  ASSERT_EQ(channel.ScanFolder(folder.path()), 0);
  EXPECT_EQ(channel.RecordDescription, "shown");  // the header members stay
  EXPECT_EQ(channel.StartedTime, 1.5);

  TFolderScan scan(folder.path());
  const std::vector<TRecordingEntry> found = TakeAll(scan);
  EXPECT_EQ(scan.Result(), 0);
  ASSERT_EQ(found.size(), list.Items.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].Name, list.Items[i].Name);
    EXPECT_EQ(found[i].Started, list.Items[i].Started);
    EXPECT_EQ(found[i].Stopped, list.Items[i].Stopped);
    EXPECT_EQ(found[i].DataCount, list.Items[i].DataCount);
  }
  std::vector<TRecordingEntry> more;
  EXPECT_TRUE(scan.Take(more));
  EXPECT_TRUE(more.empty());
}

TEST_F(FolderScan, AScanThreadEndsWhenItsFolderIsMissingOrItIsDropped) {
  TFolderScan missing(folder.File("missing"));
  EXPECT_TRUE(TakeAll(missing).empty());
  EXPECT_EQ(missing.Result(), 2);

  for (int i = 0; i < 300; ++i) WriteAll(folder.File("f" + std::to_string(i) + ".vxa"), "Format-Version: 2\r\n");
  // Dropped at once, as the window drops a scan when the operator moves on.
  { TFolderScan dropped(folder.path()); }
  TFolderScan whole(folder.path());
  EXPECT_EQ(TakeAll(whole).size(), 300u);
}

TEST_F(FolderScan, InterruptedRecordingsShowTheirRowsReadingBoundedly) {
  channel.BuildChart();
  // Small: counted exactly, a torn last row left out; large (about 4 MB of
  // rows): estimated from its size and two blocks.
  const struct {
    const char* postfix;
    int rows;
    const char* tail;
  } files[] = {{"small", 500, "1."}, {"large", 400000, ""}};
  for (const auto& f : files) {
    now = EncodeDateTime(2026, 12, 8, 10, f.rows % 60, 0);
    channel.Postfix = f.postfix;
    ASSERT_EQ(channel.CreateRecordFile(), 0);
    const std::string path = channel.RecordFileName;
    channel.RecordFile.Close();
    std::string rows;
    for (int i = 0; i < f.rows; ++i) rows += i % 2 ? "0.6\t\r\n" : "10.6\t\r\n";
    std::ofstream(path, std::ios::binary | std::ios::app) << rows << f.tail;
  }
  TFolderScan scan(folder.path());
  const std::vector<TRecordingEntry> found = TakeAll(scan);
  ASSERT_EQ(found.size(), 2u);  // 10:20 small, 10:40 large
  EXPECT_TRUE(found[0].Interrupted);
  EXPECT_FALSE(found[0].RowsEstimated);
  EXPECT_EQ(found[0].RowsFound, 500);
  EXPECT_TRUE(found[0].TornRow);
  EXPECT_TRUE(found[1].Interrupted);
  EXPECT_TRUE(found[1].RowsEstimated);
  EXPECT_NEAR(static_cast<double>(found[1].RowsFound), 400000, 400000 * 0.01);
  EXPECT_FALSE(found[1].TornRow);
}

TEST_F(FolderScan, NamesComeInTheOrderGiven) {
  for (const char* name : {"b.vxa", "A.vxa", "c.vxa"}) WriteAll(folder.File(name), "Format-Version: 2\r\n");
  TFolderScan bytes(folder.path());
  std::vector<std::string> names;
  for (const TRecordingEntry& e : TakeAll(bytes)) names.push_back(e.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "c"}));
  TFolderScan reversed(folder.path(), [](std::vector<std::string>& n) { std::sort(n.rbegin(), n.rend()); });
  names.clear();
  for (const TRecordingEntry& e : TakeAll(reversed)) names.push_back(e.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"c", "b", "A"}));
}

}  // namespace
}  // namespace vexa
