// vexa-rec monitor: the operator's "is my instrument talking?" check. Opens
// COM n as a recording does, runs the acquisition thread and prints its
// running average and link counters once a second.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "commands.h"
#include "core/messages.h"
#include "link/acquisition.h"
#include "link/device.h"
#include "options.h"
#include "stop_signal.h"

namespace vexa::rec {

namespace {

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
  Options o;
  std::string error;
  if (!ParseOptions(args, {"port", "seconds"}, o, error)) return Usage(error.c_str());
  if (!o.words.empty()) return Usage(("unexpected " + o.words[0]).c_str());
  if (!o.Has("port")) return Usage("--port is required");
  long long port = 0, seconds = -1;  // no --seconds: until interrupted
  if (!ParseWhole(o.Get("port"), 1, INT32_MAX, port)) {
    return Usage("--port takes a COM port number, 1 and up");
  }
  if (o.Has("seconds") && !ParseWhole(o.Get("seconds"), 1, 100LL * 365 * 24 * 3600, seconds)) {
    return Usage("--seconds takes a whole number of seconds, 1 and up");
  }

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

  CatchStopSignals();
  const auto begin = std::chrono::steady_clock::now();
  for (long long tick = 1; !StopRequested() && (seconds < 0 || tick <= seconds); ++tick) {
    SleepUntil(begin + std::chrono::seconds(tick));
    if (!StopRequested()) PrintLine(shared, dev);
  }
  link.Stop(devices, shared);
  ReleaseStopSignals();
  return 0;
}

}  // namespace vexa::rec
