#include "core/messages.h"
#include "core/own_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <string_view>

#include "core/cp1251.h"
#include "core/message_table_file.h"

namespace vexa {
namespace {

using Entry = testing::TableEntry;
using testing::ReadTableFile;

template <std::size_t N>
void ExpectSameTexts(const char* name, const char* const (&code)[N][2],
                     const std::map<int, Entry>& expected) {
  ASSERT_EQ(expected.size(), N) << name;
  for (const auto& [k, e] : expected) {
    ASSERT_LT(static_cast<std::size_t>(k), N);
    EXPECT_EQ(code[k][0], e.english) << name << " " << k << " English";
    EXPECT_EQ(code[k][1], e.russian) << name << " " << k << " Russian";
  }
}

TEST(MessageTable, EveryTextMatchesTheTableFile) {
  const auto table = ReadTableFile();
  ASSERT_EQ(table.size(), 3u);
  ExpectSameTexts("Messages", Messages, table.at("Messages"));
  ExpectSameTexts("Captions", Captions, table.at("Captions"));
  ExpectSameTexts("Hints", Hints, table.at("Hints"));
}

TEST(MessageTable, MixedScriptsAreKeptLetterForLetter) {
  // "мм" Cyrillic in English, "c" Latin in Russian "cт".
  EXPECT_NE(std::string(Captions[5][0]).find("(\xD0\xBC\xD0\xBC Hg)"), std::string::npos);
  EXPECT_NE(std::string(Captions[5][1]).find(".c\xD1\x82."), std::string::npos);
  // "°" then Cyrillic "С" in both languages of 6; Latin "C" in both of 73.
  for (int lang : {kEnglish, kRussian}) {
    EXPECT_NE(std::string(Captions[6][lang]).find("\xC2\xB0\xD0\xA1)"), std::string::npos);
    EXPECT_STREQ(Captions[73][lang],
                 "(\xC2\xB0"
                 "C)");
  }
  EXPECT_NE(std::string(Captions[7][0]).find("\xD0\xBA\xD0\xB3"), std::string::npos);  // кг
  EXPECT_NE(std::string(Captions[49][1]).find("(\xD1\x81)"), std::string::npos);       // с
  EXPECT_NE(std::string(Captions[83][1]).find("(c)"), std::string::npos);              // c
  EXPECT_STREQ(Captions[70][1],
               "\xD0\x9E"
               "2");  // О2
  EXPECT_STREQ(Captions[70][0], "O2");
}

TEST(MessageTable, EveryTextHasAWindows1251Form) {
  for (const auto& pair : Captions) {
    EXPECT_TRUE(IsCp1251Representable(pair[0]) && IsCp1251Representable(pair[1])) << pair[0];
  }
  for (const auto& pair : Messages) EXPECT_TRUE(IsCp1251Representable(pair[1])) << pair[0];
  for (const auto& pair : Hints) EXPECT_TRUE(IsCp1251Representable(pair[1])) << pair[0];
}

TEST(MessageLookup, UsesTheAppliedLanguageAndFallsBackSafely) {
  EXPECT_STREQ(CaptionText(9, kEnglish), "Add");
  EXPECT_STREQ(CaptionText(9, kRussian), "Добавить");
  EXPECT_STREQ(HintText(0, kRussian), "Начать запись");
  EXPECT_STREQ(MessageText(5, kEnglish),
               "The programm \"VEXA\" will be close.\nDo you confirm this command?");
  // No language applied yet (-1) or a value from a damaged file: English.
  for (int lang : {-1, 2, 1000}) EXPECT_STREQ(CaptionText(9, lang), "Add");
  for (int k : {-1, kCaptionCount, 100000}) EXPECT_STREQ(CaptionText(k, kEnglish), "");
  EXPECT_STREQ(MessageText(kMessageCount, kRussian), "");
  EXPECT_STREQ(HintText(kHintCount, kEnglish), "");
}

// An id added without its pair leaves a null entry at the array's end; a
// Russian text copied from the English one has no Cyrillic letter.
TEST(OwnTexts, EveryEntryHasBothLanguages) {
  auto hasCyrillic = [](std::string_view s) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
      const auto b = static_cast<unsigned char>(s[i]);
      if (b == 0xD0 || b == 0xD1) return true;  // UTF-8 lead bytes of U+0400..U+047F
    }
    return false;
  };
  for (int k = 0; k < kOwnTextCount; ++k) {
    const char* en = OwnTexts[k][kEnglish];
    const char* ru = OwnTexts[k][kRussian];
    ASSERT_TRUE(en != nullptr && ru != nullptr) << "own text " << k << " has no pair";
    EXPECT_FALSE(std::string_view(en).empty()) << k;
    EXPECT_FALSE(hasCyrillic(en)) << k << ": " << en;
    EXPECT_TRUE(hasCyrillic(ru)) << k << ": " << ru;
    EXPECT_TRUE(IsCp1251Representable(ru)) << k;
  }
  EXPECT_STREQ(OwnText(Own::kLinkAlive, kRussian), "на связи");
  EXPECT_STREQ(OwnText(Own::kLinkAlive, -1), "alive");
}

// A composed text takes the same arguments in both languages; an argument
// is put in as it stands (a "%2" inside it is not read again).
TEST(OwnTexts, BothLanguagesTakeTheSameArguments) {
  auto placeholders = [](std::string_view s) {
    std::string found;
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
      if (s[i] == '%' && s[i + 1] >= '1' && s[i + 1] <= '9') found += s[i + 1];
    std::sort(found.begin(), found.end());
    return found;
  };
  for (int k = 0; k < kOwnTextCount; ++k) {
    EXPECT_EQ(placeholders(OwnTexts[k][kEnglish]), placeholders(OwnTexts[k][kRussian]))
        << k << ": " << OwnTexts[k][kEnglish];
  }
  EXPECT_EQ(FormatOwn(Own::kFileMove, kEnglish, {"a", "b%1", "c"}), "cannot move a to b%1: c");
  EXPECT_EQ(FormatOwn(Own::kFileMove, kRussian, {"a"}), "не удается переименовать a в : ");
  EXPECT_EQ(FormatOwn(Own::kLinkAlive, kRussian, {"x"}), "на связи");
  const TOwnMessage none;
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.Text(kRussian), "");
}

}  // namespace
}  // namespace vexa
