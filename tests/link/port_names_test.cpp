#include "link/port_names.h"

#include <gtest/gtest.h>

#include <fstream>

#include "link/test_env.h"

namespace vexa {
namespace {

using test::ScopedEnv;
using test::ScratchDir;

void WritePorts(const ScratchDir& dir, const std::string& text) {
  std::ofstream(dir.File(kPortsFileName), std::ios::binary) << text;
}

std::string Default(int n) {
#ifdef _WIN32
  return "\\\\.\\COM" + std::to_string(n);
#else
  return "/dev/ttyS" + std::to_string(n - 1);
#endif
}

TEST(ComPortDevice, DefaultsToTheSystemsNameForTheNumber) {
  ScratchDir dir;
  EXPECT_EQ(ComPortDevice(2, dir.path()), Default(2));
  EXPECT_EQ(ComPortDevice(12, dir.path()), Default(12));
#ifdef _WIN32
  EXPECT_EQ(ComPortDevice(12, dir.path()), "\\\\.\\COM12");
#else
  EXPECT_EQ(ComPortDevice(1, dir.path()), "/dev/ttyS0");
#endif
}

TEST(ComPortDevice, NoDeviceForNumbersBelowOne) {
  ScratchDir dir;
  ScopedEnv env("VEXA_COM0", "/dev/null");
  EXPECT_EQ(ComPortDevice(0, dir.path()), "");
  EXPECT_EQ(ComPortDevice(-3, dir.path()), "");
}

TEST(ComPortDevice, PortsFileLinesWithCommentsSpacesAndCrLf) {
  ScratchDir dir;
  WritePorts(dir,
             "# USB adapters\r\n"
             "\r\n"
             "COM3 = /dev/ttyUSB0\r\n"
             "com4=/dev/serial/by-id/usb-FTDI_FT232R-if00-port0\n"
             "COM3=/dev/ttyUSB9\n"   // the first line for a number wins
             "COM5=\n"               // empty: falls through to the default
             "COM6\n"                // no '=': ignored
             "COM7x=/dev/bad\n"
             "#COM8=/dev/commented\n");
  EXPECT_EQ(ComPortDevice(3, dir.path()), "/dev/ttyUSB0");
  EXPECT_EQ(ComPortDevice(4, dir.path()), "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
  EXPECT_EQ(ComPortDevice(5, dir.path()), Default(5));
  EXPECT_EQ(ComPortDevice(6, dir.path()), Default(6));
  EXPECT_EQ(ComPortDevice(7, dir.path()), Default(7));
  EXPECT_EQ(ComPortDevice(8, dir.path()), Default(8));
}

TEST(ComPortDevice, EnvironmentWinsOverThePortsFile) {
  ScratchDir dir;
  WritePorts(dir, "COM3=/dev/ttyUSB0\n");
  {
    ScopedEnv env("VEXA_COM3", "/dev/ttyACM1");
    EXPECT_EQ(ComPortDevice(3, dir.path()), "/dev/ttyACM1");
  }
  {
    ScopedEnv empty("VEXA_COM3", "");
    EXPECT_EQ(ComPortDevice(3, dir.path()), "/dev/ttyUSB0");
  }
}

TEST(ComPortDevice, UsesTheSettingsFolderByDefault) {
  ScratchDir dir;
  WritePorts(dir, "COM9=/dev/ttyUSB3\n");
  ScopedEnv env("VEXA_CONFIG_DIR", dir.path());
  EXPECT_EQ(ComPortDevice(9), "/dev/ttyUSB3");
}

TEST(ComPortDevice, HugeOrBinaryPortsFileIsReadOnlyAsFarAsItsLimit) {
  ScratchDir dir;
  std::string junk(200 * 1024, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 131 % 251);
  WritePorts(dir, junk + "\nCOM3=/dev/late\n");
  EXPECT_EQ(ComPortDevice(3, dir.path()), Default(3));
}

}  // namespace
}  // namespace vexa
