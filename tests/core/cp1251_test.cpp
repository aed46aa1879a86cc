#include "core/cp1251.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_TRUE(IsCp1251Representable(utf8));
  EXPECT_EQ(Utf8ToCp1251(utf8), all);
  EXPECT_EQ(Cp1251Length(utf8), 256u);
}

TEST(Cp1251, CyrillicAndSignsMapToTheirBytes) {
  EXPECT_EQ(Utf8ToCp1251("А я Ё ё"), "\xC0 \xFF \xA8 \xB8");
  EXPECT_EQ(Utf8ToCp1251("T (°C) №"),
            "T (\xB0"
            "C) \xB9");
  EXPECT_EQ(Utf8ToCp1251("€—«»"), "\x88\x97\xAB\xBB");
  EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE1\xEE\xF0\xFB"), "Приборы");
  EXPECT_EQ(Cp1251ToUtf8("\xB0"), "°");
}

// Bytes 0x80 to 0xBF, where Windows-1251 differs most from its neighbours,
// from the code page's published table (0x98 is unassigned there; it reads
// as U+0098 so that every byte survives a round trip).
TEST(Cp1251, TheSixtyFourBytesFrom80ToBFAreThePublishedCharacters) {
  const char* const expected[64] = {
      "\u0402",   "\u0403", "\u201A", "\u0453", "\u201E", "\u2026", "\u2020", "\u2021",  // 80
      "\u20AC",   "\u2030", "\u0409", "\u2039", "\u040A", "\u040C", "\u040B", "\u040F",  // 88
      "\u0452",   "\u2018", "\u2019", "\u201C", "\u201D", "\u2022", "\u2013", "\u2014",  // 90
      "\xC2\x98", "\u2122", "\u0459", "\u203A", "\u045A", "\u045C", "\u045B", "\u045F",  // 98
      "\u00A0",   "\u040E", "\u045E", "\u0408", "\u00A4", "\u0490", "\u00A6", "\u00A7",  // A0
      "\u0401",   "\u00A9", "\u0404", "\u00AB", "\u00AC", "\u00AD", "\u00AE", "\u0407",  // A8
      "\u00B0",   "\u00B1", "\u0406", "\u0456", "\u0491", "\u00B5", "\u00B6", "\u00B7",  // B0
      "\u0451",   "\u2116", "\u0454", "\u00BB", "\u0458", "\u0405", "\u0455", "\u0457",  // B8
  };
  for (int i = 0; i < 64; ++i) {
    const std::string byte(1, static_cast<char>(0x80 + i));
    EXPECT_EQ(Cp1251ToUtf8(byte), expected[i]) << std::hex << 0x80 + i;
    EXPECT_EQ(Utf8ToCp1251(expected[i]), byte) << std::hex << 0x80 + i;
  }
}

TEST(Cp1251, ControlCharactersAreDroppedForShowing) {
  EXPECT_EQ(WithoutControls(std::string("a\0b\tc\r\nd\x1B[0m\x7F\xC2\x98\xC2\xA0"
                                        "e",
                                        18)),
            "abcd[0m\u00A0e");
  EXPECT_EQ(WithoutControls("Метка \xFF"), "Метка \xFF");  // a malformed byte is no control
}

TEST(Cp1251, UnrepresentableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a\u4E2Db"), "a?b");      // CJK
  EXPECT_EQ(Utf8ToCp1251("x\U0001F600y"), "x?y");  // outside the BMP
  EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");            // cut sequence
  EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");       // overlong '/'
  EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");  // surrogate
  EXPECT_EQ(Utf8ToCp1251("\xFF"
                         "a"),
            "?a");
  EXPECT_FALSE(IsCp1251Representable("a\u4E2Db"));
  EXPECT_FALSE(IsCp1251Representable("\xD0"));
  EXPECT_TRUE(IsCp1251Representable(""));
  EXPECT_EQ(Cp1251Length("\xD0\x90\xD0"), 2u);  // "А" and one stray byte
}

}  // namespace
}  // namespace vexa
