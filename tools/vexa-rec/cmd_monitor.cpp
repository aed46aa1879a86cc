// vexa-rec monitor: the operator's "is my instrument talking?" check. Opens
// COM n as a recording does, runs the acquisition thread and prints its
// running average and link counters once a second.
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include "commands.h"
#include "core/messages.h"
#include "link/acquisition.h"
#include "link/device.h"

namespace vexa::rec {

namespace {

volatile std::sig_atomic_t gStop = 0;

extern "C" void OnStopSignal(int) { gStop = 1; }

// A whole number in [low, high]; false for anything else ("2x", "", "-1").
bool ParseInt(const std::string& text, long long low, long long high, long long& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end && value >= low && value <= high;
}

int Usage(const char* problem) {
  std::fprintf(stderr, "vexa-rec monitor: %s\nusage: vexa-rec monitor --port N [--seconds S]\n",
               problem);
  return 2;
}

void PrintLine(const TLinkShared& shared, const TDev& dev) {
  const TLinkCounters& c = shared.Counters;
  std::printf("V=%.2f F=%.1f M=%.1f %s frames=%llu skipped=%llu silent=%llu reopens=%llu\n",
              shared.ValueV.load(), shared.ValueF.load(), shared.ValueM.load(),
              dev.LinkAlive ? "alive" : "silent",
              static_cast<unsigned long long>(c.FramesDecoded.load()),
              static_cast<unsigned long long>(c.BytesSkipped.load()),
              static_cast<unsigned long long>(c.SilentReads.load()),
              static_cast<unsigned long long>(c.ReopenAttempts.load()));
  std::fflush(stdout);
}

}  // namespace

int RunMonitor(const Args& args) {
  long long port = 0, seconds = -1;  // no --seconds: until interrupted
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a != "--port" && a != "--seconds") return Usage(("unknown option " + a).c_str());
    if (i + 1 >= args.size()) return Usage((a + " needs a value").c_str());
    const std::string& value = args[++i];
    if (a == "--port" && !ParseInt(value, 1, INT32_MAX, port)) {
      return Usage("--port takes a COM port number, 1 and up");
    }
    if (a == "--seconds" && !ParseInt(value, 1, 100LL * 365 * 24 * 3600, seconds)) {
      return Usage("--seconds takes a whole number of seconds, 1 and up");
    }
  }
  if (port == 0) return Usage("--port is required");

  TDev dev(kKindFlown);
  dev.PortNumber = static_cast<int32_t>(port);
  TDev* devices[] = {&dev};
  TLinkShared shared;
  TAcquisition link;
  int32_t errorPort = 0;
  const int started = link.Start(devices, shared, errorPort);
  if (started == 1) {
    std::fprintf(stderr, "%s %d\n", MessageText(3, kEnglish), static_cast<int>(errorPort));
    return 1;
  }
  if (started != 0) {
    std::fprintf(stderr, "%s\n", MessageText(4, kEnglish));
    return 1;
  }

  gStop = 0;
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  using Clock = std::chrono::steady_clock;
  const Clock::time_point begin = Clock::now();
  for (long long tick = 1; !gStop && (seconds < 0 || tick <= seconds); ++tick) {
    const Clock::time_point due = begin + std::chrono::seconds(tick);
    while (!gStop && Clock::now() < due) {
      std::this_thread::sleep_for(std::min<Clock::duration>(due - Clock::now(),
                                                             std::chrono::milliseconds(50)));
    }
    if (!gStop) PrintLine(shared, dev);
  }
  link.Stop(devices, shared);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  return 0;
}

}  // namespace vexa::rec
