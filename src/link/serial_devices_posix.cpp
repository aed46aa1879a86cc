#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "link/serial_devices.h"

namespace vexa {

namespace {

namespace fs = std::filesystem;

// "ttyUSB12" with prefix "ttyUSB" → 12; -1 for any other name.
long NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix || name.size() > prefix.size() + 6) {
    return -1;
  }
  long n = 0;
  for (char c : name.substr(prefix.size())) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// The 8250 driver makes ttyS0..ttyS31 whether or not a UART is there; sysfs
// says "0" (unknown) for the empty ones. Without sysfs the device counts.
bool HasUart(const fs::path& sysTty, const std::string& name) {
  std::ifstream in(sysTty / name / "type");
  std::string type;
  if (!(in >> type)) return true;
  return type != "0";
}

}  // namespace

std::vector<SerialDevice> FindSerialDevices(const std::string& devFolder, const std::string& sysTtyFolder) {
  std::vector<SerialDevice> found;
  std::error_code ec;
  std::vector<fs::path> byId;
  for (fs::directory_iterator it(fs::path(devFolder) / "serial" / "by-id", ec), end; !ec && it != end; it.increment(ec)) {
    byId.push_back(it->path());
  }
  std::sort(byId.begin(), byId.end());
  for (const fs::path& link : byId) {
    std::error_code linkEc;
    const fs::path target = fs::canonical(link, linkEc);
    if (linkEc) continue;  // a link left behind by an adapter that is gone
    found.push_back({link.string(), target.filename().string()});
  }

  std::vector<std::string> names;
  for (fs::directory_iterator it(devFolder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  for (const std::string_view prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
    std::vector<std::pair<long, std::string>> group;
    for (const std::string& name : names) {
      const long n = NumberAfter(name, prefix);
      if (n < 0 || (prefix == "ttyS" && !HasUart(sysTtyFolder, name))) continue;
      group.emplace_back(n, name);
    }
    std::sort(group.begin(), group.end());
    for (const auto& [n, name] : group) found.push_back({(fs::path(devFolder) / name).string(), {}});
  }
  return found;
}

std::vector<SerialDevice> FindSerialDevices() { return FindSerialDevices("/dev", "/sys/class/tty"); }

}  // namespace vexa
