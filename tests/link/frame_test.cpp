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
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Averaged}));
  EXPECT_DOUBLE_EQ(dev.Values[0], 3.50);
  EXPECT_DOUBLE_EQ(dev.Values[1], 16);
  EXPECT_DOUBLE_EQ(dev.Values[2], 8.0);
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.50);
  EXPECT_DOUBLE_EQ(shared.ValueF, 16);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.0);
  EXPECT_FALSE(dev.Restart);
  EXPECT_EQ(shared.Counters.FramesDecoded, 2u);
}

TEST_F(AcquireStepTest, PurgeAfterAnAveragedFrameOnly) {
  // Frames 2 and 3 arrive together: after frame 2 is averaged, frame 3 is
  // queued input and is discarded; after a first frame nothing is.
  std::vector<uint8_t> both = kFrame1;
  both.insert(both.end(), kFrame1.begin(), kFrame1.end());
  port->Add(both);
  std::vector<uint8_t> pair = kFrame2;
  pair.insert(pair.end(), kFrame2.begin(), kFrame2.end());
  port->Add(pair);
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Averaged,
                                      TAcquireStep::Averaged}));
  EXPECT_EQ(port->Purges(), 2);
  EXPECT_DOUBLE_EQ(shared.ValueV, 0.5 * 3.0 + 0.5 * 4.0);
}

TEST_F(AcquireStepTest, GarbageIsSkippedAndCountsAsHearingTheInstrument) {
  port->Add({0x00, 0xFF, 0x54, 0x56, 0xAA});
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Step(), TAcquireStep::Skipped);
  EXPECT_TRUE(dev.LinkAlive);
  EXPECT_TRUE(dev.Restart);
  EXPECT_EQ(shared.ValueV, 0.0);
  EXPECT_EQ(shared.Counters.BytesSkipped, 5u);
  port->Add(kFrame1);
  EXPECT_EQ(Step(), TAcquireStep::FirstFrame);
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.00);
}

TEST_F(AcquireStepTest, SilenceRestartsTheAverage) {
  port->Add(kFrame1);
  port->AddSilence();
  port->Add(kFrame2);
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Silent,
                                      TAcquireStep::FirstFrame}));
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);
  EXPECT_DOUBLE_EQ(shared.ValueF, 17);
  EXPECT_DOUBLE_EQ(shared.ValueM, 8.5);
  EXPECT_EQ(shared.Counters.SilentReads, 1u);
  EXPECT_TRUE(dev.LinkAlive);
}

TEST_F(AcquireStepTest, RestartAskedForByTheSamplingStepIsHonoured) {
  port->Add(kFrame1);
  EXPECT_EQ(Step(), TAcquireStep::FirstFrame);
  dev.Restart = true;  // a stored sample
  port->Add(kFrame2);
  EXPECT_EQ(Step(), TAcquireStep::FirstFrame);
  EXPECT_DOUBLE_EQ(shared.ValueV, 4.00);
}

TEST_F(AcquireStepTest, FrameCutShortIsDroppedNotDecodedFromStaleBytes) {
  port->Add(kFrame1);
  port->Add({0x55, 0x90, 0x01});  // the line pauses here
  port->Add(kFrame1);
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::ShortFrame,
                                      TAcquireStep::Averaged}));
  EXPECT_DOUBLE_EQ(shared.ValueV, 3.00);
  EXPECT_EQ(shared.Counters.BytesSkipped, 3u);
  EXPECT_EQ(shared.Counters.FramesDecoded, 2u);
}

TEST_F(AcquireStepTest, SyncByteFollowedBySilenceIsDroppedThenSilence) {
  port->Add(kFrame1);
  port->Add({0x55});
  port->AddSilence();
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::ShortFrame,
                                      TAcquireStep::Silent}));
  EXPECT_FALSE(dev.LinkAlive);
  EXPECT_TRUE(dev.Restart);
}

// A sync byte is a frame's only when its data follow within the frame's
// window; the bytes after a lone one are the next frame's and are read afresh.
TEST(AcquireStepWindow, DataMustFollowTheirSyncByteWithinTheWindow) {
  constexpr int kApart = ScriptedPort::kApart;
  const std::vector<uint8_t> data1(kFrame1.begin() + 1, kFrame1.end());
  const std::vector<uint8_t> garbageThenFrame1 = {0x11, 0x22, 0x33, 0x44, 0x66, 0x55,
                                                  0x2C, 0x01, 0x0F, 0x00, 0x4B, 0x00};
  using S = TAcquireStep;
  const struct {
    const char* what;
    std::vector<std::pair<int, std::vector<uint8_t>>> bursts;  // pause before, bytes
    std::vector<S> steps;
    double v, f, m;
    uint64_t skipped;
  } cases[] = {
      {"a lone sync byte, then a frame a frame period later",
       {{kApart, {0x55}}, {kApart, kFrame2}}, {S::ShortFrame, S::FirstFrame}, 4.00, 17, 8.5, 1},
      {"a frame cut after its sync byte, then garbage and a frame",
       {{kApart, {0x55}}, {50, garbageThenFrame1}},
       {S::ShortFrame, S::Skipped, S::Skipped, S::Skipped, S::Skipped, S::Skipped, S::FirstFrame},
       3.00, 15, 7.5, 6},
      {"a USB adapter's timer splits the frame after its sync byte",
       {{kApart, {0x55}}, {16, data1}}, {S::FirstFrame}, 3.00, 15, 7.5, 0},
      {"... or between its data bytes",
       {{kApart, {0x55, 0x2C, 0x01, 0x0F}}, {17, {0x00, 0x4B, 0x00}}}, {S::FirstFrame}, 3.00, 15,
       7.5, 0},
      {"data that come after the window are the next frame's",
       {{kApart, {0x55, 0x2C}}, {kFrameDataWindowMs + 1, kFrame2}}, {S::ShortFrame, S::FirstFrame},
       4.00, 17, 8.5, 2},
  };
  for (const auto& c : cases) {
    TDev dev(kKindFlown);
    auto script = std::make_unique<ScriptedPort>();
    for (const auto& [after, bytes] : c.bursts) script->AddAfter(after, bytes);
    ScriptedPort& port = *script;
    dev.Port = std::move(script);
    TLinkShared shared;
    std::vector<S> steps;
    while (!port.Finished()) steps.push_back(AcquireStep(dev, shared));
    EXPECT_EQ(steps, c.steps) << c.what;
    EXPECT_DOUBLE_EQ(shared.ValueV, c.v) << c.what;
    EXPECT_DOUBLE_EQ(shared.ValueF, c.f) << c.what;
    EXPECT_DOUBLE_EQ(shared.ValueM, c.m) << c.what;
    EXPECT_EQ(shared.Counters.BytesSkipped, c.skipped) << c.what;
  }
}

TEST_F(AcquireStepTest, LossAnywhereReadsAsSilence) {
  port->Add(kFrame1);
  port->AddLoss();
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Lost}));
  EXPECT_FALSE(dev.LinkAlive);
  EXPECT_TRUE(dev.Restart);
  EXPECT_EQ(shared.Counters.SilentReads, 0u);  // a loss is counted by the reopening
  port->Add({0x55, 0x01});
  port->AddLoss();
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::ShortFrame, TAcquireStep::Lost}));
  EXPECT_FALSE(dev.LinkAlive);
}

TEST_F(AcquireStepTest, OtherKindsTakeNoValueButStillFollowTheLoop) {
  dev.Kind = kKindAiro;
  port->Add(kFrame1);
  port->Add(kFrame2);
  EXPECT_EQ(RunScript(), (std::vector{TAcquireStep::FirstFrame, TAcquireStep::Averaged}));
  EXPECT_EQ(shared.ValueV, 0.0);
  EXPECT_EQ(dev.Values[0], 0.0);
  EXPECT_EQ(shared.Counters.FramesDecoded, 0u);
}

}  // namespace
}  // namespace vexa
