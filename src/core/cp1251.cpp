#include "core/cp1251.h"

#include <cstdint>

namespace vexa {
namespace {

// Code points of the bytes 0x80..0xFF; 0xC0..0xFF are А..я (U+0410..U+044F).
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

char32_t ByteToCodePoint(unsigned char b) {
  if (b < 0x80) return b;
  if (b >= 0xC0) return 0x0410 + (b - 0xC0);
  return kHigh[b - 0x80];
}

// The byte for a code point, or -1 when the code page has none.
int CodePointToByte(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
  for (int i = 0; i < 64; ++i) {
    if (kHigh[i] == cp) return 0x80 + i;
  }
  return -1;
}

// Decodes one UTF-8 character at s[i]; on success sets cp and the length
// used. Overlong forms, surrogates and values above U+10FFFF are malformed.
bool DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp, std::size_t& len) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    len = 1;
    return true;
  }
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return false;
  }
  if (s.size() - i < len) return false;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Calls f(cp, bytes) for each character of utf8 in turn; each byte of a
// malformed sequence comes alone, with cp = kMalformed (which the code page
// has no byte for).
constexpr char32_t kMalformed = 0xFFFFFFFF;
template <class F>
void ForEachCharacter(std::string_view utf8, F&& f) {
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp;
    std::size_t len;
    if (!DecodeUtf8(utf8, i, cp, len)) {
      cp = kMalformed;
      len = 1;
    }
    f(cp, utf8.substr(i, len));
    i += len;
  }
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  ForEachCharacter(utf8, [&](char32_t cp, std::string_view) {
    const int b = CodePointToByte(cp);
    out += b < 0 ? '?' : static_cast<char>(b);
  });
  return out;
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (const char c : cp1251) AppendUtf8(out, ByteToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

bool IsCp1251Representable(std::string_view utf8) {
  bool all = true;
  ForEachCharacter(utf8,
                   [&](char32_t cp, std::string_view) { all = all && CodePointToByte(cp) >= 0; });
  return all;
}

std::string WithoutControls(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  ForEachCharacter(utf8, [&](char32_t cp, std::string_view bytes) {
    // A malformed byte is no control: it stays as it is.
    if (cp == kMalformed || (cp >= 0x20 && cp != 0x7F && (cp < 0x80 || cp > 0x9F))) {
      out.append(bytes);
    }
  });
  return out;
}

std::size_t Cp1251Length(std::string_view utf8) {
  std::size_t n = 0;
  ForEachCharacter(utf8, [&](char32_t, std::string_view) { ++n; });
  return n;
}

std::string FoldedCp1251(std::string_view utf8) {
  std::string s = Utf8ToCp1251(utf8);
  for (char& c : s) {
    auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDF)) {
      u += 32;
    } else if (u == 0xA8) {
      u = 0xB8;  // Ё
    }
    c = static_cast<char>(u);
  }
  return s;
}

}  // namespace vexa
