#include "core/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/temp_folder.h"
#include "link/test_env.h"

namespace vexa {
namespace {

using Image = std::vector<std::byte>;

Image ReadAll(const std::string& path) {
  Image bytes;
  EXPECT_TRUE(ReadFileBytes(path, 1 << 20, bytes)) << path;
  return bytes;
}

void Put(Image& image, std::size_t at, std::initializer_list<int> bytes) {
  for (int b : bytes) image.at(at++) = static_cast<std::byte>(b);
}

void PutText(Image& image, std::size_t at, const std::string& text) {
  for (char c : text) image.at(at++) = static_cast<std::byte>(c);
}

// The default file, built byte by byte from the layout rather than from the
// encoder, with folder as entry 0 of both histories.
Image DefaultImage(const std::string& folder) {
  Image f(2856, std::byte{0});
  PutText(f, 0, "CFG");
  Put(f, 4, {4, 0, 0, 0, 2, 0, 0, 0});
  PutText(f, 12, "VEX ConfigFile.v2.0 Settings file of the recorder 2002");
  Put(f, 92, {0, 1, 1, 1, 1, 1, 1});                  // print options
  Put(f, 100, {0xFF, 0xFF, 0xFF, 0xFF});              // PrinterIndex -1
  Put(f, 104, {1, 1, 1, 1, 1, 1, 0, 1, 0, 0, 0});     // chart options
  Put(f, 120, {0, 0, 0, 0, 0, 0, 0x14, 0x40});        // 5.0
  Put(f, 144, {0xBC, 0x02, 0, 0, 0x21, 0x02, 0, 0});  // 700 x 545
  Put(f, 156, {114, 0, 0, 0, 0x56, 0x01, 0, 0});      // control 114, 342
  Put(f, 164, {140, 0, 0, 0, 75, 0, 0, 0, 0x5E, 0x01, 0, 0, 0xBC, 0x02, 0, 0});
  Put(f, 180, {1, 0, 0, 0});
  PutText(f, 184, folder);
  Put(f, 1476, {1, 0, 0, 0});
  PutText(f, 1480, folder);
  Put(f, 2780, {110, 0, 0, 0, 25, 0, 0, 0});
  PutText(f, 2788, "192.168.0.1");
  PutText(f, 2808, "tulvar");
  PutText(f, 2828, "tulvar");
  Put(f, 2848, {30, 0, 0, 0});
  return f;
}

std::string Folder(const testing::TempFolder& dir) {
  return WithoutTrailingSeparator(std::filesystem::path(dir.path()).lexically_normal().string());
}

TEST(SettingsFile, FirstRunWritesTheDefaultImageByteForByte) {
  testing::TempFolder dir;
  TGLOB g(dir.path());
  EXPECT_EQ(g.ConfigPath, dir.File("vexa.cfg"));
  EXPECT_EQ(g.PresetPath, dir.File("vexa.pset"));
  const Image written = ReadAll(g.ConfigPath);
  ASSERT_EQ(written.size(), 2856u);
  EXPECT_EQ(written, DefaultImage(Folder(dir)));
  EXPECT_EQ(g.DirHistoryCount, 1);
  EXPECT_EQ(g.DirHistory[0], Folder(dir));
  EXPECT_NE(g.DirHistory[0].back(), '/');
  EXPECT_EQ(g.AppliedLanguage, -1);
  EXPECT_EQ(dir.EntryCount(), 1);  // no temporary file left behind
}

#ifndef _WIN32
TEST(SettingsFile, AnInstalledProgramsFirstRunNamesVexaInTheDocuments) {
  testing::TempFolder home, dir;
  test::ScopedEnv homeVar("HOME", home.path());
  test::ScopedEnv config("XDG_CONFIG_HOME", home.File("conf"));
  test::ScopedEnv documents("XDG_DOCUMENTS_DIR", "");
  TGLOB g(dir.path(), PathLayout::kInstalled);
  const std::string vexa = home.File("Documents/VEXA");
  EXPECT_EQ(g.DirHistory[0], vexa);
  EXPECT_EQ(g.OpenHistory[0], vexa);
  EXPECT_EQ(g.DefaultDestination(), vexa);
  EXPECT_EQ(ReadAll(g.ConfigPath), DefaultImage(vexa));
  // The first run makes it; a later one that finds the file does not.
  EXPECT_TRUE(std::filesystem::is_directory(vexa));
  std::filesystem::remove_all(home.File("Documents"));
  TGLOB again(dir.path(), PathLayout::kInstalled);
  EXPECT_EQ(again.DirHistory[0], vexa);
  EXPECT_FALSE(std::filesystem::exists(home.File("Documents")));
}
#endif

TEST(SettingsFile, OtherMagicAndBannerAreAccepted) {
  testing::TempFolder dir;
  Image f = DefaultImage("/elsewhere");
  PutText(f, 0, "XYZ!");
  std::fill(f.begin() + 12, f.begin() + 92, std::byte{0});
  PutText(f, 12, "a banner of some other program");
  Put(f, 128, {1, 0, 0, 0});                    // Russian
  Put(f, 120, {0, 0, 0, 0, 0, 0, 0x04, 0x40});  // 2.5 s
  ASSERT_TRUE(WriteFileAtomic(dir.File("vexa.cfg"), f).ok);
  TGLOB g(dir.path());
  EXPECT_EQ(g.Load(), TGLOB::LoadResult::kRead);
  EXPECT_EQ(g.Language, 1);
  EXPECT_EQ(g.SampleInterval, 2.5);
  EXPECT_EQ(g.DirHistory[0], "/elsewhere");
  EXPECT_EQ(std::string(g.Magic.data()), "XYZ");  // the slot's last byte is its terminator
  EXPECT_EQ(std::string(g.Banner.data()), "a banner of some other program");
  EXPECT_EQ(ReadAll(g.ConfigPath), f);  // reading leaves the file alone
}

TEST(SettingsFile, AnotherVersionIsReplacedByTheDefaults) {
  for (int at : {4, 8}) {
    testing::TempFolder dir;
    Image f = DefaultImage(Folder(dir));
    Put(f, 128, {1, 0, 0, 0});
    Put(f, static_cast<std::size_t>(at), {3, 0, 0, 0});
    ASSERT_TRUE(WriteFileAtomic(dir.File("vexa.cfg"), f).ok);
    TGLOB g(dir.path());
    EXPECT_EQ(g.Language, 0) << at;
    EXPECT_EQ(ReadAll(g.ConfigPath), DefaultImage(Folder(dir))) << at;
  }
  // Fewer than 12 bytes cannot carry the versions at all.
  testing::TempFolder dir;
  ASSERT_TRUE(WriteFileAtomic(dir.File("vexa.cfg"), Image(11, std::byte{0})).ok);
  TGLOB g(dir.path());
  EXPECT_EQ(ReadAll(g.ConfigPath).size(), 2856u);
}

TEST(SettingsFile, SavingChangesOnlyTheFieldsThatChanged) {
  testing::TempFolder dir;
  // Bytes no field owns, as another program or an older copy may leave them:
  // padding, tails after a terminator, history slots past the count, a flag
  // byte other than 1, and the mail fields.
  Image f = DefaultImage("/data");
  Put(f, 99, {0xA1});
  Put(f, 115, {1, 2, 3, 4, 5});
  Put(f, 1474, {0xEE, 0xEF});
  Put(f, 2770, {7, 8});
  Put(f, 2777, {9, 9, 9});
  PutText(f, 12 + 60, "banner tail");
  PutText(f, 184 + 20, "after the zero");
  PutText(f, 184 + 129, "/stale/entry");
  PutText(f, 184 + 9 * 129, "/last/slot");
  PutText(f, 1480 + 2 * 129, "/open/stale");
  Put(f, 105, {0x55});  // ShowMarks, set
  Put(f, 2772, {1, 2, 3, 4});
  Put(f, 2776, {0xAB});
  PutText(f, 2788, "10.0.0.9");
  Put(f, 2788 + 8, {0, 0, 0, 0});
  PutText(f, 2788 + 12, "host");
  PutText(f, 2808, "someone");
  PutText(f, 2828, "secret");
  Put(f, 2848, {77, 0, 0, 0});
  ASSERT_TRUE(WriteFileAtomic(dir.File("vexa.cfg"), f).ok);
  {
    TGLOB g(dir.path());
    ASSERT_EQ(g.MailHost, "10.0.0.9");
    g.Language = 1;
    ASSERT_EQ(ChooseFolder(g.DirHistory, g.DirHistoryCount, "/new"), FolderChoice::kStored);
  }
  Image expected = f;
  Put(expected, 128, {1, 0, 0, 0});
  Put(expected, 180, {2, 0, 0, 0});
  // The two entries now in use are written whole: text, then zeros.
  std::fill(expected.begin() + 184, expected.begin() + 184 + 2 * 129, std::byte{0});
  PutText(expected, 184, "/new");
  PutText(expected, 184 + 129, "/data");
  EXPECT_EQ(ReadAll(dir.File("vexa.cfg")), expected);
}

TEST(SettingsFile, AFileThatCannotBeReadIsLeftAloneAndTheRunUsesTheDefaults) {
  // What cannot be read may be sound once the cause is put right (a
  // permission, a disk, a link): it must not be replaced by the defaults.
  enum Kind { kFolder, kLinkToFolder, kNoPermission };
  for (const Kind kind : {kFolder, kLinkToFolder, kNoPermission}) {
    testing::TempFolder dir;
    const std::string path = dir.File("vexa.cfg");
    namespace fs = std::filesystem;
    switch (kind) {
      case kFolder:
        fs::create_directory(path);
        break;
      case kLinkToFolder:
#ifdef _WIN32
        continue;  // links need privileges there
#else
        fs::create_directory(dir.File("elsewhere"));
        fs::create_directory_symlink(dir.File("elsewhere"), path);
        break;
#endif
      case kNoPermission: {
        Image f = DefaultImage("/x");
        Put(f, 128, {1, 0, 0, 0});
        ASSERT_TRUE(WriteFileAtomic(path, f).ok);
        fs::permissions(path, fs::perms::none);
        std::vector<std::byte> probe;
        if (ReadFileBytes(path, 1, probe)) continue;  // an administrator reads it anyway
        break;
      }
    }
    const auto before = fs::symlink_status(path).type();
    {
      TGLOB g(dir.path());
      EXPECT_EQ(g.Load(), TGLOB::LoadResult::kUnreadable) << kind;
      EXPECT_EQ(g.Language, 0) << kind;
      const std::string said = g.LoadProblem.Text(kEnglish);
      EXPECT_NE(said.find(path), std::string::npos) << said;
      EXPECT_NE(g.LoadProblem.Text(kRussian).find(path), std::string::npos);
      g.Language = 1;
      EXPECT_FALSE(g.Save()) << kind;
    }
    EXPECT_EQ(fs::symlink_status(path).type(), before) << kind;
    if (kind == kNoPermission) {
      fs::permissions(path, fs::perms::owner_read);
      EXPECT_EQ(ReadAll(path)[128], std::byte{1});
    }
  }
}

TEST(SettingsFile, ChangesOfARunAreThereAtTheNextStart) {
  testing::TempFolder dir;
  {
    TGLOB g(dir.path());
    g.Language = 1;
    g.ShowGrid = false;
    g.AutoScrollAtStart = true;
    g.MonitorLeft = -1200;  // a second screen to the left
    g.SampleInterval = 0.5;
    g.AppliedLanguage = 1;  // session fields are not stored
    g.MarkPending = true;
    ASSERT_EQ(ChooseFolder(g.DirHistory, g.DirHistoryCount, "/data/run"), FolderChoice::kStored);
  }
  TGLOB g(dir.path());
  EXPECT_EQ(g.Language, 1);
  EXPECT_FALSE(g.ShowGrid);
  EXPECT_TRUE(g.AutoScrollAtStart);
  EXPECT_EQ(g.MonitorLeft, -1200);
  EXPECT_EQ(g.SampleInterval, 0.5);
  EXPECT_EQ(g.AppliedLanguage, -1);
  EXPECT_FALSE(g.MarkPending);
  EXPECT_EQ(g.DirHistoryCount, 2);
  EXPECT_EQ(g.DirHistory[0], "/data/run");
  EXPECT_EQ(g.OpenHistoryCount, 1);
}

TEST(DecodeSettings, AShortFileKeepsTheDefaultsOfItsMissingFields) {
  Image f = DefaultImage("/cfg");
  Put(f, 120, {0, 0, 0, 0, 0, 0, 0x04, 0x40});  // 2.5 s
  Put(f, 128, {1, 0, 0, 0});
  Put(f, 2848, {99, 0, 0, 0});

  TGLOB g(TGLOB::NoFile{}, "/cfg");
  const std::string folder = g.DirHistory[0];
  f.resize(130);  // the language at 128..131 is cut
  EXPECT_EQ(DecodeSettings(f, g), SettingsDecode::kAcceptedShort);
  EXPECT_EQ(g.SampleInterval, 2.5);
  EXPECT_EQ(g.Language, 0);

  f.resize(124);  // the sample interval is cut too
  TGLOB h(TGLOB::NoFile{}, "/cfg");
  DecodeSettings(f, h);
  EXPECT_EQ(h.SampleInterval, 5.0);

  // A history is taken whole or not at all.
  Image g2 = DefaultImage("/cfg");
  g2.resize(1000);
  TGLOB k(TGLOB::NoFile{}, "/cfg");
  DecodeSettings(g2, k);
  EXPECT_EQ(k.DirHistoryCount, 1);
  EXPECT_EQ(k.DirHistory[0], folder);
  EXPECT_EQ(k.MailPollSeconds, 30);
}

TEST(DecodeSettings, TextsEndInsideTheirSlotAndCountsStayInRange) {
  Image f = DefaultImage("");
  for (std::size_t i = 0; i < 10 * 129; ++i) f[184 + i] = std::byte{'a'};
  Put(f, 180, {11, 0, 0, 0});
  Put(f, 1476, {0xFB, 0xFF, 0xFF, 0xFF});  // -5
  for (std::size_t i = 0; i < 20; ++i) f[2788 + i] = std::byte{'h'};
  for (std::size_t i = 0; i < 80; ++i) f[12 + i] = std::byte{'b'};
  TGLOB g(TGLOB::NoFile{}, "/cfg");
  ASSERT_EQ(DecodeSettings(f, g), SettingsDecode::kAccepted);
  EXPECT_EQ(g.DirHistoryCount, 10);
  for (const std::string& entry : g.DirHistory) EXPECT_EQ(entry, std::string(128, 'a'));
  EXPECT_EQ(g.OpenHistoryCount, 0);
  EXPECT_EQ(g.MailHost, std::string(19, 'h'));
  EXPECT_EQ(g.Banner[79], '\0');

  // Written back, every slot ends with its zero again.
  const auto image = EncodeSettings(g);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(image[184 + 129 * i + 128], std::byte{0}) << i;
  EXPECT_EQ(image[2788 + 19], std::byte{0});
}

TEST(DecodeSettings, UnusableValuesFallBackToSoundOnes) {
  Image f = DefaultImage("/x");
  Put(f, 128, {7, 0, 0, 0});
  Put(f, 120, {0, 0, 0, 0, 0, 0, 0xF8, 0x7F});  // NaN
  Put(f, 104, {0x55});                          // a flag byte that is not 0 or 1
  TGLOB g(TGLOB::NoFile{}, "/cfg");
  DecodeSettings(f, g);
  EXPECT_EQ(g.Language, 0);
  EXPECT_EQ(g.SampleInterval, 5.0);
  EXPECT_TRUE(g.ShowLegend);
  Put(f, 120, {0, 0, 0, 0, 0, 0, 0xF0, 0xBF});  // -1.0
  DecodeSettings(f, g);
  EXPECT_EQ(g.SampleInterval, 5.0);
}

// Fields whose default is zero: a default file cannot tell them apart, so
// each gets a value of its own at the offset the file format gives it.
TEST(SettingsFile, FieldsWhoseDefaultIsZeroSitAtTheirOwnOffsets) {
  const std::pair<std::size_t, bool TGLOB::*> flags[] = {
      {92, &TGLOB::PrintColor},   {110, &TGLOB::AutoScrollAtStart}, {112, &TGLOB::OneAxes},
      {113, &TGLOB::AllVertAuto}, {114, &TGLOB::UndoZoomAuto}};
  for (const auto& [at, set] : flags) {
    Image f = DefaultImage("/x");
    Put(f, at, {1});
    TGLOB g(TGLOB::NoFile{}, "/x");
    ASSERT_EQ(DecodeSettings(f, g), SettingsDecode::kAccepted);
    for (const auto& [other, flag] : flags) EXPECT_EQ(g.*flag, other == at) << at << " " << other;
  }
  // Language 1 first: it is the only value other than 0 that it takes.
  const std::pair<std::size_t, int32_t TGLOB::*> numbers[] = {
      {128, &TGLOB::Language},      {132, &TGLOB::MonitorState},  {136, &TGLOB::MonitorTop},
      {140, &TGLOB::MonitorLeft},   {152, &TGLOB::ControlState},  {2772, &TGLOB::MailReserved1},
      {2852, &TGLOB::MailReserved3}};
  Image f = DefaultImage("/x");
  int value = 1;
  for (const auto& [at, field] : numbers) Put(f, at, {value++, 0, 0, 0});
  Put(f, 2776, {0x5A});
  TGLOB g(TGLOB::NoFile{}, "/x");
  ASSERT_EQ(DecodeSettings(f, g), SettingsDecode::kAccepted);
  value = 1;
  for (const auto& [at, field] : numbers) EXPECT_EQ(g.*field, value++) << at;
  EXPECT_EQ(g.MailReserved2, 0x5A);
}

TEST(EncodeSettings, EveryFieldRoundTrips) {
  TGLOB g(TGLOB::NoFile{}, "/cfg");
  g.PrintColor = true;
  g.PrinterIndex = 3;
  g.OneAxes = true;
  g.UndoZoomAuto = true;
  g.SampleInterval = 12.75;
  g.OpenWidth = 1920;
  g.MailReserved2 = 0xAB;
  g.MailHost = "почта";  // Cyrillic, 5 bytes in the file
  ChooseFolder(g.OpenHistory, g.OpenHistoryCount, "/mnt/Дата");
  const auto first = EncodeSettings(g);
  EXPECT_EQ(first[2788], std::byte{0xEF});  // "п" in Windows-1251
  TGLOB h(TGLOB::NoFile{}, "/cfg");
  ASSERT_EQ(DecodeSettings(first, h), SettingsDecode::kAccepted);
  EXPECT_EQ(EncodeSettings(h), first);
  EXPECT_EQ(h.MailHost, "почта");
  EXPECT_EQ(h.OpenHistory[0], "/mnt/Дата");
  EXPECT_EQ(h.MailReserved2, 0xAB);
}

TEST(DescribeSettings, ListsTheFieldsInFileOrder) {
  TGLOB g(TGLOB::NoFile{}, "/cfg");
  ChooseFolder(g.DirHistory, g.DirHistoryCount, "/data");
  const auto lines = DescribeSettings(g);
  ASSERT_GE(lines.size(), 50u);
  EXPECT_EQ(lines.front(), std::make_pair(std::string("Magic"), std::string("CFG")));
  EXPECT_EQ(lines[3].first, "Banner");
  EXPECT_EQ(lines.back(), std::make_pair(std::string("MailReserved3"), std::string("0")));
  auto find = [&](const std::string& name) {
    for (const auto& [n, v] : lines)
      if (n == name) return v;
    return std::string("<missing>");
  };
  EXPECT_EQ(find("SampleInterval"), "5");
  EXPECT_EQ(find("DirHistoryCount"), "2");
  EXPECT_EQ(find("DirHistory[0]"), "/data");
  EXPECT_EQ(find("DirHistory[2]"), "<missing>");
  EXPECT_EQ(find("MailLogin"), "tulvar");
}

class FolderHistory : public ::testing::Test {
 protected:
  std::string history[kHistorySize];
  int32_t count = 0;
  void Fill(int n) {
    for (int i = n - 1; i >= 0; --i) {
      ASSERT_EQ(ChooseFolder(history, count, "/f" + std::to_string(i)), FolderChoice::kStored);
    }
  }
};

TEST_F(FolderHistory, ChoosingEntryThreeMovesItToTheTop) {
  Fill(5);  // /f0 .. /f4, /f0 most recent
  EXPECT_EQ(ChooseFolder(history, count, "/f3/"), FolderChoice::kStored);
  EXPECT_EQ(count, 5);
  const char* expected[] = {"/f3", "/f0", "/f1", "/f2", "/f4"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(history[i], expected[i]) << i;
}

TEST_F(FolderHistory, ANewFolderInAFullListDropsTheOldest) {
  Fill(10);
  EXPECT_EQ(ChooseFolder(history, count, "/new"), FolderChoice::kStored);
  EXPECT_EQ(count, 10);
  EXPECT_EQ(history[0], "/new");
  EXPECT_EQ(history[9], "/f8");
}

TEST_F(FolderHistory, RefusesWhatASlotCannotHold) {
  Fill(2);
  EXPECT_EQ(ChooseFolder(history, count, "/" + std::string(128, 'x')), FolderChoice::kTooLong);
  EXPECT_EQ(ChooseFolder(history, count, ""), FolderChoice::kEmpty);
  EXPECT_EQ(ChooseFolder(history, count, "/日本"), FolderChoice::kUnrepresentable);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(history[0], "/f0");
  // 128 bytes fit; 128 Cyrillic letters are 128 bytes in the file, 256 here.
  EXPECT_EQ(ChooseFolder(history, count, "/" + std::string(127, 'x')), FolderChoice::kStored);
  std::string cyrillic = "/";
  for (int i = 0; i < 127; ++i) cyrillic += "ж";
  EXPECT_EQ(ChooseFolder(history, count, cyrillic), FolderChoice::kStored);
  EXPECT_EQ(ChooseFolder(history, count, cyrillic + "ж"), FolderChoice::kTooLong);
  EXPECT_EQ(count, 4);
}

TEST_F(FolderHistory, LetterCaseMattersOnlyWhereTheSystemIgnoresIt) {
  Fill(1);
  ChooseFolder(history, count, "/F0");
#ifdef _WIN32
  EXPECT_EQ(count, 1);
#else
  EXPECT_EQ(count, 2);  // /f0 and /F0 are two folders here
#endif
}

TEST(SettingsFolder, AFolderTooLongForASlotLeavesTheHistoriesEmpty) {
  testing::TempFolder dir;
  const std::string deep = dir.File(std::string(130, 'd'));
  std::filesystem::create_directories(deep);
  TGLOB g(deep);
  EXPECT_EQ(g.DirHistoryCount, 0);
  EXPECT_EQ(g.OpenHistoryCount, 0);
  EXPECT_EQ(ReadAll(g.ConfigPath).size(), 2856u);
}

}  // namespace
}  // namespace vexa
