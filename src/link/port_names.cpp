#include "link/port_names.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "core/paths.h"

namespace vexa {

namespace {

// vexa.ports is a few lines typed by hand; a file far larger is not one, and
// reading stops there rather than loading whatever it is.
constexpr size_t kMaxPortsFileBytes = 64 * 1024;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// "COM12" (any case) → 12; -1 when the text is anything else.
int ParseComName(std::string_view name) {
  if (name.size() < 4) return -1;
  if ((name[0] | 0x20) != 'c' || (name[1] | 0x20) != 'o' || (name[2] | 0x20) != 'm') return -1;
  int n = -1;
  const char* first = name.data() + 3;
  const char* last = name.data() + name.size();
  const auto [end, ec] = std::from_chars(first, last, n);
  if (ec != std::errc() || end != last) return -1;
  return n;
}

std::string LookUpPortsFile(int n, const std::string& configDir) {
  std::ifstream in(JoinPath(configDir, kPortsFileName), std::ios::binary);
  if (!in) return {};
  size_t total = 0;
  std::string line;
  while (total < kMaxPortsFileBytes && std::getline(in, line)) {
    total += line.size() + 1;
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() == '#') continue;
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos) continue;
    if (ParseComName(Trim(text.substr(0, eq))) != n) continue;
    const std::string_view device = Trim(text.substr(eq + 1));
    if (!device.empty()) return std::string(device);
  }
  return {};
}

std::string DefaultDevice(int n) {
#ifdef _WIN32
  // The device namespace reaches COM10 and above, which the short names do not.
  return "\\\\.\\COM" + std::to_string(n);
#else
  return "/dev/ttyS" + std::to_string(n - 1);
#endif
}

}  // namespace

std::string ComPortDevice(int n, const std::string& configDir) {
  if (n < 1) return {};
  const std::string variable = "VEXA_COM" + std::to_string(n);
  if (const char* env = std::getenv(variable.c_str()); env && *env) return env;
  if (std::string device = LookUpPortsFile(n, configDir); !device.empty()) return device;
  return DefaultDevice(n);
}

std::string ComPortDevice(int n) { return ComPortDevice(n, ConfigDir()); }

}  // namespace vexa
