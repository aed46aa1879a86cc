#include "core/arguments.h"

#ifdef _WIN32
#include <filesystem>

#include <windows.h>
#include <shellapi.h>
#endif

namespace vexa {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  int n = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n)) {
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i) {
      const std::u8string utf8 = std::filesystem::path(wide[i]).u8string();
      args.emplace_back(utf8.begin(), utf8.end());
    }
    LocalFree(wide);
    return args;
  }
#endif
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace vexa
