// Which device a COM port number stands for. Presets name the flow meter's
// port by number (COM2); the device behind it is, in this order:
//   1. the environment variable VEXA_COM<n>, when set and not empty;
//   2. a line "COM<n>=<device>" in the file vexa.ports of the settings folder
//      (blank lines and lines starting with '#' are ignored; the first line
//      for a number wins);
//   3. the system's default: /dev/ttyS<n-1> on POSIX, \\.\COM<n> on Windows.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

inline constexpr const char* kPortsFileName = "vexa.ports";

// vexa.ports is a few lines typed by hand; a file far larger is not one, and
// reading stops there rather than loading whatever it is.
inline constexpr std::size_t kMaxPortsFileBytes = 64 * 1024;

// One line of vexa.ports that names a port: "COM<n>=<device>" with blanks
// around either part; the device may be empty. Nothing for a blank line, a
// comment or any other text.
struct PortsLine {
  int number = 0;
  std::string_view device;
};
std::optional<PortsLine> ParsePortsLine(std::string_view line);

enum class PortSource { kNone, kEnvironment, kPortsFile, kSystemDefault };

struct ComPortResolution {
  std::string device;  // empty for kNone
  PortSource source = PortSource::kNone;
  std::string origin;  // the variable's name or the ports file's path
};

// Which device COM n stands for and which of the three rules said so.
ComPortResolution ResolveComPort(int n, const std::string& configDir);

// The device for COM n, looking for vexa.ports in ConfigDir(). Empty when n
// is no port number (below 1): opening an empty name fails.
std::string ComPortDevice(int n);

// The same with the folder of vexa.ports given.
std::string ComPortDevice(int n, const std::string& configDir);

}  // namespace vexa
