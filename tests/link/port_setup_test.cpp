// The port field's support: where COM n comes from, and the COM<n>= line of
// vexa.ports written without disturbing anything else in the file.
#include "link/port_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "link/test_env.h"

namespace vexa {
namespace {

using test::ScopedEnv;
using test::ScratchDir;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(WithComPortLine, ReplacesTheLineInForceInPlaceAndKeepsEveryOtherByte) {
  struct Case {
    const char* what;
    std::string before;
    int n;
    std::string after;
  };
  const Case cases[] = {
      {"empty file", "", 3, "COM3=/dev/ttyUSB0" + std::string(kPortsLineEnd)},
      {"appended after other ports and comments, CR LF kept",
       "# lab 2\r\n\r\nCOM1=/dev/ttyS0\r\n", 3, "# lab 2\r\n\r\nCOM1=/dev/ttyS0\r\nCOM3=/dev/ttyUSB0\r\n"},
      {"a last line without its end gets one", "COM1=/dev/ttyS0", 3,
       "COM1=/dev/ttyS0" + std::string(kPortsLineEnd) + "COM3=/dev/ttyUSB0" + std::string(kPortsLineEnd)},
      {"replaced where it stands, its CR LF kept",
       "#x\r\n com3 = /dev/old \r\nCOM4=/dev/ttyACM0\r\n", 3, "#x\r\nCOM3=/dev/ttyUSB0\r\nCOM4=/dev/ttyACM0\r\n"},
      {"the first line with a device answers; later ones and comments stay",
       "COM3=\n#COM3=/dev/c\nCOM3=/dev/a\nCOM3=/dev/b\n", 3, "COM3=\n#COM3=/dev/c\nCOM3=/dev/ttyUSB0\nCOM3=/dev/b\n"},
      {"an empty COM3= line is filled when it is the only one", "COM3=\nCOM30=/dev/x\n", 3,
       "COM3=/dev/ttyUSB0\nCOM30=/dev/x\n"},
      {"COM13 and COM3x are other lines", "COM13=/dev/a\nCOM3x=/dev/b\n", 3,
       "COM13=/dev/a\nCOM3x=/dev/b\nCOM3=/dev/ttyUSB0\n"},
  };
  for (const Case& c : cases) {
    const PortsFileEdit e = WithComPortLine(c.before, c.n, "/dev/ttyUSB0");
    EXPECT_EQ(e.error, "") << c.what;
    EXPECT_EQ(e.text, c.after) << c.what;
  }
}

TEST(WithComPortLine, RefusesWhatCannotBeALineOfTheFile) {
  EXPECT_NE(WithComPortLine("", 0, "/dev/ttyUSB0").error, "");
  EXPECT_NE(WithComPortLine("", 3, "  ").error, "");
  EXPECT_NE(WithComPortLine("", 3, "/dev/a\nCOM4=/dev/b").error, "");
  EXPECT_NE(WithComPortLine("", 3, std::string("/dev/a\0b", 8)).error, "");
  EXPECT_NE(WithComPortLine(std::string(kMaxPortsFileBytes + 1, '#'), 3, "/dev/a").error, "");
  EXPECT_EQ(WithComPortLine("", 3, " /dev/a ").text, "COM3=/dev/a" + std::string(kPortsLineEnd)) << "blanks trimmed";
}

TEST(WriteComPortDevice, TheWrittenLineIsWhatTheLookupFinds) {
  ScratchDir dir;
  const std::string file = dir.File(kPortsFileName);
  ASSERT_TRUE(WriteComPortDevice(2, "/dev/serial/by-id/usb-FTDI-if00-port0", dir.path()).ok);
  ComPortResolution r = ResolveComPort(2, dir.path());
  EXPECT_EQ(r.device, "/dev/serial/by-id/usb-FTDI-if00-port0");
  EXPECT_EQ(r.source, PortSource::kPortsFile);
  EXPECT_EQ(r.origin, file);
  EXPECT_EQ(DescribeComPort(2, r, 0), "COM2 = /dev/serial/by-id/usb-FTDI-if00-port0 (file " + file + ")");

  std::ofstream(file, std::ios::binary | std::ios::app) << "# keep me\r\n";
  ASSERT_TRUE(WriteComPortDevice(2, "/dev/ttyACM0", dir.path()).ok);
  EXPECT_EQ(Read(file), "COM2=/dev/ttyACM0" + std::string(kPortsLineEnd) + "# keep me\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file left";

  {
    ScopedEnv env("VEXA_COM2", "/dev/ttyUSB7");
    r = ResolveComPort(2, dir.path());
    EXPECT_EQ(r.source, PortSource::kEnvironment);
    EXPECT_EQ(DescribeComPort(2, r, 1), "COM2 = /dev/ttyUSB7 (переменная окружения VEXA_COM2)");
  }
  r = ResolveComPort(5, dir.path());
  EXPECT_EQ(r.source, PortSource::kSystemDefault);
  EXPECT_EQ(DescribeComPort(0, ResolveComPort(0, dir.path()), 0), "COM0: no such port");
}

TEST(WriteComPortDevice, AFileItWouldNotRewriteStaysAsItWas) {
  ScratchDir dir;
  const std::string file = dir.File(kPortsFileName);
  const std::string big = "COM1=/dev/ttyS0\n" + std::string(kMaxPortsFileBytes, '#');
  std::ofstream(file, std::ios::binary) << big;
  const FileResult r = WriteComPortDevice(3, "/dev/ttyUSB0", dir.path());
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(file), std::string::npos) << r.error;
  EXPECT_EQ(Read(file), big);
}

}  // namespace
}  // namespace vexa
