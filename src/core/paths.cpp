#include "core/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace vexa {

namespace {

// Paths inside the program are UTF-8 on every system; Windows hands out and
// takes wide strings, so convert there rather than use the ANSI code page,
// which cannot name every folder (a user name in another script).
std::string ToUtf8(const fs::path& p) {
  const std::u8string u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

fs::path FromUtf8(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// An environment variable as UTF-8, or "" when unset or empty.
std::string Environment(const char* name) {
#ifdef _WIN32
  const std::wstring wide(name, name + std::char_traits<char>::length(name));
  const wchar_t* value = _wgetenv(wide.c_str());
  return value && *value ? ToUtf8(fs::path(value)) : std::string();
#else
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
#endif
}

}  // namespace

std::string ProgramPath() {
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');  // the longest path Windows knows
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return {};
  buffer.resize(n);
  return ToUtf8(fs::path(buffer));
#else
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.string();
#endif
}

namespace {

bool IsWritableFolder(const std::string& dir) {
  if (dir.empty()) return false;
#ifdef _WIN32
  // Probing with a temporary file is the only reliable test on Windows.
  const fs::path probe = FromUtf8(JoinPath(dir, ".vexa-write-probe"));
  FILE* f = _wfopen(probe.c_str(), L"wb");
  if (!f) return false;
  std::fclose(f);
  std::error_code ec;
  fs::remove(probe, ec);
  return true;
#else
  return access(dir.c_str(), W_OK | X_OK) == 0;
#endif
}

std::string UserConfigDir() {
  std::string base;
  if (std::string xdg = Environment("XDG_CONFIG_HOME"); !xdg.empty()) {
    base = xdg;
  } else if (std::string appdata = Environment("APPDATA"); !appdata.empty()) {
    base = appdata;
  } else if (std::string home = Environment("HOME"); !home.empty()) {
    base = JoinPath(home, ".config");
  } else {
    base = ".";
  }
  std::string dir = JoinPath(base, "vexa");
  std::error_code ec;
  fs::create_directories(FromUtf8(dir), ec);
  return dir;
}

}  // namespace

std::string ConfigDir() {
  if (std::string dir = Environment("VEXA_CONFIG_DIR"); !dir.empty()) {
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == kPathSeparator)) dir.pop_back();
    return dir;
  }
  const std::string program = ProgramPath();
  if (!program.empty()) {
    const std::string folder = ToUtf8(FromUtf8(program).parent_path());
    if (IsWritableFolder(folder)) return folder;
  }
  return UserConfigDir();
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  const char last = dir.back();
  if (last == '/' || last == kPathSeparator) return dir + name;
  return dir + kPathSeparator + name;
}

}  // namespace vexa
