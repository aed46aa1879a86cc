#include "recording/preset.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/temp_folder.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
  std::vector<std::byte> out;
  for (int v : values) out.push_back(static_cast<std::byte>(v));
  return out;
}

void Append(std::vector<std::byte>& to, const std::vector<std::byte>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// The 75 bytes after the texts of a preset with the built-in values.
std::vector<std::byte> DefaultTail() {
  return Bytes({
      0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // AiroPort 1, FlownPort 2
      0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x87, 0x40,  // 760.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x54, 0x40,  // 80.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x34, 0x40,  // 20.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x52, 0x40,  // 75.0
      0,    0,    0,    0,    1,    0,    1,           // V and M visible
      0xFF, 0xFF, 0x00, 0x00,                          // Ves: yellow
      0x00, 0xFF, 0xFF, 0x00,                          // VO2t: aqua
      0x00, 0x00, 0xFF, 0x00,                          // O2: blue
      0xFF, 0x00, 0x00, 0x00,                          // T: red
      0x00, 0xFF, 0x00, 0x00,                          // V: lime
      0xA6, 0xCA, 0xF0, 0x00,                          // F: sky blue
      0xFF, 0x00, 0xFF, 0x00,                          // M: fuchsia
  });
}

// A record with the built-in values and the given Windows-1251 texts.
std::vector<std::byte> Record(const std::string& name, const std::string& description = "") {
  std::vector<std::byte> r = Bytes({static_cast<int>(name.size()), 0, 0, 0});
  for (char c : name) r.push_back(static_cast<std::byte>(c));
  Append(r, Bytes({static_cast<int>(description.size()), 0, 0, 0}));
  for (char c : description) r.push_back(static_cast<std::byte>(c));
  Append(r, DefaultTail());
  return r;
}

std::vector<std::byte> File(int count, int current, std::initializer_list<std::string> names) {
  std::vector<std::byte> f = Bytes({count, 0, 0, 0, current, 0, 0, 0});
  for (const auto& n : names) Append(f, Record(n));
  return f;
}

using testing::TempFolder;

TEST(PresetFile, OneStoredPresetMatchesTheDocumentedBytes) {
  TPresets list;
  list.AddDefault();
  list.AddDefault();
  ASSERT_TRUE(SetPresetName(*list.Items[1], "abc"));
  ASSERT_TRUE(SetPresetDescription(*list.Items[1], ""));
  EXPECT_EQ(list.Current, 1);

  const std::vector<std::byte> expected = File(1, 1, {"abc"});
  ASSERT_EQ(expected.size(), 8u + 83u + 3u);
  EXPECT_EQ(SerializePresets(list), expected);

  TPresets back;
  const PresetParseResult r = ParsePresets(expected, back);
  EXPECT_TRUE(r.complete);
  ASSERT_EQ(back.Count, 2);
  EXPECT_EQ(back.Current, 1);
  EXPECT_EQ(back.Items[0]->Name, "Default");
  EXPECT_EQ(back.Items[1]->Name, "abc");
  EXPECT_EQ(back.Items[1]->Description, "");
  EXPECT_EQ(back.Items[1]->FlownPort, 2);
  EXPECT_EQ(back.Items[1]->AtmPressure, 760.0);
}

TEST(PresetFile, EveryFieldComesBackOnItsOwnChannel) {
  TPresets list;
  list.AddDefault();
  list.AddDefault();
  TPreset& p = *list.Items[1];
  ASSERT_TRUE(SetPresetName(p, "Нагрузка №2"));
  ASSERT_TRUE(SetPresetDescription(p, "велоэргометр, 25 °C"));
  p.AiroPort = 7;
  p.FlownPort = -3;
  p.AtmPressure = 741.5;
  p.BodyMass = 0.1;
  p.AirTemperature = -12.25;
  p.Humidity = 100;
  for (int c = 0; c < kChannelCount; ++c) {
    p.Visible[c] = c % 2 == 0;
    p.Color[c] = 0x00010203u * static_cast<uint32_t>(c + 1);
  }
  const std::vector<std::byte> bytes = SerializePresets(list);
  // The name is stored as 11 Windows-1251 bytes, not as its UTF-8 form.
  EXPECT_EQ(std::to_integer<int>(bytes[8]), 11);
  EXPECT_EQ(std::to_integer<int>(bytes[12]), 0xCD);  // "Н"

  TPresets back;
  ParsePresets(bytes, back);
  ASSERT_EQ(back.Count, 2);
  const TPreset& q = *back.Items[1];
  EXPECT_EQ(q.Name, p.Name);
  EXPECT_EQ(q.Description, p.Description);
  EXPECT_EQ(q.AiroPort, 7);
  EXPECT_EQ(q.FlownPort, -3);
  EXPECT_EQ(q.AtmPressure, 741.5);
  EXPECT_EQ(q.BodyMass, 0.1);
  EXPECT_EQ(q.AirTemperature, -12.25);
  EXPECT_EQ(q.Humidity, 100);
  for (int c = 0; c < kChannelCount; ++c) {
    EXPECT_EQ(q.Visible[c], p.Visible[c]) << c;
    EXPECT_EQ(q.Color[c], p.Color[c]) << c;
  }
}

TEST(PresetList, HoldsNineteenAddedPresetsAndNoTwentieth) {
  TPresets list;
  list.AddDefault();
  for (int i = 0; i < 19; ++i) list.AddDefault();
  EXPECT_EQ(list.Count, 20);
  EXPECT_EQ(list.Current, 19);
  list.Current = 4;
  list.AddDefault();
  EXPECT_EQ(list.Count, 20);
  EXPECT_EQ(list.Current, 4);
  TPresets back;
  ParsePresets(SerializePresets(list), back);
  EXPECT_EQ(back.Count, 20);
  EXPECT_EQ(back.Current, 4);
}

TEST(PresetList, RemoveShiftsLaterPresetsAndNeverTouchesDefault) {
  TPresets list;
  list.AddDefault();
  list.Remove(0);
  EXPECT_EQ(list.Count, 1);  // Current is 0: nothing happens
  for (const char* name : {"a", "b", "c"}) {
    list.AddDefault();
    list.Items[list.Count - 1]->Name = name;
  }
  list.Current = 2;
  list.Remove(2);
  ASSERT_EQ(list.Count, 3);
  EXPECT_EQ(list.Current, 1);
  EXPECT_EQ(list.Items[1]->Name, "a");
  EXPECT_EQ(list.Items[2]->Name, "c");
  EXPECT_EQ(list.Items[3], nullptr);
  list.Remove(0);
  list.Remove(3);
  list.Remove(-1);
  EXPECT_EQ(list.Count, 3);
  EXPECT_EQ(list.Items[0]->Name, "Default");
}

TEST(PresetList, TextsLongerThanNinetyNineBytesAreRefused) {
  TPreset p;
  EXPECT_TRUE(SetPresetName(p, std::string(99, 'x')));
  EXPECT_FALSE(SetPresetName(p, std::string(100, 'x')));
  std::string cyrillic;
  for (int i = 0; i < 99; ++i) cyrillic += "ж";  // 198 UTF-8 bytes, 99 in the file
  EXPECT_TRUE(SetPresetDescription(p, cyrillic));
  EXPECT_FALSE(SetPresetDescription(p, cyrillic + "ж"));
  EXPECT_FALSE(SetPresetName(p, "日本"));
  EXPECT_EQ(p.Name, std::string(99, 'x'));

  // A text put into the field directly is cut on writing, so it reads back.
  TPresets list;
  list.AddDefault();
  list.AddDefault();
  list.Items[1]->Name = std::string(150, 'y');
  TPresets back;
  EXPECT_TRUE(ParsePresets(SerializePresets(list), back).complete);
  EXPECT_EQ(back.Items[1]->Name, std::string(99, 'y'));
}

TEST(PresetReader, BrokenFilesKeepWhatIsSound) {
  TPresets list;
  // More records announced than the list can hold: 19 are read.
  std::vector<std::byte> many = Bytes({25, 0, 0, 0, 3, 0, 0, 0});
  for (int i = 0; i < 25; ++i) Append(many, Record("p" + std::to_string(i)));
  PresetParseResult r = ParsePresets(many, list);
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(list.Count, 20);
  EXPECT_EQ(list.Current, 3);
  EXPECT_EQ(list.Items[19]->Name, "p18");

  // A current index outside the list falls back to "Default".
  for (int current : {2, -1, 99}) {
    ParsePresets(File(1, current, {"a"}), list);
    EXPECT_EQ(list.Count, 2);
    EXPECT_EQ(list.Current, 0) << current;
  }

  // A text length above 99, negative or past the end stops the reading
  // there; the records before it stay.
  for (const std::vector<std::byte>& bad :
       {Bytes({100, 0, 0, 0}), Bytes({0xFF, 0xFF, 0xFF, 0xFF}), Bytes({50, 0, 0, 0, 'a'})}) {
    std::vector<std::byte> f = File(2, 1, {"ok"});
    Append(f, bad);
    r = ParsePresets(f, list);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(list.Count, 2);
    EXPECT_EQ(list.Items[1]->Name, "ok");
    EXPECT_EQ(list.Current, 1);
  }

  // A name holding a zero byte ends at the zero, as it always has.
  ParsePresets(File(1, 1, {std::string("ab\0cd", 5)}), list);
  EXPECT_EQ(list.Items[1]->Name, "ab");
}

TEST(PresetReader, AnOverLongTextIsReadByItsLengthAndTheRecordsAfterItStay) {
  // Older copies of the program wrote texts past 99 bytes; the length field
  // says how far each one runs.
  std::vector<std::byte> f = Bytes({3, 0, 0, 0, 3, 0, 0, 0});
  Append(f, Record(std::string(150, 'n'), std::string(120, 'd')));
  Append(f, Record("ok"));
  Append(f, Record(std::string(100, 'x')));
  TPresets list;
  const PresetParseResult r = ParsePresets(f, list);
  EXPECT_TRUE(r.complete);
  EXPECT_FALSE(r.problem.empty());
  ASSERT_EQ(list.Count, 4);
  EXPECT_EQ(list.Items[1]->Name, std::string(99, 'n'));
  EXPECT_EQ(list.Items[1]->Description, std::string(99, 'd'));
  EXPECT_EQ(list.Items[1]->FlownPort, 2);
  EXPECT_EQ(list.Items[2]->Name, "ok");
  EXPECT_EQ(list.Items[3]->Name, std::string(99, 'x'));
  EXPECT_EQ(list.Current, 3);
}

TEST(PresetReader, AFileCutAnywhereGivesOnlyWholeRecords) {
  const std::vector<std::byte> full = File(2, 2, {"one", "two"});
  const std::size_t firstEnd = 8 + 83 + 3;
  for (std::size_t n = 0; n <= full.size(); ++n) {
    TPresets list;
    const std::vector<std::byte> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    const PresetParseResult r = ParsePresets(cut, list);
    const int expected = n == full.size() ? 3 : n >= firstEnd ? 2 : 1;
    EXPECT_EQ(list.Count, expected) << n;
    EXPECT_EQ(r.complete, n == full.size()) << n;
    EXPECT_EQ(list.Items[0]->Name, "Default");
    EXPECT_LT(list.Current, list.Count);
  }
}

TEST(PresetReader, ANonFiniteNumberKeepsItsDefault) {
  std::vector<std::byte> f = File(1, 1, {"x"});
  // BodyMass (record offset 4+1+4+0+8+8) := +infinity.
  const std::size_t at = 8 + 4 + 1 + 4 + 8 + 8;
  for (int i = 0; i < 8; ++i) f[at + i] = static_cast<std::byte>(i == 7 ? 0x7F : i == 6 ? 0xF0 : 0);
  TPresets list;
  ParsePresets(f, list);
  ASSERT_EQ(list.Count, 2);
  EXPECT_EQ(list.Items[1]->BodyMass, 80.0);
  EXPECT_EQ(list.Items[1]->AtmPressure, 760.0);
}

TEST(PresetsFile, SavingWritesLoadsBackAndDeletesWhenOnlyDefaultIsLeft) {
  TempFolder dir;
  const std::string path = dir.File("vexa.pset");
  {
    TPresets list(path);  // no file: "Default" only
    EXPECT_EQ(list.Count, 1);
    EXPECT_EQ(list.Current, 0);
    for (int i = 0; i < 3; ++i) list.AddDefault();
    list.Items[2]->Name = "second";
  }  // the destructor saves
  ASSERT_TRUE(fs::exists(path));
  // Two records "Default"/"Enterprise preset" and one "second"/"Enterprise preset".
  EXPECT_EQ(fs::file_size(path), 8u + 2 * (83u + 7u + 17u) + (83u + 6u + 17u));
  {
    TPresets list(path);
    EXPECT_EQ(list.Count, 4);
    EXPECT_EQ(list.Current, 3);
    EXPECT_EQ(list.Items[2]->Name, "second");
    while (list.Current != 0) list.Remove(list.Current);
    EXPECT_EQ(list.Count, 1);
    EXPECT_TRUE(list.Save());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(list.Save());  // nothing to delete is no failure
  }
  // Nothing but the file itself is left in the folder: no temporary files.
  TPresets list(path);
  list.AddDefault();
  EXPECT_TRUE(list.Save());
  EXPECT_EQ(dir.EntryCount(), 1);
}

TEST(PresetsFile, AFileThatDoesNotReadWholeIsKeptBeforeTheFirstSave) {
  std::vector<std::byte> twoThenNegative = File(3, 1, {"one", "two"});
  Append(twoThenNegative, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
  std::vector<std::byte> firstHuge = Bytes({2, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F});
  std::vector<std::byte> trailing = File(1, 1, {"one"});
  Append(trailing, Record("two"));
  std::vector<std::byte> longName = File(1, 1, {std::string(120, 'n')});
  std::vector<std::byte> badFlag = File(1, 1, {"one"});
  badFlag[8 + 4 + 3 + 4 + 8 + 32] = std::byte{2};  // the VO2t flag byte
  const struct {
    const char* what;
    std::vector<std::byte> bytes;
    int count;  // presets read, "Default" included
  } cases[] = {{"a negative text length", twoThenNegative, 3},
               {"a huge text length in the first record", firstHuge, 1},
               {"a record after the announced ones", trailing, 2},
               {"a name of 120 bytes", longName, 2},
               {"a flag byte of 2", badFlag, 2}};
  for (const auto& c : cases) {
    TempFolder dir;
    const std::string path = dir.File("vexa.pset");
    ASSERT_TRUE(WriteFileAtomic(path, c.bytes).ok);
    std::string copy;
    {
      TPresets list(path);
      EXPECT_EQ(list.Count, c.count) << c.what;
      const std::string said = list.LoadProblem.Text(kEnglish);
      EXPECT_NE(said.find(path), std::string::npos) << c.what << ": " << said;
      copy = list.DamagedCopy;
      EXPECT_NE(said.find(copy), std::string::npos) << c.what;
      EXPECT_EQ(copy.rfind(path + ".damaged-", 0), 0u) << copy;
    }  // the destructor saves
    std::vector<std::byte> kept;
    ASSERT_TRUE(ReadFileBytes(copy, 1 << 20, kept)) << c.what;
    EXPECT_EQ(kept, c.bytes) << c.what;
    TPresets again(path);  // what was read, written whole
    EXPECT_EQ(again.Count, c.count) << c.what;
    EXPECT_TRUE(again.LoadProblem.empty()) << c.what;
    again.FileName.clear();
  }
}

TEST(PresetsFile, AnUnwritableFolderIsReportedNotHidden) {
  TempFolder dir;
  TPresets list;
  list.FileName = dir.File("missing-folder/vexa.pset");
  list.AddDefault();
  list.AddDefault();
  EXPECT_FALSE(list.Save());
  list.FileName.clear();  // the destructor must not try again
}

}  // namespace
}  // namespace vexa
