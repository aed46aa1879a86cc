// Frame decoding and the running average, through the thread's own loop step
// on a scripted port.
#include <gtest/gtest.h>

#include <vector>

#include "link/acquisition.h"
#include "link/frame.h"
#include "link/scripted_port.h"

namespace vexa {
namespace {

const std::vector<uint8_t> kFrame1 = {0x55, 0x2C, 0x01, 0x0F, 0x00, 0x4B, 0x00};  // 3.00 15 7.5
const std::vector<uint8_t> kFrame2 = {0x55, 0x90, 0x01, 0x11, 0x00, 0x55, 0x00};  // 4.00 17 8.5
const std::vector<uint8_t> kSync = {0x55};  // the next frame's first byte: shows the one before whole

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A frame of raw values as the meter sends it.
std::vector<uint8_t> RawFrame(unsigned v, unsigned f, unsigned m) {
  return {0x55, static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(f),
          static_cast<uint8_t>(f >> 8), static_cast<uint8_t>(m), static_cast<uint8_t>(m >> 8)};
}

TEST(DecodeFlowFrame, ScalesLittleEndianRawValues) {
  const uint8_t data[6] = {0x2C, 0x01, 0x0F, 0x00, 0x4B, 0x00};
  const TFlowValues v = DecodeFlowFrame(data);
  EXPECT_DOUBLE_EQ(v.V, 3.00);
  EXPECT_DOUBLE_EQ(v.F, 15);
  EXPECT_DOUBLE_EQ(v.M, 7.5);
  const uint8_t top[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const TFlowValues t = DecodeFlowFrame(top);
  EXPECT_DOUBLE_EQ(t.V, 655.35);
  EXPECT_DOUBLE_EQ(t.F, 65535);
  EXPECT_DOUBLE_EQ(t.M, 6553.5);
}

// The bounds of what the meter measures: everything up to them is a frame.
TEST(InMeterRange, HoldsUpToTheBoundsOfBreathing) {
  EXPECT_TRUE(InMeterRange({0, 0, 0}));
  EXPECT_TRUE(InMeterRange({kMaxFlowV, kMaxFlowF, kMaxFlowM}));
  EXPECT_TRUE(InMeterRange({3.00, 15, 7.5}));
  EXPECT_FALSE(InMeterRange({10.01, 15, 7.5}));
  EXPECT_FALSE(InMeterRange({3.00, 151, 7.5}));
  EXPECT_FALSE(InMeterRange({3.00, 15, 300.1}));
  EXPECT_FALSE(InMeterRange({218.45, 21845, 2184.5}));  // six bytes 0x55
}

TEST(TakeFlowFrame, FirstReplacesThenHalvesTheWeightOfOlderFrames) {
  double values[3] = {9, 9, 9};
  TakeFlowFrame({4, 20, 8}, true, values);
  EXPECT_DOUBLE_EQ(values[0], 4);
  TakeFlowFrame({2, 10, 4}, false, values);
  EXPECT_DOUBLE_EQ(values[0], 3);
  TakeFlowFrame({1, 40, 2}, false, values);
  // The third frame counts one half, the two before it one quarter each.
  EXPECT_DOUBLE_EQ(values[0], 0.25 * 4 + 0.25 * 2 + 0.5 * 1);
  EXPECT_DOUBLE_EQ(values[1], 0.25 * 20 + 0.25 * 10 + 0.5 * 40);
  EXPECT_DOUBLE_EQ(values[2], 0.25 * 8 + 0.25 * 4 + 0.5 * 2);
}

class AcquireStepTest : public ::testing::Test {
 protected:
  AcquireStepTest() : dev(kKindFlown) {
    auto p = std::make_unique<ScriptedPort>();
    port = p.get();
    dev.Port = std::move(p);
  }
  TAcquireStep Step() { return AcquireStep(dev, shared); }
  // Runs the loop until the script is used up.
  std::vector<TAcquireStep> RunScript() {
    std::vector<TAcquireStep> steps;
    while (!port->Finished()) steps.push_back(Step());
    return steps;
  }

  TDev dev;
  TLinkShared shared;
  ScriptedPort* port = nullptr;
};

TEST_F(AcquireStepTest, ExampleFramesSetThenAverage) {
  port->Add(kFrame1);
  port->Add(kFrame2);
  port->Add(kSync);
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Averaged}));
  EXPECT_DOUBLE_EQ(dev.Values[0], 3.50);
  EXPECT_DOUBLE_EQ(dev.Values[1], 16);
  EXPECT_DOUBLE_EQ(dev.Values[2], 8.0);
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.50);
  EXPECT_DOUBLE_EQ(shared.ValueF, 16);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.0);
  EXPECT_FALSE(dev.Restart);
  EXPECT_EQ(shared.Counters.FramesDecoded, 2u);
  EXPECT_EQ(shared.Counters.BytesSkipped, 0u);
}

TEST_F(AcquireStepTest, QueuedFramesAreTakenInOrderNoneDiscarded) {
  port->Add(Join({kFrame1, kFrame1, kFrame2, kFrame2, kSync}));
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Averaged,
                                      TAcquireStep::Averaged, TAcquireStep::Averaged}));
  EXPECT_EQ(port->Purges(), 0);
  EXPECT_DOUBLE_EQ(shared.ValueV, 0.125 * 3.0 + 0.125 * 3.0 + 0.25 * 4.0 + 0.5 * 4.0);
}

TEST_F(AcquireStepTest, GarbageIsSkippedAndCountsAsHearingTheInstrument) {
  port->Add({0x00, 0xFF, 0x54, 0x56, 0xAA});
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Step(), TAcquireStep::Skipped);
  EXPECT_TRUE(dev.LinkAlive);
  EXPECT_TRUE(dev.Restart);
  EXPECT_EQ(shared.ValueV, 0.0);
  EXPECT_EQ(shared.Counters.BytesSkipped, 5u);
  port->Add(Join({kFrame1, kSync}));
  EXPECT_EQ(Step(), TAcquireStep::FirstFrame);
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.00);
}

TEST_F(AcquireStepTest, SilenceRestartsTheAverageAndDropsTheFrameItFollows) {
  port->Add(Join({kFrame1, kFrame1}));
  port->AddSilence();  // the second frame is never shown whole
  port->Add(Join({kFrame2, kSync}));
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::ShortFrame,
                                      TAcquireStep::FirstFrame}));
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);
  EXPECT_DOUBLE_EQ(shared.ValueF, 17);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.5);
  EXPECT_EQ(shared.Counters.SilentReads, 1u);
  EXPECT_EQ(shared.Counters.BytesSkipped, 7u);
  EXPECT_TRUE(dev.LinkAlive);
  port->AddSilence();
  EXPECT_EQ(Step(), TAcquireStep::ShortFrame);  // the held sync byte, then nothing
  EXPECT_FALSE(dev.LinkAlive);
  EXPECT_TRUE(dev.Restart);
  EXPECT_EQ(Step(), TAcquireStep::Silent);
}

TEST_F(AcquireStepTest, RestartAskedForByTheSamplingStepIsHonoured) {
  port->Add(Join({kFrame1, kSync}));
  EXPECT_EQ(Step(), TAcquireStep::FirstFrame);
  dev.Restart = true;  // a stored sample
  port->Add(Join({std::vector<uint8_t>(kFrame2.begin() + 1, kFrame2.end()), kSync}));
  EXPECT_EQ(Step(), TAcquireStep::FirstFrame);
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);
}

// Frames judged by their bytes: however the bytes are split into bursts
// (how they arrived, when the thread read them), the same frames are taken
// and no false value ever is.
TEST(AcquireStepBytes, CutFramesGarbageAndSyncBurstsNeverGiveAFalseValue) {
  using S = TAcquireStep;
  const std::vector<uint8_t> garbage = {0x11, 0xA2, 0x03};
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    int frames;  // frames taken, all of kFrame1's values
    uint64_t skipped;
  } cases[] = {
      {"a lone sync byte between frames", Join({kFrame1, kSync, kFrame1, kSync}), 2, 1},
      {"frames cut after 1 to 6 of their bytes",
       Join({kFrame1, {0x55}, kFrame1, {0x55, 0x2C}, kFrame1, {0x55, 0x2C, 0x01}, kFrame1,
             {0x55, 0x2C, 0x01, 0x0F}, kFrame1, {0x55, 0x2C, 0x01, 0x0F, 0x00}, kFrame1,
             {0x55, 0x2C, 0x01, 0x0F, 0x00, 0x4B}, kFrame1, kSync}),
       7, 21},
      {"a frame cut after 4 bytes, then 3 garbage bytes: the next sync byte where a frame's would be",
       Join({kFrame1, {0x55, 0x2C, 0x01, 0x0F}, garbage, kFrame1, kSync}), 2, 7},
      {"seven 0x55 bytes before a frame", Join({std::vector<uint8_t>(7, 0x55), kFrame1, kSync}), 1, 7},
      {"twenty 0x55 bytes between frames",
       Join({kFrame1, std::vector<uint8_t>(20, 0x55), kFrame1, kSync}), 2, 20},
      {"0x55 bytes in place of a frame's data",
       Join({kFrame1, {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}, kFrame1, kSync}), 2, 7},
      {"noise after every frame: each taken once it repeats the one before",
       Join({garbage, kFrame1, garbage, kFrame1, garbage, kFrame1, garbage, kSync}), 2, 20},
      {"frames cut after 4, 5 and 6 bytes, each followed by noise",
       Join({garbage, kFrame1, garbage, kFrame1, garbage, {0x55, 0x2C, 0x01, 0x0F}, garbage, kFrame1,
             garbage, {0x55, 0x2C, 0x01, 0x0F, 0x00}, garbage, kFrame1, garbage,
             {0x55, 0x2C, 0x01, 0x0F, 0x00, 0x4B}, garbage, kFrame1, garbage, kSync}),
       4, 50},
  };
  for (const auto& c : cases) {
    // All at once (a thread that came late), one byte a burst (one that
    // read every byte as it came), and in bursts of three.
    for (const std::size_t split : {c.bytes.size(), std::size_t{1}, std::size_t{3}}) {
      TDev dev(kKindFlown);
      auto script = std::make_unique<ScriptedPort>();
      for (std::size_t at = 0; at < c.bytes.size(); at += split) {
        script->Add({c.bytes.begin() + static_cast<long>(at),
                     c.bytes.begin() + static_cast<long>(std::min(at + split, c.bytes.size()))});
      }
      ScriptedPort& port = *script;
      dev.Port = std::move(script);
      TLinkShared shared;
      int frames = 0;
      while (!port.Finished()) {
        const S step = AcquireStep(dev, shared);
        if (step != S::FirstFrame && step != S::Averaged) continue;
        ++frames;
        EXPECT_DOUBLE_EQ(dev.Values[0], 3.00) << c.what;
        EXPECT_DOUBLE_EQ(dev.Values[1], 15) << c.what;
        EXPECT_DOUBLE_EQ(dev.Values[2], 7.5) << c.what;
      }
      EXPECT_EQ(frames, c.frames) << c.what << ", bursts of " << split;
      EXPECT_EQ(shared.Counters.BytesSkipped, c.skipped) << c.what << ", bursts of " << split;
    }
  }
}

// A frame a value of which the meter cannot measure is refused whole, and
// the frame after it is still taken.
TEST_F(AcquireStepTest, AFrameBeyondTheMetersRangeIsSkippedNeverAveraged) {
  using S = TAcquireStep;
  port->Add(Join({RawFrame(1000, 150, 3000),  // the bounds themselves
                  RawFrame(1001, 15, 75), RawFrame(300, 151, 75), RawFrame(300, 15, 3001),
                  RawFrame(0xFFFF, 0xFFFF, 0xFFFF), RawFrame(300, 15, 75), kSync}));
  std::vector<S> expected = {S::FirstFrame};
  for (int refused = 0; refused < 4; ++refused) {
    expected.push_back(S::OutOfRange);
    expected.insert(expected.end(), 6, S::Skipped);  // its data bytes, looked at again
  }
  expected.push_back(S::Averaged);
  EXPECT_EQ(RunScript(), expected);
  EXPECT_DOUBLE_EQ(shared.ValueV, 0.5 * 10.0 + 0.5 * 3.0);
  EXPECT_DOUBLE_EQ(shared.ValueF, 0.5 * 150 + 0.5 * 15);
  EXPECT_DOUBLE_EQ(shared.ValueM, 0.5 * 300 + 0.5 * 7.5);
  EXPECT_EQ(shared.Counters.FramesDecoded, 2u);
  EXPECT_EQ(shared.Counters.BytesSkipped, 4u * 7);
}

// A frame that noise follows is taken only when it repeats the candidate
// before it; silence forgets that candidate.
TEST_F(AcquireStepTest, AFrameFollowedByNoiseIsTakenOnlyWhenItRepeatsTheOneBefore) {
  using S = TAcquireStep;
  const std::vector<uint8_t> noise = {0x11, 0xA2, 0x03};
  const std::vector<uint8_t> other = RawFrame(500, 20, 100);  // 5.00 l, 20 /min, 10 l/min
  port->Add(Join({kFrame1, noise, other, noise, other, noise}));
  std::vector<S> expected = {S::ShortFrame};        // kFrame1: nothing before it
  expected.insert(expected.end(), 6 + 3, S::Skipped);  // its data bytes again, the noise
  expected.push_back(S::ShortFrame);                 // other: unlike kFrame1
  expected.insert(expected.end(), 6 + 3, S::Skipped);
  expected.push_back(S::FirstFrame);                 // other again: taken
  expected.insert(expected.end(), 3, S::Skipped);
  EXPECT_EQ(RunScript(), expected);
  EXPECT_DOUBLE_EQ(shared.ValueV, 5.00);
  EXPECT_DOUBLE_EQ(shared.ValueM, 10.0);
  port->AddSilence();
  while (Step() != S::Silent) {
  }
  port->Add(Join({other, noise}));
  while (!port->Finished()) EXPECT_NE(Step(), S::FirstFrame);  // after the silence: nothing to repeat
  EXPECT_EQ(shared.Counters.FramesDecoded, 1u);
}

TEST(FramesAgree, WithinTwoPercentOrAStepOfTheScaling) {
  EXPECT_TRUE(FramesAgree({3.00, 15, 7.5}, {3.00, 15, 7.5}));
  EXPECT_TRUE(FramesAgree({3.00, 15, 7.5}, {3.06, 16, 7.6}));
  EXPECT_FALSE(FramesAgree({3.00, 15, 7.5}, {3.08, 15, 7.5}));
  EXPECT_FALSE(FramesAgree({3.00, 15, 7.5}, {3.00, 17, 7.5}));
  EXPECT_FALSE(FramesAgree({3.00, 15, 7.5}, {3.00, 15, 7.8}));
  EXPECT_TRUE(FramesAgree({0, 0, 0}, {0.01, 1, 0.1}));
}

TEST_F(AcquireStepTest, LossAnywhereReadsAsSilence) {
  port->Add(Join({kFrame1, kSync}));
  port->AddLoss();
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Lost}));
  EXPECT_FALSE(dev.LinkAlive);
  EXPECT_TRUE(dev.Restart);
  EXPECT_EQ(shared.Counters.SilentReads, 0u);  // a loss is counted by the reopening
  EXPECT_EQ(dev.HeldCount, 0u);
  port->Add({0x55, 0x01});
  port->AddLoss();
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::Lost}));
  EXPECT_FALSE(dev.LinkAlive);
}

TEST_F(AcquireStepTest, OtherKindsTakeNoValueButStillFollowTheLoop) {
  dev.Kind = kKindAiro;
  port->Add(kFrame1);
  port->Add(kFrame2);
  port->Add(kSync);
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Averaged}));
  EXPECT_EQ(shared.ValueV, 0.0);
  EXPECT_EQ(dev.Values[0], 0.0);
  EXPECT_EQ(shared.Counters.FramesDecoded, 0u);
}

}  // namespace
}  // namespace vexa
