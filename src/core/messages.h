// The bilingual message table: every operator text that depends on the
// language, in English (index 0) and Russian (index 1), UTF-8. "\n" inside a
// text is a line break. Series titles, file keys, the language selector and
// the About page are fixed texts outside the table.
#pragma once

#include <cstddef>

namespace vexa {

inline constexpr int kEnglish = 0;
inline constexpr int kRussian = 1;

inline constexpr int kMessageCount = 9;
inline constexpr int kCaptionCount = 84;
inline constexpr int kHintCount = 7;

// Texts of the message window; entry 0 is a placeholder for a composed text.
extern const char* const Messages[kMessageCount][2];
// Window titles, page names, labels, button and check-box captions, print
// title-line prefixes.
extern const char* const Captions[kCaptionCount][2];
// Tool tips of the control panel's speed buttons.
extern const char* const Hints[kHintCount][2];

// Entry k of a table in a language: any language other than Russian reads
// English (AppliedLanguage is -1 before the first application, and a settings
// file may hold anything); an entry outside the table reads "".
template <std::size_t N>
const char* Text(const char* const (&table)[N][2], int k, int language) {
  if (k < 0 || static_cast<std::size_t>(k) >= N) return "";
  return table[k][language == kRussian ? 1 : 0];
}

inline const char* MessageText(int k, int language) { return Text(Messages, k, language); }
inline const char* CaptionText(int k, int language) { return Text(Captions, k, language); }
inline const char* HintText(int k, int language) { return Text(Hints, k, language); }

}  // namespace vexa
