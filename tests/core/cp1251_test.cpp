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
