// The instrument object and the start and stop steps that need no device.
#include "link/device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "link/acquisition.h"
#include "link/scripted_port.h"
#include "link/test_env.h"

namespace vexa {
namespace {

using test::ScopedEnv;
using test::ScratchDir;

TEST(ParseLineSettings, ReadsTheModeStringAndRefusesAnythingElse) {
  TLineSettings s;
  ASSERT_TRUE(ParseLineSettings("57600,n,8,1", s));
  EXPECT_EQ(s.BaudRate, 57600u);
  EXPECT_EQ(s.Parity, 'n');
  EXPECT_EQ(s.DataBits, 8);
  EXPECT_EQ(s.StopBits, 1);
  ASSERT_TRUE(ParseLineSettings("9600,E,7,1.5", s));
  EXPECT_EQ(s.Parity, 'e');
  EXPECT_EQ(s.StopBits, 15);
  for (const char* bad : {"", "57600", "57600,n,8", "57600,n,8,1,", "0,n,8,1", "57600,x,8,1",
                          "57600,n,9,1", "57600,n,8,3", "-1,n,8,1", "99999999999,n,8,1",
                          "57600,nn,8,1"}) {
    TLineSettings untouched;
    untouched.BaudRate = 7;
    EXPECT_FALSE(ParseLineSettings(bad, untouched)) << bad;
    EXPECT_EQ(untouched.BaudRate, 7u) << bad;
  }
}

TEST(TDev, ConstructedClosedAndWaitingForAFirstFrame) {
  TDev flown(kKindFlown);
  EXPECT_EQ(flown.Model, "Flown-710");
  EXPECT_EQ(flown.LineSettings.BaudRate, 57600u);
  EXPECT_FALSE(flown.Port);
  EXPECT_EQ(flown.PortNumber, 0);
  EXPECT_EQ(flown.FailedPort, 0);
  EXPECT_FALSE(flown.LinkAlive);
  EXPECT_TRUE(flown.Restart);
  EXPECT_EQ(flown.Values[2], 0.0);
  EXPECT_EQ(TDev(kKindAiro).Model, "Airo-510");
}

TEST(TDev, FailedOpenNamesThePortAndSuccessClearsIt) {
  ScratchDir dir;
  ScopedEnv config("VEXA_CONFIG_DIR", dir.path());
  ScopedEnv missing("VEXA_COM12", dir.File("no-such-device"));
  TDev dev(kKindFlown);
  dev.PortNumber = 12;
  EXPECT_EQ(dev.OpenPort(), 1);
  EXPECT_EQ(dev.FailedPort, 12);
  EXPECT_EQ(dev.DevicePath, dir.File("no-such-device"));

  dev.PortNumber = 0;  // no port at all
  EXPECT_EQ(dev.OpenPort(), 1);
  EXPECT_EQ(dev.FailedPort, 0);

  dev.Port = std::make_unique<ScriptedPort>();
  dev.PortNumber = 12;
  dev.FailedPort = 5;
  EXPECT_EQ(dev.OpenPort(), 0);
  EXPECT_EQ(dev.FailedPort, 0);
}

TEST(TDev, NotASerialLineDoesNotOpen) {
  ScratchDir dir;
  ScopedEnv config("VEXA_CONFIG_DIR", dir.path());
  const std::string file = dir.File("plain.txt");
  { std::FILE* f = std::fopen(file.c_str(), "wb"); ASSERT_TRUE(f); std::fclose(f); }
  ScopedEnv env("VEXA_COM3", file);
  TDev dev(kKindFlown);
  dev.PortNumber = 3;
  EXPECT_EQ(dev.OpenPort(), 1);
  ScopedEnv folder("VEXA_COM3", dir.path());
  EXPECT_EQ(dev.OpenPort(), 1);
  ScopedEnv longName("VEXA_COM3", dir.File(std::string(5000, 'x')));
  EXPECT_EQ(dev.OpenPort(), 1);
  EXPECT_EQ(dev.FailedPort, 3);
}

TEST(TDev, ClosingAClosedPortOnlySetsRestart) {
  TDev dev(kKindFlown);
  dev.Restart = false;
  dev.ClosePort();
  EXPECT_TRUE(dev.Restart);
  EXPECT_FALSE(dev.Port);
}

TEST(TAcquisition, FailedPortLeavesNothingOpenAndNoThread) {
  ScratchDir dir;
  ScopedEnv config("VEXA_CONFIG_DIR", dir.path());
  ScopedEnv missing("VEXA_COM99", dir.File("gone"));
  TDev first(kKindFlown), second(kKindFlown);
  first.Port = std::make_unique<ScriptedPort>();
  first.Port->Close();
  first.PortNumber = 1;
  second.PortNumber = 99;
  TDev* devices[] = {&first, &second};
  TLinkShared shared;
  TAcquisition link;
  int32_t errorPort = 0;
  EXPECT_EQ(link.Start(devices, shared, errorPort), 1);
  EXPECT_EQ(errorPort, 99);
  EXPECT_FALSE(first.Port->IsOpen());  // opened, then closed again
  EXPECT_FALSE(shared.Running);
  EXPECT_FALSE(link.ThreadExists());
}

TEST(TAcquisition, StopWithoutAThreadDoesNothing) {
  TDev dev(kKindFlown);
  dev.Port = std::make_unique<ScriptedPort>();
  dev.Restart = false;
  TDev* devices[] = {&dev};
  TLinkShared shared;
  TAcquisition link;
  link.Stop(devices, shared);
  EXPECT_TRUE(dev.Port->IsOpen());
  EXPECT_FALSE(dev.Restart);
  EXPECT_FALSE(link.ThreadExists());
}

TEST(TAcquisition, StartsStopsAndStartsAgain) {
  TDev dev(kKindFlown);
  auto script = std::make_unique<ScriptedPort>();
  script->Add({0x55, 0x2C, 0x01, 0x0F, 0x00, 0x4B, 0x00, 0x55});  // a frame, and the next one's sync byte
  dev.Port = std::move(script);
  TDev* devices[] = {&dev};
  TLinkShared shared;
  TAcquisition link;
  int32_t errorPort = 0;
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(link.Start(devices, shared, errorPort), 0);
    EXPECT_TRUE(link.ThreadExists());
    for (int ms = 0; round == 0 && shared.Counters.FramesDecoded == 0 && ms < 2000; ++ms) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(link.Start(devices, shared, errorPort), -1);  // one thread at most
    link.Stop(devices, shared);
    EXPECT_FALSE(link.ThreadExists());
    EXPECT_FALSE(shared.Running);
    EXPECT_FALSE(dev.Port->IsOpen());
    EXPECT_TRUE(dev.Restart);
  }
  EXPECT_DOUBLE_EQ(dev.Values[0], 3.00);
}

TEST(TAcquisition, DestroyingARunningLinkEndsItsThread) {
  TDev dev(kKindFlown);
  dev.Port = std::make_unique<ScriptedPort>();
  TDev* devices[] = {&dev};
  TLinkShared shared;
  int32_t errorPort = 0;
  {
    TAcquisition link;
    ASSERT_EQ(link.Start(devices, shared, errorPort), 0);
  }
  EXPECT_FALSE(shared.Running);
}

}  // namespace
}  // namespace vexa
