// Windows-1251, the 8-bit code page of every file the program reads or
// writes. Inside the program text is UTF-8; these convert at the file boundary.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// UTF-8 to Windows-1251. A character with no Windows-1251 form, and every
// byte of a malformed UTF-8 sequence, becomes "?".
std::string Utf8ToCp1251(std::string_view utf8);

// Windows-1251 to UTF-8. Total: every byte has a character (0x98, which the
// code page leaves unassigned, becomes U+0098 and converts back to 0x98).
std::string Cp1251ToUtf8(std::string_view cp1251);

// True when utf8 is well formed and every character has a Windows-1251 form.
bool IsCp1251Representable(std::string_view utf8);

// Text read from a file, fit to show on a terminal or to put in a cell:
// without C0 controls (NUL, TAB, CR, LF, ESC...), DEL and C1 controls
// (U+0080..U+009F; byte 0x98 of a file becomes U+0098).
std::string WithoutControls(std::string_view utf8);

// Number of Windows-1251 bytes utf8 becomes (one per character; one per
// byte of a malformed sequence). Slot widths in the files count these.
std::size_t Cp1251Length(std::string_view utf8);

// The Windows-1251 bytes of utf8 with the Latin and Cyrillic capitals made
// small: texts compared without regard to letter case ("Default" and
// "default", "Опыт" and "опыт") are equal in this form.
std::string FoldedCp1251(std::string_view utf8);

}  // namespace vexa
