// The POSIX serial port over a real pseudo-terminal: time-outs, purge,
// exclusive use and a vanishing device.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "link/device.h"
#include "link/serial_port.h"
#include "pty_meter.h"

namespace vexa {
namespace {

using Clock = std::chrono::steady_clock;
using test::PtyMeter;

long MsSince(Clock::time_point t) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

class SerialPortPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(meter.Ok());
    ASSERT_TRUE(ParseLineSettings(kLineMode, settings));
    ASSERT_TRUE(port->Open(meter.Path(), settings));
  }
  PtyMeter meter;
  TLineSettings settings;
  std::unique_ptr<SerialPort> port = MakeSerialPort();
  uint8_t buffer[16] = {};
};

TEST_F(SerialPortPty, ReadReturnsAsSoonAsAllBytesAreThere) {
  meter.Send(test::kFrame1);
  const auto t = Clock::now();
  const TReadResult r = port->Read(buffer, 7);
  EXPECT_LT(MsSince(t), 200);
  ASSERT_EQ(r.Count, 7u);
  EXPECT_FALSE(r.Lost);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 7), test::kFrame1);
}

TEST_F(SerialPortPty, PauseAfterAByteEndsTheRead) {
  meter.Send({1, 2, 3});
  // The rest comes only once the read has ended (or never, within the
  // bound), so a busy machine cannot slip it into the same read.
  std::atomic<bool> returned{false};
  std::thread later([&] {
    test::WaitFor([&] { return returned.load(); }, 2000);
    meter.Send({4, 5, 6});
  });
  const auto t = Clock::now();
  const TReadResult r = port->Read(buffer, 6);
  const long took = MsSince(t);
  returned = true;
  later.join();
  EXPECT_EQ(r.Count, 3u);
  EXPECT_LT(took, 500);  // the gap ended it, not the total time-out of a second
  EXPECT_EQ(port->Read(buffer, 6).Count, 3u);  // the rest comes with the next read
  EXPECT_EQ(buffer[0], 4);
}

TEST_F(SerialPortPty, SilentReadReturnsNothingAfterOneSecondAndAMillisecondPerByte) {
  const auto t = Clock::now();
  const TReadResult r = port->Read(buffer, 1);
  const long took = MsSince(t);
  EXPECT_EQ(r.Count, 0u);
  EXPECT_FALSE(r.Lost);
  EXPECT_GE(took, 1001);
  EXPECT_LT(took, 1300);
}

TEST_F(SerialPortPty, PurgeDiscardsWhatWasReceived) {
  meter.Send(test::Join(test::kFrame1, test::kFrame2));
  ASSERT_TRUE(test::WaitFor([&] { return meter.Queued() == 14; }, 2000));
  port->Purge();
  meter.Send({0xAA});
  ASSERT_EQ(port->Read(buffer, 7).Count, 1u);
  EXPECT_EQ(buffer[0], 0xAA);
}

TEST_F(SerialPortPty, OpeningDiscardsBytesQueuedBefore) {
  port->Close();
  meter.Send(test::kFrame1);
  ASSERT_TRUE(test::WaitFor([&] { return meter.Queued() == 7; }, 2000));
  ASSERT_TRUE(port->Open(meter.Path(), settings));
  meter.Send({0xAA});
  ASSERT_EQ(port->Read(buffer, 7).Count, 1u);
  EXPECT_EQ(buffer[0], 0xAA);
}

TEST_F(SerialPortPty, SecondOpenerIsRefusedUntilTheFirstCloses) {
  auto other = MakeSerialPort();
  EXPECT_FALSE(other->Open(meter.Path(), settings));
  EXPECT_FALSE(other->IsOpen());
  port->Close();
  EXPECT_TRUE(other->Open(meter.Path(), settings));
  EXPECT_FALSE(port->Open(meter.Path(), settings));
}

TEST_F(SerialPortPty, HangUpIsALossNotSilence) {
  meter.Send({7, 8});
  meter.Unplug();
  // Bytes that arrived before the hang-up may or may not survive it; either
  // way the loss shows at once instead of after a silent second.
  const auto t = Clock::now();
  TReadResult r = port->Read(buffer, 6);
  if (!r.Lost) r = port->Read(buffer, 6);
  EXPECT_TRUE(r.Lost);
  EXPECT_LT(MsSince(t), 200);
  EXPECT_TRUE(port->Read(buffer, 1).Lost);  // and stays lost, without waiting
  port->Close();
  EXPECT_FALSE(port->IsOpen());
  EXPECT_TRUE(port->Read(buffer, 1).Lost);
}

TEST(SerialPortOpen, RefusesWhatIsNoSerialLine) {
  TLineSettings settings;
  ASSERT_TRUE(ParseLineSettings(kLineMode, settings));
  auto port = MakeSerialPort();
  EXPECT_FALSE(port->Open("", settings));
  EXPECT_FALSE(port->Open("/nonexistent/ttyUSB0", settings));
  EXPECT_FALSE(port->Open("/dev/null", settings));  // a character device, but no terminal
  EXPECT_FALSE(port->Open("/", settings));
  EXPECT_FALSE(port->Open("/tmp/" + std::string(5000, 'x'), settings));
  EXPECT_FALSE(port->IsOpen());
  uint8_t b = 0;
  EXPECT_TRUE(port->Read(&b, 1).Lost);
  port->Purge();  // harmless on a closed port
  port->Close();
}

}  // namespace
}  // namespace vexa
