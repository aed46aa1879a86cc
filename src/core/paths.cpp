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

std::string ProgramPath() {
#ifdef _WIN32
  char buffer[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return std::string(buffer, n < sizeof buffer ? n : 0);
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
  const std::string probe = JoinPath(dir, ".vexa-write-probe");
  FILE* f = std::fopen(probe.c_str(), "wb");
  if (!f) return false;
  std::fclose(f);
  std::remove(probe.c_str());
  return true;
#else
  return access(dir.c_str(), W_OK | X_OK) == 0;
#endif
}

std::string UserConfigDir() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* appdata = std::getenv("APPDATA"); appdata && *appdata) {
    base = appdata;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = JoinPath(home, ".config");
  } else {
    base = ".";
  }
  std::string dir = JoinPath(base, "vexa");
  std::error_code ec;
  fs::create_directories(dir, ec);
  return dir;
}

}  // namespace

std::string ConfigDir() {
  if (const char* env = std::getenv("VEXA_CONFIG_DIR"); env && *env) {
    std::string dir = env;
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == kPathSeparator)) dir.pop_back();
    return dir;
  }
  const std::string program = ProgramPath();
  if (!program.empty()) {
    const std::string folder = fs::path(program).parent_path().string();
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
