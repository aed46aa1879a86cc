// The serial devices offered for the port field, found in a fake /dev and
// /sys/class/tty: by-id names first, then USB, ACM and the ttyS ports that
// have a UART, in number order.
#include "link/serial_devices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/test_env.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

TEST(FindSerialDevices, ByIdFirstThenUsbAcmAndRealUartsInNumberOrder) {
  test::ScratchDir root;
  const fs::path dev = fs::path(root.path()) / "dev";
  const fs::path sys = fs::path(root.path()) / "sys";
  fs::create_directories(dev / "serial" / "by-id");
  for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "ttyS2", "tty0", "ttyUSB", "ttySAC0", "null"}) {
    std::ofstream(dev / name) << "";
  }
  // ttyS1 has no UART behind it; ttyS2 has no sysfs entry and counts.
  for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, std::pair{"ttyS1", "0"}}) {
    fs::create_directories(sys / name);
    std::ofstream(sys / name / "type") << type << "\n";
  }
  fs::create_symlink("../../ttyUSB2", dev / "serial" / "by-id" / "usb-FTDI_FT232R-if00-port0");
  fs::create_symlink("../../ttyACM0", dev / "serial" / "by-id" / "usb-Arduino-if00");
  fs::create_symlink("../../ttyUSB9", dev / "serial" / "by-id" / "usb-gone-if00");  // unplugged

  std::vector<std::pair<std::string, std::string>> found;
  for (const SerialDevice& d : FindSerialDevices(dev.string(), sys.string())) found.emplace_back(d.path, d.detail);
  const std::string byId = (dev / "serial" / "by-id").string() + "/";
  const std::vector<std::pair<std::string, std::string>> expected = {
      {byId + "usb-Arduino-if00", "ttyACM0"},
      {byId + "usb-FTDI_FT232R-if00-port0", "ttyUSB2"},
      {(dev / "ttyUSB2").string(), ""},
      {(dev / "ttyUSB10").string(), ""},
      {(dev / "ttyACM0").string(), ""},
      {(dev / "ttyS0").string(), ""},
      {(dev / "ttyS2").string(), ""},
  };
  EXPECT_EQ(found, expected);
}

TEST(FindSerialDevices, MissingFoldersGiveNothing) {
  test::ScratchDir root;
  EXPECT_TRUE(FindSerialDevices(root.File("no-dev"), root.File("no-sys")).empty());
}

}  // namespace
}  // namespace vexa
