#include "core/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/atomic_file.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace vexa {

namespace {

// An environment variable as UTF-8, or "" when unset or empty.
std::string Environment(const char* name) {
#ifdef _WIN32
  const std::wstring wide(name, name + std::char_traits<char>::length(name));
  const wchar_t* value = _wgetenv(wide.c_str());
  return value && *value ? Utf8FromPath(fs::path(value)) : std::string();
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
  return Utf8FromPath(fs::path(buffer));
#else
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.string();
#endif
}

namespace {

// user-dirs.dirs is a few lines; a larger file is not one.
constexpr std::size_t kUserDirsMaxBytes = 64 * 1024;

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool IsWritableFolder(const std::string& dir) {
  if (dir.empty()) return false;
#ifdef _WIN32
  // Probing with a temporary file is the only reliable test on Windows.
  const fs::path probe = PathFromUtf8(JoinPath(dir, ".vexa-write-probe"));
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

// $HOME, else the account's home from the password database (a service
// started without HOME); "" when neither names one.
std::string HomeDir() {
  if (std::string home = Environment("HOME"); !home.empty()) return home;
#ifdef _WIN32
  return Environment("USERPROFILE");
#else
  const passwd* account = getpwuid(getuid());
  return account && account->pw_dir ? std::string(account->pw_dir) : std::string();
#endif
}

// $XDG_CONFIG_HOME, else ~/.config: where the user's configuration lives.
std::string XdgConfigHome() {
  if (std::string xdg = Environment("XDG_CONFIG_HOME"); !xdg.empty()) return xdg;
  const std::string home = HomeDir();
  return home.empty() ? std::string() : JoinPath(home, ".config");
}

std::string UserConfigDir() {
  std::string base = Environment("XDG_CONFIG_HOME");
  if (base.empty()) base = Environment("APPDATA");
  if (base.empty()) base = XdgConfigHome();
  if (base.empty()) base = ".";
  std::string dir = JoinPath(base, "vexa");
  std::error_code ec;
  fs::create_directories(PathFromUtf8(dir), ec);
  return dir;
}

}  // namespace

PathLayout BuildLayout() {
#ifdef VEXA_INSTALLED_LAYOUT
  return PathLayout::kInstalled;
#elif defined(_WIN32)
  // One build serves the installer and the portable .zip: the installer
  // leaves kInstalledMarker beside the programs. Without it (the .zip, a
  // build tree) the folder is the program's own, as in a development build.
  static const PathLayout layout = [] {
    const std::string program = ProgramPath();
    if (program.empty()) return PathLayout::kDevelopment;
    std::error_code ec;
    const fs::path marker = PathFromUtf8(program).parent_path() / kInstalledMarker;
    return fs::is_regular_file(marker, ec) ? PathLayout::kInstalled : PathLayout::kDevelopment;
  }();
  return layout;
#else
  return PathLayout::kDevelopment;
#endif
}

std::string ConfigDir() { return ConfigDir(BuildLayout()); }

std::string ConfigDir(PathLayout layout) {
  if (std::string dir = Environment("VEXA_CONFIG_DIR"); !dir.empty()) {
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == kPathSeparator)) dir.pop_back();
    return dir;
  }
  if (layout == PathLayout::kDevelopment) {
    const std::string program = ProgramPath();
    if (!program.empty()) {
      const std::string folder = Utf8FromPath(PathFromUtf8(program).parent_path());
      if (IsWritableFolder(folder)) return folder;
    }
  }
  return UserConfigDir();
}

std::vector<std::string_view> ConfigDirRule() {
  std::vector<std::string_view> rule{"$VEXA_CONFIG_DIR, when it is set"};
  if (BuildLayout() == PathLayout::kDevelopment) {
    rule.push_back("the program's own folder, when it is writable");
  }
#ifdef _WIN32
  rule.push_back("%APPDATA%\\vexa");
#else
  rule.push_back("$XDG_CONFIG_HOME/vexa, else ~/.config/vexa");
#endif
  return rule;
}

std::string DocumentsDirFromUserDirs(std::string_view text, const std::string& home) {
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
  std::string found;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.substr(0, kKey.size()) != kKey) continue;
    // A shell double-quoted string: a backslash keeps the next character.
    std::string value;
    bool closed = false;
    for (std::size_t i = kKey.size(); i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) {
        value += line[++i];
      } else if (line[i] == '"') {
        closed = true;
        break;
      } else {
        value += line[i];
      }
    }
    if (!closed) continue;
    // The file holds "$HOME/..." or an absolute path; anything else is not
    // a folder it may name.
    constexpr std::string_view kHome = "$HOME";
    if (value.substr(0, kHome.size()) == kHome &&
        (value.size() == kHome.size() || value[kHome.size()] == '/')) {
      if (home.empty()) continue;
      found = WithoutTrailingSlashes(home + value.substr(kHome.size()));
    } else if (!value.empty() && value.front() == '/') {
      found = WithoutTrailingSlashes(value);
    }
  }
  return found;
}

std::string DocumentsDir() {
#ifdef _WIN32
  wchar_t path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return Utf8FromPath(fs::path(path));
  }
  const std::string home = HomeDir();
  return home.empty() ? std::string() : JoinPath(home, "Documents");
#else
  if (std::string dir = Environment("XDG_DOCUMENTS_DIR"); !dir.empty() && dir.front() == '/') {
    return WithoutTrailingSlashes(dir);
  }
  const std::string home = HomeDir();
  if (const std::string config = XdgConfigHome(); !config.empty()) {
    std::vector<std::byte> bytes;
    if (ReadFileBytes(JoinPath(config, "user-dirs.dirs"), kUserDirsMaxBytes, bytes)) {
      const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      if (std::string dir = DocumentsDirFromUserDirs(text, home); !dir.empty()) return dir;
    }
  }
  return home.empty() ? std::string() : JoinPath(home, "Documents");
#endif
}

std::string DefaultDestinationFolder(const std::string& configDir) {
  return DefaultDestinationFolder(BuildLayout(), configDir);
}

std::string DefaultDestinationFolder(PathLayout layout, const std::string& configDir) {
  if (layout == PathLayout::kDevelopment) return configDir;
  const std::string documents = DocumentsDir();
  // Without a home there are no documents: the settings folder still holds.
  return documents.empty() ? configDir : JoinPath(documents, "VEXA");
}

fs::path PathFromUtf8(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8FromPath(const fs::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));  // ASCII
  return _wfopen(PathFromUtf8(utf8Path).c_str(), wideMode.c_str());
#else
  return std::fopen(utf8Path.c_str(), mode);
#endif
}

std::string ParentFolder(const std::string& path) { return Utf8FromPath(PathFromUtf8(path).parent_path()); }

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  const char last = dir.back();
  if (last == '/' || last == kPathSeparator) return dir + name;
  return dir + kPathSeparator + name;
}

}  // namespace vexa
