// Which device a COM port number stands for. Presets name the flow meter's
// port by number (COM2); the device behind it is, in this order:
//   1. the environment variable VEXA_COM<n>, when set and not empty;
//   2. a line "COM<n>=<device>" in the file vexa.ports of the settings folder
//      (blank lines and lines starting with '#' are ignored; the first line
//      for a number wins);
//   3. the system's default: /dev/ttyS<n-1> on POSIX, \\.\COM<n> on Windows.
#pragma once

#include <string>

namespace vexa {

inline constexpr const char* kPortsFileName = "vexa.ports";

// The device for COM n, looking for vexa.ports in ConfigDir(). Empty when n
// is no port number (below 1): opening an empty name fails.
std::string ComPortDevice(int n);

// The same with the folder of vexa.ports given.
std::string ComPortDevice(int n, const std::string& configDir);

}  // namespace vexa
