#include <windows.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "core/file_version.h"
#include "core/paths.h"

namespace vexa {

namespace {

// "041904e3": language and code page as four lower-case hex digits each.
std::wstring TranslationKey(WORD language, WORD codePage) {
  constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring key(8, L'0');
  const unsigned both = (static_cast<unsigned>(language) << 16) | codePage;
  for (int i = 0; i < 8; ++i) key[7 - i] = kDigits[(both >> (4 * i)) & 0xF];
  return key;
}

}  // namespace

// The wide calls: with the ANSI ones a program folder named outside the
// ANSI code page (a user name in another script) would read no version.
std::string FileVersionOf(const std::string& path) {
  const std::wstring file = PathFromUtf8(path).wstring();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<std::byte> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return {};

  void* value = nullptr;
  UINT length = 0;
  // The translation table is pairs of WORDs; an empty one names no block.
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || !value ||
      length < 2 * sizeof(WORD)) {
    return {};
  }
  WORD pair[2];
  std::memcpy(pair, value, sizeof pair);

  const std::wstring query =
      L"\\StringFileInfo\\" + TranslationKey(pair[0], pair[1]) + L"\\FileVersion";
  if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || !value || length == 0) {
    return {};
  }
  // The length counts characters; the text ends at its terminator or there.
  const auto* text = static_cast<const wchar_t*>(value);
  const std::wstring version(text, wcsnlen(text, length));
  return Utf8FromPath(std::filesystem::path(version));
}

std::string ProgramVersionText(std::string_view) { return FileVersionOf(ProgramPath()); }

}  // namespace vexa
