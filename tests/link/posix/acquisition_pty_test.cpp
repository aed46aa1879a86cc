// The acquisition thread against a flow meter on a pseudo-terminal.
#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "link/acquisition.h"
#include "pty_meter.h"
#include "link/test_env.h"

namespace vexa {
namespace {

using Clock = std::chrono::steady_clock;
using test::kFrame1;
using test::kFrame2;
using test::PtyMeter;
using test::WaitFor;

constexpr int kPort = 41;

class AcquisitionPty : public ::testing::Test {
 protected:
  void SetUp() override {
    meter = std::make_unique<PtyMeter>();
    ASSERT_TRUE(meter->Ok());
    test::PointLink(link, meter->Path());
    dev.PortNumber = kPort;
  }
  void TearDown() override { acq.Stop(devices, shared); }

  int Start() {
    int32_t errorPort = 0;
    return acq.Start(devices, shared, errorPort);
  }
  uint64_t Frames() const { return shared.Counters.FramesDecoded; }
  // A frame and the next one's sync byte, which shows it whole.
  void SendFramed(const std::vector<uint8_t>& frame) { meter->Send(test::Join(frame, {0x55})); }
  bool WaitFrames(uint64_t n, int ms = 2000) {
    return WaitFor([&] { return Frames() >= n; }, ms);
  }
  // The device node vanishes and the adapter behind it is gone.
  void Unplug() {
    std::filesystem::remove(link);
    meter.reset();
  }
  void Replug() {
    meter = std::make_unique<PtyMeter>();
    ASSERT_TRUE(meter->Ok());
    test::PointLink(link, meter->Path());
  }

  test::ScratchDir dir;
  std::string link = dir.File("ttyUSB0");
  test::ScopedEnv env{"VEXA_COM" + std::to_string(kPort), link};
  test::ScopedEnv config{"VEXA_CONFIG_DIR", dir.path()};
  std::unique_ptr<PtyMeter> meter;
  TDev dev{kKindFlown};
  TDev* devices[1] = {&dev};
  TLinkShared shared;
  TAcquisition acq;
};

TEST_F(AcquisitionPty, ExampleFramesGiveTheirValuesThenTheirMean) {
  ASSERT_EQ(Start(), 0);
  SendFramed(kFrame1);
  ASSERT_TRUE(WaitFrames(1));
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.00);
  EXPECT_DOUBLE_EQ(shared.ValueF, 15);
  EXPECT_DOUBLE_EQ(shared.ValueM, 7.5);
  EXPECT_TRUE(dev.LinkAlive);
  SendFramed(kFrame2);
  ASSERT_TRUE(WaitFrames(2));
  acq.Stop(devices, shared);
  // The second frame alone is 4.00/17/8.5; averaged into the first it counts one half.
  EXPECT_DOUBLE_EQ(dev.Values[0], 3.50);
  EXPECT_DOUBLE_EQ(dev.Values[1], 16);
  EXPECT_DOUBLE_EQ(dev.Values[2], 8.0);
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.50);
  EXPECT_DOUBLE_EQ(shared.ValueF, 16);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.0);
}

TEST_F(AcquisitionPty, GarbageBeforeTheSyncByteIsSkippedAndMeansTheMeterIsHeard) {
  ASSERT_EQ(Start(), 0);
  meter->Send({0x00, 0xFF, 0x54, 0x56, 0x13});
  ASSERT_TRUE(WaitFor([&] { return shared.Counters.BytesSkipped == 5; }, 2000));
  EXPECT_TRUE(dev.LinkAlive);
  EXPECT_EQ(shared.ValueV, 0.0);
  EXPECT_EQ(Frames(), 0u);
  SendFramed(kFrame2);
  ASSERT_TRUE(WaitFrames(1));
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);
  EXPECT_DOUBLE_EQ(shared.ValueF, 17);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.5);
}

TEST_F(AcquisitionPty, OneSecondOfSilenceClearsLinkAliveAndTheNextFrameReplaces) {
  ASSERT_EQ(Start(), 0);
  SendFramed(kFrame1);
  ASSERT_TRUE(WaitFrames(1));
  const auto heard = Clock::now();
  ASSERT_TRUE(WaitFor([&] { return !dev.LinkAlive; }, 1500));
  EXPECT_GE(Clock::now() - heard, std::chrono::milliseconds(900));
  EXPECT_GE(shared.Counters.SilentReads, 1u);
  SendFramed(kFrame2);
  ASSERT_TRUE(WaitFrames(2));
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);  // replaced, not averaged
  EXPECT_DOUBLE_EQ(shared.ValueF, 17);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.5);
  EXPECT_TRUE(dev.LinkAlive);
}

TEST_F(AcquisitionPty, FramesQueuedTogetherAreAllTakenInOrder) {
  ASSERT_EQ(Start(), 0);
  SendFramed(kFrame1);
  ASSERT_TRUE(WaitFrames(1));
  // Frames 2 and 3 arrive together: both are averaged in, none discarded.
  meter->Send(test::Join(test::Join(kFrame2, test::FrameOf(500, 20, 100)), {0x55}));
  ASSERT_TRUE(WaitFrames(3));
  EXPECT_DOUBLE_EQ(shared.ValueV, (3.00 + 4.00) / 4 + 5.00 / 2);
  EXPECT_DOUBLE_EQ(shared.ValueM, (7.5 + 8.5) / 4 + 10.0 / 2);
}

TEST_F(AcquisitionPty, PauseAfterAFrameKeepsLaterFramesQueuedUntilARestartOrAStop) {
  acq.FramePause = std::chrono::seconds(10);
  ASSERT_EQ(Start(), 0);
  SendFramed(kFrame1);
  ASSERT_TRUE(WaitFrames(1));
  SendFramed(kFrame2);  // averaged, then the thread rests: nothing else waits
  ASSERT_TRUE(WaitFrames(2));
  SendFramed(kFrame1);  // arrives during the rest: kept for after it
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(Frames(), 2u);
  // A stored sample restarts the average: the queued frame is taken at once
  // and replaces the values.
  dev.Restart = true;
  acq.Nudge();
  ASSERT_TRUE(WaitFrames(3, 1000));
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.00);
  SendFramed(kFrame2);
  ASSERT_TRUE(WaitFrames(4, 1000));
  const auto stopping = Clock::now();
  acq.Stop(devices, shared);  // cuts the pause short
  EXPECT_LT(Clock::now() - stopping, std::chrono::milliseconds(500));
}

TEST_F(AcquisitionPty, FrameCutShortIsDropped) {
  ASSERT_EQ(Start(), 0);
  meter->Send({0x55, 0x10, 0x27, 0x63});  // then silence: dropped after the read time-out
  ASSERT_TRUE(WaitFor([&] { return shared.Counters.BytesSkipped == 4; }, 2000));
  SendFramed(kFrame1);
  ASSERT_TRUE(WaitFrames(1));
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.00);
  EXPECT_DOUBLE_EQ(shared.ValueF, 15);
  // Cut short and followed at once by a frame: the frame alone is taken.
  dev.Restart = true;
  meter->Send(test::Join(test::Join({0x55, 0x10, 0x27, 0x63}, kFrame2), {0x55}));
  ASSERT_TRUE(WaitFrames(2));
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);
  EXPECT_DOUBLE_EQ(shared.ValueF, 17);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.5);
}

// A frame split anywhere (a USB adapter's 16 ms latency timer) is taken
// whole; a lone sync byte before a frame is skipped and the frame is taken.
TEST_F(AcquisitionPty, AFrameSplitByAnAdaptersTimerIsTakenALoneSyncByteIsDropped) {
  using std::chrono::milliseconds;
  ASSERT_EQ(Start(), 0);
  for (size_t split = 1; split < 7; ++split) {
    const std::vector<uint8_t> frame = test::FrameOf(static_cast<uint16_t>(100 + split), 15, 75);
    const std::vector<uint8_t> head(frame.begin(), frame.begin() + static_cast<long>(split));
    const std::vector<uint8_t> tail(frame.begin() + static_cast<long>(split), frame.end());
    dev.Restart = true;
    const uint64_t frames = Frames();
    meter->Send(head);
    std::this_thread::sleep_for(milliseconds(16));
    SendFramed(tail);
    ASSERT_TRUE(WaitFrames(frames + 1)) << "split after byte " << split;
    EXPECT_DOUBLE_EQ(shared.ValueV, (100 + split) * 0.01) << split;
    EXPECT_DOUBLE_EQ(shared.ValueM, 7.5) << split;
  }

  dev.Restart = true;
  const uint64_t frames = Frames();
  meter->Send({0x55});
  std::this_thread::sleep_for(milliseconds(50));
  SendFramed(kFrame2);
  ASSERT_TRUE(WaitFrames(frames + 1));
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);
  EXPECT_DOUBLE_EQ(shared.ValueF, 17);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.5);
}

TEST_F(AcquisitionPty, SecondOpenerOfAHeldPortFails) {
  ASSERT_EQ(Start(), 0);
  TDev other(kKindFlown);
  other.PortNumber = kPort;
  EXPECT_EQ(other.OpenPort(), 1);
  EXPECT_EQ(other.FailedPort, kPort);

  // A second recording on the same port fails the same way, with its number.
  TDev* theirs[] = {&other};
  TLinkShared theirShared;
  TAcquisition theirLink;
  int32_t errorPort = 0;
  EXPECT_EQ(theirLink.Start(theirs, theirShared, errorPort), 1);
  EXPECT_EQ(errorPort, kPort);
  EXPECT_FALSE(theirLink.ThreadExists());

  SendFramed(kFrame1);  // the holder is undisturbed
  EXPECT_TRUE(WaitFrames(1));
}

TEST_F(AcquisitionPty, StopWhileSilentEndsWithinTwoSecondsAndFreesThePort) {
  ASSERT_EQ(Start(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto t = Clock::now();
  acq.Stop(devices, shared);
  EXPECT_LT(Clock::now() - t, std::chrono::milliseconds(2100));
  EXPECT_FALSE(acq.ThreadExists());
  EXPECT_FALSE(dev.Port->IsOpen());
  TDev other(kKindFlown);
  other.PortNumber = kPort;
  EXPECT_EQ(other.OpenPort(), 0);  // another program may have it now
  other.ClosePort();
  ASSERT_EQ(Start(), 0);  // and so may a new recording
  SendFramed(kFrame1);
  EXPECT_TRUE(WaitFrames(1));
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

TEST_F(AcquisitionPty, UnpluggedAdapterCostsNoCpuAndIsReadAgainWhenBack) {
  ASSERT_EQ(Start(), 0);  // the real one-second reopen interval
  SendFramed(kFrame1);
  ASSERT_TRUE(WaitFrames(1));

  Unplug();
  ASSERT_TRUE(WaitFor([&] { return !dev.LinkAlive; }, 1000));
  EXPECT_TRUE(dev.Restart);
  const double cpu = ProcessCpuSeconds();
  const auto away = Clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const double share = (ProcessCpuSeconds() - cpu) /
                       std::chrono::duration<double>(Clock::now() - away).count();
  EXPECT_LT(share, 0.05);
  EXPECT_GE(shared.Counters.ReopenAttempts, 1u);
  EXPECT_TRUE(acq.ThreadExists());  // the recording goes on

  Replug();
  const auto back = Clock::now();
  ASSERT_TRUE(WaitFor(
      [&] {
        SendFramed(kFrame2);
        return Frames() >= 2;
      },
      2000));
  EXPECT_LT(Clock::now() - back, std::chrono::milliseconds(2000));
  EXPECT_TRUE(dev.LinkAlive);
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);  // a new run after the loss
}

TEST_F(AcquisitionPty, FiftyUnplugCyclesLeaveNoDescriptorBehind) {
  meter.reset();
  std::filesystem::remove(link);
  const int before = test::OpenDescriptors();
  Replug();
  acq.ReopenInterval = std::chrono::milliseconds(5);
  ASSERT_EQ(Start(), 0);
  for (int cycle = 0; cycle < 50; ++cycle) {
    const uint64_t attempts = shared.Counters.ReopenAttempts;
    Unplug();
    // A reopening attempt means the thread has let go of the lost device.
    ASSERT_TRUE(WaitFor(
        [&] { return !dev.LinkAlive && shared.Counters.ReopenAttempts > attempts; }, 1000))
        << "cycle " << cycle;
    Replug();
    const uint64_t frames = Frames();
    ASSERT_TRUE(WaitFor(
        [&] {
          SendFramed(kFrame1);
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
          return Frames() > frames;
        },
        2000))
        << "cycle " << cycle;
  }
  EXPECT_GE(shared.Counters.ReopenAttempts, 50u);
  acq.Stop(devices, shared);
  Unplug();
  EXPECT_EQ(test::OpenDescriptors(), before);
}

}  // namespace
}  // namespace vexa
