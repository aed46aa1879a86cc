// The serial devices this machine has, for the Setup page to offer beside
// the flow meter's port number: choosing one writes it into vexa.ports
// (port_setup.h).
#pragma once

#include <string>
#include <vector>

namespace vexa {

struct SerialDevice {
  std::string path;    // the device name vexa.ports takes
  std::string detail;  // what lies behind it ("ttyUSB0" behind a by-id name, the driver's device on Windows); may be empty
};

// Linux: /dev/serial/by-id/* first (names that stay with the adapter
// whichever USB socket it is in), then /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*
// that exist, each group in name and number order; a ttyS that the kernel
// found no UART for (its sysfs type is 0) is left out. Windows: the COM ports
// the system lists (HARDWARE\DEVICEMAP\SERIALCOMM) as \\.\COM<n>, by number.
std::vector<SerialDevice> FindSerialDevices();

#ifndef _WIN32
// The same over other folders than /dev and /sys/class/tty (tests).
std::vector<SerialDevice> FindSerialDevices(const std::string& devFolder, const std::string& sysTtyFolder);
#endif

}  // namespace vexa
