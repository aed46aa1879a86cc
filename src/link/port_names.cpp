#include "link/port_names.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "core/paths.h"

namespace vexa {

namespace {

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

std::string LookUpPortsFile(int n, const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);  // wide on Windows
  if (!in) return {};
  size_t total = 0;
  std::string line;
  while (total < kMaxPortsFileBytes && std::getline(in, line)) {
    total += line.size() + 1;
    const std::optional<PortsLine> named = ParsePortsLine(line);
    if (named && named->number == n && !named->device.empty()) return std::string(named->device);
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

std::optional<PortsLine> ParsePortsLine(std::string_view line) {
  const std::string_view text = Trim(line);
  if (text.empty() || text.front() == '#') return std::nullopt;
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const int n = ParseComName(Trim(text.substr(0, eq)));
  if (n < 0) return std::nullopt;
  return PortsLine{n, Trim(text.substr(eq + 1))};
}

ComPortResolution ResolveComPort(int n, const std::string& configDir) {
  if (n < 1) return {};
  std::string variable = "VEXA_COM" + std::to_string(n);
  if (const char* env = std::getenv(variable.c_str()); env && *env) {
    return {env, PortSource::kEnvironment, std::move(variable)};
  }
  std::string file = JoinPath(configDir, kPortsFileName);
  if (std::string device = LookUpPortsFile(n, file); !device.empty()) {
    return {std::move(device), PortSource::kPortsFile, std::move(file)};
  }
  return {DefaultDevice(n), PortSource::kSystemDefault, {}};
}

std::string ComPortDevice(int n, const std::string& configDir) { return ResolveComPort(n, configDir).device; }

std::string ComPortDevice(int n) { return ComPortDevice(n, ConfigDir()); }

}  // namespace vexa
