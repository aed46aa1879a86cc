// Feeds arbitrary byte streams through the acquisition thread's loop step.
// The input is a list of bursts: a length byte L, then L bytes that arrive
// together (a read never crosses into the next burst). L = 0 is a silent
// read, L = 255 the device going away; L from 128 to 254 is a burst of
// L - 128 bytes that follows the one before 10 ms later.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "link/acquisition.h"
#include "link/scripted_port.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool InRange(double v, double top) { return std::isfinite(v) && v >= 0 && v <= top; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto script = std::make_unique<vexa::ScriptedPort>();
  size_t bytes = 0;
  for (size_t i = 0; i < size;) {
    const uint8_t len = data[i++];
    if (len == 255) {
      script->AddLoss();
      continue;
    }
    const bool close = len >= 128;
    const size_t n = std::min<size_t>(close ? len - 128 : len, size - i);
    std::vector<uint8_t> burst(data + i, data + i + n);
    if (close) {
      script->AddAfter(10, std::move(burst));
    } else {
      script->Add(std::move(burst));  // empty: a silent read
    }
    bytes += n;
    i += n;
  }
  vexa::ScriptedPort& port = *script;
  vexa::TDev dev(vexa::kKindFlown);
  dev.Port = std::move(script);
  vexa::TLinkShared shared;
  uint64_t frames = 0;
  while (!port.Finished()) {
    const vexa::TAcquireStep step = vexa::AcquireStep(dev, shared);
    if (step == vexa::TAcquireStep::Lost) port.Open("", dev.LineSettings);
    if (step == vexa::TAcquireStep::FirstFrame) Check(!dev.Restart);
    if (step == vexa::TAcquireStep::Silent || step == vexa::TAcquireStep::Lost) {
      Check(!dev.LinkAlive && dev.Restart);
    }
    frames += step == vexa::TAcquireStep::FirstFrame || step == vexa::TAcquireStep::Averaged;
  }
  // Only frames within the meter's range are taken, whatever the stream held.
  Check(InRange(shared.ValueV, vexa::kMaxFlowV) && InRange(shared.ValueF, vexa::kMaxFlowF) &&
        InRange(shared.ValueM, vexa::kMaxFlowM));
  Check(shared.ValueV == dev.Values[0] && shared.ValueF == dev.Values[1] &&
        shared.ValueM == dev.Values[2]);
  Check(shared.Counters.FramesDecoded == frames);
  Check(shared.Counters.BytesSkipped + 7 * frames <= bytes);
  return 0;
}
